#include "book/opening_file.h"

namespace {

// The numbers of the file are little-endian whatever the machine.
void writeNumber(Frame& frame, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(bits),
        static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16),
        static_cast<std::uint8_t>(bits >> 24),
    };
    writeBytes(frame, bytes, sizeof bytes);
}

}  // namespace

void writeOpeningFile(Frame& frame, const NameStore& names, const PositionList& positions,
                      std::int32_t longestLine) {
    writeBytes(frame, OPENING_FILE_ID, sizeof OPENING_FILE_ID);
    writeNumber(frame, positions.distinctCount);
    writeNumber(frame, longestLine);
    writeNumber(frame, names.nameSpaceUsed);

    const PositionRecord* store = positions.positionStore;
    const std::int32_t* entries = positions.positionList;
    for (std::int32_t i = 0; i < positions.positionCount; ++i) {
        if (entries[i] == NO_RECORD) continue;
        writeBytes(frame, store[entries[i]].packedBoard, PACKED_BOARD_SIZE);
    }
    for (std::int32_t i = 0; i < positions.positionCount; ++i) {
        if (entries[i] == NO_RECORD) continue;
        writeNumber(frame, names.openingTable[store[entries[i]].lineIndex].name);
    }
    writeBytes(frame, names.nameSpace.get(), static_cast<std::size_t>(names.nameSpaceUsed));
}
