// The search shared by the tools' constant word tables (the opening words,
// the configuration keywords, the country codes): halving over a table
// sorted by byte value, comparing the text over each entry's own length.
// Because only the entry's length is compared, a word that began another
// would hide it: the tables are checked at compile time with
// isSortedAndPrefixFree.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// Gives the word of a table entry; a table of plain words needs nothing more.
struct PlainWord {
    constexpr std::string_view operator()(std::string_view word) const { return word; }
};

// strncmp over the word's length: bytes compare unsigned, and the end of the
// text, a 0 that no word holds, compares below any character.
constexpr int compareOverWord(const char* text, std::string_view word) {
    for (std::size_t i = 0; i < word.size(); ++i) {
        auto a = static_cast<unsigned char>(text[i]);
        auto b = static_cast<unsigned char>(word[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    return 0;
}

// The index of the entry whose word begins `text`, or -1. The search starts
// in the middle, halves towards the text and gives up when the next middle
// equals the current one.
template <typename Entry, std::size_t N, typename WordOf = PlainWord>
constexpr int findSortedWord(const std::array<Entry, N>& table, const char* text,
                             WordOf wordOf = {}) {
    static_assert(N > 0);
    std::size_t low = 0;
    std::size_t high = N;
    std::size_t middle = high / 2;
    for (;;) {
        int order = compareOverWord(text, wordOf(table[middle]));
        if (order == 0) return static_cast<int>(middle);
        if (order < 0) {
            high = middle;
        } else {
            low = middle;
        }
        std::size_t next = (low + high) / 2;
        if (next == middle) return -1;
        middle = next;
    }
}

// True when every word is non-empty, the words ascend strictly by byte
// value and none begins another. In a sorted table every word that lies
// between a word and a longer one it begins also begins with it, so checking
// each word against the next is enough.
template <typename Entry, std::size_t N, typename WordOf = PlainWord>
constexpr bool isSortedAndPrefixFree(const std::array<Entry, N>& table, WordOf wordOf = {}) {
    for (std::size_t i = 0; i < N; ++i) {
        std::string_view word = wordOf(table[i]);
        if (word.empty()) return false;
        if (i == 0) continue;
        std::string_view before = wordOf(table[i - 1]);
        std::size_t same = 0;
        while (same < before.size() && same < word.size() && before[same] == word[same]) ++same;
        if (same == before.size() || same == word.size()) return false;
        if (static_cast<unsigned char>(before[same]) > static_cast<unsigned char>(word[same])) {
            return false;
        }
    }
    return true;
}
