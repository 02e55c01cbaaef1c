// Naming the opening of one game: its main line played against an opening
// book, the deepest position of the book it reached, and whether the game
// is one of standard chess from the initial position at all.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "book/opening_reader.h"
#include "chess/movereader.h"
#include "pgn/pgn_reader.h"

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
