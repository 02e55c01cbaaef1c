#include "transform/tables.h"

#include <cstring>

#include "frame/ascii.h"

int matchTitle(const char* token) {
    for (std::size_t i = 0; i < TITLE_LIST.size(); ++i) {
        std::string_view title = TITLE_LIST[i];
        if (!startsWithIgnoringCase(token, title)) continue;
        if (title.size() == 1 && token[1] != '\0') continue;
        return static_cast<int>(i + 1);
    }
    return 0;
}

int findCountry(const char* token) {
    if (std::strlen(token) != 3) return 0;
    const char copy[4] = {lowerAscii(token[0]), lowerAscii(token[1]), lowerAscii(token[2]), 0};
    return findSortedWord(COUNTRY_CODES, copy) + 1;
}
