#include "naming/game_naming.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "tests/support/pgn_support.h"

namespace {

const OpeningBook& smallBook() {
    static const OpeningBook book = pgn_test::compileBookText(
        "B20 Sicilian Defense\n1.e4 c5 1/2\n"
        "B21 Sicilian Defense: Smith-Morra Gambit\n1.e4 c5 2.d4 cxd4 3.c3 1/2\n"
        "C20 King's Pawn Game\n1.e4 e5 1/2\n"
        "D06 Queen's Gambit\n1.d4 d5 2.c4 1/2\n"
        "A13 English Opening: Agincourt Defense\n1.c4 e6 1/2\n");
    return book;
}

struct NamingCase {
    const char* moves;  // blank-separated, as the PGN reader gives them
    const char* eco;    // "?" when no position was found
    int ply;
    MoveOutcome last;  // the outcome of the last move
};

constexpr NamingCase namingCases[] = {
    {"", "?", 0, READ_PLAYED},
    {"e4", "C20", 1, READ_PLAYED},  // shortest lines tie: the last one read
    {"e4 c5", "B20", 2, READ_PLAYED},
    {"e4 c5 Nf3 d6 d4", "B20", 2, READ_PLAYED},  // the deepest match, not the last move
    {"e4 c5 d4 cxd4 c3", "B21", 5, READ_PLAYED},
    {"e4+ c5!? d4 cxd4 c3", "B21", 5, READ_PLAYED},
    {"c4 e6 d4 d5", "A13", 2, READ_PLAYED},
    // Transposed into the Queen's Gambit: found by the board alone.
    {"c4 d5 d4", "D06", 3, READ_PLAYED},
    {"Nf3 Nf6", "?", 0, READ_PLAYED},
    // A move that cannot be played keeps what was found before it.
    {"e4 c5 Ke3", "B20", 2, READ_NO_PIECE},
    {"e4 c5 e4", "B20", 2, READ_NO_PIECE},
    {"e4 c5 N", "B20", 2, READ_UNREADABLE},
    {"e4 c5 e2e4", "B20", 2, READ_NO_PIECE},
    {"e4 c5 Nf3 Nc6 d3 e6 Nd2", "B20", 2, READ_AMBIGUOUS},
};

TEST(NameMove, DeepestPlacementOfTheBookWins) {
    for (const NamingCase& test : namingCases) {
        GameNaming naming;
        startNaming(naming);
        MoveOutcome last = READ_PLAYED;
        std::istringstream moves(test.moves);
        for (std::string move; moves >> move && last == READ_PLAYED;) {
            last = nameMove(smallBook(), naming, move);
        }
        EXPECT_EQ(test.last, last) << test.moves;
        const std::string eco =
            naming.index < 0 ? "?" : openingNameAt(smallBook(), naming.index).eco;
        EXPECT_EQ(test.eco, eco) << test.moves;
        EXPECT_EQ(test.ply, naming.ply) << test.moves;
    }
}

TEST(NameMove, EveryGameStartsAfresh) {
    GameNaming naming;
    startNaming(naming);
    ASSERT_EQ(READ_PLAYED, nameMove(smallBook(), naming, "d4"));
    ASSERT_EQ(READ_PLAYED, nameMove(smallBook(), naming, "d5"));
    ASSERT_EQ(READ_PLAYED, nameMove(smallBook(), naming, "c4"));
    startNaming(naming);
    EXPECT_EQ(-1, naming.index);
    EXPECT_EQ(0, naming.ply);
    EXPECT_EQ(READ_PLAYED, nameMove(smallBook(), naming, "e4"));
    EXPECT_EQ(1, naming.position.plyCount);
}

TEST(StartsFromInitialPosition, FenAndVariantTags) {
    struct Case {
        const char* tags;
        bool standard;
    };
    const Case cases[] = {
        {"", true},
        {"[Variant \"Standard\"]", true},
        {"[Variant \"standard\"]", true},
        {"[Variant \"STANDARD\"]", true},
        {"[Variant \"Chess960\"]", false},
        {"[Variant \"\"]", false},
        {"[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\"]", true},
        {"[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 5 9\"]", true},
        {"[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\"]", true},
        {"[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1\"]", false},
        {"[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kkq - 0 1\"]", false},
        {"[FEN \"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1\"]", false},
        {"[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR\"]", false},
        {"[FEN \"\"]", false},
        {"[Variant \"Standard\"]\n[FEN \"8/8/8/8/8/8/8/K1k5 w - - 0 1\"]", false},
    };
    for (const Case& test : cases) {
        pgn_test::OneGame one(std::string("[Event \"x\"]\n") + test.tags + "\n\n1. e4 *\n");
        ASSERT_TRUE(one.found) << test.tags;
        EXPECT_EQ(test.standard, startsFromInitialPosition(one.game)) << test.tags;
    }
}

}  // namespace
