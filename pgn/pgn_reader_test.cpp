#include "pgn/pgn_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "tests/support/file_text.h"

namespace {

// The lichess sample: 5,000 games, each with its tags on a line each, whose
// moves stand on one line and end at the marker that the Result tag names.
TEST(NextGame, ReadsTheLichessSample) {
    std::FILE* stream = std::fopen(TESSARA_SOURCE_DIR "/data/lichess-2013-01-5000.pgn", "rb");
    ASSERT_NE(stream, nullptr);
    PgnReader reader;
    openPgnStream(reader, stream, "sample");
    PgnGame game;
    long plies = 0, tags = 0;
    while (nextGame(reader, game)) {
        ASSERT_GE(game.tags.size(), 13u) << game.number;
        ASSERT_EQ(game.tags[0].name, "Event");
        tags += static_cast<long>(game.tags.size());
        std::string_view result = *game.tag("Result");
        std::string_view text = game.text.substr(0, game.text.size() - 1);
        EXPECT_EQ(text.substr(text.size() - result.size()), result) << game.number;
        EXPECT_EQ(game.movetextLine, game.firstLine + static_cast<long>(game.tags.size()));
        MovetextCursor cursor = movetextOf(game);
        std::string_view move;
        long line = 0;
        while (nextMove(cursor, move, line)) {
            ++plies;
            EXPECT_EQ(line, game.movetextLine + 1);
        }
    }
    EXPECT_EQ(game.number, 5000);
    EXPECT_EQ(reader.line, 89982);
    EXPECT_EQ(plies, 327416);
    EXPECT_EQ(tags, 74982);
    EXPECT_EQ(reader.consumed, 3743501u);
    std::fclose(stream);
}

// Memory stays that of a game or two: the buffer does not grow with the
// file, only with the largest game.
TEST(NextGame, HoldsOneGameAtATime) {
    std::FILE* stream = std::fopen(TESSARA_SOURCE_DIR "/data/lichess-2013-01-5000.pgn", "rb");
    ASSERT_NE(stream, nullptr);
    PgnReader reader;
    reader.blockSize = 4096;
    openPgnStream(reader, stream, "sample");
    PgnGame game;
    std::size_t largest = 0;
    while (nextGame(reader, game))
        largest = std::max(largest, game.skipped.size() + game.text.size());
    EXPECT_EQ(game.number, 5000);
    EXPECT_LE(reader.capacity, 2 * std::max<std::size_t>(largest, 4096) + 2 * 4096);
    std::fclose(stream);
}

// "-" reads standard input; a reader starts over with each file.
TEST(OpenPgn, ReadsStandardInputAndStartsOverPerFile) {
    ASSERT_NE(std::freopen(TESSARA_SOURCE_DIR "/data/lichess-2013-01-5000.pgn", "rb", stdin),
              nullptr);
    PgnReader reader;
    ASSERT_TRUE(openPgn(reader, "-"));
    PgnGame game;
    while (nextGame(reader, game)) {
    }
    EXPECT_EQ(game.number, 5000);
    closePgn(reader);
    EXPECT_EQ(std::fgetc(stdin), EOF);  // read to the end, and still open

    std::FILE* stream = streamOf("\n\n1. e4 *\n");
    openPgnStream(reader, stream, "second");
    ASSERT_TRUE(nextGame(reader, game));
    EXPECT_EQ(game.number, 1);
    EXPECT_EQ(game.firstLine, 3);
    EXPECT_EQ(reader.consumed, 10u);
    std::fclose(stream);
}

// Text that no game ends would have to be held whole: past the buffer's
// limit the reader stops as at a read error instead.
TEST(NextGame, StopsWhereAGameOutgrowsTheBuffer) {
    std::string bytes = "[Event \"A\"]\n1. e4 *\n" + std::string(5000, 'x');
    std::FILE* stream = streamOf(bytes);
    PgnReader reader;
    reader.blockSize = 256;
    reader.maxBuffer = 1024;
    openPgnStream(reader, stream, "big");
    PgnGame game;
    ASSERT_TRUE(nextGame(reader, game));
    EXPECT_EQ(game.text, "[Event \"A\"]\n1. e4 *\n");
    EXPECT_FALSE(nextGame(reader, game));
    EXPECT_TRUE(reader.readError);
    EXPECT_LE(reader.capacity, 1024u);
    EXPECT_EQ(game.skipped, std::string_view(bytes).substr(21, game.skipped.size()));
    std::fclose(stream);
}

// Inputs that would cost time out of step with their length if the reader
// looked back over what it has read, or far ahead, at every line. Read in
// step with their length they take well under a second each; a reader that
// did look back would hold the suite for minutes (bench/ times the reader).
TEST(NextGame, ReadsLongRunsOfUnclosedTextAndSplitTagSections) {
    struct Case {
        const char* what;
        std::string piece;  // repeated
        int count;
        int games;
        std::size_t tags;  // of the first game
    } cases[] = {
        {"a tag section of new names between empty lines", "[T \"v\"]\n\n", 100000, 1, 100000},
        {"an unclosed comment in every game", "[Event \"A\"]\n1. e4 {x\n", 500000, 500000, 1},
        {"an unclosed variation in every game", "[Event \"A\"]\n1. e4 (x\n", 60000, 60000, 1},
        {"an unclosed comment before the tags", "{x\n[Event \"A\"]\n*\n", 60000, 60000, 1},
    };
    for (const Case& c : cases) {
        std::string bytes;
        for (int i = 0; i < c.count; ++i) {
            std::string piece = c.piece;
            if (c.games == 1) piece.replace(2, 0, std::to_string(i));  // names T0, T1, ...
            bytes += piece;
        }
        std::FILE* stream = streamOf(bytes);
        PgnReader reader;
        openPgnStream(reader, stream, "long.pgn");
        PgnGame game;
        int games = 0;
        std::size_t tags = 0;
        while (nextGame(reader, game)) {
            if (++games == 1) tags = game.tags.size();
        }
        EXPECT_EQ(games, c.games) << c.what;
        EXPECT_EQ(tags, c.tags) << c.what;
        std::fclose(stream);
    }
}

// Only a UTF-16 byte-order mark at the very start refuses a file; such a
// file delivers nothing, whatever the block size.
TEST(NextGame, RefusesUtf16Files) {
    struct Utf16Case {
        std::string bytes;
        bool refused;
    } cases[] = {
        {"\xFF\xFE[\0E\0v\0", true},
        {"\xFE\xFF\0[\0E", true},
        {"\xFF\xFE", true},
        {"\xFF", false},
        {"\xFE", false},
        {"1. e4 \xFF\xFE *", false},
        {"", false},
    };
    for (const Utf16Case& c : cases) {
        for (std::size_t block : {1, 1 << 16}) {
            std::FILE* stream = streamOf(c.bytes);
            PgnReader reader;
            reader.blockSize = block;
            openPgnStream(reader, stream, "u.pgn");
            PgnGame game;
            int games = 0;
            while (nextGame(reader, game)) ++games;
            EXPECT_EQ(reader.utf16, c.refused) << c.bytes;
            EXPECT_EQ(reader.consumed, c.refused ? 0 : c.bytes.size()) << c.bytes;
            EXPECT_EQ(games, c.bytes.starts_with("1.") ? 1 : 0) << c.bytes;
            EXPECT_FALSE(reader.readError);
            std::fclose(stream);
        }
    }
}

TEST(OpenPgn, RefusesMissingFilesAndDirectories) {
    PgnReader reader;
    EXPECT_FALSE(openPgn(reader, TESSARA_SOURCE_DIR "/data/no-such-file.pgn"));
    EXPECT_FALSE(openPgn(reader, TESSARA_SOURCE_DIR "/data"));
    ASSERT_TRUE(openPgn(reader, TESSARA_SOURCE_DIR "/data/lichess-2013-01-5000.SOURCE"));
    PgnGame game;
    EXPECT_FALSE(nextGame(reader, game));
    EXPECT_EQ(game.skipped.size(), 899u);
    closePgn(reader);
    EXPECT_EQ(reader.stream, nullptr);
}

// A stream that fails on reading (a directory opened as a file, where the
// system allows that) ends the games and sets the flag.
TEST(NextGame, ReportsAReadError) {
    std::FILE* stream = std::fopen(TESSARA_SOURCE_DIR "/data", "rb");
    if (!stream) GTEST_SKIP() << "directories cannot be opened as files here";
    PgnReader reader;
    openPgnStream(reader, stream, "data");
    PgnGame game;
    EXPECT_FALSE(nextGame(reader, game));
    EXPECT_TRUE(reader.readError);
    std::fclose(stream);
}

}  // namespace
