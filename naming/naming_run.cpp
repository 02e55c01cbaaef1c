#include "naming/naming_run.h"

#include <algorithm>
#include <charconv>

#include "naming/game_naming.h"
#include "naming/progress.h"
#include "pgn/tag_writer.h"

namespace {

constexpr std::size_t OUTPUT_FLUSH_SIZE = std::size_t{1} << 18;

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

// Every message goes through here, so that none is written over the
// progress line.
void sayError(Namer& namer, const std::string& message) {
    clearProgress(namer.progress);
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
            showProgress(namer.progress, namer.games, reader.consumed);
        }
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
    startProgress(namer.progress, run.err, run.files);
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
    clearProgress(namer.progress);
    return namer.writeFailed ? 1 : status;
}
