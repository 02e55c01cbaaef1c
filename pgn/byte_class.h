// Byte classes of PGN text, as tables of 256 entries, so that the scans
// test a byte with one load.
#pragma once

#include <array>
#include <string_view>

// The table whose entries are true for the bytes of `members`.
constexpr std::array<bool, 256> byteTable(std::string_view members) {
    std::array<bool, 256> table{};
    for (unsigned char c : members) table[c] = true;
    return table;
}

// Characters that end a token of movetext. A termination marker counts only
// as a token of its own, so that "e4*" or "2.1-0" is not the end of a game.
inline constexpr std::array<bool, 256> TOKEN_DELIMITERS = byteTable(" \t\r\n\v\f{}();[]");

inline bool isDelimiter(char c) {
    return TOKEN_DELIMITERS[static_cast<unsigned char>(c)];
}
