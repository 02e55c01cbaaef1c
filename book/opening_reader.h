// Reading an opening file back: the whole file is loaded and checked before
// any use, so that a lookup or a name never reads past what the file holds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/position_list.h"

// A board's index in the book (-1: a free slot) and 32 bits of its hash,
// which tell most other boards from it without reading its key.
struct BookSlot {
    std::uint32_t check;
    std::int32_t index;
};

// A loaded and checked opening file. The views point into `bytes`, so a book
// may be moved but not copied.
struct OpeningBook {
    std::vector<std::uint8_t> bytes;
    std::int32_t positionCount = 0;
    std::int32_t longestLine = 0;
    std::int32_t nameSpaceSize = 0;
    std::int32_t nameCount = 0;             // NameRecords in the name space
    const std::uint8_t* keys = nullptr;     // positionCount packed boards
    const std::uint8_t* offsets = nullptr;  // positionCount name offsets
    const std::uint8_t* names = nullptr;    // the name space
    // Open addressing over a hash of the board, built at load: a power of
    // two slots, at most half of them used, found by the hash's top bits.
    std::vector<BookSlot> slots;
    std::uint64_t slotMask = 0;
    int slotShift = 64;
    // One bit per value of the hash's low bits, set when a board of the book
    // has it. With eight or more bits a board, close to nine in ten boards
    // that the book does not hold are turned away here, in a table small
    // enough to stay cached (8 KB for the sample's 7,848 boards).
    std::vector<std::uint64_t> hashBits;
    std::uint64_t hashBitMask = 0;

    OpeningBook() = default;
    OpeningBook(OpeningBook&&) = default;
    OpeningBook& operator=(OpeningBook&&) = default;
    OpeningBook(const OpeningBook&) = delete;
    OpeningBook& operator=(const OpeningBook&) = delete;
};

// Why a file was refused: what is wrong, and where.
struct BookError {
    std::string what;
    std::size_t offset = 0;
};

// Reads a whole file in binary; false when it cannot be opened or read
// (a directory among others).
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// Checks `bytes` as an opening file and, when every check passes, takes them
// into `book`; otherwise fills `error` and leaves `book` empty. The checks run
// in file order, so the error is the first fault of the file.
bool loadOpeningBook(std::vector<std::uint8_t> bytes, OpeningBook& book, BookError& error);

// The index of the position with this packed board, or -1. A few
// nanoseconds, whether the board is there or not: naming a game looks up
// every ply up to the book's longest line.
std::int32_t findPlacement(const OpeningBook& book,
                           const std::uint8_t (&packedBoard)[PACKED_BOARD_SIZE]);

// The ECO code ("B20") and the decoded name of the position at `index`.
struct OpeningName {
    std::string eco;
    std::string name;
};
OpeningName openingNameAt(const OpeningBook& book, std::int32_t index);

// The ECO code and decoded name of the NameRecord at `offset` of a checked
// name space.
OpeningName nameRecordAt(const OpeningBook& book, std::int32_t offset);

// The piece-placement field of FEN for a packed board, rank 8 first.
std::string placementText(const std::uint8_t* packedBoard);
