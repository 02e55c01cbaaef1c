// Pseudo-legal move generation and the making and taking back of moves.
// Pseudo-legal: every move the pieces can make by their rules of movement,
// without asking about the mover's king, the castling rights or attacked
// castling squares; the move reader answers those.
#pragma once

#include "chess/board.h"

// No position has more pseudo-legal moves: a king gives at most 10 and each
// of the other 15 pieces at most 27 (a queen in the open).
constexpr int MAX_MOVES = 512;
static_assert(10 + 15 * 27 <= MAX_MOVES);

struct MoveList {
    Move moves[MAX_MOVES];
    int moveCount = 0;
};

// Fills the list with every pseudo-legal move of sideToMove, visiting the
// squares file by file from a1 to h8; gives the move count.
int generateMoves(const Position& position, MoveList& list);

// The same for the pieces of one kind only, in the piece list's order: the
// move reader needs no moves of the pieces that the move text does not name.
// With a target, pieces that cannot reach it by their way of moving are
// passed over as well (a king is always expanded, for its castling).
int generateMovesOf(const Position& position, MoveList& list, PieceKind only,
                    Square target = NO_SQUARE);

// Appends (genFrom, target, MOVE_NORMAL, piece on target) unless a piece of
// sideToMove stands on the target.
void addMove(const Position& position, MoveList& list, Square genFrom, Square target);
// Appends the four promotions to the target, queen, rook, bishop, knight.
void addPromotions(const Position& position, MoveList& list, Square genFrom, Square target);
// Appends the capture en passant onto epSquare.
void addEnPassant(const Position& position, MoveList& list, Square genFrom);

// Castling as far as the board shows it: the king of sideToMove at home, the
// rook of the destination's side in its corner and the squares between them
// empty. Rights and attacks are the move reader's.
bool castlingFits(const Position& position, Square kingTo);

// Applies the move to board and piece lists only; the side to move and the
// rest of the game state stay as they are.
void makeMove(Position& position, Move move);
// Takes back the move just made: board and piece lists are exactly as they
// were before makeMove.
void unmakeMove(Position& position, Move move);

struct RookSquares {
    Square from;
    Square to;
};
// The rook's move that goes with a castling king's destination.
RookSquares castleRookSquares(Square kingTo);

// Plays the move for good: makes it, counts the ply, updates the en-passant
// square and castling rights, and passes the turn.
void commitMove(Position& position, Move move, PieceKind piece);
