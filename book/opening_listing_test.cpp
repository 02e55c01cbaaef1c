#include "book/opening_listing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(BookSummary, CountsPositionsPliesAndNames) {
    std::string file("Tessara3 Openings\0\x01\0\0\0\x24\0\0\0\x0D\0\0\0", 30);
    file += std::string(32, '\0') + std::string(4, '\0');
    file += std::string("\x84\xE3\0\x80\x80$\x7D\0", 8) + std::string("\x80\x85:x\0", 5);
    OpeningBook book;
    BookError error;
    ASSERT_TRUE(loadOpeningBook(std::vector<std::uint8_t>(file.begin(), file.end()), book, error))
        << error.what;
    EXPECT_EQ("my book.ECO: 1 positions, longest line 36 plies, 3 names in 13 bytes\n",
              bookSummary(book, "my book.ECO"));
    EXPECT_EQ("8/8/8/8/8/8/8/8\tE99\t\n", positionLine(book, 0));
}

}  // namespace
