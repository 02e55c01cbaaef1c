// The chess position on a 0x88 board: the board itself, one piece list per
// color that always agrees with it, and the state of the game (side to move,
// castling rights, en-passant square, ply count). Every change of the board
// goes through the four primitives below, which keep board and lists in step.
#pragma once

#include <cstdint>

// A square is 16 * rank + file (rank and file 0..7). A value is off the board
// exactly when value & 0x88 is not zero, which also catches steps below rank 1
// once the arithmetic is done in int. Stored in one byte; the move reader
// also keeps partial squares in it (file + 0x80, 0x08 + 16 * rank).
using Square = std::uint8_t;
constexpr Square NO_SQUARE = 0x88;

constexpr bool onBoard(int square) {
    return (square & 0x88) == 0;
}
constexpr Square makeSquare(int file, int rank) {
    return static_cast<Square>(16 * rank + file);
}
constexpr int fileOf(int square) {
    return square & 7;
}
constexpr int rankOf(int square) {
    return square >> 4;
}

enum PieceKind : std::int8_t { EMPTY, PAWN, KNIGHT, BISHOP, ROOK, QUEEN, KING };
enum Color : std::int8_t { WHITE, BLACK };

// The squares of the castling pieces before they move: the king on the
// e-file, the rooks in the corners of its color's first rank.
constexpr int homeRank(int color) {
    return color == WHITE ? 0 : 7;
}
constexpr Square kingHome(int color) {
    return makeSquare(4, homeRank(color));
}
constexpr Square rookHome(int color, bool kingSide) {
    return makeSquare(kingSide ? 7 : 0, homeRank(color));
}

// The square of the pawn taken en passant: the file of the capture's
// destination on the rank of the capturing pawn.
constexpr Square passedPawnSquare(int from, int to) {
    return static_cast<Square>((to & 7) + (from & 0x70));
}

// The piece letters of the move notation, for kinds 1 to 6.
constexpr char PIECE_LETTERS[] = "PNBRQK";

// An empty cell is always (0, 0); the position keys of the book rely on it.
struct BoardCell {
    std::int8_t piece;
    std::int8_t color;
    friend bool operator==(const BoardCell&, const BoardCell&) = default;
};
static_assert(sizeof(BoardCell) == 2);

// A captured piece keeps its entry and its last square with kind EMPTY.
struct PieceEntry {
    std::int8_t kind;
    Square square;
    friend bool operator==(const PieceEntry&, const PieceEntry&) = default;
};
static_assert(sizeof(PieceEntry) == 2);

// The special byte of a move: 2..5 are the promotion kinds.
enum MoveSpecial : std::uint8_t { MOVE_NORMAL = 0, MOVE_EN_PASSANT = 1, MOVE_CASTLE = 6 };

// A move is four bytes; two moves are the same when all four are equal.
// For castling `to` is the king's destination, for en passant the square
// passed over; `captured` is what stood on `to` (EMPTY for both).
struct Move {
    Square from;
    Square to;
    std::uint8_t special;
    std::int8_t captured;
    friend bool operator==(const Move&, const Move&) = default;
};
static_assert(sizeof(Move) == 4);

enum CastleRight : std::uint8_t { CASTLE_WK = 1, CASTLE_WQ = 2, CASTLE_BK = 4, CASTLE_BQ = 8 };

constexpr int PIECES_PER_COLOR = 16;
constexpr int BOARD_CELLS = 128;
// squareEntry value of a square that has never held a piece.
constexpr std::uint8_t NO_ENTRY = 0;

struct Position {
    BoardCell board[BOARD_CELLS] = {};
    // Entry 0 of each list is that color's king.
    PieceEntry pieceList[2][PIECES_PER_COLOR] = {};
    // Per square, the index (16 * color + entry) of the piece standing on it.
    // After removePiece it still names the removed piece, so that taking the
    // move back can restore it.
    std::uint8_t squareEntry[BOARD_CELLS] = {};
    int sideToMove = WHITE;
    int otherSide = BLACK;
    std::uint8_t castleRights = 0;
    Square epSquare = NO_SQUARE;
    int plyCount = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

inline PieceEntry& entryOn(Position& position, Square square) {
    std::uint8_t index = position.squareEntry[square];
    return position.pieceList[index >> 4][index & 15];
}

inline Square kingSquare(const Position& position, int color) {
    return position.pieceList[color][0].square;
}

// Clears everything and sets up the initial position with White to move.
void setupStartPosition(Position& position);

// Rebuilds both piece lists and the square references from the board: per
// color the king first, then queens, rooks, bishops, knights and pawns, each
// kind from h8 down to a1. A color may have at most 16 pieces.
void buildPieceLists(Position& position);

// Empties the square and marks its piece as captured; the square keeps its
// reference to the piece's entry.
inline void removePiece(Position& position, Square square) {
    position.board[square] = BoardCell{EMPTY, 0};
    entryOn(position, square).kind = EMPTY;
}

// Puts back, in color otherSide, the piece that removePiece took off this
// square, through the reference the square kept.
inline void putPiece(Position& position, Square square, PieceKind kind) {
    position.board[square] = BoardCell{kind, static_cast<std::int8_t>(position.otherSide)};
    PieceEntry& entry = entryOn(position, square);
    entry.kind = kind;
    entry.square = square;
}

// Moves the piece on a to the empty square b.
inline void transferPiece(Position& position, Square a, Square b) {
    BoardCell cell = position.board[a];
    position.board[a] = position.board[b];
    position.board[b] = cell;
    std::uint8_t reference = position.squareEntry[a];
    position.squareEntry[a] = position.squareEntry[b];
    position.squareEntry[b] = reference;
    entryOn(position, b).square = b;
}

// Changes the kind of the piece on the square (promotion and its reversal).
inline void setPieceKind(Position& position, Square square, PieceKind kind) {
    position.board[square].piece = kind;
    entryOn(position, square).kind = kind;
}

// After a committed move: sets the en-passant square after a pawn's double
// step (whether or not a pawn could take) and masks the castling rights with
// both squares of the move.
void updatePlyState(Position& position, Move move, PieceKind piece);
