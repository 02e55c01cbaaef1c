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

int findOpeningWord(const char* text) {
    return findSortedWord(OPENING_WORDS, text) + 1;
}

void encodeOpeningName(Frame& frame, char* name) {
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
            if (int code = findOpeningWord(read)) {
                *write++ = '$';
                *write++ = static_cast<char>(code);
                read += OPENING_WORDS[static_cast<std::size_t>(code - 1)].size();
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
    encodeOpeningName(frame, header.nameText);
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
