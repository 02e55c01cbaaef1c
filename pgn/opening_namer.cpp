#include "pgn/opening_namer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstring>

#include "frame/ascii.h"
#include "frame/platform.h"

namespace {

// The first four fields of FEN: placement, side to move, castling rights
// and en-passant square. The two counters do not change the position.
constexpr std::string_view INITIAL_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// The FEN's fields up to the en-passant square, single blanks between them.
bool isInitialFen(std::string_view fen) {
    std::string fields;
    std::size_t at = 0;
    for (int field = 0; field < 4; ++field) {
        while (at < fen.size() && fen[at] == ' ') ++at;
        std::size_t end = fen.find(' ', at);
        if (end == std::string_view::npos) end = fen.size();
        if (end == at) return false;
        if (field > 0) fields += ' ';
        fields.append(fen.substr(at, end - at));
        at = end;
    }
    return fields == INITIAL_FEN;
}

std::string_view lineEndOf(std::string_view line) {
    if (line.ends_with("\r\n")) return "\r\n";
    if (line.ends_with('\n')) return "\n";
    return {};
}

// The line end of the game's first line, for a game without tags.
std::string_view firstLineEnd(std::string_view text) {
    std::size_t end = text.find('\n');
    if (end != std::string_view::npos && end > 0 && text[end - 1] == '\r') return "\r\n";
    return "\n";
}

bool onlyBlanks(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

constexpr std::size_t HOME_PAWN_MASKS = std::size_t{1} << 16;

// The filter's bit of a home square (rank 2 and 7), 0 for other squares.
constexpr std::array<std::uint16_t, BOARD_CELLS> HOME_BIT = [] {
    std::array<std::uint16_t, BOARD_CELLS> bits{};
    for (int file = 0; file < 8; ++file) {
        bits[0x10 + file] = static_cast<std::uint16_t>(1u << file);
        bits[0x60 + file] = static_cast<std::uint16_t>(1u << (8 + file));
    }
    return bits;
}();

bool hasBit(const std::vector<std::uint64_t>& bits, unsigned index) {
    return (bits[index >> 6] >> (index & 63)) & 1;
}

}  // namespace

void buildHomePawnFilter(const OpeningBook& book, HomePawnFilter& filter) {
    filter.exact.assign(HOME_PAWN_MASKS / 64, 0);
    for (std::int32_t i = 0; i < book.positionCount; ++i) {
        const std::uint8_t* key = book.keys + std::size_t(i) * PACKED_BOARD_SIZE;
        unsigned mask = 0;
        for (int file = 0; file < 8; ++file) {
            if (packedCode(key, packedIndex(makeSquare(file, 1))) == cellCode({PAWN, WHITE})) {
                mask |= 1u << file;
            }
            if (packedCode(key, packedIndex(makeSquare(file, 6))) == cellCode({PAWN, BLACK})) {
                mask |= 1u << (8 + file);
            }
        }
        filter.exact[mask >> 6] |= std::uint64_t{1} << (mask & 63);
    }
    // A mask is reachable when it or one of its subsets is exact: for each
    // bit, every mask with the bit takes over what the mask without it has.
    // The low six bits index within a word, the others pick the word.
    filter.reachable = filter.exact;
    constexpr std::uint64_t withoutBit[6] = {0x5555555555555555, 0x3333333333333333,
                                             0x0F0F0F0F0F0F0F0F, 0x00FF00FF00FF00FF,
                                             0x0000FFFF0000FFFF, 0x00000000FFFFFFFF};
    std::vector<std::uint64_t>& words = filter.reachable;
    for (int bit = 0; bit < 6; ++bit) {
        for (std::uint64_t& word : words) word |= (word & withoutBit[bit]) << (1 << bit);
    }
    for (std::size_t step = 1; step < words.size(); step <<= 1) {
        for (std::size_t word = 0; word < words.size(); ++word) {
            if (word & step) words[word] |= words[word ^ step];
        }
    }
}

unsigned homePawns(const Position& position) {
    unsigned mask = 0;
    for (int file = 0; file < 8; ++file) {
        const BoardCell white = position.board[0x10 + file];
        const BoardCell black = position.board[0x60 + file];
        if (white.piece == PAWN && white.color == WHITE) mask |= 1u << file;
        if (black.piece == PAWN && black.color == BLACK) mask |= 1u << (8 + file);
    }
    return mask;
}

// Writes the code of a square's cell into the key.
void updateKey(std::uint8_t (&key)[PACKED_BOARD_SIZE], const Position& position, int square) {
    setPackedCode(key, packedIndex(square), cellCode(position.board[square]));
}

void startNaming(GameNaming& naming) {
    static const GameNaming initial = [] {
        GameNaming naming;
        setupStartPosition(naming.position);
        packBoard(naming.position, naming.key);
        return naming;
    }();
    naming.position = initial.position;
    std::memcpy(naming.key, initial.key, sizeof naming.key);
    naming.index = -1;
    naming.ply = 0;
    naming.bookReachable = true;
    naming.homeMask = 0xFFFF;
}

MoveOutcome nameMove(const OpeningBook& book, GameNaming& naming, std::string_view text) {
    const MoveOutcome outcome = playSanMove(naming.position, naming.reader, text);
    if (outcome != READ_PLAYED || !naming.bookReachable) return outcome;
    // The squares the move changed: both of its own, the pawn taken en
    // passant and the rook of a castling.
    const ParsedMove& move = naming.reader.currentMove;
    updateKey(naming.key, naming.position, move.from);
    updateKey(naming.key, naming.position, move.to);
    if (move.special == MOVE_EN_PASSANT) {
        updateKey(naming.key, naming.position, passedPawnSquare(move.from, move.to));
    } else if (move.special == MOVE_CASTLE) {
        const RookSquares rook = castleRookSquares(move.to);
        updateKey(naming.key, naming.position, rook.from);
        updateKey(naming.key, naming.position, rook.to);
    }
    if (!naming.filter.exact.empty()) {
        // After any move its from-square is empty, and no pawn can have
        // come onto its destination if that is a home square of its color.
        naming.homeMask &= ~unsigned(HOME_BIT[move.from] | HOME_BIT[move.to]);
        if (!hasBit(naming.filter.reachable, naming.homeMask)) {
            naming.bookReachable = false;
            return outcome;
        }
        if (!hasBit(naming.filter.exact, naming.homeMask)) return outcome;
    }
    const std::int32_t index = findPlacement(book, naming.key);
    if (index >= 0) {
        naming.index = index;
        naming.ply = naming.position.plyCount;
    }
    return outcome;
}

bool isNullMove(std::string_view move) {
    return move == "--" || move == "Z0";
}

bool startsFromInitialPosition(const PgnGame& game) {
    for (const PgnTag& tag : game.tags) {
        // As views, so that the lengths are compared first.
        const std::string_view name = tag.name;
        if (name == "FEN" && !isInitialFen(tag.value)) return false;
        if (name == "Variant" &&
            !(tag.value.size() == 8 && startsWithIgnoringCase(tag.value.c_str(), "standard"))) {
            return false;
        }
    }
    return true;
}

const char* moveFaultText(MoveOutcome outcome) {
    if (outcome == READ_UNREADABLE) return "unreadable move";
    if (outcome == READ_AMBIGUOUS) return "ambiguous move";
    return "illegal move";
}

void appendTagPair(std::string& out, std::string_view name, std::string_view value) {
    out += '[';
    out += name;
    out += " \"";
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    out += "\"]";
}

void appendTaggedGame(std::string& out, const PgnGame& game, std::string_view ecoPair,
                      std::string_view openingPair) {
    const std::string_view text = game.text;
    if (game.tags.empty()) {
        const std::string_view end = firstLineEnd(text);
        out.append(ecoPair).append(end).append(openingPair).append(end).append(end);
        out.append(text);
        return;
    }
    bool haveEco = false;
    bool haveOpening = false;
    std::size_t copied = 0;
    for (const PgnTag& tag : game.tags) {
        const std::string_view name = tag.name;
        const bool eco = name == "ECO";
        if ((!eco && name != "Opening") || !tag.whole) continue;
        if (tag.pairBegin < copied) continue;  // not in file order: left alone
        out.append(text.substr(copied, tag.pairBegin - copied));
        out.append(eco ? ecoPair : openingPair);
        copied = tag.pairEnd;
        (eco ? haveEco : haveOpening) = true;
    }
    if (!haveEco || !haveOpening) {
        // After the last tag line, or right after the last pair when the
        // movetext follows on its line.
        const PgnTag& last = game.tags.back();
        const std::string_view line = text.substr(last.lineBegin, last.lineEnd - last.lineBegin);
        const std::string_view end = lineEndOf(line);
        const std::size_t pairEnd = std::max(last.pairEnd, last.lineBegin);
        const bool ownLine = !end.empty() && pairEnd <= last.lineEnd - end.size() &&
                             onlyBlanks(text.substr(pairEnd, last.lineEnd - end.size() - pairEnd));
        const std::size_t at = std::max(ownLine ? last.lineEnd : pairEnd, copied);
        out.append(text.substr(copied, at - copied));
        copied = at;
        if (!haveEco) out.append(ecoPair).append(ownLine ? end : "");
        if (!haveOpening) out.append(openingPair).append(ownLine ? end : "");
    }
    out.append(text.substr(copied));
}

namespace {

constexpr std::size_t OUTPUT_FLUSH_SIZE = std::size_t{1} << 18;

// A progress line on a terminal, rewritten in place a few times a second.
struct Progress {
    bool shown = false;  // a line stands on the terminal now
    bool enabled = false;
    long long totalBytes = 0;     // of all files, or -1 when one has no known size
    std::uint64_t doneBytes = 0;  // of the files already read
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point last;
    std::size_t width = 0;
};

// The cached texts of one book position: eco and name for the table, the two
// tag pairs for -t.
struct NameTexts {
    std::string eco;
    std::string name;
    std::string ecoPair;
    std::string openingPair;
};

// The state of a whole run, owned by nameOpenings.
struct Namer {
    const OpeningBook& book;
    NamingRun& run;
    GameNaming naming;
    std::vector<NameTexts> names;  // filled as positions are first named
    std::string output;
    Progress progress;
    std::uint64_t games = 0;
    bool writeFailed = false;
};

void flushOutput(Namer& namer) {
    if (namer.output.empty()) return;
    if (!namer.writeFailed && std::fwrite(namer.output.data(), 1, namer.output.size(),
                                          namer.run.out) != namer.output.size()) {
        namer.writeFailed = true;
    }
    namer.output.clear();
}

void clearProgress(Namer& namer) {
    Progress& progress = namer.progress;
    if (!progress.shown) return;
    std::fprintf(namer.run.err, "\r%*s\r", static_cast<int>(progress.width), "");
    std::fflush(namer.run.err);
    progress.shown = false;
}

void showProgress(Namer& namer, std::uint64_t fileBytes) {
    Progress& progress = namer.progress;
    const auto now = std::chrono::steady_clock::now();
    if (now - progress.last < std::chrono::milliseconds(250)) return;
    progress.last = now;
    const double seconds = std::chrono::duration<double>(now - progress.start).count();
    const double megabytes = static_cast<double>(progress.doneBytes + fileBytes) / 1e6;
    char line[128];
    int length = std::snprintf(line, sizeof line, "teseco: %llu games, %.1f MB, %.1f MB/s",
                               static_cast<unsigned long long>(namer.games), megabytes,
                               seconds > 0 ? megabytes / seconds : 0.0);
    if (progress.totalBytes > 0 && length > 0) {
        const double share = 100.0 * megabytes * 1e6 / static_cast<double>(progress.totalBytes);
        length += std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length),
                                ", %d%%", static_cast<int>(share > 100 ? 100 : share));
    }
    if (length <= 0) return;
    const std::size_t width = static_cast<std::size_t>(length);
    std::fprintf(namer.run.err, "\r%s%*s", line,
                 static_cast<int>(progress.width > width ? progress.width - width : 0), "");
    std::fflush(namer.run.err);
    progress.width = std::max(progress.width, width);
    progress.shown = true;
}

