#include "naming/game_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ParseEcoCodes, CodesPrefixesAndRangesOrNothing) {
    const struct {
        const char* list;
        const char* ranges;  // "low-high ..." or null when refused
    } cases[] = {
        {"B20", "B20-B20"},
        {"B2", "B20-B29"},
        {"B", "B00-B99"},
        {"B20-B99", "B20-B99"},
        {"A00-A39,E", "A00-A39 E00-E99"},
        {"C42-C42", "C42-C42"},
        {"E99,A", "E99-E99 A00-A99"},
        {"", nullptr},
        {",", nullptr},
        {"B,", nullptr},
        {"F", nullptr},
        {"b20", nullptr},
        {"B200", nullptr},
        {"B2x", nullptr},
        {"B99-B20", nullptr},
        {"B2-B3", nullptr},
        {"B20-", nullptr},
        {"B20-B30-B40", nullptr},
        {" B20", nullptr},
    };
    for (const auto& c : cases) {
        std::vector<EcoRange> codes;
        const bool read = parseEcoCodes(c.list, codes);
        EXPECT_EQ(c.ranges != nullptr, read) << c.list;
        if (!read || !c.ranges) continue;
        std::string ranges;
        for (const EcoRange& range : codes)
            ranges += (ranges.empty() ? "" : " ") + range.low + "-" + range.high;
        EXPECT_EQ(c.ranges, ranges) << c.list;
    }
}

TEST(SelectsOpening, CodesAndTextMustBothHold) {
    GameSelection selection;
    ASSERT_TRUE(parseEcoCodes("B2,C44-C92", selection.codes));
    selection.byCodes = true;
    EXPECT_TRUE(selectsOpening(selection, "B29", "Sicilian"));
    EXPECT_TRUE(selectsOpening(selection, "C60", "Ruy Lopez"));
    EXPECT_FALSE(selectsOpening(selection, "B30", "Sicilian"));
    EXPECT_FALSE(selectsOpening(selection, "C93", "Ruy Lopez"));
    selection.byText = true;
    selection.text = "najdorf";
    EXPECT_FALSE(selectsOpening(selection, "B29", "Sicilian"));
    EXPECT_TRUE(selectsOpening(selection, "B29", "Sicilian Defense: NAJDORF"));
    EXPECT_FALSE(selectsOpening(selection, "B90", "Sicilian Defense: Najdorf"));
    selection.byCodes = false;
    EXPECT_TRUE(selectsOpening(selection, "B90", "Najdorf"));
    EXPECT_FALSE(selectsOpening(selection, "B90", "Najdor"));
}

}  // namespace
