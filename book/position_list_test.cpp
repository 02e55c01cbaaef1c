#include "book/position_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "book/compiler.h"
#include "book/move_text.h"
#include "tests/support/captured_run.h"

namespace {

struct PositionListTest : testing::Test, CapturedRun {
    PositionList list;
    std::vector<OpeningInfo> openingTable;

    PositionListTest() : CapturedRun(BOOK_PROFILE) { allocatePositionList(frame, list); }

    // Appends a record whose board is all zero but for its first byte, for
    // a line of the given length.
    void add(std::uint8_t board, std::int32_t plies, std::int32_t headerLine = 1) {
        auto line = static_cast<std::int32_t>(openingTable.size());
        openingTable.push_back(OpeningInfo{0, headerLine, plies, 0, 0});
        PositionRecord& record = list.positionStore[list.positionCount];
        record = PositionRecord{};
        record.packedBoard[0] = board;
        record.lineIndex = line;
        list.positionList[list.positionCount] = list.positionCount;
        ++list.positionCount;
    }

    // The surviving records, in list order, as their recording indexes.
    std::vector<std::int32_t> survivors() {
        std::vector<std::int32_t> kept;
        for (std::int32_t i = 0; i < list.positionCount; ++i) {
            if (list.positionList[i] != NO_RECORD) kept.push_back(list.positionList[i]);
        }
        return kept;
    }
};

TEST_F(PositionListTest, PackBoardAfterE4MatchesTheFileExample) {
    Position position;
    MoveReader reader;
    setupStartPosition(position);
    const char* text = "e4";
    playMoveText(frame, position, reader, text);
    recordPosition(frame, list, position, 3);

    const std::uint8_t expected[PACKED_BOARD_SIZE] = {
        0x24, 0x53, 0x36, 0x42, 0x11, 0x11, 0x10, 0x11, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x99, 0x99, 0x99, 0x99, 0xAC, 0xDB, 0xBE, 0xCA,
    };
    ASSERT_EQ(1, list.positionCount);
    EXPECT_EQ(0, std::memcmp(expected, list.positionStore[0].packedBoard, PACKED_BOARD_SIZE));
    EXPECT_EQ(3, list.positionStore[0].lineIndex);
    EXPECT_EQ(0, list.positionList[0]);
}

TEST_F(PositionListTest, PackBoardGivesEverySquareItsNibble) {
    Position position;
    for (int k = 0; k < 64; ++k) {
        auto kind = static_cast<std::int8_t>(k % 7);
        auto color = static_cast<std::int8_t>(kind == EMPTY ? 0 : (k / 7) % 2);
        position.board[makeSquare(k % 8, k / 8)] = BoardCell{kind, color};
    }
    std::uint8_t packed[PACKED_BOARD_SIZE];
    packBoard(position, packed);
    for (int k = 0; k < 64; ++k) {
        const BoardCell& cell = position.board[makeSquare(k % 8, k / 8)];
        int nibble = k % 2 ? packed[k / 2] >> 4 : packed[k / 2] & 15;
        EXPECT_EQ(cell.piece + 8 * cell.color, nibble) << "square " << k;
    }
}

TEST_F(PositionListTest, ComparesBoardsAsUnsignedBytesFromTheFirst) {
    PositionRecord a{}, b{};
    EXPECT_EQ(0, comparePositions(a, b));
    a.packedBoard[0] = 0x90;
    b.packedBoard[0] = 0x10;
    EXPECT_GT(comparePositions(a, b), 0);
    EXPECT_LT(comparePositions(b, a), 0);
    b.packedBoard[0] = 0x90;
    b.packedBoard[31] = 0x01;
    a.lineIndex = 7;
    EXPECT_LT(comparePositions(a, b), 0);
}

TEST_F(PositionListTest, SortKeepsTheRecordingOrderOfEqualBoards) {
    for (std::uint8_t board : {3, 1, 3, 2, 1, 3}) add(board, 5);
    sortPositions(list);
    EXPECT_EQ((std::vector<std::int32_t>{1, 4, 3, 0, 2, 5}), survivors());
}

TEST_F(PositionListTest, KeepRuleChoosesTheShortestLine) {
    struct Entry {
        std::uint8_t board;
        std::int32_t plies;
        std::int32_t headerLine;
    };
    struct Case {
        const char* what;
        std::vector<Entry> entries;  // in recording order
        std::vector<std::int32_t> kept;
    };
    const Case cases[] = {
        {"empty list", {}, {}},
        {"no duplicates", {{1, 3, 1}, {2, 4, 3}}, {0, 1}},
        {"shorter line first", {{1, 3, 1}, {1, 4, 3}}, {0}},
        {"shorter line last", {{1, 4, 1}, {1, 3, 3}}, {1}},
        {"equal lines: the last", {{1, 4, 1}, {1, 4, 3}, {1, 4, 5}}, {2}},
        {"equal lines, last header too far", {{1, 4, 1}, {1, 4, 100000}}, {0}},
        {"header just below 100,000", {{1, 4, 1}, {1, 4, 99999}}, {1}},
        {"all over 1000 plies: the first", {{1, 1001, 1}, {1, 1002, 3}}, {0}},
        {"1000 plies count as a tie", {{1, 1000, 1}, {1, 1000, 3}}, {1}},
        {"groups apart", {{2, 5, 1}, {1, 6, 3}, {2, 4, 5}, {1, 6, 7}, {3, 1, 9}}, {3, 2, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list.positionCount = 0;
        openingTable.clear();
        for (const Entry& e : c.entries) add(e.board, e.plies, e.headerLine);
        sortPositions(list);
        removeDuplicatePositions(list, openingTable.data());
        EXPECT_EQ(c.kept, survivors());
        EXPECT_EQ(static_cast<std::int32_t>(c.kept.size()), list.distinctCount);
    }
}

TEST_F(PositionListTest, HoldsFiftyThousandPositionsAndNoMore) {
    Position position;
    setupStartPosition(position);
    list.positionCount = MAX_POSITIONS - 1;
    recordPosition(frame, list, position, 0);
    EXPECT_EQ(MAX_POSITIONS, list.positionCount);
    frame.lineCounter = 17;
    EXPECT_THROW(recordPosition(frame, list, position, 0), RunEnd);
    EXPECT_EQ("File Error on line 17: Too many board positions.\n", console);
    EXPECT_EQ(MAX_POSITIONS, list.positionCount);
}

}  // namespace
