#include "pgn/movetext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The moves of a movetext that begins on line 1, as "move@line ...".
std::string movesOf(std::string_view text) {
    MovetextCursor cursor = movetextCursor(text, 0, 1);
    std::string out;
    std::string_view move;
    long line = 0;
    while (nextMove(cursor, move, line))
        out += std::string(move) + "@" + std::to_string(line) + " ";
    EXPECT_EQ(cursor.at, cursor.end);
    return out;
}

struct WalkCase {
    const char* what;
    std::string_view text;
    const char* moves;
};

const WalkCase WALK_CASES[] = {
    {"numbers, marks and NAGs", "1.e4! e5?? 2. Nf3!? ... Nc6 $14 3.O-O e.p. 0-0-0 --",
     "e4@1 e5@1 Nf3@1 Nc6@1 O-O@1 0-0-0@1 --@1 "},
    {"stops at the marker", "1. e4 1-0 d4", "e4@1 "},
    {"markers only as tokens", "e4* 1-01 x1/2 1/2-1/2x *", "e4*@1 1-01@1 x1/2@1 1/2-1/2x@1 "},
    {"line ends LF, CRLF and lone CR", "e4\ne5\r\nNf3\rNc6\r\r\nBb5",
     "e4@1 e5@2 Nf3@3 Nc6@4 Bb5@6 "},
    {"comments count their line ends", "e4 {a\rb\r\nc\nd} e5", "e4@1 e5@4 "},
    {"variations and comments in them", "e4 (d4 {)} (c4\r) ; x\n) e5", "e4@1 e5@3 "},
    {"rest-of-line comments end at a lone CR", "e4 ; e5\rNf3 ; x\r\nNc6", "e4@1 Nf3@2 Nc6@3 "},
    {"escape lines after any line end", "%e4\ne5\r%d4\rNf3\r\n%c4\nNc6", "e5@2 Nf3@4 Nc6@6 "},
    {"an open comment runs to the end", "e4 {e5\rNf3", "e4@1 "},
    {"an open variation runs to the end", "e4 (d4\rd5", "e4@1 "},
};

TEST(NextMove, WalksTheMainLine) {
    for (const WalkCase& c : WALK_CASES) EXPECT_EQ(movesOf(c.text), c.moves) << c.what;
}

}  // namespace
