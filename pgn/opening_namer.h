// Naming the opening of every game of PGN files with an opening file: a
// table of the games' openings, or the games written back with ECO and
// Opening tags.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "book/opening_reader.h"
#include "chess/movereader.h"
#include "pgn/pgn_reader.h"

struct NamingRun {
    bool tagMode = false;            // -t: the games again, with ECO and Opening tags
    std::vector<std::string> files;  // PGN names as given, "-" for standard input
    std::FILE* out = stdout;         // results
    std::FILE* err = stderr;         // messages, "teseco: " first; a progress line
                                     // while it is a terminal
};

// Names the opening of every game of every file; gives the exit status: 0
// when every file and game was read, 1 otherwise. A failed write of the
// results ends the run at once; the caller reports it (finishOutput).
int nameOpenings(const OpeningBook& book, NamingRun& run);

// Which boards need no lookup, by the pawns still on their home squares (a
// white pawn on rank 2, a black one on rank 7; bit f for White's on file f,
// bit 8 + f for Black's). Pawns never come back home, so a game can only
// reach a board whose home pawns are a subset of its own: once no board of
// the book is, the rest of the game needs no lookup at all.
struct HomePawnFilter {
    std::vector<std::uint64_t> exact;      // 65,536 bits: some board has these home pawns
    std::vector<std::uint64_t> reachable;  // some board has a subset of them
};

// Builds the filter of a book's boards.
void buildHomePawnFilter(const OpeningBook& book, HomePawnFilter& filter);

// The home pawns of a position, as the filter numbers them.
unsigned homePawns(const Position& position);

// The reading of one game's main line against the book: the position after
// the moves played so far and the deepest of them that the book holds.
struct GameNaming {
    Position position;
    MoveReader reader;
    std::int32_t index = -1;  // that position's index in the book, -1 for none
    int ply = 0;              // the ply after which it stood on the board
    HomePawnFilter filter;    // empty: every board is looked up
    bool bookReachable = true;
    unsigned homeMask = 0xFFFF;  // homePawns of the position, kept up to date
    // packBoard of the position, kept up to date square by square.
    std::uint8_t key[PACKED_BOARD_SIZE] = {};
};

// Back to the initial position with nothing found. A copy of a position set
// up once: setting one up from nothing costs more than the game's moves.
void startNaming(GameNaming& naming);

// Plays the game's next move and looks the new placement up (unless the
// filter rules it out); nothing changes unless the result is READ_PLAYED.
MoveOutcome nameMove(const OpeningBook& book, GameNaming& naming, std::string_view move);

// "--" and "Z0", which some programs write for a pass: the moves after it
// are not a game from the initial position any more.
bool isNullMove(std::string_view move);

// Is the game one of standard chess from the initial position? A FEN tag must
// give that position (the move counters aside) and a Variant tag must be
// "Standard" in any case.
bool startsFromInitialPosition(const PgnGame& game);

// The message for a move of a game that could not be played.
const char* moveFaultText(MoveOutcome outcome);

// Appends a tag pair with the value escaped: `[Name "value"]`. A line end in
// the value becomes a blank, so that the pair stays on one line.
void appendTagPair(std::string& out, std::string_view name, std::string_view value);

// Appends the game's bytes with its ECO and Opening tag pairs replaced in
// place by `ecoPair` and `openingPair`; a missing one is added after the
// last tag line with that line's line end (after the last pair itself when
// the movetext follows on its line), and a game without tags gets both
// lines and an empty line first.
void appendTaggedGame(std::string& out, const PgnGame& game, std::string_view ecoPair,
                      std::string_view openingPair);
