// The position list: every board reached by any ECO line, recorded with the
// line that reached it, sorted by board and thinned to one record per board,
// that of the shortest line. The survivors are the opening file's table.
#pragma once

#include <cstdint>
#include <memory>

#include "book/name_store.h"
#include "book/packed_board.h"
#include "chess/board.h"
#include "frame/io.h"

constexpr int MAX_POSITIONS = 50000;
constexpr std::int32_t NO_RECORD = -1;

// A board key holds only where the pieces stand (see book/packed_board.h):
// the viewer looks up games by placement, so the side to move, castling and
// en passant are left out and transpositions meet.
struct PositionRecord {
    std::uint8_t packedBoard[PACKED_BOARD_SIZE];
    std::int32_t lineIndex;  // the ECO line that reached the board
};

// The records stay where they were recorded; the list orders them by index
// and marks a removed duplicate with NO_RECORD.
struct ReleaseTableBlock {
    void operator()(void* block) const;
};

struct PositionList {
    // One block holds both tables, obtained once at start.
    std::unique_ptr<void, ReleaseTableBlock> block;
    PositionRecord* positionStore = nullptr;  // MAX_POSITIONS records
    std::int32_t* positionList = nullptr;     // MAX_POSITIONS indexes
    std::int32_t positionCount = 0;
    std::int32_t distinctCount = 0;
};

// Obtains the store and the list for MAX_POSITIONS; a failure ends the run.
void allocatePositionList(Frame& frame, PositionList& list);

// Appends the current board, stamped with the line being read. The
// 50,001st position ends the run: the viewer's table holds no more.
void recordPosition(Frame& frame, PositionList& list, const Position& position,
                    std::int32_t lineIndex);

// Orders two boards byte by byte, unsigned; the line index plays no part.
int comparePositions(const PositionRecord& a, const PositionRecord& b);

// Sorts the list by board. The sort is stable, so equal boards keep the
// order in which they were recorded and the keep rule's choice is the same
// on every platform.
void sortPositions(PositionList& list);

// Keeps one record of every group of equal boards: that of the line with the
// fewest plies, among equally long lines the last one in the list whose
// header was read below line 100,000.
void removeDuplicatePositions(PositionList& list, const OpeningInfo* openingTable);
