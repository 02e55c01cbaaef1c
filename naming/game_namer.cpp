#include "naming/game_namer.h"

#include <charconv>

#include "book/opening_listing.h"
#include "pgn/tag_writer.h"

namespace {

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
                 NamingResult& result) {
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
        std::string& messages = result.messages;
        std::vector<NumberMark>* marks = namer.marksNumbers ? &result.messageMarks : nullptr;
        messages.append("teseco: ").append(file).append(":");
        appendNumber(messages, line, true, marks);
        messages.append(": game ");
        appendNumber(messages, game.number, false, marks);
        messages.append(": ");
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
                     NamingResult& result) {
    std::string& out = result.output;
    out.append(file).append(1, '\t');
    appendNumber(out, game.number, false, namer.marksNumbers ? &result.outputMarks : nullptr);
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

}  // namespace

void startGameNamer(GameNamer& namer) {
    namer.names.resize(static_cast<std::size_t>(namer.book.positionCount));
    buildHomePawnFilter(namer.book, namer.naming.filter);
    if (namer.run.output == NamingOutput::STATISTICS) startTally(namer.tally, namer.book);
}

bool copiesGames(const NamingRun& run) {
    return run.output == NamingOutput::TAGS || run.output == NamingOutput::GAMES;
}

bool selectsEveryGame(const GameSelection& selection) {
    return !selection.byCodes && !selection.byText;
}

bool appendFaults(const std::vector<PgnFault>& faults, const std::string& file,
                  std::string& messages, std::vector<NumberMark>* marks) {
    for (const PgnFault& fault : faults) {
        messages.append("teseco: ").append(file).append(":");
        appendNumber(messages, fault.line, true, marks);
        messages.append(": ");
        if (fault.game > 0) {
            messages.append("game ");
            appendNumber(messages, fault.game, false, marks);
            messages.append(": ");
        }
        messages.append(pgnFaultText(fault.kind)).append(1, '\n');
    }
    return faults.empty();
}

void appendNumber(std::string& text, long number, bool line, std::vector<NumberMark>* marks) {
    if (marks) {
        marks->push_back({text.size(), number, line});
    } else {
        appendNumber(text, number);
    }
}

std::string utf16FileMessage(const std::string& file) {
    return "teseco: " + file + ": " + UTF16_FILE_MESSAGE + "\n";
}

void nameGame(GameNamer& namer, const PgnGame& game, FileWalk& walk, NamingResult& result) {
    result.clean &= appendFaults(game.faults, walk.name, result.messages,
                                 namer.marksNumbers ? &result.messageMarks : nullptr);
    result.clean &= readOpening(namer, game, walk.name, result);
    ++result.games;
    switch (namer.run.output) {
        case NamingOutput::TABLE:
            appendTableLine(namer, walk.name, game, result);
            break;
        case NamingOutput::TAGS:
        case NamingOutput::GAMES:
            appendSelectedGame(namer, game, walk, result.output);
            break;
        case NamingOutput::STATISTICS:
            if (isSelected(namer, namer.naming.index)) {
                countGame(namer.tally, namer.naming.index, game);
            }
            break;
    }
}
