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

bool isSquareAttacked(const Position& position, Square target, int color) {
    if (isPawnAttack(position, target, color)) return true;
    const PieceEntry* list = position.pieceList[color];
    for (int index = PIECES_PER_COLOR - 1; index >= 0; --index) {
        const PieceEntry entry = list[index];
        if (entry.kind == EMPTY || entry.kind == PAWN) continue;
        const AttackEntry& line = attackEntry(target - entry.square);
        if ((attackBit[entry.kind] & line.mask) == 0) continue;
        // A knight's jump or a single step cannot be blocked.
        if (line.mask & (attackBit[KNIGHT] | attackBit[KING])) return true;
        int square = entry.square + line.step;
        while (square != target && position.board[square].piece == EMPTY) square += line.step;
        if (square == target) return true;
    }
    return false;
}

bool isInCheck(const Position& position, int color) {
    return isSquareAttacked(position, kingSquare(position, color), color ^ 1);
}

bool castleThroughAttack(const Position& position, Square kingTo) {
    const int castling = kingTo <= 0x70 ? WHITE : BLACK;
    const int home = castling == WHITE ? 0x04 : 0x74;
    const int step = (kingTo & 4) ? 1 : -1;
    for (int passed = 0; passed < 3; ++passed) {
        if (isSquareAttacked(position, static_cast<Square>(home + passed * step), castling ^ 1)) {
            return true;
        }
    }
    return false;
}
