#include "chess/attack.h"

#include "chess/movegen.h"

static_assert(ATTACK_TABLE[ATTACK_SPAN].mask == 0);
static_assert(ATTACK_TABLE[ATTACK_SPAN + 1].mask ==
              (ATTACK_BIT[KING] | ATTACK_BIT[ROOK] | ATTACK_BIT[QUEEN]));
static_assert(ATTACK_TABLE[ATTACK_SPAN - 17].mask ==
              (ATTACK_BIT[KING] | ATTACK_BIT[BISHOP] | ATTACK_BIT[QUEEN]));
static_assert(ATTACK_TABLE[ATTACK_SPAN + 33].mask == ATTACK_BIT[KNIGHT] &&
              ATTACK_TABLE[ATTACK_SPAN + 33].step == 33);
static_assert(ATTACK_TABLE[ATTACK_SPAN + 119].step == 17 && ATTACK_TABLE[0].step == -17);

bool isPawnAttack(const Position& position, Square target, int color) {
    int square = target - PAWN_ATTACK_OFFSET[color];
    for (int tries = 0; tries < 2; ++tries, square += 2) {
        if (!onBoard(square)) continue;
        const BoardCell cell = position.board[square];
        if (cell.piece == PAWN && cell.color == color) return true;
    }
    return false;
}

namespace {

// Does a piece of the kind (no pawn) on `from` attack the target over empty
// squares?
inline bool pieceAttacks(const Position& position, int kind, int from, int target) {
    const AttackEntry& line = attackEntry(target - from);
    if ((ATTACK_BIT[kind] & line.mask) == 0) return false;
    // A knight's jump or a single step cannot be blocked.
    if (line.mask & (ATTACK_BIT[KNIGHT] | ATTACK_BIT[KING])) return true;
    int square = from + line.step;
    while (square != target && position.board[square].piece == EMPTY) square += line.step;
    return square == target;
}

// Is there a line piece of the color behind the empty square `vacated`, as
// seen from the king?
bool attacksThrough(const Position& position, int king, int vacated, int color) {
    const AttackEntry& line = attackEntry(vacated - king);
    if ((line.mask & ATTACK_BIT[QUEEN]) == 0) return false;
    int square = king + line.step;
    while (onBoard(square) && position.board[square].piece == EMPTY) square += line.step;
    if (!onBoard(square)) return false;
    const BoardCell cell = position.board[square];
    return cell.color == color && (attackEntry(king - square).mask & ATTACK_BIT[cell.piece]) != 0;
}

}  // namespace

bool isSquareAttacked(const Position& position, Square target, int color) {
    if (isPawnAttack(position, target, color)) return true;
    const PieceEntry* list = position.pieceList[color];
    for (int index = PIECES_PER_COLOR - 1; index >= 0; --index) {
        const PieceEntry entry = list[index];
        if (entry.kind == EMPTY || entry.kind == PAWN) continue;
        if (pieceAttacks(position, entry.kind, entry.square, target)) return true;
    }
    return false;
}

bool isInCheck(const Position& position, int color) {
    return isSquareAttacked(position, kingSquare(position, color), color ^ 1);
}

// One pass over the opponent's pieces for all three squares.
bool castleThroughAttack(const Position& position, Square kingTo) {
    const int castling = rankOf(kingTo) == homeRank(WHITE) ? WHITE : BLACK;
    const int enemy = castling ^ 1;
    const int home = kingHome(castling);
    const int step = (kingTo & 4) ? 1 : -1;
    const Square squares[3] = {static_cast<Square>(home), static_cast<Square>(home + step),
                               static_cast<Square>(home + 2 * step)};
    for (Square square : squares) {
        if (isPawnAttack(position, square, enemy)) return true;
    }
    for (const PieceEntry& entry : position.pieceList[enemy]) {
        if (entry.kind == EMPTY || entry.kind == PAWN) continue;
        for (Square square : squares) {
            if (pieceAttacks(position, entry.kind, entry.square, square)) return true;
        }
    }
    return false;
}

bool givesCheck(const Position& position, Move move) {
    const int king = kingSquare(position, position.sideToMove);
    if (move.special == MOVE_CASTLE) {
        return pieceAttacks(position, ROOK, castleRookSquares(move.to).to, king);
    }
    const int mover = position.otherSide;
    const int kind = position.board[move.to].piece;
    if (kind == PAWN) {
        const int square = king - PAWN_ATTACK_OFFSET[mover];
        if (move.to == square || move.to == square + 2) return true;
    } else if (kind != KING && pieceAttacks(position, kind, move.to, king)) {
        return true;
    }
    if (attacksThrough(position, king, move.from, mover)) return true;
    return move.special == MOVE_EN_PASSANT &&
           attacksThrough(position, king, passedPawnSquare(move.from, move.to), mover);
}
