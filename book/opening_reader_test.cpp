#include "book/opening_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/book_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string E4(
    "\x24\x53\x36\x42\x11\x11\x10\x11\0\0\0\0\0\0\x01\0"
    "\0\0\0\0\0\0\0\0\x99\x99\x99\x99\xAC\xDB\xBE\xCA",
    PACKED_BOARD_SIZE);

Bytes fileOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string int32(std::int32_t value) {
    auto u = static_cast<std::uint32_t>(value);
    return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
            static_cast<char>(u >> 24)};
}

// An opening file from its parts: the head, the boards, the name offsets and
// the name space.
std::string bookFile(const std::vector<std::string>& keys, const std::vector<std::int32_t>& offsets,
                     const std::string& names, std::int32_t longest = 2) {
    std::string file("Tessara3 Openings\0", 18);
    file += int32(static_cast<std::int32_t>(keys.size())) + int32(longest) +
            int32(static_cast<std::int32_t>(names.size()));
    for (const std::string& key : keys) file += key;
    for (std::int32_t offset : offsets) file += int32(offset);
    return file + names;
}

// The 110-byte file of B20 Sicilian Defense, 1.e4 c5.
std::string sicilian() {
    std::string c5 = E4;
    c5[17] = '\x09';
    c5[25] = '\x90';
    return bookFile({E4, c5}, {0, 0}, std::string("\x81\x94\x24\xCD\x20\x24\x42\0", 8));
}

TEST(LoadOpeningBook, TakesTheWorkedExample) {
    OpeningBook book;
    BookError error;
    ASSERT_EQ(110u, sicilian().size());
    ASSERT_TRUE(loadOpeningBook(fileOf(sicilian()), book, error)) << error.what;
    EXPECT_EQ(2, book.positionCount);
    EXPECT_EQ(2, book.longestLine);
    EXPECT_EQ(8, book.nameSpaceSize);
    EXPECT_EQ(1, book.nameCount);
    EXPECT_EQ("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR", placementText(book.keys));
    EXPECT_EQ("rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR", placementText(book.keys + 32));
    for (std::int32_t i : {0, 1}) {
        EXPECT_EQ("B20", openingNameAt(book, i).eco);
        EXPECT_EQ("Sicilian Defense", openingNameAt(book, i).name);
    }
}

TEST(LoadOpeningBook, TakesAnEmptyBook) {
    OpeningBook book;
    BookError error;
    ASSERT_TRUE(loadOpeningBook(fileOf(bookFile({}, {}, "", 0)), book, error)) << error.what;
    EXPECT_EQ(0, book.positionCount);
    EXPECT_EQ(0, book.nameCount);
}

struct Refusal {
    const char* fault;
    std::string file;
    std::string what;
    std::size_t offset;
};

std::string patched(std::string file, std::size_t at, char value) {
    file.replace(at, 1, 1, value);
    return file;
}

// The end-to-end cases (tests/cases/teseco/bad-book-*) meet every check
// once on the program; these are the edges they leave out.
TEST(LoadOpeningBook, RefusesEachFaultWithItsMessageAndOffset) {
    const std::string W = sicilian();
    const std::string R = std::string("\x81\x94\0", 3);
    const Refusal cases[] = {
        {"largest counts", patched(patched(W, 21, 0x7F), 29, 0x7F),
         "file ends before the 78836138094 bytes its head announces", 110},
        {"piece code 8", patched(W, 40, static_cast<char>(0x80)),
         "placement holds the piece code 8", 40},
        {"letter byte low", patched(W, 102, '\x7F'), "ECO letter byte 0x7F not in 0x80 to 0x84",
         102},
        {"number byte low", patched(W, 103, 'B'), "ECO number byte 0x42 not in 0x80 to 0xE3", 103},
        {"letter byte alone", bookFile({}, {}, "\x81"), "name record not ended by a 0 byte", 30},
        {"second record faulty", bookFile({}, {}, R + "\x81\x94x"),
         "name record not ended by a 0 byte", 33},
        {"offset inside a record before a fault", bookFile({E4}, {1}, R + "\x85"),
         "name offset 1 not at the start of a name record", 62},
    };
    for (const Refusal& c : cases) {
        OpeningBook book;
        BookError error;
        EXPECT_FALSE(loadOpeningBook(fileOf(c.file), book, error)) << c.fault;
        EXPECT_EQ(c.what, error.what) << c.fault;
        EXPECT_EQ(c.offset, error.offset) << c.fault;
        EXPECT_EQ(0, book.positionCount) << c.fault;
        EXPECT_TRUE(book.bytes.empty()) << c.fault;
    }
}

