#include "book/position_list.h"

#include <algorithm>
#include <cstring>
#include <new>

void allocatePositionList(Frame& frame, PositionList& list) {
    list.positionStore.reset(new (std::nothrow) PositionRecord[MAX_POSITIONS]);
    list.positionList.reset(new (std::nothrow) std::int32_t[MAX_POSITIONS]);
    if (!list.positionStore || !list.positionList) {
        fatalError(frame, "Can't allocate space for saving board positions");
    }
    list.positionCount = 0;
    list.distinctCount = 0;
}

namespace {

int squareCode(const BoardCell& cell) {
    return cell.piece + 8 * cell.color;
}

}  // namespace

void packBoard(const Position& position, std::uint8_t (&packedBoard)[PACKED_BOARD_SIZE]) {
    // Two squares of a rank to a byte: the even file low, the odd file high.
    for (int rank = 0; rank < 8; ++rank) {
        const BoardCell* row = position.board + makeSquare(0, rank);
        for (int file = 0; file < 8; file += 2) {
            packedBoard[4 * rank + file / 2] =
                static_cast<std::uint8_t>(squareCode(row[file]) | squareCode(row[file + 1]) << 4);
        }
    }
}

void recordPosition(Frame& frame, PositionList& list, const Position& position,
                    std::int32_t lineIndex) {
    std::int32_t i = list.positionCount;
    if (i == MAX_POSITIONS) fatalError(frame, "Too many board positions");
    PositionRecord& record = list.positionStore[i];
    packBoard(position, record.packedBoard);
    record.lineIndex = lineIndex;
    list.positionList[i] = i;
    list.positionCount = i + 1;
}

int comparePositions(const PositionRecord& a, const PositionRecord& b) {
    return std::memcmp(a.packedBoard, b.packedBoard, PACKED_BOARD_SIZE);
}

void sortPositions(PositionList& list) {
    const PositionRecord* store = list.positionStore.get();
    std::int32_t* first = list.positionList.get();
    std::stable_sort(first, first + list.positionCount, [store](std::int32_t a, std::int32_t b) {
        return comparePositions(store[a], store[b]) < 0;
    });
}

void removeDuplicatePositions(PositionList& list, const OpeningInfo* openingTable) {
    const PositionRecord* store = list.positionStore.get();
    std::int32_t* entries = list.positionList.get();
    list.distinctCount = list.positionCount;
    std::int32_t i = 0;
    while (i < list.positionCount - 1) {
        std::int32_t runLength = 0;
        while (i + runLength + 1 < list.positionCount &&
               comparePositions(store[entries[i]], store[entries[i + runLength + 1]]) == 0) {
            ++runLength;
        }
        if (runLength == 0) {
            ++i;
            continue;
        }
        std::int32_t kept = i;
        std::int32_t best = 1000;
        for (std::int32_t k = i; k <= i + runLength; ++k) {
            const OpeningInfo& info = openingTable[store[entries[k]].lineIndex];
            if (info.plies < best) {
                best = info.plies;
                kept = k;
            } else if (info.plies == best && info.headerLine < 100000) {
                kept = k;
            }
        }
        for (std::int32_t k = i; k <= i + runLength; ++k) {
            if (k != kept) entries[k] = NO_RECORD;
        }
        list.distinctCount -= runLength;
        i += runLength + 1;
    }
}
