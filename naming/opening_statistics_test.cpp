#include "naming/opening_statistics.h"

#include <gtest/gtest.h>

namespace {

TEST(ScoreAndRating, RoundHalfUp) {
    const struct {
        OpeningCounts counts;
        const char* score;
        const char* rating;
    } cases[] = {
        {{1, 1, 0, 0, 0, 0}, "100.0", ""},        {{1, 0, 0, 1, 1, 3000}, "0.0", "1500"},
        {{3, 2, 0, 1, 1, 3601}, "66.7", "1801"},   // 66.67; 1800.5
        {{8, 0, 1, 7, 2, 6001}, "6.3", "1500"},    // 6.25; 1500.25
        {{3, 0, 1, 2, 4, 8002}, "16.7", "1000"},   // 16.67; 1000.25
        {{16, 0, 1, 15, 1, 2}, "3.1", "1"},        // 3.125
        {{7, 3, 1, 3, 3, 12003}, "50.0", "2001"},  // 2000.5
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.score, scoreText(c.counts)) << c.score;
        EXPECT_EQ(c.rating, ratingText(c.counts)) << c.rating;
    }
}

}  // namespace
