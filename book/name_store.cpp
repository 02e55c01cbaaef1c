#include "book/name_store.h"

#include <cstring>
#include <new>

void allocateNameSpace(Frame& frame, NameStore& store) {
    store.nameSpace.reset(new (std::nothrow) std::uint8_t[NAME_SPACE_SIZE]);
    if (!store.nameSpace) fatalError(frame, "Can't allocate space for saving Opening names\n");
    store.openingTable.reset(new (std::nothrow) OpeningInfo[MAX_OPENING_LINES]);
    if (!store.openingTable) fatalError(frame, "Can't allocate space for saving Opening info.\n");
    store.nameSpaceUsed = 0;
    store.lastRecord = 0;
}

void buildWordLengths(NameStore& store) {
    for (int i = 0; i < OPENING_WORD_COUNT; ++i) {
        store.wordLength[i] = static_cast<std::uint8_t>(openingWords[i].size());
    }
}

namespace {

// strncmp over the word's length: bytes compare unsigned, and the end of the
// text, a 0 that no word holds, compares below any letter.
int compareWithWord(const char* text, std::string_view word, int length) {
    for (int i = 0; i < length; ++i) {
        auto a = static_cast<unsigned char>(text[i]);
        auto b = static_cast<unsigned char>(word[static_cast<std::size_t>(i)]);
        if (a != b) return a < b ? -1 : 1;
    }
    return 0;
}

}  // namespace

// Halves the table, comparing the text over each word's own length only,
// and gives up when the middle stops moving.
int findOpeningWord(const NameStore& store, const char* text) {
    int low = 0;
    int high = OPENING_WORD_COUNT;
    int middle = (low + high) / 2;
    for (;;) {
        int order = compareWithWord(text, openingWords[middle], store.wordLength[middle]);
        if (order == 0) return middle + 1;
        if (order < 0) {
            high = middle;
        } else {
            low = middle;
        }
        int next = (low + high) / 2;
        if (next == middle) return 0;
        middle = next;
    }
}

void encodeOpeningName(Frame& frame, const NameStore& store, char* name) {
    const char* read = name;
    char* write = name;
    while (*read) {
        char c = *read;
        if (c == '$') {
            warning(frame, "Can't use '$' character in Opening file.\n");
            ++read;
            continue;
        }
        if (c >= 'A' && c <= 'Z') {
            if (int code = findOpeningWord(store, read)) {
                *write++ = '$';
                *write++ = static_cast<char>(code);
                read += store.wordLength[code - 1];
                continue;
            }
        }
        *write++ = c;
        ++read;
        if (c == ':') {
            while (*read == ' ') ++read;
        }
    }
    *write = '\0';
}

void storeOpeningName(Frame& frame, NameStore& store, EcoHeader& header) {
    encodeOpeningName(frame, store, header.nameText);
    auto length = static_cast<std::int32_t>(std::strlen(header.nameText));
    if (store.nameSpaceUsed + length + 3 >= NAME_SPACE_SIZE) {
        fatalError(frame, "Ran out of opening name space");
    }
    std::uint8_t* record = store.nameSpace.get() + store.nameSpaceUsed;
    record[0] = static_cast<std::uint8_t>(header.ecoLetter | 0x80);
    record[1] = static_cast<std::uint8_t>(header.ecoNumber | 0x80);
    std::memcpy(record + 2, header.nameText, static_cast<std::size_t>(length));
    record[length + 2] = 0;
    store.lastRecord = store.nameSpaceUsed;
    store.nameSpaceUsed += length + 3;
}

void addOpeningInfo(NameStore& store, const EcoHeader& header, int lineIndex) {
    OpeningInfo& info = store.openingTable[lineIndex];
    info.name = store.lastRecord;
    info.headerLine = header.headerLine;
    info.plies = 0;
    info.ecoLetter = header.ecoLetter;
    info.ecoNumber = header.ecoNumber;
}
