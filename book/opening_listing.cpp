#include "book/opening_listing.h"

std::string bookSummary(const OpeningBook& book, std::string_view name) {
    return std::string(name) + ": " + std::to_string(book.positionCount) + " positions, " +
           "longest line " + std::to_string(book.longestLine) + " plies, " +
           std::to_string(book.nameCount) + " names in " + std::to_string(book.nameSpaceSize) +
           " bytes\n";
}

std::string oneLineName(std::string name) {
    for (char& c : name) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return name;
}

std::string positionLine(const OpeningBook& book, std::int32_t index) {
    OpeningName name = openingNameAt(book, index);
    return placementText(book.keys + std::size_t(index) * PACKED_BOARD_SIZE) + '\t' + name.eco +
           '\t' + oneLineName(std::move(name.name)) + '\n';
}

bool writePositionList(const OpeningBook& book, std::FILE* out) {
    for (std::int32_t i = 0; i < book.positionCount; ++i) {
        std::string line = positionLine(book, i);
        if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) return false;
    }
    return true;
}
