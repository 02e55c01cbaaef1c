#include "naming/naming_run.h"

#include <charconv>
#include <cstdint>

#include "book/opening_listing.h"
#include "naming/game_naming.h"
#include "naming/opening_statistics.h"
#include "naming/progress.h"
#include "pgn/tag_writer.h"

namespace {

constexpr std::size_t OUTPUT_FLUSH_SIZE = std::size_t{1} << 18;

// The cached texts of one book position: eco and name for the table, the two
// tag pairs for -t, and whether -e and -n keep its games (-1: not asked yet).
struct NameTexts {
    std::string eco;
    std::string name;
    std::string ecoPair;
    std::string openingPair;
    signed char selected = -1;
};

// What names games one after the other: the board of the game at hand and
// the texts of the book positions met so far.
struct GameNamer {
    const OpeningBook& book;
    const NamingRun& run;
    GameNaming naming;
    std::vector<NameTexts> names;  // by book position, filled as positions are first named
};

// What naming a stretch of games gives. For consecutive stretches, the
// outputs and messages one after the other and the tallies added up are
// what the whole gives.
struct NamingResult {
    std::string output;
    std::string messages;  // whole lines, "teseco: " first
    OpeningTally tally;    // -s
    std::uint64_t games = 0;
    bool clean = true;  // no move error
};

// Where the walk through one file stands: the text between two games goes
// out with the game before it, when that one went out.
struct FileWalk {
    const std::string& name;
    bool lastWritten = false;
};

bool selectsEveryGame(const GameSelection& selection) {
    return !selection.byCodes && !selection.byText;
}

const NameTexts& namesOf(GameNamer& namer, std::int32_t index) {
    NameTexts& texts = namer.names[static_cast<std::size_t>(index)];
    if (texts.eco.empty()) {
        OpeningName name = openingNameAt(namer.book, index);
        name.name = oneLineName(std::move(name.name));
        appendTagPair(texts.ecoPair, "ECO", name.eco);
        appendTagPair(texts.openingPair, "Opening", name.name);
        texts.eco = std::move(name.eco);
        texts.name = std::move(name.name);
    }
    return texts;
}

// Does -e and -n keep a game named with the position `index` (-1: none)?
bool isSelected(GameNamer& namer, std::int32_t index) {
    if (selectsEveryGame(namer.run.selection)) return true;
    if (index < 0) return false;
    const NameTexts& texts = namesOf(namer, index);
    signed char& selected = namer.names[static_cast<std::size_t>(index)].selected;
    if (selected < 0) selected = selectsOpening(namer.run.selection, texts.eco, texts.name);
    return selected == 1;
}

// Plays the main line up to the book's longest line; a move that cannot be
// played is reported and ends the reading. False after such a move.
bool readOpening(GameNamer& namer, const PgnGame& game, const std::string& file,
                 std::string& messages) {
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
        messages.append("teseco: ").append(file).append(":").append(std::to_string(line));
        messages.append(": game ").append(std::to_string(game.number)).append(": ");
        messages.append(moveFaultText(outcome)).append(" \"").append(move).append("\"\n");
        return false;
    }
    return true;
}

void appendNumber(std::string& out, long long number) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, result.ptr);
}

