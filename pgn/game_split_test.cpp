#include "pgn/game_split.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Where the bytes may be cut, searched from 0; "|" marks the cut in each
// case's text (none: no cut), and is not part of the bytes.
TEST(FindGameCut, CutsOnlyWhereEveryReadingBeginsAGame) {
    const char* const cases[] = {
        // After a game's last line, blank lines between or not.
        "1. e4 e5 1-0\n\n|[Event \"b\"]\n",
        "1. e4 e5 1-0\n|[Event \"b\"]\n",
        "1. e4 {a} e5 1-0\r\n\r\n|[Event \"b\"]\r\n",
        "1. e4 e5 1-0\r\r|[Event \"b\"]\r",
        "{ [%clk 0:01:00] } 1-0\n\n|[Event \"b\"]\n",
        // The first line has no line before it, the last no line end yet.
        "[Event \"a\"]\n",
        "1-0\n\n[Event \"b\"]",
        // In a tag section, blank lines between its lines or not.
        "[Event \"a\"]\n[Site \"b\"]\n",
        "[Event \"a\"]\n\n[Site \"b\"]\n",
        "  [Event \"a\"]\n\n[Site \"b\"]\n",
        "\xEF\xBB\xBF[Event \"a\"]\n\n[Site \"b\"]\n",
        // A tag section that begins after a game's marker on its line.
        "1. e4 1-0 [Event \"a\"]\n\n[Site \"b\"]\n",
        "1. e4 1-0 [Event \"a\n\n[Site \"b\"]\n",
        // A '[' hidden from the scan of its line: an open comment, a ';'.
        "1. e4 { open [Event \"a\"]\n\n[Site \"b\"]\n",
        "1. e4 ; [Event \"a\"]\n\n[Site \"b\"]\n",
        // Lines that begin with '[' but not with a tag pair, or not in the
        // first column.
        "1-0\n\n[%clk 0:01]\n",
        "1-0\n\n[Event]\n",
        "1-0\n\n [Event \"b\"]\n",
        // A line of other white space is not blank: it decides.
        "[Event \"a\"]\n\f\n|[Site \"b\"]\n",
        // The first line that qualifies.
        "1-0\n|[Event \"a\"]\n[Site \"b\"]\n\n1-0\n[Event \"c\"]\n",
    };
    for (const std::string text : cases) {
        const std::size_t mark = text.find('|');
        std::string bytes = text;
        if (mark != std::string::npos) bytes.erase(mark, 1);
        std::size_t from = 0;
        EXPECT_EQ(mark, findGameCut(bytes, from)) << text;
    }
}

TEST(FindGameCut, LooksFromTheFirstLineAtOrAfterTheStart) {
    const std::string bytes = "1-0\n[Event \"a\"]\n\n1-0\n\n[Event \"b\"]\n";
    for (auto [from, cut] : {std::pair<std::size_t, std::size_t>{0, 4},
                             {1, 22},
                             {17, 22},
                             {18, std::string::npos},
                             {22, std::string::npos}}) {
        EXPECT_EQ(cut, findGameCut(bytes, from)) << from;
    }
}

// A search that found nothing goes on, with more bytes, from where it
// stopped, and finds what one search over all the bytes finds.
TEST(FindGameCut, GoesOnWithMoreBytes) {
    const std::string bytes = "[Event \"a\"]\n\n1. e4 e5 1-0\n\n[Event \"b\"]\n";
    for (std::size_t part = 0; part <= bytes.size(); ++part) {
        std::size_t from = 0;
        std::size_t cut = findGameCut(std::string_view(bytes).substr(0, part), from);
        if (cut == std::string::npos) cut = findGameCut(bytes, from);
        EXPECT_EQ(27u, cut) << part;
    }
}

TEST(LineLength, TakesTheLineEndWhole) {
    EXPECT_EQ(4u, lineLength("abc\ndef", 0));
    EXPECT_EQ(5u, lineLength("abc\r\ndef", 0));
    EXPECT_EQ(4u, lineLength("abc\rdef", 0));
    EXPECT_EQ(4u, lineLength("abc\r", 0));
    EXPECT_EQ(3u, lineLength("abc", 0));
    EXPECT_EQ(3u, lineLength("abc\n", 4) + 3);
}

}  // namespace