TEST(NameRecordAt, DecodesWordsColonsAndOtherBytes) {
    const struct {
        std::string encoded;
        const char* eco;
        const char* name;
    } cases[] = {
        {"\x80\x80", "A00", ""},
        {"\x84\xE3$\x01 $\xF5", "E99", "Accelerated Zukertort"},
        {"\x82\xDC$\xC2:$\x39, $\xF4 $\xEB", "C92", "Ruy Lopez: Closed, Zaitsev Variation"},
        {"\x80\x80$\x2D", "A00", "Cambridge Springs"},
        {"\x81\x94$\xCDs", "B20", "Sicilians"},
        {"\x81\x94\x41nti$\x47", "B20", "AntiDragon"},
        {"\x80\x80\x41:", "A00", "A:"},
        {"\x80\x80\x61:b:c", "A00", "a: b: c"},
        {"\x80\x80\x43\xC3\xA9sar", "A00", "C\xC3\xA9sar"},
    };
    for (const auto& c : cases) {
        OpeningBook book;
        BookError error;
        std::string names = c.encoded + '\0';
        ASSERT_TRUE(loadOpeningBook(fileOf(bookFile({E4}, {0}, names)), book, error)) << error.what;
        EXPECT_EQ(c.eco, openingNameAt(book, 0).eco);
        EXPECT_EQ(c.name, openingNameAt(book, 0).name);
    }
}

TEST(FindPlacement, FindsEveryBoardAndNothingElse) {
    // Bytes of two piece codes (0 to 6, 9 to 14), ascending with n.
    auto pieceByte = [](int n) {
        auto code = [](int k) { return k < 7 ? k : k + 2; };
        return static_cast<char>(code(n % 13) | code(n / 13) << 4);
    };
    std::vector<std::string> keys;
    for (int i = 1; i < 169; ++i) {
        std::string key(32, '\0');
        key[0] = pieceByte(i / 13);
        key[31] = pieceByte(i % 13);
        keys.push_back(key);
    }
    OpeningBook book;
    BookError error;
    std::vector<std::int32_t> offsets(keys.size(), 0);
    ASSERT_TRUE(
        loadOpeningBook(fileOf(bookFile(keys, offsets, std::string("\x80\x80\0", 3))), book, error))
        << error.what;
    std::uint8_t probe[PACKED_BOARD_SIZE];
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::memcpy(probe, keys[i].data(), PACKED_BOARD_SIZE);
        EXPECT_EQ(static_cast<std::int32_t>(i), findPlacement(book, probe));
        probe[30] = 1;
        EXPECT_EQ(-1, findPlacement(book, probe));
    }
    std::memset(probe, 0, sizeof probe);
    EXPECT_EQ(-1, findPlacement(book, probe));
    std::memset(probe, 0xEE, sizeof probe);
    EXPECT_EQ(-1, findPlacement(book, probe));
    OpeningBook empty;
    EXPECT_EQ(-1, findPlacement(empty, probe));
}

TEST(ReadWholeFile, RefusesWhatIsNotAReadableFile) {
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(readWholeFile(TESSARA_SOURCE_DIR "/no-such-file.ECO", bytes));
    EXPECT_FALSE(readWholeFile(TESSARA_SOURCE_DIR "/data", bytes));
    ASSERT_TRUE(readWholeFile(TESSARA_SOURCE_DIR "/data/lichess-openings.txt", bytes));
    EXPECT_GT(bytes.size(), 100000u);
}

// Compiles the lichess sample and reads it back: every NameRecord, in the
// order of the ECO lines, decodes to the header's code and name, and every
// board of the file is found at its own index.
TEST(OpeningReader, LichessSampleRoundTrips) {
    std::string text = fileText(TESSARA_SOURCE_DIR "/data/lichess-openings.txt");
    ASSERT_FALSE(text.empty()) << "data/lichess-openings.txt is missing";
    Bytes file = compileEcoText(text);
    ASSERT_FALSE(file.empty());

    OpeningBook book;
    BookError error;
    ASSERT_TRUE(loadOpeningBook(file, book, error)) << error.what << " at " << error.offset;
    EXPECT_EQ(7848, book.positionCount);
    EXPECT_EQ(36, book.longestLine);
    EXPECT_EQ(92410, book.nameSpaceSize);
    EXPECT_EQ(3807, book.nameCount);

    std::istringstream lines(text);
    std::int32_t offset = 0;
    int headers = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < 4 || line[0] < 'A' || line[0] > 'E' || line[3] != ' ') continue;
        ASSERT_LT(offset, book.nameSpaceSize) << line;
        OpeningName name = nameRecordAt(book, offset);
        EXPECT_EQ(line.substr(0, 3), name.eco);
        EXPECT_EQ(line.substr(4), name.name);
        offset += static_cast<std::int32_t>(
                      std::strlen(reinterpret_cast<const char*>(book.names + offset + 2))) +
                  3;
        ++headers;
    }
    EXPECT_EQ(3807, headers);
    EXPECT_EQ(book.nameSpaceSize, offset);

    std::uint8_t probe[PACKED_BOARD_SIZE];
    for (std::int32_t i = 0; i < book.positionCount; ++i) {
        std::memcpy(probe, book.keys + 32 * std::size_t(i), PACKED_BOARD_SIZE);
        ASSERT_EQ(i, findPlacement(book, probe));
    }
}

}  // namespace
