#include "pgn/tag_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/pgn_support.h"

namespace {

TEST(AppendTagPair, EscapesQuoteAndBackslash) {
    std::string out;
    appendTagPair(out, "Opening", "A \"B\" C\\D\nE");
    EXPECT_EQ("[Opening \"A \\\"B\\\" C\\\\D E\"]", out);
}

struct TagCase {
    const char* input;
    const char* output;
};

constexpr TagCase tagCases[] = {
    // Missing tags go after the last tag line.
    {"[Event \"x\"]\n[Site \"y\"]\n\n1. e4 *\n",
     "[Event \"x\"]\n[Site \"y\"]\n[ECO \"E\"]\n[Opening \"O\"]\n\n1. e4 *\n"},
    // Existing ones are replaced where they stand, whatever their order.
    {"[Opening \"old\"]\n[Event \"x\"]\n[ECO \"A00\"]\n\n1. e4 *\n",
     "[Opening \"O\"]\n[Event \"x\"]\n[ECO \"E\"]\n\n1. e4 *\n"},
    {"[ECO \"A00\"]\n[Event \"x\"]\n\n1. e4 *\n",
     "[ECO \"E\"]\n[Event \"x\"]\n[Opening \"O\"]\n\n1. e4 *\n"},
    {"[Event \"x\"]\r\n[Opening \"a \\\"b\\\"\"]\r\n\r\n1. e4 *\r\n",
     "[Event \"x\"]\r\n[Opening \"O\"]\r\n[ECO \"E\"]\r\n\r\n1. e4 *\r\n"},
    // Several tags on a line: only the pair itself changes.
    {"[Event \"x\"] [ECO \"A00\"] [Site \"y\"]\n\n1. e4 *\n",
     "[Event \"x\"] [ECO \"E\"] [Site \"y\"]\n[Opening \"O\"]\n\n1. e4 *\n"},
    {"[Event \"x\"][Site \"y\"]  \n\n1. e4 *\n",
     "[Event \"x\"][Site \"y\"]  \n[ECO \"E\"]\n[Opening \"O\"]\n\n1. e4 *\n"},
    // The movetext on the tag line: the pairs go right after the last pair.
    {"[Event \"x\"] 1. e4 *\n", "[Event \"x\"][ECO \"E\"][Opening \"O\"] 1. e4 *\n"},
    {"[ECO \"A00\"] 1. e4 *", "[ECO \"E\"][Opening \"O\"] 1. e4 *"},
    // A broken pair stays; whole ones are added.
    {"[Event \"x\"]\n[ECO \"C23]\n\n1. e4 *\n",
     "[Event \"x\"]\n[ECO \"C23]\n[ECO \"E\"]\n[Opening \"O\"]\n\n1. e4 *\n"},
    // A game without tags: both lines and an empty line.
    {"1. e4 *\n", "[ECO \"E\"]\n[Opening \"O\"]\n\n1. e4 *\n"},
    {"1. e4\r\n*\r\n", "[ECO \"E\"]\r\n[Opening \"O\"]\r\n\r\n1. e4\r\n*\r\n"},
    {"1. e4 *", "[ECO \"E\"]\n[Opening \"O\"]\n\n1. e4 *"},
    {"1. e4\r*\r", "[ECO \"E\"]\r[Opening \"O\"]\r\r1. e4\r*\r"},
};

TEST(AppendTaggedGame, ReplacesInPlaceOrAddsAfterTheLastTagLine) {
    for (const TagCase& test : tagCases) {
        pgn_test::OneGame one(test.input);
        ASSERT_TRUE(one.found) << test.input;
        std::string out;
        appendTaggedGame(out, one.game, "[ECO \"E\"]", "[Opening \"O\"]");
        EXPECT_EQ(test.output, out) << test.input;
    }
}

}  // namespace
