// Naming games one after the other, for any of teseco's outputs: what one
// thread needs (its board, the texts of the book positions met so far, its
// tally for -s) and what a stretch of games gives (output text, messages).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/opening_reader.h"
#include "naming/game_naming.h"
#include "naming/naming_run.h"
#include "naming/opening_statistics.h"
#include "pgn/pgn_reader.h"

// The cached texts of one book position: eco and name for the table, the two
// tag pairs for -t, and whether -e and -n keep its games (-1: not asked yet).
struct NameTexts {
    std::string eco;
    std::string name;
    std::string ecoPair;
    std::string openingPair;
    signed char selected = -1;
};

// What names games one after the other. Each thread has one of its own.
struct GameNamer {
    const OpeningBook& book;
    const NamingRun& run;
    GameNaming naming;
    std::vector<NameTexts> names;  // by book position, filled as positions are first named
    OpeningTally tally;            // -s: the games this namer counted
    // The games' and lines' numbers count from the start of a stretch of
    // games named apart from those before it: they go into marks, not into
    // the text, until the games before are counted.
    bool marksNumbers = false;
};

// A game or line number left out of a text at `at`, counted from the start
// of its stretch of games.
struct NumberMark {
    std::size_t at = 0;
    long value = 0;
    bool line = false;  // a line number, else a game number
};

// What naming a stretch of games gives. For consecutive stretches, the
// outputs and the messages one after the other are what the whole gives
// (with the numbers of the marks put in).
struct NamingResult {
    std::string output;
    std::string messages;  // whole lines, "teseco: " first
    std::vector<NumberMark> outputMarks;
    std::vector<NumberMark> messageMarks;
    std::uint64_t games = 0;
    bool clean = true;  // no move error
};

// Where the walk through one file stands: the text between two games goes
// out with the game before it, when that one went out.
struct FileWalk {
    const std::string& name;
    bool lastWritten = false;
};

// Gets a namer ready for the run: the home-pawn filter of the book, room for
// the texts and, for -s, an empty tally.
void startGameNamer(GameNamer& namer);

// Does the run write the games (-t, -e, -n), and so the text between them?
bool copiesGames(const NamingRun& run);

// Does the run keep every game (no -e, no -n)?
bool selectsEveryGame(const GameSelection& selection);

// The reader's faults of a game (or of the text after a file's last game)
// as message lines; true when there are none.
bool appendFaults(const std::vector<PgnFault>& faults, const std::string& file,
                  std::string& messages, std::vector<NumberMark>* marks = nullptr);

// A game or line number into `text`, or, with `marks`, a mark for it.
void appendNumber(std::string& text, long number, bool line, std::vector<NumberMark>* marks);

// The message line for a file refused as UTF-16.
std::string utf16FileMessage(const std::string& file);

// Names one game, after its faults, and adds what it gives to `result`; for -s the game goes
// into the namer's tally. The text before the game goes out when
// `walk.lastWritten`.
void nameGame(GameNamer& namer, const PgnGame& game, FileWalk& walk, NamingResult& result);
