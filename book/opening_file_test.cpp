#include "book/opening_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "book/compiler.h"
#include "tests/support/captured_run.h"

namespace {

struct OpeningFileTest : testing::Test, CapturedRun {
    NameStore names;
    PositionList positions;

    OpeningFileTest() : CapturedRun(BOOK_PROFILE) {
        allocateNameSpace(frame, names);
        allocatePositionList(frame, positions);
        output();
    }

    void addName(const std::string& record) {
        std::memcpy(names.nameSpace.get() + names.nameSpaceUsed, record.data(), record.size());
        names.nameSpaceUsed += static_cast<std::int32_t>(record.size());
    }

    void addPosition(std::uint8_t fill, std::int32_t lineIndex, std::int32_t entry) {
        PositionRecord& record = positions.positionStore[positions.positionCount];
        std::memset(record.packedBoard, fill, PACKED_BOARD_SIZE);
        record.lineIndex = lineIndex;
        positions.positionList[positions.positionCount] = entry;
        ++positions.positionCount;
    }
};

TEST_F(OpeningFileTest, NoLinesGiveTheThirtyByteHead) {
    writeOpeningFile(frame, names, positions, 0);
    EXPECT_EQ(std::string("Tessara3 Openings\0\0\0\0\0\0\0\0\0\0\0\0\0", 30), written());
}

TEST_F(OpeningFileTest, WritesHeadBoardsOffsetsAndTheWholeNameSpace) {
    addName(
        std::string("\x80\x80"
                    "a\0",
                    4));
    addName(
        std::string("\x81\x81"
                    "bb\0",
                    5));
    addName(std::string("\x82\x82\0", 3));  // repeats only known boards: no offset names it
    names.openingTable[0].name = 0;
    names.openingTable[1].name = 4;
    names.openingTable[2].name = 9;
    addPosition(0x11, 1, 0);
    addPosition(0x22, 0, NO_RECORD);
    addPosition(0x33, 0, 2);
    positions.positionList[0] = 2;  // list order differs from recording order
    positions.positionList[2] = 0;
    positions.distinctCount = 2;

    writeOpeningFile(frame, names, positions, 300);

    std::string expected("Tessara3 Openings\0", 18);
    expected += std::string(
        "\x02\0\0\0"
        "\x2C\x01\0\0"
        "\x0C\0\0\0",
        12);
    expected += std::string(32, '\x33') + std::string(32, '\x11');
    expected += std::string(
        "\0\0\0\0"
        "\x04\0\0\0",
        8);
    expected += std::string(
        "\x80\x80"
        "a\0"
        "\x81\x81"
        "bb\0"
        "\x82\x82\0",
        12);
    EXPECT_EQ(expected, written());
    EXPECT_EQ(30u + 36u * 2u + 12u, expected.size());
}

TEST_F(OpeningFileTest, FailedWriteIsDiskFull) {
    std::fclose(frame.output.stream);
    frame.output.stream = std::fopen("/dev/null", "rb");
    ASSERT_NE(nullptr, frame.output.stream);
    frame.lineCounter = 4;
    EXPECT_THROW(writeOpeningFile(frame, names, positions, 0), RunEnd);
    EXPECT_EQ("File Error on line 4: Disk full.\n", console);
}

}  // namespace
