// Reading one move in algebraic notation and playing it. Lenient in what it
// reads (capture and promotion signs optional, castling with O or 0, long or
// short from-square), strict in what it plays: the text must fit exactly one
// legal move, or the outcome says why it fits none or several.
#pragma once

#include <string_view>

#include "chess/board.h"
#include "chess/movegen.h"

// The move being read: a move's four bytes and the kind of the moving piece.
// `from` may be partial: file + 0x80 (rank missing), 0x08 + 16 * rank (file
// missing) or NO_SQUARE (neither).
struct ParsedMove {
    Square from;
    Square to;
    std::uint8_t special;
    std::int8_t captured;
    std::int8_t piece;
};
static_assert(sizeof(ParsedMove) == 5);

constexpr int MAX_CANDIDATES = 16;

struct MoveReader {
    ParsedMove currentMove = {};
    // From-squares of the legal moves that fit the text, in move-list order.
    Square candidateFrom[MAX_CANDIDATES] = {};
    int candidateCount = 0;
    // Whether the side to move stands in check, worked out by playSanMove
    // after the move it played: known while the position's ply count is
    // checkPly. Then a move that is no king's and no capture en passant only
    // needs the line from its king through its from-square looked at.
    int checkPly = -1;
    bool inCheck = false;
};

// Character classes of the move notation.
constexpr std::uint8_t CC_FILE = 1;
constexpr std::uint8_t CC_RANK = 2;

// What became of a move text. The book ends the run on anything but
// READ_PLAYED; a game reader reports the move and goes on with the next game.
enum MoveOutcome : std::uint8_t {
    READ_PLAYED,
    READ_UNREADABLE,       // not a move at all
    READ_NO_PIECE,         // no legal move fits the text
    READ_AMBIGUOUS,        // more than one legal move fits it
    READ_NO_CASTLE_RIGHT,  // castling after the king or that rook has moved
    READ_CASTLE_ATTACKED,  // castling from, over or onto an attacked square
};

// Reads and plays one move as PGN writes it: the whole text must be one
// move, followed by nothing but check or mate signs and annotation marks
// ('+', '#', '!', '?'), which are not checked against the position. The
// position changes only when the result is READ_PLAYED.
MoveOutcome playSanMove(Position& position, MoveReader& reader, std::string_view text);

// Finds the one legal move that fits reader.currentMove (filled by parseMove)
// and commits it; the castling right and squares are checked first.
MoveOutcome playParsedMove(Position& position, MoveReader& reader);

// Fills reader.currentMove from the text; gives the characters consumed, or
// a negative value when the text is not a move.
int parseMove(const Position& position, MoveReader& reader, const char* text);

// Reads a file letter and a rank digit, either of which may be missing, and
// gives the complete or partial square; text moves past what was read.
Square readSquare(const char*& text);

// 'P' PAWN to 'K' KING, upper case only; anything else EMPTY.
PieceKind pieceKindOfLetter(char letter);

// Collects the from-squares of the legal moves that fit reader.currentMove
// and gives their count, from the text alone: only the squares from which a
// piece of the named kind reaches the destination are looked at, no move
// list is generated. A castling fits when the board allows it; that none of
// the king's squares is attacked is for the caller to check first, as
// playParsedMove does.
int findFittingMoves(Position& position, MoveReader& reader);
