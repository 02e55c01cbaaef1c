// Character tests and case folding for the single-byte texts the tools read.
// Only the ASCII letters have a case here; no locale is consulted, so a byte
// of 128 or more is always left as it is.
#pragma once

#include <string_view>

// A blank, a tab, a line end or any other control character (1 to 32); the
// 0 that ends a text is none of them.
constexpr bool isBlankOrControl(char c) {
    unsigned char code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

constexpr char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Turns the ASCII letters of a 0-terminated text to lower case in place.
constexpr void lowerCase(char* text) {
    for (; *text; ++text) *text = lowerAscii(*text);
}

// True when `text` begins with `prefix`, ASCII letters compared without
// regard to case; the text's terminating 0 ends the comparison.
constexpr bool startsWithIgnoringCase(const char* text, std::string_view prefix) {
    for (char want : prefix) {
        if (lowerAscii(*text) != lowerAscii(want)) return false;
        ++text;
    }
    return true;
}