void startProgress(Namer& namer) {
    Progress& progress = namer.progress;
    progress.enabled = isTerminal(namer.run.err);
    if (!progress.enabled) return;
    progress.start = progress.last = std::chrono::steady_clock::now();
    for (const std::string& file : namer.run.files) {
        const long long size = file == "-" ? -1 : regularFileSize(file);
        if (size < 0) {
            progress.totalBytes = -1;
            break;
        }
        progress.totalBytes += size;
    }
}

// Every message goes through here, so that none is written over the
// progress line.
void sayError(Namer& namer, const std::string& message) {
    clearProgress(namer);
    std::fprintf(namer.run.err, "teseco: %s\n", message.c_str());
}

const NameTexts& namesOf(Namer& namer, std::int32_t index) {
    NameTexts& texts = namer.names[static_cast<std::size_t>(index)];
    if (texts.eco.empty()) {
        OpeningName name = openingNameAt(namer.book, index);
        for (char& c : name.name) {
            if (c == '\n' || c == '\r') c = ' ';
        }
        appendTagPair(texts.ecoPair, "ECO", name.eco);
        appendTagPair(texts.openingPair, "Opening", name.name);
        texts.eco = std::move(name.eco);
        texts.name = std::move(name.name);
    }
    return texts;
}

// Plays the main line up to the book's longest line; a move that cannot be
// played is reported and ends the reading. False after such a move.
bool readOpening(Namer& namer, const PgnGame& game, const std::string& file) {
    GameNaming& naming = namer.naming;
    startNaming(naming);
    if (!startsFromInitialPosition(game)) return true;
    MovetextCursor cursor = movetextOf(game);
    std::string_view move;
    long line = 0;
    for (int ply = 0; ply < namer.book.longestLine; ++ply) {
        if (!nextMove(cursor, move, line)) break;
        const MoveOutcome outcome = nameMove(namer.book, naming, move);
        if (outcome == READ_PLAYED) continue;
        // A null move is no move that could be played: asked only then.
        if (isNullMove(move)) break;
        sayError(namer, file + ":" + std::to_string(line) + ": game " +
                            std::to_string(game.number) + ": " + moveFaultText(outcome) + " \"" +
                            std::string(move) + "\"");
        return false;
    }
    return true;
}

