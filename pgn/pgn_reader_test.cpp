#include "pgn/pgn_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

using namespace std::string_literals;

// The file's bytes as a stream the reader can own.
std::FILE* streamOf(const std::string& bytes) {
    std::FILE* stream = std::tmpfile();
    EXPECT_NE(stream, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    return stream;
}

// Everything the reader tells about a file, one line per game:
//   game NUMBER @OFFSET+LENGTH line L [Name=value ...] movetext L: move@line ...
// then "end @OFFSET+LENGTH" for the text after the last game. Checks on the
// way that the skipped texts and the games give back the file.
std::string describe(const std::string& bytes, std::size_t blockSize = 1 << 16) {
    std::FILE* stream = streamOf(bytes);
    PgnReader reader;
    reader.blockSize = blockSize;
    openPgnStream(reader, stream, "test.pgn");
    PgnGame game;
    std::string out, again;
    while (nextGame(reader, game)) {
        again.append(game.skipped).append(game.text);
        out += "game " + std::to_string(game.number) + " @" +
               std::to_string(again.size() - game.text.size()) + "+" +
               std::to_string(game.text.size()) + " line " + std::to_string(game.firstLine);
        for (const PgnTag& tag : game.tags) {
            out += " [" + tag.name + "=" + tag.value + "]";
            EXPECT_EQ(game.text.substr(tag.pairBegin, 1), "[");
            EXPECT_LE(tag.lineBegin, tag.pairBegin);
            EXPECT_LE(tag.pairEnd, tag.lineEnd);
        }
        out += " movetext " + std::to_string(game.movetextLine) + ":";
        MovetextCursor cursor = movetextOf(game);
        std::string_view move;
        long line = 0;
        while (nextMove(cursor, move, line))
            out += " " + std::string(move) + "@" + std::to_string(line);
        out += "\n";
    }
    out +=
        "end @" + std::to_string(again.size()) + "+" + std::to_string(game.skipped.size()) + "\n";
    again.append(game.skipped);
    EXPECT_EQ(again, bytes);
    EXPECT_FALSE(nextGame(reader, game));
    EXPECT_TRUE(game.skipped.empty());
    EXPECT_FALSE(reader.readError);
    EXPECT_EQ(reader.consumed, bytes.size());
    closePgn(reader);
    std::fclose(stream);
    return out;
}

struct ReadCase {
    const char* what;
    std::string input;
    std::string expected;
};

const ReadCase READ_CASES[] = {
    {"empty file", "", "end @0+0\n"},
    {"only junk", "Games of the club\n\n-- page 2 --\n", "end @0+32\n"},
    {"two games with tags",
     "[Event \"A\"]\n[Site \"B\"]\n\n1. e4 e5 2. Nf3 1-0\n\n[Event \"C\"]\n\n1. d4 0-1\n",
     "game 1 @0+44 line 1 [Event=A] [Site=B] movetext 3: e4@4 e5@4 Nf3@4\n"
     "game 2 @45+23 line 6 [Event=C] movetext 7: d4@8\n"
     "end @68+0\n"},
    {"crlf line ends", "[Event \"A\"]\r\n\r\n1. e4\r\ne5 *\r\n\r\n",
     "game 1 @0+28 line 1 [Event=A] movetext 2: e4@3 e5@4\nend @28+2\n"},
    {"byte-order mark", "\xEF\xBB\xBF[Event \"A\"]\n1.e4 *",
     "game 1 @3+18 line 1 [Event=A] movetext 2: e4@2\nend @21+0\n"},
    {"escapes and blanks in tags",
     "  [ White  \"a \\\"b\\\" \\\\ c\" ]  \n[Black \"x]y\"][Round \"3\"]\n\n*\n",
     "game 1 @0+58 line 1 [White=a \"b\" \\ c] [Black=x]y] [Round=3] movetext 3:\nend @58+0\n"},
    {"malformed tag lines", "[Event]\n[Site x \"y\"]\n[Date \"open\n1. e4 *\n",
     "game 1 @0+41 line 1 [Event=] [Site=] [Date=open] movetext 4: e4@4\nend @41+0\n"},
    {"movetext on the tag line", "[Event \"A\"] 1. e4 e5 *\n",
     "game 1 @0+23 line 1 [Event=A] movetext 1: e4@1 e5@1\nend @23+0\n"},
    {"no tags", "1. e4 e5 2. Nf3 *\n\ne4 c5 1/2-1/2\n",
     "game 1 @0+18 line 1 movetext 1: e4@1 e5@1 Nf3@1\ngame 2 @19+14 line 3 movetext 3: e4@3 "
     "c5@3\nend @33+0\n"},
    {"no result before the next tags", "[Event \"A\"]\n\n1. e4 e5\n[Event \"B\"]\n\n1. d4\n",
     "game 1 @0+22 line 1 [Event=A] movetext 2: e4@3 e5@3\ngame 2 @22+19 line 4 [Event=B] movetext "
     "5: d4@6\nend @41+0\n"},
    {"no result: a game without tags runs on", "1. e4 e5\n\n1. d4 d5\n",
     "game 1 @0+19 line 1 movetext 1: e4@1 e5@1 d4@3 d5@3\nend @19+0\n"},
    {"tags without movetext", "[Event \"A\"]\n[Event \"B\"]\n\n[Event \"C\"]",
     "game 1 @0+25 line 1 [Event=A] [Event=B] movetext 3:\ngame 2 @25+11 line 4 [Event=C] movetext "
     "4:\nend @36+0\n"},
    {"move numbers and annotations",
     "1.e4! e5?? 2. Nf3!? ... Nc6?! 3. Bb5 $14 3... a6 4.Ba4 $1 Nf6!! 5.O-O 0-0 6.e8=Q+ e1Q# 7. -- "
     "Z0 *",
     "game 1 @0+97 line 1 movetext 1: e4@1 e5@1 Nf3@1 Nc6@1 Bb5@1 a6@1 Ba4@1 Nf6@1 O-O@1 0-0@1 "
     "e8=Q+@1 e1Q#@1 --@1 Z0@1\nend @97+0\n"},
    {"comments, variations and escape lines",
     "[Event \"A\"]\n%escaped 1-0\n1. e4 {a comment\n[Event \"not a tag\"] 1-0\n} e5 (1... c5 "
     "(1... e6 *) 2. Nf3 {)} 1-0) ; 0-1\n"
     "2. Nf3 ( ; )\n) Nc6 0-1\n",
     "game 1 @0+137 line 1 [Event=A] movetext 2: e4@3 e5@5 Nf3@6 Nc6@7\nend @137+0\n"},
    {"markers need a token of their own", "1. e4* e5 2.1-0 x1/2 1-01 1/2-1/2x *\n",
     "game 1 @0+37 line 1 movetext 1: e4*@1 e5@1 1-0@1 x1/2@1 1-01@1 1/2-1/2x@1\nend @37+0\n"},
    {"short draw and text after the marker", "1. e4 1/2 {after}\n1. d4 1-0   \n",
     "game 1 @0+9 line 1 movetext 1: e4@1\ngame 2 @18+13 line 2 movetext 2: d4@2\nend @31+0\n"},
    {"junk between games and a game on one line",
     "Club games\n[Event \"A\"][Site \"B\"] 1. e4 {x} (1. d4) e5 0-1\nsee you\n\n[Event \"C\"]\n*",
     "game 1 @11+47 line 2 [Event=A] [Site=B] movetext 2: e4@2 e5@2\n"
     "game 2 @67+13 line 5 [Event=C] movetext 6:\nend @80+0\n"},
    {"unclosed comment runs to the end", "1. e4 {open\n[Event \"A\"]\n1-0\n",
     "game 1 @0+28 line 1 movetext 1: e4@1\nend @28+0\n"},
    {"unclosed variation ends at the next tags",
     "[Event \"A\"]\n1. e4 (1. d4 1-0\n[Event \"B\"]\n*\n",
     "game 1 @0+29 line 1 [Event=A] movetext 2: e4@2\ngame 2 @29+14 line 3 [Event=B] movetext "
     "4:\nend @43+0\n"},
    {"nul and invalid bytes", std::string("[Ev\0nt \"\xff\"]\n1. e\0 \xc3( *\n", 22),
     "game 1 @0+22 line 1 [Ev\0nt=\xff] movetext 2: e\0@2 \xc3@2\nend @22+0\n"s},
    {"byte-order mark before later tags", "*\n\xEF\xBB\xBF[Event \"A\"]\n*\n",
     "game 1 @5+14 line 2 [Event=A] movetext 3:\nend @19+0\n"},
};

TEST(NextGame, ReadsEveryCaseAlikeInAnyBlockSize) {
    for (const ReadCase& c : READ_CASES) {
        const std::string& expected = c.expected;
        EXPECT_EQ(describe(c.input), expected) << c.what;
        for (std::size_t block : {1, 2, 3, 7}) {
            EXPECT_EQ(describe(c.input, block), expected) << c.what << ", block " << block;
        }
    }
}

// Inputs made of the pieces that matter to the reader, in any order: every
// block size must read them alike, and the reader must give back every byte.
TEST(NextGame, AnyBytesComeBackInAnyBlockSize) {
    const std::string pieces[] = {"[Event \"A\"]\n",
                                  "[Site \"x\\\"]\"] ",
                                  "\n",
                                  "\r\n",
                                  " ",
                                  "1. ",
                                  "e4 ",
                                  "Nf3",
                                  "O-O ",
                                  "12... ",
                                  "{",
                                  "}",
                                  "(",
                                  ")",
                                  ";",
                                  "%",
                                  "[",
                                  "]",
                                  "1-0",
                                  "0-1",
                                  "1/2",
                                  "1/2-1/2",
                                  "*",
                                  "-",
                                  "/",
                                  "$3 ",
                                  "!?",
                                  "\xEF\xBB\xBF",
                                  "\xEF\xBB",
                                  "\"",
                                  "\\",
                                  std::string(1, '\0'),
                                  "\xff",
                                  "Z0 ",
                                  "-- ",
                                  "0-0-0",
                                  "e.p."};
    std::mt19937 random(20130101);
    for (int round = 0; round < 3000; ++round) {
        std::string input;
        int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) input += pieces[random() % std::size(pieces)];
        std::string whole = describe(input);
        EXPECT_EQ(describe(input, 1 + random() % 9), whole) << input;
    }
}

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
