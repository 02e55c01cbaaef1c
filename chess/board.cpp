#include "chess/board.h"

#include <array>
#include <cassert>
#include <cstring>

namespace {

// Both colors use the same back rank, so both queens stand on the d-file.
constexpr PieceKind BACK_RANK[8] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, BISHOP, KNIGHT, ROOK};

// ANDed into castleRights for both squares of every move: a right goes when
// the king or the rook leaves home, or when the rook is taken at home.
constexpr std::array<std::uint8_t, BOARD_CELLS> buildCastleMask() {
    std::array<std::uint8_t, BOARD_CELLS> mask{};
    for (auto& byte : mask) byte = 15;
    mask[rookHome(WHITE, false)] = 15 & ~CASTLE_WQ;
    mask[kingHome(WHITE)] = 15 & ~(CASTLE_WK | CASTLE_WQ);
    mask[rookHome(WHITE, true)] = 15 & ~CASTLE_WK;
    mask[rookHome(BLACK, false)] = 15 & ~CASTLE_BQ;
    mask[kingHome(BLACK)] = 15 & ~(CASTLE_BK | CASTLE_BQ);
    mask[rookHome(BLACK, true)] = 15 & ~CASTLE_BK;
    return mask;
}

constexpr std::array<std::uint8_t, BOARD_CELLS> castleMask = buildCastleMask();
static_assert(castleMask[0x00] == 13 && castleMask[0x04] == 12 && castleMask[0x07] == 14);
static_assert(castleMask[0x70] == 7 && castleMask[0x74] == 3 && castleMask[0x77] == 11);

void clearPieceLists(Position& position) {
    std::memset(position.pieceList, 0, sizeof position.pieceList);
    std::memset(position.squareEntry, NO_ENTRY, sizeof position.squareEntry);
}

}  // namespace

void setupStartPosition(Position& position) {
    std::memset(position.board, 0, sizeof position.board);
    clearPieceLists(position);
    for (int file = 0; file < 8; ++file) {
        position.board[makeSquare(file, 0)] = BoardCell{BACK_RANK[file], WHITE};
        position.board[makeSquare(file, 1)] = BoardCell{PAWN, WHITE};
        position.board[makeSquare(file, 6)] = BoardCell{PAWN, BLACK};
        position.board[makeSquare(file, 7)] = BoardCell{BACK_RANK[file], BLACK};
    }
    position.sideToMove = WHITE;
    position.otherSide = BLACK;
    position.plyCount = 0;
    position.castleRights = CASTLE_WK | CASTLE_WQ | CASTLE_BK | CASTLE_BQ;
    position.epSquare = NO_SQUARE;
    buildPieceLists(position);
}

void buildPieceLists(Position& position) {
    clearPieceLists(position);
    int last[2] = {-1, -1};
    for (int kind = KING; kind >= PAWN; --kind) {
        for (int square = 0x77; square >= 0; --square) {
            if (square & 0x08) square -= 8;
            const BoardCell cell = position.board[square];
            if (cell.piece != kind) continue;
            int index = ++last[cell.color];
            assert(index < PIECES_PER_COLOR);
            position.pieceList[cell.color][index] =
                PieceEntry{static_cast<std::int8_t>(kind), static_cast<Square>(square)};
            position.squareEntry[square] = static_cast<std::uint8_t>(16 * cell.color + index);
        }
    }
}

void updatePlyState(Position& position, Move move, PieceKind piece) {
    position.epSquare = NO_SQUARE;
    if (piece == PAWN && ((move.from - move.to) & 63) == 32) {
        position.epSquare = static_cast<Square>((move.from + move.to) / 2);
    }
    position.castleRights &= castleMask[move.from] & castleMask[move.to];
}
