#include "book/packed_board.h"

#include <bit>
#include <cstddef>
#include <cstring>

static_assert(sizeof(BoardCell) == 2 && offsetof(BoardCell, piece) == 0 &&
              offsetof(BoardCell, color) == 1);

namespace {

// Every target the tools are built for lays out memory little-endian, which
// the packing below relies on.
static_assert(std::endian::native == std::endian::little);

// Four cells (piece, color, piece, color, ...) as they lie in memory give two
// key bytes: each 16-bit lane becomes piece + 8 * color, and every second
// lane moves up four bits beside its neighbour.
std::uint32_t packFourCells(const BoardCell* cells) {
    std::uint64_t bytes;
    std::memcpy(&bytes, cells, sizeof bytes);
    constexpr std::uint64_t LOW_BYTES = 0x00FF00FF00FF00FFull;
    std::uint64_t codes = (bytes & LOW_BYTES) + ((bytes >> 8 & LOW_BYTES) << 3);
    std::uint64_t pairs = codes | codes >> 12;
    return static_cast<std::uint32_t>((pairs & 0xFF) | (pairs >> 24 & 0xFF00));
}

}  // namespace

void packBoard(const Position& position, std::uint8_t (&packedBoard)[PACKED_BOARD_SIZE]) {
    for (int rank = 0; rank < 8; ++rank) {
        const BoardCell* row = position.board + makeSquare(0, rank);
        std::uint8_t* out = packedBoard + 4 * rank;
        std::uint32_t low = packFourCells(row);
        std::uint32_t high = packFourCells(row + 4);
        out[0] = static_cast<std::uint8_t>(low);
        out[1] = static_cast<std::uint8_t>(low >> 8);
        out[2] = static_cast<std::uint8_t>(high);
        out[3] = static_cast<std::uint8_t>(high >> 8);
    }
}
