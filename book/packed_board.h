// The packed board of the opening file: where the pieces stand, in 32 bytes.
// Square k (a1 = 0, b1 = 1, ..., h8 = 63) is the nibble kind + 8 * color,
// low in byte k / 2 for even k, high for odd k; an empty square is 0.
#pragma once

#include <cstdint>

#include "chess/board.h"

constexpr int PACKED_BOARD_SIZE = 32;

// The index k of a square of the 0x88 board.
constexpr int packedIndex(int square) {
    return 8 * rankOf(square) + fileOf(square);
}

// The nibble of a cell; an empty cell's color is 0, so it gives 0.
constexpr int cellCode(BoardCell cell) {
    return cell.piece + 8 * cell.color;
}

// The nibble of the square of index k (k is never negative).
constexpr int packedCode(const std::uint8_t* packedBoard, int k) {
    return packedBoard[k >> 1] >> ((k & 1) << 2) & 15;
}

// Writes the nibble of the square of index k.
constexpr void setPackedCode(std::uint8_t* packedBoard, int k, int code) {
    std::uint8_t& byte = packedBoard[k >> 1];
    byte = static_cast<std::uint8_t>((k & 1) ? (byte & 0x0F) | code << 4 : (byte & 0xF0) | code);
}

// The packed board of the position.
void packBoard(const Position& position, std::uint8_t (&packedBoard)[PACKED_BOARD_SIZE]);
