// The moves of an ECO text: each is read from the line buffer, played on the
// book's board, and any move that is unreadable, fits no legal move or fits
// several ends the run with the move error report naming the line.
#pragma once

#include "chess/board.h"
#include "chess/movereader.h"
#include "frame/io.h"

// Reads the move at textCursor, plays the one legal move that fits it, steps
// over a '+' or '#' only when the move gives check, and leaves textCursor
// behind the move. The caller records the new position. A move error ends the
// run.
void playMoveText(Frame& frame, Position& position, MoveReader& reader, const char*& textCursor);

// Checks a castling's right and squares, finds the one fitting legal move and
// commits it; ends the run otherwise.
void checkAndPlayMove(Frame& frame, Position& position, MoveReader& reader, const char* textCursor);

// The message of the move error report for a number of candidates.
const char* moveErrorMessage(int candidateCount);

// Prints the move error report for the move at textCursor and ends the run
// with status 1, leaving pauseFlag as it is. The output file gets nothing.
[[noreturn]] void reportMoveError(Frame& frame, const char* message, const char* textCursor);
