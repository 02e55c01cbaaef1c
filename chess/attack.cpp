#include "chess/attack.h"

static_assert(attackTable[ATTACK_SPAN].mask == 0);
static_assert(attackTable[ATTACK_SPAN + 1].mask ==
              (attackBit[KING] | attackBit[ROOK] | attackBit[QUEEN]));
static_assert(attackTable[ATTACK_SPAN - 17].mask ==
              (attackBit[KING] | attackBit[BISHOP] | attackBit[QUEEN]));
static_assert(attackTable[ATTACK_SPAN + 33].mask == attackBit[KNIGHT] &&
              attackTable[ATTACK_SPAN + 33].step == 33);
static_assert(attackTable[ATTACK_SPAN + 119].step == 17 && attackTable[0].step == -17);

bool isPawnAttack(const Position& position, Square target, int color) {
    int square = target - pawnAttackOffset[color];
    for (int tries = 0; tries < 2; ++tries, square += 2) {
        if (!onBoard(square)) continue;
        const BoardCell cell = position.board[square];
        if (cell.piece == PAWN && cell.color == color) return true;
    }
    return false;
}

namespace {

// Does the piece of the entry (no pawn) attack the target over empty squares?
bool pieceAttacks(const Position& position, PieceEntry entry, int target) {
    const AttackEntry& line = attackEntry(target - entry.square);
    if ((attackBit[entry.kind] & line.mask) == 0) return false;
    // A knight's jump or a single step cannot be blocked.
    if (line.mask & (attackBit[KNIGHT] | attackBit[KING])) return true;
    int square = entry.square + line.step;
    while (square != target && position.board[square].piece == EMPTY) square += line.step;
    return square == target;
}

}  // namespace

bool isSquareAttacked(const Position& position, Square target, int color) {
    if (isPawnAttack(position, target, color)) return true;
    const PieceEntry* list = position.pieceList[color];
    for (int index = PIECES_PER_COLOR - 1; index >= 0; --index) {
        const PieceEntry entry = list[index];
        if (entry.kind == EMPTY || entry.kind == PAWN) continue;
        if (pieceAttacks(position, entry, target)) return true;
    }
    return false;
}

bool isInCheck(const Position& position, int color) {
    return isSquareAttacked(position, kingSquare(position, color), color ^ 1);
}

// One pass over the opponent's pieces for all three squares.
bool castleThroughAttack(const Position& position, Square kingTo) {
    const int castling = kingTo <= 0x70 ? WHITE : BLACK;
    const int enemy = castling ^ 1;
    const int home = castling == WHITE ? 0x04 : 0x74;
    const int step = (kingTo & 4) ? 1 : -1;
    const Square squares[3] = {static_cast<Square>(home), static_cast<Square>(home + step),
                               static_cast<Square>(home + 2 * step)};
    for (Square square : squares) {
        if (isPawnAttack(position, square, enemy)) return true;
    }
    for (const PieceEntry& entry : position.pieceList[enemy]) {
        if (entry.kind == EMPTY || entry.kind == PAWN) continue;
        for (Square square : squares) {
            if (pieceAttacks(position, entry, square)) return true;
        }
    }
    return false;
}
