#include "transform/tables.h"

#include <cstring>

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool startsWithIgnoringCase(const char* text, std::string_view prefix) {
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (text[i] == '\0' || lowerAscii(text[i]) != lowerAscii(prefix[i])) return false;
    }
    return true;
}

}  // namespace

int matchTitle(const char* token) {
    for (std::size_t i = 0; i < titleList.size(); ++i) {
        std::string_view title = titleList[i];
        if (!startsWithIgnoringCase(token, title)) continue;
        if (title.size() == 1 && token[1] != '\0') continue;
        return static_cast<int>(i + 1);
    }
    return 0;
}

int findCountry(const char* token) {
    if (std::strlen(token) != 3) return 0;
    const char copy[3] = {lowerAscii(token[0]), lowerAscii(token[1]), lowerAscii(token[2])};
    std::size_t low = 0;
    std::size_t high = countryCodes.size();
    std::size_t mid = high / 2;
    for (;;) {
        int order = std::memcmp(copy, countryCodes[mid].data(), 3);
        if (order == 0) return static_cast<int>(mid + 1);
        if (order < 0) {
            high = mid;
        } else {
            low = mid;
        }
        std::size_t next = (low + high) / 2;
        if (next == mid) return 0;
        mid = next;
    }
}
