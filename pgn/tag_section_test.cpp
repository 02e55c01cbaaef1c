#include "pgn/tag_section.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The tag section at the start of the whole input, read as the last bytes
// of a file: "[Name=value] ... @MOVETEXT line LINES !FAULT_LINE ...", with
// "~" in place of "=" for a pair that is not whole.
std::string sectionOf(std::string input) {
    const std::size_t size = input.size();
    input += '\n';  // the sentinel the reader keeps after its bytes
    std::vector<PgnTag> tags;
    std::vector<PgnFault> faults;
    GameScan scan{};
    scan.in = {input.data(), size, true, true};
    scan.tags = &tags;
    scan.faults = &faults;
    EXPECT_EQ(readTagSection(scan), ScanResult::GAME);
    std::string out;
    for (std::size_t i = 0; i < scan.tagCount; ++i) {
        out += "[" + tags[i].name + (tags[i].whole ? "=" : "~") + tags[i].value + "] ";
    }
    out += "@" + std::to_string(scan.bounds.movetext) + " line " +
           std::to_string(scan.bounds.linesToMovetext);
    for (const PgnFault& fault : faults) out += " !" + std::to_string(fault.line);
    return out;
}

struct SectionCase {
    const char* what;
    const char* input;
    const char* section;
};

const SectionCase SECTION_CASES[] = {
    {"no tags", "1. e4 *", "@0 line 0"},
    {"lines and blanks", " [A \"1\"]\n[ B  \"2\" ] \n\n1. e4", "[A=1] [B=2] @21 line 2"},
    {"movetext on the tag line", "[A \"1\"] 1. e4", "[A=1] @8 line 0"},
    {"escapes", "[A \"x\\\"y\\\\z\\q\"]\n", "[A=x\"y\\z\\q] @16 line 1"},
    {"unescaped quotes", "[A \"Lopez \"Battle Royale\"\"]\n[B \"a\"b\" ]\n",
     "[A=Lopez \"Battle Royale\"] [B=a\"b] @39 line 2"},
    {"open value closed by a bracket", "[White \"A]\n[Date \"2024\n",
     "[White~A] [Date~2024] @23 line 2 !0 !1"},
    {"no value, no name, cut off", "[Round]\n[ \"x\"]\n[Bla",
     "[Round~] [~x] [Bla~] @19 line 2 !0 !1 !2"},
    {"new names after blank lines", "[A \"1\"]\n\n \t\r\n[B \"2\"]\n\n1. e4",
     "[A=1] [B=2] @21 line 4"},
    {"a held name after a blank line", "[A \"1\"]\n\n[B \"2\"]\n[A \"3\"]\n", "[A=1] @8 line 1"},
    {"a fault of a run given back", "[A \"1\"]\n\n[B \"2]\n[A \"3\"]\n", "[A=1] @8 line 1"},
    {"lone CR line ends", "[A \"1\"]\r[B \"2\"]\r\r[C \"3\"]\r", "[A=1] [B=2] [C=3] @25 line 4"},
};

TEST(ReadTagSection, ReadsPairsBlankLinesAndBrokenPairs) {
    for (const SectionCase& c : SECTION_CASES) EXPECT_EQ(sectionOf(c.input), c.section) << c.what;
}

}  // namespace
