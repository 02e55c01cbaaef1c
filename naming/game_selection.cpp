#include "naming/game_selection.h"

#include "frame/ascii.h"

namespace {

// "B20", "B2" or "B" as the range it covers; false for anything else.
bool readCodePrefix(std::string_view item, EcoRange& range) {
    if (item.empty() || item.size() > 3 || item[0] < 'A' || item[0] > 'E') return false;
    for (std::size_t i = 1; i < item.size(); ++i) {
        if (!isDigit(item[i])) return false;
    }
    range.low = std::string(item) + std::string(3 - item.size(), '0');
    range.high = std::string(item) + std::string(3 - item.size(), '9');
    return true;
}

bool readItem(std::string_view item, EcoRange& range) {
    const std::size_t dash = item.find('-');
    if (dash == std::string_view::npos) return readCodePrefix(item, range);
    EcoRange low, high;
    if (dash != 3 || item.size() != 7 || !readCodePrefix(item.substr(0, 3), low) ||
        !readCodePrefix(item.substr(4), high) || high.low < low.low) {
        return false;
    }
    range.low = low.low;
    range.high = high.high;
    return true;
}

bool containsIgnoringCase(std::string_view text, std::string_view lowerPart) {
    if (lowerPart.size() > text.size()) return false;
    for (std::size_t at = 0; at + lowerPart.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < lowerPart.size() && lowerAscii(text[at + i]) == lowerPart[i]) ++i;
        if (i == lowerPart.size()) return true;
    }
    return false;
}

}  // namespace

bool parseEcoCodes(std::string_view list, std::vector<EcoRange>& codes) {
    codes.clear();
    std::size_t begin = 0;
    while (true) {
        std::size_t end = list.find(',', begin);
        if (end == std::string_view::npos) end = list.size();
        EcoRange range;
        if (!readItem(list.substr(begin, end - begin), range)) return false;
        codes.push_back(range);
        if (end == list.size()) return true;
        begin = end + 1;
    }
}

bool selectsOpening(const GameSelection& selection, std::string_view eco, std::string_view name) {
    if (selection.byCodes) {
        bool inList = false;
        for (const EcoRange& range : selection.codes) {
            inList |= eco >= range.low && eco <= range.high;
        }
        if (!inList) return false;
    }
    return !selection.byText || containsIgnoringCase(name, selection.text);
}
