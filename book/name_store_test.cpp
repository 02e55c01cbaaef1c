#include "book/name_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "book/compiler.h"
#include "tests/support/captured_run.h"

namespace {

struct NameStoreTest : testing::Test, CapturedRun {
    NameStore store;
    EcoHeader header;

    NameStoreTest() : CapturedRun(BOOK_PROFILE) { allocateNameSpace(frame, store); }

    std::string encoded(const std::string& name) {
        std::vector<char> text(name.begin(), name.end());
        text.push_back('\0');
        encodeOpeningName(frame, text.data());
        return text.data();
    }

    void setHeader(char letter, int number, const char* name) {
        header.ecoLetter = static_cast<std::uint8_t>(letter - 'A');
        header.ecoNumber = static_cast<std::uint8_t>(number);
        std::strcpy(header.nameText, name);
    }

    std::string record(std::int32_t offset, std::int32_t length) {
        return std::string(reinterpret_cast<const char*>(store.nameSpace.get()) + offset,
                           static_cast<std::size_t>(length));
    }
};

std::string code(int word) {
    return std::string{'$', static_cast<char>(word)};
}

TEST_F(NameStoreTest, EveryWordAloneBecomesItsCode) {
    for (int i = 0; i < OPENING_WORD_COUNT; ++i) {
        std::string word(OPENING_WORDS[i]);
        EXPECT_EQ(i + 1, findOpeningWord(word.c_str())) << word;
        EXPECT_EQ(code(i + 1), encoded(word)) << word;
    }
}

TEST_F(NameStoreTest, WordSearchMissesTextsThatBeginNoWord) {
    for (const char* text : {"", "A", "Aardvark", "Zz", "Zzz", "sicilian", "Sicilia", "Main Lin",
                             "Ruy  Lopez", "\xC3\x89tude"}) {
        EXPECT_EQ(0, findOpeningWord(text)) << text;
    }
    EXPECT_EQ(1, findOpeningWord("Accelerated Dragon"));
    EXPECT_EQ(245, findOpeningWord("Zukertort"));
    EXPECT_EQ(205, findOpeningWord("Sicilians"));
}

TEST_F(NameStoreTest, EncodesNamesAsTheFileExpects) {
    struct Case {
        const char* name;
        std::string expected;
    };
    const Case cases[] = {
        {"Sicilian Defense", code(205) + " " + code(66)},
        {"Ruy Lopez:   Closed", code(194) + ":" + code(57)},
        {"AntiDragon", "Anti" + code(71)},
        {"Sicilians", code(205) + "s"},
        {"sicilian", "sicilian"},
        {"Cambridge Springs Defense", code(45) + " " + code(66)},
        {"King's Indian Attack", code(116) + " " + code(105) + " " + code(16)},
        {"A:\tB", "A:\tB"},
        {"a: :  b", "a::b"},
        {"", ""},
        {"Caro\xE2\x80\x93Kann", "Caro\xE2\x80\x93Kann"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, encoded(c.name)) << c.name;
    EXPECT_EQ("", console);
}

TEST_F(NameStoreTest, DollarSignIsDroppedWithOneWarningEach) {
    EXPECT_EQ("AB", encoded("A$B"));
    EXPECT_EQ("Warning: Can't use '$' character in Opening file.\n", console);
    console.clear();
    EXPECT_EQ("", encoded("$"));
    EXPECT_EQ(code(205), encoded("$$Sicilian"));
    EXPECT_EQ(3u,
              console.size() / std::strlen("Warning: Can't use '$' character in Opening file.\n"));
}

TEST_F(NameStoreTest, DollarWarningIsSilentWithPauseCleared) {
    frame.pauseFlag = 0;
    EXPECT_EQ("AB", encoded("A$B"));
    EXPECT_EQ("", console);
}

TEST_F(NameStoreTest, StoresTheRecordAndTheOpeningInfo) {
    setHeader('B', 20, "Sicilian Defense");
    header.headerLine = 7;
    storeOpeningName(frame, store, header);
    addOpeningInfo(store, header, 0);
    EXPECT_EQ(8, store.nameSpaceUsed);
    EXPECT_EQ(std::string("\x81\x94\x24\xCD\x20\x24\x42\x00", 8), record(0, 8));

    setHeader('E', 99, "");
    header.headerLine = 9;
    storeOpeningName(frame, store, header);
    addOpeningInfo(store, header, 1);
    EXPECT_EQ(11, store.nameSpaceUsed);
    EXPECT_EQ(std::string("\x84\xE3\x00", 3), record(8, 3));

    const OpeningInfo& first = store.openingTable[0];
    EXPECT_EQ(0, first.name);
    EXPECT_EQ(7, first.headerLine);
    EXPECT_EQ(0, first.plies);
    EXPECT_EQ(1, first.ecoLetter);
    EXPECT_EQ(20, first.ecoNumber);
    const OpeningInfo& second = store.openingTable[1];
    EXPECT_EQ(8, second.name);
    EXPECT_EQ(9, second.headerLine);
    EXPECT_EQ(4, second.ecoLetter);
    EXPECT_EQ(99, second.ecoNumber);
}

TEST_F(NameStoreTest, NameSpaceTakesRecordsUpTo499999Bytes) {
    store.nameSpaceUsed = 499990;
    setHeader('A', 0, "abcdef");
    storeOpeningName(frame, store, header);
    EXPECT_EQ(499999, store.nameSpaceUsed);
    EXPECT_EQ(499990, store.lastRecord);
}

TEST_F(NameStoreTest, RecordReachingTheSizeRunsOutOfNameSpace) {
    store.nameSpaceUsed = 499990;
    frame.lineCounter = 12;
    frame.pauseFlag = 0;
    setHeader('A', 0, "abcdefg");
    EXPECT_THROW(storeOpeningName(frame, store, header), RunEnd);
    EXPECT_EQ("File Error on line 12: Ran out of opening name space.\n", console);
    EXPECT_EQ(1, frame.pauseFlag);
    EXPECT_EQ(499990, store.nameSpaceUsed);
}

}  // namespace
