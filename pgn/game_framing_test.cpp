#include "pgn/game_framing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <random>
#include <string>

#include "tests/support/file_text.h"

#include "pgn/pgn_reader.h"

namespace {

using namespace std::string_literals;

// Everything the reader tells about a file, one line per game:
//   game NUMBER @OFFSET+LENGTH line L [Name=value ...] movetext L: move@line ... !fault ...
// ("[Name~value]" for a pair that is not whole), then "end @OFFSET+LENGTH"
// for the text after the last game, with the faults found in it. Checks on the
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
            out += " [" + tag.name + (tag.whole ? "=" : "~") + tag.value + "]";
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
        for (const PgnFault& fault : game.faults) out += " !" + pgnFaultMessage(fault);
        out += "\n";
    }
    out += "end @" + std::to_string(again.size()) + "+" + std::to_string(game.skipped.size());
    for (const PgnFault& fault : game.faults) out += " !" + pgnFaultMessage(fault);
    out += "\n";
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
     "game 1 @0+41 line 1 [Event~] [Site~] [Date~open] movetext 4: e4@4 !1: game 1: incomplete tag "
     "pair !2: game 1: incomplete tag pair !3: game 1: incomplete tag pair\nend @41+0\n"},
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
    {"comments, variations, escape lines; a tag line ends any comment",
     "[Event \"A\"]\n%escaped 1-0\n1. e4 {a comment\n[Event \"not a tag\"] 1-0\n} e5 (1... c5 "
     "(1... e6 *) 2. Nf3 {)} 1-0) ; 0-1\n"
     "2. Nf3 ( ; )\n) Nc6 0-1\n",
     "game 1 @0+42 line 1 [Event=A] movetext 2: e4@3 !3: game 1: comment not closed before the "
     "next tag pair\ngame 2 @42+24 line 4 [Event=not a tag] movetext 4:\ngame 3 @114+23 line 6 "
     "movetext 6: Nf3@6 Nc6@7\nend @137+0\n"},
    {"markers need a token of their own", "1. e4* e5 2.1-0 x1/2 1-01 1/2-1/2x *\n",
     "game 1 @0+37 line 1 movetext 1: e4*@1 e5@1 1-0@1 x1/2@1 1-01@1 1/2-1/2x@1\nend @37+0\n"},
    {"short draw and text after the marker", "1. e4 1/2 {after}\n1. d4 1-0   \n",
     "game 1 @0+9 line 1 movetext 1: e4@1\ngame 2 @18+13 line 2 movetext 2: d4@2\nend @31+0\n"},
    {"junk between games and a game on one line",
     "Club games\n[Event \"A\"][Site \"B\"] 1. e4 {x} (1. d4) e5 0-1\nsee you\n\n[Event \"C\"]\n*",
     "game 1 @11+47 line 2 [Event=A] [Site=B] movetext 2: e4@2 e5@2\n"
     "game 2 @67+13 line 5 [Event=C] movetext 6:\nend @80+0\n"},
    {"unclosed comment runs to the end", "1. e4 {open\n[Event \"A\"]\n1-0\n",
     "game 1 @0+12 line 1 movetext 1: e4@1 !1: game 1: comment not closed before the next tag "
     "pair\ngame 2 @12+16 line 2 [Event=A] movetext 3:\nend @28+0\n"},
    {"unclosed variation ends at the next tags",
     "[Event \"A\"]\n1. e4 (1. d4 1-0\n[Event \"B\"]\n*\n",
     "game 1 @0+29 line 1 [Event=A] movetext 2: e4@2 !2: game 1: variation not closed before the "
     "next tag pair\ngame 2 @29+14 line 3 [Event=B] movetext 4:\nend @43+0\n"},
    {"nul and invalid bytes", std::string("[Ev\0nt \"\xff\"]\n1. e\0 \xc3( *\n", 22),
     "game 1 @0+22 line 1 [Ev\0nt=\xff] movetext 2: e\0@2 \xc3@2 !2: game 1: variation not closed "
     "at the end of the file\nend @22+0\n"s},
    {"comment open at a tag pair",
     "[Event \"A\"]\n\n1. e4 {open\ne5 2. Nf3\n[Event \"B\"]\n\n1. d4 *\n",
     "game 1 @0+35 line 1 [Event=A] movetext 2: e4@3 !3: game 1: comment not closed before the "
     "next tag pair\ngame 2 @35+21 line 5 [Event=B] movetext 6: d4@7\nend @56+0\n"},
    {"comment open at the end", "1. e4 {open\n\n1. d4 *\n",
     "game 1 @0+21 line 1 movetext 1: e4@1 !1: game 1: comment not closed at the end of the "
     "file\nend @21+0\n"},
    {"comment lines with brackets that are no tag pair",
     "1. e4 {see [1]\n[%clk 0:01]\n  [ \n} e5 *\n",
     "game 1 @0+39 line 1 movetext 1: e4@1 e5@4\nend @39+0\n"},
    {"variation open at the end", "[Event \"A\"]\n1. e4 (1. d4 1-0\n",
     "game 1 @0+29 line 1 [Event=A] movetext 2: e4@2 !2: game 1: variation not closed at the end "
     "of the file\nend @29+0\n"},
    {"comment in an open variation", "1. e4 (1. d4 {x\n[Event \"B\"]\n*",
     "game 1 @0+16 line 1 movetext 1: e4@1 !1: game 1: comment not closed before the next tag "
     "pair\ngame 2 @16+13 line 2 [Event=B] movetext 3:\nend @29+0\n"},
    {"lone CR line ends",
     "[Event \"A\"]\r[Site \"B\"]\r\r1. e4 e5\r2. Nf3 1-0\r\r[Event \"C\"]\r\r1. d4 *\r",
     "game 1 @0+44 line 1 [Event=A] [Site=B] movetext 3: e4@4 e5@4 Nf3@5\ngame 2 @45+21 line 7 "
     "[Event=C] movetext 8: d4@9\nend @66+0\n"},
    {"mixed line ends",
     "[Event \"A\"]\r\n[Site \"B\"]\r\r\n1. e4\re5 *\r\n[Event \"C\"]\n1. d4 1/2\r",
     "game 1 @0+38 line 1 [Event=A] [Site=B] movetext 3: e4@4 e5@5\ngame 2 @38+22 line 6 [Event=C] "
     "movetext 7: d4@7\nend @60+0\n"},
    {"lone CR after the marker", "1. e4 1-0 \r1. d4 *",
     "game 1 @0+11 line 1 movetext 1: e4@1\ngame 2 @11+7 line 2 movetext 2: d4@2\nend @18+0\n"},
    {"a game with tags right after the marker, not one without",
     "[Event \"A\"] 1. e4 1-0 [Event \"E\"] 1. d4 *\n1. c4 0-1  1. Nf3 * x\n",
     "game 1 @0+21 line 1 [Event=A] movetext 1: e4@1\ngame 2 @22+20 line 1 [Event=E] movetext 1: "
     "d4@1\ngame 3 @42+9 line 2 movetext 2: c4@2\nend @51+13\n"},
    {"a comment before the first tags", "{ Games of\n1. e4 fame }\n[Event \"A\"]\n*\n",
     "game 1 @24+14 line 3 [Event=A] movetext 4:\nend @38+0\n"},
    {"an open comment before the first tags",
     "{ Games of\n1. e4 fame\n[Event \"A\"]\n*\n(\n1. d4 *",
     "game 1 @22+14 line 3 [Event=A] movetext 4: !1: comment not closed before the next tag "
     "pair\nend @36+9 !5: variation not closed at the end of the file\n"},
    {"a variation between games", "1. e4 * (c) club\n1. d4 (\n%[\n2. c4 *\n[Event \"B\"]\n*\n",
     "game 1 @0+7 line 1 movetext 1: e4@1\ngame 2 @17+19 line 2 movetext 2: d4@2 !2: game 2: "
     "variation not closed before the next tag pair\ngame 3 @36+14 line 5 [Event=B] movetext "
     "6:\nend @50+0\n"},
    {"blank lines in a tag section", "[Event \"A\"]\n\n[Site \"B\"]\n \t\n[Round \"1\"] 1. e4 *\n",
     "game 1 @0+47 line 1 [Event=A] [Site=B] [Round=1] movetext 5: e4@5\nend @47+0\n"},
    {"a held name after a blank line",
     "[Event \"A\"]\n[White \"x\"]\n\n[Event \"A\"]\n[White \"y\"]\n\n[Event \"A\"]\r\n\r\n[Round "
     "\"3\"]\r\n[Event \"B\"]\r\n\r\n1. e4 *",
     "game 1 @0+25 line 1 [Event=A] [White=x] movetext 3:\ngame 2 @25+25 line 4 [Event=A] "
     "[White=y] movetext 6:\ngame 3 @50+15 line 7 [Event=A] movetext 8:\ngame 4 @65+35 line 9 "
     "[Round=3] [Event=B] movetext 11: e4@12\nend @100+0\n"},
    {"incomplete tag pairs", "[White \"A]\n[Black \"B\"] [Round]\n[ \"x\"]\n\n1. e4 *\n[Bla",
     "game 1 @0+47 line 1 [White~A] [Black=B] [Round~] [~x] movetext 4: e4@5 !1: game 1: "
     "incomplete tag pair !2: game 1: incomplete tag pair !3: game 1: incomplete tag pair\ngame 2 "
     "@47+4 line 6 [Bla~] movetext 6: !6: game 2: incomplete tag pair\nend @51+0\n"},
    {"quotes inside values",
     "[Annotator \"Lopez \"Battle Royale\"\"]\n[A \"a\"b\" ] [B \"\\\"\"]\n*",
     "game 1 @0+57 line 1 [Annotator=Lopez \"Battle Royale\"] [A=a\"b] [B=\"] movetext 3:\nend "
     "@57+0\n"},
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

}  // namespace