// The reader's faults of a game and the text before it; false if any.
bool reportFaults(Namer& namer, const PgnGame& game, const std::string& file) {
    for (const PgnFault& fault : game.faults) sayError(namer, file + ":" + pgnFaultMessage(fault));
    return game.faults.empty();
}

void appendNumber(std::string& out, long long number) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, result.ptr);
}

void appendTableLine(Namer& namer, const std::string& file, const PgnGame& game) {
    std::string& out = namer.output;
    out.append(file).append(1, '\t');
    appendNumber(out, game.number);
    out += '\t';
    if (namer.naming.index < 0) {
        out.append("?\t0\t?\n");
        return;
    }
    const NameTexts& texts = namesOf(namer, namer.naming.index);
    out.append(texts.eco).append(1, '\t');
    appendNumber(out, namer.naming.ply);
    out.append(1, '\t').append(texts.name).append(1, '\n');
}

// Names every game of one open file; false when a game had a move error or
// the file could not be read to its end.
bool nameFile(Namer& namer, PgnReader& reader, const std::string& file) {
    bool clean = true;
    PgnGame game;
    while (nextGame(reader, game)) {
        clean &= reportFaults(namer, game, file);
        clean &= readOpening(namer, game, file);
        if (namer.run.tagMode) {
            namer.output.append(game.skipped);
            if (namer.naming.index < 0) {
                namer.output.append(game.text);
            } else {
                const NameTexts& texts = namesOf(namer, namer.naming.index);
                appendTaggedGame(namer.output, game, texts.ecoPair, texts.openingPair);
            }
        } else {
            appendTableLine(namer, file, game);
        }
        if (namer.output.size() >= OUTPUT_FLUSH_SIZE) {
            flushOutput(namer);
            if (namer.writeFailed) return false;
        }
        if ((++namer.games & 1023) == 0 && namer.progress.enabled) {
            showProgress(namer, reader.consumed);
        }
    }
    clean &= reportFaults(namer, game, file);
    if (reader.utf16) {
        sayError(namer, file + ": " + UTF16_FILE_MESSAGE);
        clean = false;
    }
    if (namer.run.tagMode) namer.output.append(game.skipped);
    namer.progress.doneBytes += reader.consumed;
    if (reader.readError) {
        sayError(namer, file + ": cannot read file");
        clean = false;
    }
    return clean;
}

}  // namespace

int nameOpenings(const OpeningBook& book, NamingRun& run) {
    Namer namer{book, run, {}, {}, {}, {}, 0, false};
    namer.names.resize(static_cast<std::size_t>(book.positionCount));
    buildHomePawnFilter(book, namer.naming.filter);
    startProgress(namer);
    if (!run.tagMode) namer.output.append("file\tgame\teco\tply\topening\n");
    int status = 0;
    PgnReader reader;
    for (const std::string& file : run.files) {
        if (!openPgn(reader, file)) {
            sayError(namer, file + ": cannot read file");
            status = 1;
            continue;
        }
        if (!nameFile(namer, reader, file)) status = 1;
        closePgn(reader);
        flushOutput(namer);
        if (namer.writeFailed) break;
    }
    flushOutput(namer);
    clearProgress(namer);
    return namer.writeFailed ? 1 : status;
}