void appendTableLine(GameNamer& namer, const std::string& file, const PgnGame& game,
                     std::string& out) {
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

// The game as -t writes it, or as it stands for -e and -n, when the
// selection keeps it, after the text before it when the game before went out.
void appendSelectedGame(GameNamer& namer, const PgnGame& game, FileWalk& walk, std::string& out) {
    if (walk.lastWritten) out.append(game.skipped);
    const std::int32_t index = namer.naming.index;
    walk.lastWritten = isSelected(namer, index);
    if (!walk.lastWritten) return;
    if (namer.run.output == NamingOutput::TAGS && index >= 0) {
        const NameTexts& texts = namesOf(namer, index);
        appendTaggedGame(out, game, texts.ecoPair, texts.openingPair);
    } else {
        out.append(game.text);
    }
}

// Names one game and adds what it gives to `result`.
void nameGame(GameNamer& namer, const PgnGame& game, FileWalk& walk, NamingResult& result) {
    result.clean &= readOpening(namer, game, walk.name, result.messages);
    ++result.games;
    switch (namer.run.output) {
        case NamingOutput::TABLE:
            appendTableLine(namer, walk.name, game, result.output);
            break;
        case NamingOutput::TAGS:
        case NamingOutput::GAMES:
            appendSelectedGame(namer, game, walk, result.output);
            break;
        case NamingOutput::STATISTICS:
            if (isSelected(namer, namer.naming.index)) {
                countGame(result.tally, namer.naming.index, game);
            }
            break;
    }
}

// The state of a whole run, owned by nameOpenings.
struct Namer {
    GameNamer games;
    NamingResult result;
    Progress progress;
    bool writeFailed = false;
};

void flushOutput(Namer& namer) {
    std::string& output = namer.result.output;
    if (output.empty()) return;
    if (!namer.writeFailed &&
        std::fwrite(output.data(), 1, output.size(), namer.games.run.out) != output.size()) {
        namer.writeFailed = true;
    }
    output.clear();
}

// Every message goes through here, so that none is written over the
// progress line.
void writeMessages(Namer& namer) {
    std::string& messages = namer.result.messages;
    if (messages.empty()) return;
    clearProgress(namer.progress);
    std::fwrite(messages.data(), 1, messages.size(), namer.games.run.err);
    messages.clear();
}

void sayCannotRead(Namer& namer, const std::string& file) {
    namer.result.messages.append("teseco: ").append(file).append(": cannot read file\n");
    writeMessages(namer);
}

// Names every game of one open file; false when a game had a move error or
// the file could not be read to its end.
bool nameFile(Namer& namer, PgnReader& reader, const std::string& file) {
    const NamingRun& run = namer.games.run;
    namer.result.clean = true;
    FileWalk walk{file, selectsEveryGame(run.selection)};
    PgnGame game;
    while (nextGame(reader, game)) {
        nameGame(namer.games, game, walk, namer.result);
        writeMessages(namer);
        if (namer.result.output.size() >= OUTPUT_FLUSH_SIZE) {
            flushOutput(namer);
            if (namer.writeFailed) return false;
        }
        if ((namer.result.games & 1023) == 0 && namer.progress.enabled) {
            showProgress(namer.progress, namer.result.games, reader.consumed);
        }
    }
    const bool copies = run.output == NamingOutput::TAGS || run.output == NamingOutput::GAMES;
    if (copies && walk.lastWritten) namer.result.output.append(game.skipped);
    namer.progress.doneBytes += reader.consumed;
    if (reader.readError) {
        sayCannotRead(namer, file);
        return false;
    }
    return namer.result.clean;
}

}  // namespace

int nameOpenings(const OpeningBook& book, NamingRun& run) {
    Namer namer{{book, run, {}, {}}, {}, {}, false};
    namer.games.names.resize(static_cast<std::size_t>(book.positionCount));
    buildHomePawnFilter(book, namer.games.naming.filter);
    startTally(namer.result.tally, book);
    startProgress(namer.progress, run.err, run.files);
    if (run.output == NamingOutput::TABLE) {
        namer.result.output.append("file\tgame\teco\tply\topening\n");
    }
    int status = 0;
    PgnReader reader;
    for (const std::string& file : run.files) {
        if (!openPgn(reader, file)) {
            sayCannotRead(namer, file);
            status = 1;
            continue;
        }
        if (!nameFile(namer, reader, file)) status = 1;
        closePgn(reader);
        flushOutput(namer);
        if (namer.writeFailed) break;
    }
    if (run.output == NamingOutput::STATISTICS && !namer.writeFailed) {
        namer.result.output += statisticsTable(namer.result.tally, book);
    }
    flushOutput(namer);
    clearProgress(namer.progress);
    return namer.writeFailed ? 1 : status;
}
