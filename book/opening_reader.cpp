#include "book/opening_reader.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "book/name_store.h"
#include "book/opening_file.h"

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) return false;
    constexpr std::size_t CHUNK = 1 << 16;
    for (;;) {
        std::size_t used = bytes.size();
        bytes.resize(used + CHUNK);
        std::size_t got = std::fread(bytes.data() + used, 1, CHUNK, file.get());
        bytes.resize(used + got);
        if (got < CHUNK) break;
    }
    return !std::ferror(file.get());
}

namespace {

constexpr std::size_t COUNT_OFFSET = 18;
constexpr std::size_t LONGEST_OFFSET = 22;
constexpr std::size_t SIZE_OFFSET = 26;
constexpr int MAX_WORD_CODE = 245;

std::int32_t readInt32(const std::uint8_t* p) {
    std::uint32_t value = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                          static_cast<std::uint32_t>(p[2]) << 16 |
                          static_cast<std::uint32_t>(p[3]) << 24;
    return static_cast<std::int32_t>(value);
}

std::string hexByte(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

bool fail(BookError& error, std::string what, std::size_t offset) {
    error = {std::move(what), offset};
    return false;
}

// The head: its length, the identification and three counts that are not
// negative, and the file length they announce.
bool checkHead(const std::vector<std::uint8_t>& bytes, BookError& error) {
    std::size_t size = bytes.size();
    for (std::size_t i = 0; i < sizeof OPENING_FILE_ID; ++i) {
        if (i == size) break;
        if (bytes[i] != static_cast<std::uint8_t>(OPENING_FILE_ID[i])) {
            return fail(error, "not an opening file: no \"Tessara3 Openings\" identification", i);
        }
    }
    if (size < OPENING_FILE_HEAD_SIZE) {
        return fail(error, "file ends inside the 30-byte head", size);
    }
    const std::uint8_t* p = bytes.data();
    if (readInt32(p + COUNT_OFFSET) < 0) {
        return fail(error, "negative number of positions", COUNT_OFFSET);
    }
    const std::int32_t longest = readInt32(p + LONGEST_OFFSET);
    if (longest < 0) return fail(error, "negative longest line", LONGEST_OFFSET);
    // Every ply of a line records a position, so no opening text gives a
    // longer line than the position list holds; a book with positions and
    // no plies would name no game at all.
    if (longest == 0 && readInt32(p + COUNT_OFFSET) > 0) {
        return fail(error, "longest line of 0 plies in a book with positions", LONGEST_OFFSET);
    }
    if (longest > MAX_POSITIONS) {
        return fail(error,
                    "longest line of " + std::to_string(longest) + " plies, above the " +
                        std::to_string(MAX_POSITIONS) + " an opening text can hold",
                    LONGEST_OFFSET);
    }
    if (readInt32(p + SIZE_OFFSET) < 0) {
        return fail(error, "negative name space size", SIZE_OFFSET);
    }
    std::uint64_t expected = OPENING_FILE_HEAD_SIZE +
                             (PACKED_BOARD_SIZE + 4) * std::uint64_t(readInt32(p + COUNT_OFFSET)) +
                             std::uint64_t(readInt32(p + SIZE_OFFSET));
    std::string announced = " the " + std::to_string(expected) + " bytes its head announces";
    if (size < expected) return fail(error, "file ends before" + announced, size);
    if (size > expected) return fail(error, "file runs past" + announced, expected);
    return true;
}

// Every square code is a piece code (0 to 6, 9 to 14) and the boards rise
// strictly: the lookup halves the table.
bool checkPlacements(const std::uint8_t* keys, std::int32_t count, std::size_t base,
                     BookError& error) {
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* key = keys + std::size_t(i) * PACKED_BOARD_SIZE;
        std::size_t at = base + std::size_t(i) * PACKED_BOARD_SIZE;
        for (int b = 0; b < PACKED_BOARD_SIZE; ++b) {
            for (int k : {2 * b, 2 * b + 1}) {
                const int code = packedCode(key, k);
                if (code == 7 || code == 8 || code == 15) {
                    return fail(error, "placement holds the piece code " + std::to_string(code),
                                at + std::size_t(b));
                }
            }
        }
        if (i > 0 && std::memcmp(key - PACKED_BOARD_SIZE, key, PACKED_BOARD_SIZE) >= 0) {
            return fail(error, "placement not in ascending order", at);
        }
    }
    return true;
}

// What a walk over the name space found: where each NameRecord starts, up to
// the first fault, and that fault.
struct NameSpaceWalk {
    std::vector<bool> recordStart;
    std::int32_t recordCount = 0;
    std::size_t checkedUpTo = 0;  // starts below this are all known
    bool faulty = false;
    BookError fault;
};

NameSpaceWalk walkNameSpace(const std::uint8_t* names, std::size_t size, std::size_t base) {
    NameSpaceWalk walk;
    walk.recordStart.assign(size, false);
    std::size_t p = 0;
    auto stop = [&](std::string what, std::size_t at) {
        walk.faulty = true;
        walk.fault = {std::move(what), base + at};
        return walk;
    };
    while (p < size) {
        std::size_t start = p;
        walk.checkedUpTo = start;
        walk.recordStart[start] = true;
        if (names[p] < 0x80 || names[p] > 0x84) {
            return stop("ECO letter byte " + hexByte(names[p]) + " not in 0x80 to 0x84", p);
        }
        if (++p == size) return stop("name record not ended by a 0 byte", start);
        if (names[p] < 0x80 || names[p] > 0xE3) {
            return stop("ECO number byte " + hexByte(names[p]) + " not in 0x80 to 0xE3", p);
        }
        for (++p; p < size && names[p] != 0; ++p) {
            if (names[p] != '$') continue;
            if (++p == size) break;
            if (names[p] == 0 || names[p] > MAX_WORD_CODE) {
                return stop("word code " + std::to_string(names[p]) + " after '$' not in 1 to 245",
                            p);
            }
        }
        if (p == size) return stop("name record not ended by a 0 byte", start);
        ++p;
        ++walk.recordCount;
    }
    walk.checkedUpTo = size;
    return walk;
}

// Every name offset names the first byte of a NameRecord. An offset past the
// first fault of the name space cannot be judged; that fault is reported
// instead, after the offsets.
bool checkNameOffsets(const std::uint8_t* offsets, std::int32_t count, std::int32_t nameSpaceSize,
                      const NameSpaceWalk& walk, std::size_t base, BookError& error) {
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t offset = readInt32(offsets + 4 * std::size_t(i));
        std::size_t at = base + 4 * std::size_t(i);
        std::string what = "name offset " + std::to_string(offset);
        if (offset < 0 || offset >= nameSpaceSize) {
            return fail(error, what + " outside the name space", at);
        }
        auto o = static_cast<std::size_t>(offset);
        if (o < walk.checkedUpTo && !walk.recordStart[o]) {
            return fail(error, what + " not at the start of a name record", at);
        }
    }
    return true;
}

