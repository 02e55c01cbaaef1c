#include "chess/attack.h"

#include <gtest/gtest.h>

#include "tests/support/chess_support.h"

namespace {

using chess_test::setupFen;

Position fromFen(const char* fen) {
    Position position;
    EXPECT_TRUE(setupFen(position, fen)) << fen;
    return position;
}

constexpr std::uint8_t KNIGHT_BIT = ATTACK_BIT[KNIGHT];
constexpr std::uint8_t DIAGONAL = ATTACK_BIT[BISHOP] | ATTACK_BIT[QUEEN];
constexpr std::uint8_t STRAIGHT = ATTACK_BIT[ROOK] | ATTACK_BIT[QUEEN];
constexpr std::uint8_t KING_BIT = ATTACK_BIT[KING];

struct AttackCase {
    int difference;
    std::uint8_t mask;
    int step;
};

// Worked by hand: a1 to h8 is +119, a1 to a8 +112, h1 to a8 +105, a1 to h1
// +7, a knight jump from e4 to f6 +33, e4 to g5 +18.
constexpr AttackCase attackCases[] = {
    {0, 0, 0},
    {119, DIAGONAL, 17},
    {-119, DIAGONAL, -17},
    {112, STRAIGHT, 16},
    {-112, STRAIGHT, -16},
    {105, DIAGONAL, 15},
    {7, STRAIGHT, 1},
    {-7, STRAIGHT, -1},
    {1, STRAIGHT | KING_BIT, 1},
    {-16, STRAIGHT | KING_BIT, -16},
    {15, DIAGONAL | KING_BIT, 15},
    {-17, DIAGONAL | KING_BIT, -17},
    {33, KNIGHT_BIT, 33},
    {-18, KNIGHT_BIT, -18},
    {14, KNIGHT_BIT, 14},
    {-31, KNIGHT_BIT, -31},
    {2 * 17, DIAGONAL, 17},
    {8, 0, 0},   // not a difference of two on-board squares
    {35, 0, 0},  // c1 to f3: no piece line
    {-120 + 1, DIAGONAL, -17},
    {47, 0, 0},
};

TEST(AttackTable, EntriesFollowTheRule) {
    for (const AttackCase& test : attackCases) {
        EXPECT_EQ(test.mask, attackEntry(test.difference).mask) << test.difference;
        EXPECT_EQ(test.step, attackEntry(test.difference).step) << test.difference;
    }
    int lines = 0;
    for (const AttackEntry& entry : ATTACK_TABLE) lines += entry.mask != 0;
    EXPECT_EQ(8 + 4 * 2 * 7, lines);  // knight jumps and four lines both ways
}

struct SquareCase {
    const char* fen;
    Square target;
    int color;
    bool attacked;
};

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

constexpr SquareCase squareCases[] = {
    {START, 0x24, WHITE, true},   // e3 by the pawns d2 and f2
    {START, 0x24, BLACK, false},  //
    {START, 0x34, WHITE, false},  // e4
    {START, 0x34, BLACK, false},  //
    {START, 0x54, BLACK, true},   // e6
    {START, 0x54, WHITE, false},  //
    {START, 0x22, WHITE, true},   // c3 by the b1 knight too
    // Rook a1 behind the knight on a2: a8 is covered only through the knight's
    // own square, b4 by the knight's jump.
    {"4k3/8/8/8/8/8/N7/R3K3 w - - 0 1", 0x70, WHITE, false},
    {"4k3/8/8/8/8/8/N7/R3K3 w - - 0 1", 0x31, WHITE, true},
    {"4k3/8/8/8/8/8/N7/R3K3 w - - 0 1", 0x10, WHITE, true},  // the knight's own square
    // Queen one diagonal step away; and down a long open diagonal.
    {"4k3/8/8/8/8/3q4/8/4K3 w - - 0 1", 0x14, BLACK, true},
    {"4k3/8/8/8/8/3q4/8/4K3 w - - 0 1", 0x01, BLACK, true},
    {"4k3/8/8/8/2P5/3q4/8/4K3 w - - 0 1", 0x61, BLACK, false},  // blocked at c4
    // Pawns never wrap around the board edge.
    {"4k3/8/8/8/7P/8/8/4K3 w - - 0 1", 0x46, WHITE, true},   // h4 takes g5
    {"4k3/8/8/8/7P/8/8/4K3 w - - 0 1", 0x38, WHITE, false},  // nothing past h
    {"4k3/8/8/8/P7/8/8/4K3 w - - 0 1", 0x41, WHITE, true},   // a4 takes b5
    {"4k3/8/8/p7/8/8/8/4K3 w - - 0 1", 0x31, BLACK, true},   // a5 takes b4
    {"4k3/8/8/p7/8/8/8/4K3 w - - 0 1", 0x30, BLACK, false},  // not straight ahead
    {"4k3/8/8/8/8/8/7p/4K3 w - - 0 1", 0x06, BLACK, true},   // h2 takes g1
    {"4k3/8/8/8/8/8/7p/4K3 w - - 0 1", 0x16, BLACK, false},  // not beside
    // Kings attack the squares around them.
    {"8/8/8/8/8/2k5/8/4K3 w - - 0 1", 0x11, BLACK, true},
    {"8/8/8/8/8/2k5/8/4K3 w - - 0 1", 0x04, BLACK, false},
};

TEST(IsSquareAttacked, ByPawnsAndPieces) {
    for (const SquareCase& test : squareCases) {
        const Position position = fromFen(test.fen);
        EXPECT_EQ(test.attacked, isSquareAttacked(position, test.target, test.color))
            << test.fen << " target " << int(test.target) << " by " << test.color;
    }
}

TEST(IsSquareAttacked, CapturedPieceNeverAttacks) {
    Position position = fromFen("4k3/8/8/8/8/8/8/R3K3 w - - 0 1");
    EXPECT_TRUE(isSquareAttacked(position, 0x70, WHITE));
    position.pieceList[WHITE][1].kind = EMPTY;  // the rook, taken; its square stays
    position.board[0x00] = BoardCell{EMPTY, 0};
    EXPECT_FALSE(isSquareAttacked(position, 0x70, WHITE));
}

TEST(IsPawnAttack, OnlyDiagonallyForward) {
    const Position position = fromFen("4k3/8/8/3p4/3P4/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(isPawnAttack(position, 0x42, WHITE));   // d4 takes c5
    EXPECT_TRUE(isPawnAttack(position, 0x44, WHITE));   // and e5
    EXPECT_FALSE(isPawnAttack(position, 0x43, WHITE));  // not d5
    EXPECT_TRUE(isPawnAttack(position, 0x32, BLACK));   // d5 takes c4
    EXPECT_FALSE(isPawnAttack(position, 0x22, BLACK));
    EXPECT_FALSE(isPawnAttack(position, 0x42, BLACK));  // not backwards
}

TEST(IsInCheck, LooksAtTheKingOfTheColor) {
    Position start;
    setupStartPosition(start);
    EXPECT_FALSE(isInCheck(start, WHITE));
    EXPECT_FALSE(isInCheck(start, BLACK));
    const Position checked = fromFen("4k3/8/8/8/8/3n4/8/4K3 w - - 0 1");
    EXPECT_TRUE(isInCheck(checked, WHITE));
    EXPECT_FALSE(isInCheck(checked, BLACK));
    const Position discovered = fromFen("4k3/4r3/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(isInCheck(discovered, WHITE));
}

struct CastleCase {
    const char* fen;
    Square kingTo;
    bool attacked;
};

constexpr CastleCase castleCases[] = {
    {"4k3/8/8/8/8/8/6b1/R3K2R w KQ - 0 1", 0x06, true},   // bishop on g2 covers f1
    {"4k3/8/8/8/8/8/6b1/R3K2R w KQ - 0 1", 0x02, false},  //
    {"4k3/8/8/8/8/3b4/8/R3K2R w KQ - 0 1", 0x02, false},  // bishop covers b1 only
    {"4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", 0x06, false},
    {"4k3/8/8/8/8/8/8/R3K1rR w KQ - 0 1", 0x06, true},    // rook on g1, the destination
    {"4k3/8/8/8/8/8/8/R2rK2R w KQ - 0 1", 0x02, true},    // d1, passed over
    {"4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", 0x06, true},   // e1, in check
    {"4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", 0x02, true},   //
    {"r3k2r/8/8/8/8/8/8/4KR2 b kq - 0 1", 0x76, true},    // f8 against White's rook
    {"r3k2r/8/8/8/8/8/8/4K1R1 b kq - 0 1", 0x76, true},   // g8
    {"r3k2r/8/8/8/8/8/8/4K2R b kq - 0 1", 0x76, false},   // h8 is not tested
    {"r3k2r/8/8/8/8/8/8/1R2K3 b kq - 0 1", 0x72, false},  // b8 is not tested
    {"r3k2r/8/8/8/8/8/8/2R1K3 b kq - 0 1", 0x72, true},   // c8
};

TEST(CastleThroughAttack, HomePassedAndDestinationSquares) {
    for (const CastleCase& test : castleCases) {
        const Position position = fromFen(test.fen);
        EXPECT_EQ(test.attacked, castleThroughAttack(position, test.kingTo))
            << test.fen << " to " << int(test.kingTo);
    }
}

}  // namespace
