// Move generation, making and taking back, and the legality tests together,
// checked against the published perft counts of standard test positions.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "tests/support/chess_support.h"

namespace {

using chess_test::perft;
using chess_test::setupFen;

// Optimised builds go one level deeper; checked builds (sanitizers) keep to
// the shallow counts.
#ifdef NDEBUG
constexpr int EXTRA_DEPTH = 1;
#else
constexpr int EXTRA_DEPTH = 0;
#endif

struct PerftCase {
    const char* name;
    const char* fen;
    std::uint64_t nodes[6];  // depth 1 up
    int depth;               // depth tested in checked builds
};

constexpr PerftCase perftCases[] = {
    {"Start",
     "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
     {20, 400, 8902, 197281, 4865609},
     4},
    // Castling both ways, pins, en passant and promotions all in one.
    {"Kiwipete",
     "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
     {48, 2039, 97862, 4085603},
     3},
    // En passant that would expose the king along the rank, checks.
    {"EndgameEnPassant",
     "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
     {14, 191, 2812, 43238, 674624},
     4},
    // White in check, capture-promotions onto pieces, Black castling only.
    {"PromotionsInCheck",
     "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
     {6, 264, 9467, 422333},
     3},
    // Promotion by capture onto the back rank, king without castling rights.
    {"PromotionCapture",
     "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
     {44, 1486, 62379, 2103487},
     3},
    // Black to move, with the position mirrored.
    {"BlackToMove",
     "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
     {6, 264, 9467, 422333},
     3},
};

void PrintTo(const PerftCase& test, std::ostream* out) {
    *out << test.name;
}

class Perft : public testing::TestWithParam<PerftCase> {};

TEST_P(Perft, MatchesPublishedCounts) {
    const PerftCase& test = GetParam();
    Position position;
    ASSERT_TRUE(setupFen(position, test.fen));
    const Position before = position;
    for (int depth = 1; depth <= test.depth + EXTRA_DEPTH; ++depth) {
        EXPECT_EQ(test.nodes[depth - 1], perft(position, depth)) << "depth " << depth;
    }
    EXPECT_TRUE(before == position) << "perft changed the position";
}

INSTANTIATE_TEST_SUITE_P(StandardPositions, Perft, testing::ValuesIn(perftCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
