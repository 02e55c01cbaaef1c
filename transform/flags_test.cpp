// The flag images in data/flags, made by scripts/make-flags: one GIF of the
// same size for every country code, except the countries that the flag set
// has no flag of.
#include "transform/tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

namespace {

const std::set<std::string_view> withoutFlag = {"aho", "nir", "que", "sun", "yug"};

TEST(FlagImages, EveryCodeHasA24By16GifOrNone) {
    for (std::string_view code : COUNTRY_CODES) {
        std::string path =
            std::string(TESSARA_SOURCE_DIR "/data/flags/") + std::string(code) + ".gif";
        std::ifstream file(path, std::ios::binary);
        if (withoutFlag.count(code) != 0) {
            EXPECT_FALSE(file.is_open()) << path;
            continue;
        }
        std::string header(10, '\0');
        ASSERT_TRUE(file.read(header.data(), 10)) << path;
        EXPECT_EQ("GIF89a", header.substr(0, 6)) << path;
        // Logical screen width and height, little-endian.
        EXPECT_EQ(std::string("\x18\x00\x10\x00", 4), header.substr(6, 4)) << path;
    }
}

}  // namespace
