// Fuzz target: loading an opening file from any bytes. A file is refused
// with one message and an offset inside it, or loaded; then every position's
// name is decoded, its line written and its board looked up, and every
// board must be found at its own index.
#include <cstring>
#include <string>
#include <vector>

#include "book/opening_listing.h"
#include "book/opening_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OpeningBook book;
    BookError error;
    if (!loadOpeningBook(std::vector<std::uint8_t>(data, data + size), book, error)) {
        FUZZ_CHECK(!error.what.empty());
        FUZZ_CHECK(error.offset <= size);
        FUZZ_CHECK(book.bytes.empty() && book.positionCount == 0);
        return 0;
    }
    FUZZ_CHECK(size == 30 + 36 * std::size_t(book.positionCount) + std::size_t(book.nameSpaceSize));
    FUZZ_CHECK(book.nameCount <= book.nameSpaceSize / 3);
    FUZZ_CHECK(!bookSummary(book, "fuzz.ECO").empty());
    std::uint8_t key[PACKED_BOARD_SIZE];
    for (std::int32_t i = 0; i < book.positionCount; ++i) {
        OpeningName name = openingNameAt(book, i);
        FUZZ_CHECK(name.eco.size() == 3 && name.eco[0] >= 'A' && name.eco[0] <= 'E');
        FUZZ_CHECK(name.name.find('\0') == std::string::npos);
        std::memcpy(key, book.keys + std::size_t(i) * PACKED_BOARD_SIZE, sizeof key);
        std::string placement = placementText(key);
        FUZZ_CHECK(placement.size() >= 15 && placement.size() <= 71);
        FUZZ_CHECK(placement.find_first_not_of("12345678/PNBRQKpnbrqk") == std::string::npos);
        FUZZ_CHECK(positionLine(book, i).back() == '\n');
        FUZZ_CHECK(findPlacement(book, key) == i);
        key[i % PACKED_BOARD_SIZE] ^= 0x80;  // a code 8 or more: no board of a checked file
        if ((key[i % PACKED_BOARD_SIZE] & 0xF0) >= 0x70) {
            FUZZ_CHECK(findPlacement(book, key) != i);
        }
    }
    return 0;
}