// The four words of the key multiplied apart, then mixed so that every bit
// of the result depends on every bit of the key: the top bits pick the slot,
// the middle ones are the slot's check, the low ones the presence bit.
std::uint64_t hashBoard(const std::uint8_t* key) {
    std::uint64_t w[4];
    std::memcpy(w, key, sizeof w);
    std::uint64_t h = w[0] * 0x9E3779B97F4A7C15ull ^ w[1] * 0xC2B2AE3D27D4EB4Full ^
                      w[2] * 0x165667B19E3779F9ull ^ w[3] * 0x27D4EB2F165667C5ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ h >> 32;
}

std::uint32_t slotCheck(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 16);
}

bool sameBoard(const std::uint8_t* a, const std::uint8_t* b) {
    std::uint64_t x[4];
    std::uint64_t y[4];
    std::memcpy(x, a, sizeof x);
    std::memcpy(y, b, sizeof y);
    return ((x[0] ^ y[0]) | (x[1] ^ y[1]) | (x[2] ^ y[2]) | (x[3] ^ y[3])) == 0;
}

void buildSlots(OpeningBook& book) {
    int bits = 4;
    while ((std::size_t{1} << bits) < 2 * std::size_t(book.positionCount)) ++bits;
    book.slots.assign(std::size_t{1} << bits, BookSlot{0, -1});
    book.slotMask = (std::uint64_t{1} << bits) - 1;
    book.slotShift = 64 - bits;
    // Eight bits a board: 2^(bits + 2), at least one word.
    book.hashBits.assign(std::size_t{1} << (bits - 4), 0);
    book.hashBitMask = (std::uint64_t{1} << (bits + 2)) - 1;
    for (std::int32_t i = 0; i < book.positionCount; ++i) {
        const std::uint64_t hash = hashBoard(book.keys + std::size_t(i) * PACKED_BOARD_SIZE);
        const std::uint64_t bit = hash & book.hashBitMask;
        book.hashBits[bit >> 6] |= std::uint64_t{1} << (bit & 63);
        std::uint64_t slot = hash >> book.slotShift;
        while (book.slots[slot].index >= 0) slot = (slot + 1) & book.slotMask;
        book.slots[slot] = BookSlot{slotCheck(hash), i};
    }
}

}  // namespace

