// Which games -e and -n keep: by the ECO code of their opening, from a
// list of codes, prefixes and ranges, and by a text in its name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One item of an ECO list as the range of codes it covers: "B20" is
// B20-B20, "B2" B20-B29, "B" B00-B99.
struct EcoRange {
    std::string low;   // three characters, "A00" to "E99"
    std::string high;  // at least `low`
};

struct GameSelection {
    bool byCodes = false;
    std::vector<EcoRange> codes;  // -e: the code is in one of them
    bool byText = false;
    std::string text;  // -n, in lower case: the name holds it
};

// Reads a comma-separated list of ECO codes ("B20"), prefixes ("B2", "B")
// and ranges of codes ("B20-B99"); false when an item is none of them, a
// range runs backwards or an item is empty.
bool parseEcoCodes(std::string_view list, std::vector<EcoRange>& codes);

// Does the selection keep a game named `eco`, `name`? A game the book does
// not name is never kept by -e or -n.
bool selectsOpening(const GameSelection& selection, std::string_view eco, std::string_view name);
