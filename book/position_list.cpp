#include "book/position_list.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "frame/platform.h"

void ReleaseTableBlock::operator()(void* block) const {
    releaseTableBlock(block);
}

void allocatePositionList(Frame& frame, PositionList& list) {
    constexpr std::size_t STORE_BYTES = sizeof(PositionRecord) * MAX_POSITIONS;
    constexpr std::size_t LIST_BYTES = sizeof(std::int32_t) * MAX_POSITIONS;
    static_assert(STORE_BYTES % alignof(std::int32_t) == 0);
    list.block.reset(obtainTableBlock(STORE_BYTES + LIST_BYTES));
    if (!list.block) fatalError(frame, "Can't allocate space for saving board positions");
    auto* bytes = static_cast<unsigned char*>(list.block.get());
    list.positionStore = reinterpret_cast<PositionRecord*>(bytes);
    list.positionList = reinterpret_cast<std::int32_t*>(bytes + STORE_BYTES);
    list.positionCount = 0;
    list.distinctCount = 0;
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

namespace {

// Eight key bytes as one number in which byte order is number order.
std::uint64_t keyWord(const std::uint8_t* bytes) {
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i) word = word << 8 | bytes[i];
    return word;
}

// comparePositions(a, b) < 0, eight bytes at a time.
bool boardLess(const PositionRecord& a, const PositionRecord& b) {
    for (int i = 0; i < PACKED_BOARD_SIZE; i += 8) {
        std::uint64_t x = keyWord(a.packedBoard + i);
        std::uint64_t y = keyWord(b.packedBoard + i);
        if (x != y) return x < y;
    }
    return false;
}

}  // namespace

void sortPositions(PositionList& list) {
    const PositionRecord* store = list.positionStore;
    std::int32_t* first = list.positionList;
    // Equal boards stay in the order of recording, as a stable sort keeps
    // them, without the stable sort's buffer: the index breaks the tie.
    std::sort(first, first + list.positionCount, [store](std::int32_t a, std::int32_t b) {
        if (boardLess(store[a], store[b])) return true;
        return a < b && !boardLess(store[b], store[a]);
    });
}

void removeDuplicatePositions(PositionList& list, const OpeningInfo* openingTable) {
    const PositionRecord* store = list.positionStore;
    std::int32_t* entries = list.positionList;
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