bool loadOpeningBook(std::vector<std::uint8_t> bytes, OpeningBook& book, BookError& error) {
    book = OpeningBook{};
    if (!checkHead(bytes, error)) return false;
    const std::uint8_t* p = bytes.data();
    std::int32_t count = readInt32(p + COUNT_OFFSET);
    std::int32_t size = readInt32(p + SIZE_OFFSET);
    std::size_t keysAt = OPENING_FILE_HEAD_SIZE;
    std::size_t offsetsAt = keysAt + std::size_t(count) * PACKED_BOARD_SIZE;
    std::size_t namesAt = offsetsAt + std::size_t(count) * 4;
    if (!checkPlacements(p + keysAt, count, keysAt, error)) return false;
    NameSpaceWalk walk = walkNameSpace(p + namesAt, std::size_t(size), namesAt);
    if (!checkNameOffsets(p + offsetsAt, count, size, walk, offsetsAt, error)) return false;
    if (walk.faulty) {
        error = walk.fault;
        return false;
    }
    book.positionCount = count;
    book.longestLine = readInt32(p + LONGEST_OFFSET);
    book.nameSpaceSize = size;
    book.nameCount = walk.recordCount;
    book.bytes = std::move(bytes);
    book.keys = book.bytes.data() + keysAt;
    book.offsets = book.bytes.data() + offsetsAt;
    book.names = book.bytes.data() + namesAt;
    buildSlots(book);
    return true;
}

std::int32_t findPlacement(const OpeningBook& book,
                           const std::uint8_t (&packedBoard)[PACKED_BOARD_SIZE]) {
    if (book.slots.empty()) return -1;
    const std::uint64_t hash = hashBoard(packedBoard);
    const std::uint64_t bit = hash & book.hashBitMask;
    if (((book.hashBits[bit >> 6] >> (bit & 63)) & 1) == 0) return -1;
    const std::uint32_t check = slotCheck(hash);
    for (std::uint64_t slot = hash >> book.slotShift;; slot = (slot + 1) & book.slotMask) {
        const BookSlot entry = book.slots[slot];
        if (entry.index < 0) return -1;
        if (entry.check == check &&
            sameBoard(book.keys + std::size_t(entry.index) * PACKED_BOARD_SIZE, packedBoard)) {
            return entry.index;
        }
    }
}

// The writer replaced every dictionary word by '$' and its code and dropped
// the spaces after a ':'; the names all had one there, so one comes back.
OpeningName nameRecordAt(const OpeningBook& book, std::int32_t offset) {
    const std::uint8_t* record = book.names + offset;
    OpeningName result;
    result.eco = {static_cast<char>('A' + (record[0] - 0x80)),
                  static_cast<char>('0' + (record[1] - 0x80) / 10),
                  static_cast<char>('0' + (record[1] - 0x80) % 10)};
    for (const std::uint8_t* p = record + 2; *p; ++p) {
        if (*p == '$') {
            result.name += OPENING_WORDS[*++p - 1];
        } else if (*p == ':' && p[1] != 0) {
            result.name += ": ";
        } else {
            result.name += static_cast<char>(*p);
        }
    }
    return result;
}

OpeningName openingNameAt(const OpeningBook& book, std::int32_t index) {
    return nameRecordAt(book, readInt32(book.offsets + 4 * std::size_t(index)));
}

std::string placementText(const std::uint8_t* packedBoard) {
    static constexpr char LETTER[] = " PNBRQK??pnbrqk?";
    std::string text;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            int k = 8 * rank + file;
            int code = packedCode(packedBoard, k);
            if (code == 0) {
                ++empty;
                continue;
            }
            if (empty) text += static_cast<char>('0' + empty);
            empty = 0;
            text += LETTER[code];
        }
        if (empty) text += static_cast<char>('0' + empty);
        if (rank) text += '/';
    }
    return text;
}
