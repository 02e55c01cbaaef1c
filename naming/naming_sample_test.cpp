// The lichess sample of 5,000 games named with the lichess opening book, as
// the shipped data make them: every game is read without a move error, -t
// changes nothing but the opening tags, and the names agree with the ones
// lichess gave the games where the two books agree.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "naming/game_naming.h"
#include "naming/naming_run.h"
#include "tests/support/pgn_support.h"

namespace {

const std::string SAMPLE = TESSARA_SOURCE_DIR "/data/lichess-2013-01-5000.pgn";

using pgn_test::lichessBook;
using pgn_test::takeWritten;

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result run(bool tagMode) {
    NamingRun naming;
    naming.output = tagMode ? NamingOutput::TAGS : NamingOutput::TABLE;
    naming.files = {SAMPLE};
    naming.out = std::tmpfile();
    naming.err = std::tmpfile();
    const int status = nameOpenings(lichessBook(), naming);
    return {status, takeWritten(naming.out), takeWritten(naming.err)};
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> parts;
    std::istringstream in(line);
    for (std::string part; std::getline(in, part, '\t');) parts.push_back(part);
    return parts;
}

TEST(LichessSample, EveryGameIsNamedWithoutAMoveError) {
    ASSERT_EQ(7848, lichessBook().positionCount);
    const Result table = run(false);
    EXPECT_EQ(0, table.status);
    EXPECT_EQ("", table.err);
    std::istringstream lines(table.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ("file\tgame\teco\tply\topening", line);

    // The names against the tags lichess wrote, game by game.
    PgnReader reader;
    ASSERT_TRUE(openPgn(reader, SAMPLE));
    PgnGame game;
    int games = 0, sameEco = 0, sameName = 0, sameBoth = 0, named = 0;
    while (nextGame(reader, game) && std::getline(lines, line)) {
        const std::vector<std::string> parts = fields(line);
        ASSERT_EQ(5u, parts.size()) << line;
        EXPECT_EQ(std::to_string(++games), parts[1]);
        const std::string* eco = game.tag("ECO");
        const std::string* opening = game.tag("Opening");
        named += parts[2] != "?";
        sameEco += eco && *eco == parts[2];
        sameName += opening && *opening == parts[4];
        sameBoth += eco && opening && *eco == parts[2] && *opening == parts[4];
    }
    closePgn(reader);
    EXPECT_EQ(5000, games);
    EXPECT_FALSE(std::getline(lines, line)) << line;
    // The agreement with the tags lichess wrote, pinned for the shipped
    // sample and book: a change in the naming shows here.
    EXPECT_EQ(5000, named);
    EXPECT_EQ(4215, sameEco);
    EXPECT_EQ(2431, sameName);
    EXPECT_EQ(2257, sameBoth);
}

TEST(LichessSample, TagModeChangesNothingButTheOpeningTags) {
    const Result tagged = run(true);
    EXPECT_EQ(0, tagged.status);
    EXPECT_EQ("", tagged.err);
    const std::string input = fileText(SAMPLE);
    EXPECT_NE(input, tagged.out);
    EXPECT_TRUE(pgn_test::withoutOpeningTags(input) == pgn_test::withoutOpeningTags(tagged.out));
}

// The home-pawn filter only saves lookups: every game gets the same name
// and ply with it as without it. The board key kept up to date move by move
// is the packed board after every move.
TEST(LichessSample, HomePawnFilterChangesNoName) {
    GameNaming plain;
    GameNaming filtered;
    buildHomePawnFilter(lichessBook(), filtered.filter);
    PgnReader reader;
    ASSERT_TRUE(openPgn(reader, SAMPLE));
    PgnGame game;
    int skipped = 0;
    while (nextGame(reader, game)) {
        startNaming(plain);
        startNaming(filtered);
        MovetextCursor cursor = movetextOf(game);
        std::string_view move;
        long line = 0;
        for (int ply = 0; ply < lichessBook().longestLine && nextMove(cursor, move, line); ++ply) {
            if (nameMove(lichessBook(), plain, move) != READ_PLAYED) break;
            ASSERT_EQ(READ_PLAYED, nameMove(lichessBook(), filtered, move));
            std::uint8_t key[PACKED_BOARD_SIZE];
            packBoard(plain.position, key);
            ASSERT_EQ(0, std::memcmp(key, plain.key, sizeof key)) << game.number << " " << move;
            if (filtered.bookReachable) {
                ASSERT_EQ(homePawns(filtered.position), filtered.homeMask) << game.number;
            } else {
                ++skipped;
            }
        }
        ASSERT_EQ(plain.index, filtered.index) << game.number;
        ASSERT_EQ(plain.ply, filtered.ply) << game.number;
    }
    closePgn(reader);
    EXPECT_GT(skipped, 10000);  // plies after which no board of the book can come back
}

}  // namespace
