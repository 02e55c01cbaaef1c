// Is a square attacked by a color? Pawns are tried on their two squares; the
// other pieces come from the color's piece list, and a table indexed by the
// difference of two squares says at once whether the piece's kind could
// reach the target at all and in which unit step.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

#include "chess/board.h"

// Bits of the pieces that could cover a square difference on an empty board.
constexpr std::uint8_t ATTACK_BIT[7] = {0, 1, 2, 4, 8, 16, 32};

struct AttackEntry {
    std::uint8_t mask;
    std::int8_t step;
};
static_assert(sizeof(AttackEntry) == 2);

// Differences of two on-board squares run from -119 to +119.
constexpr int ATTACK_SPAN = 119;
constexpr int ATTACK_ENTRIES = 2 * ATTACK_SPAN + 1;

constexpr std::array<AttackEntry, ATTACK_ENTRIES> buildAttackTable() {
    std::array<AttackEntry, ATTACK_ENTRIES> table{};
    constexpr int KNIGHT_JUMPS[] = {-33, -31, -18, -14, 14, 18, 31, 33};
    for (int jump : KNIGHT_JUMPS) {
        table[jump + ATTACK_SPAN] = {ATTACK_BIT[KNIGHT], static_cast<std::int8_t>(jump)};
    }
    constexpr int LINE_STEPS[] = {15, 17, 16, 1};
    for (int step : LINE_STEPS) {
        bool diagonal = step == 15 || step == 17;
        std::uint8_t bits = ATTACK_BIT[QUEEN] | (diagonal ? ATTACK_BIT[BISHOP] : ATTACK_BIT[ROOK]);
        for (int sign : {-1, 1}) {
            for (int k = 1; k <= 7; ++k) {
                AttackEntry& entry = table[sign * k * step + ATTACK_SPAN];
                entry.mask = bits | (k == 1 ? ATTACK_BIT[KING] : 0);
                entry.step = static_cast<std::int8_t>(sign * step);
            }
        }
    }
    return table;
}

constexpr std::array<AttackEntry, ATTACK_ENTRIES> ATTACK_TABLE = buildAttackTable();

inline const AttackEntry& attackEntry(int difference) {
    return ATTACK_TABLE[difference + ATTACK_SPAN];
}

// A pawn of color c attacks a target from target - offset and from
// target - offset + 2.
constexpr int PAWN_ATTACK_OFFSET[2] = {17, -15};

bool isPawnAttack(const Position& position, Square target, int color);
bool isSquareAttacked(const Position& position, Square target, int color);
// Is the king of the color attacked by the other color?
bool isInCheck(const Position& position, int color);
// Does the move just committed give check? In a position reached by legal
// moves only the piece on the destination and line pieces behind the squares
// the move emptied can. After a castling only the rook can: a line through
// the emptied corner leaves the board, one through the king's home square
// meets the rook.
bool givesCheck(const Position& position, Move move);

// Is the castling king's home square, the square it passes over or its
// destination attacked by the opponent?
bool castleThroughAttack(const Position& position, Square kingTo);
