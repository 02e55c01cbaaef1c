// The code and name of the ECO line being read, as the reader takes them
// from a header line and the name store keeps them.
#pragma once

#include <cstdint>

constexpr int NAME_TEXT_SIZE = 260;  // the longest name, 259 bytes, and its 0

struct EcoHeader {
    std::uint8_t ecoLetter = 0;  // 0 to 4 for the volumes 'A' to 'E'
    std::uint8_t ecoNumber = 0;  // 0 to 99
    char nameText[NAME_TEXT_SIZE] = {};
    // The line counter at the last header that had any text after its code;
    // it decides between lines of equal length for a shared position.
    std::int32_t headerLine = 0;
};
