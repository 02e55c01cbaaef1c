// The command language of the suite's configuration file: finding the
// "[Tessara]" section, telling command lines from comments, looking up a
// line's keyword, and reading its parameter (a number, a quoted string or a
// list of words). Every error ends the run through fatalError.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "config/settings.h"
#include "frame/io.h"

// The scratch state of the line being processed. lineCursor points into the
// frame's line buffer; paramString lies inside the current line, so a handler
// copies it before the next line is read.
struct ConfigReader {
    Frame& frame;
    Settings& settings;
    char* lineCursor = nullptr;
    std::uint32_t paramValue = 0;
    const char* paramString = nullptr;
};

using CommandHandler = void (*)(ConfigReader&);

struct CommandEntry {
    std::string_view keyword;
    std::size_t length;
    CommandHandler handler;
};

// A word of a word list with the flag word it stands for.
struct WordEntry {
    std::string_view word;
    std::uint32_t flags;
};

// A flag word with WORD_MASK is ANDed into the value; one with WORD_CHOICE
// replaces the value's three lowest bits; any other is ORed in.
constexpr std::uint32_t WORD_MASK = 0x8000;
constexpr std::uint32_t WORD_CHOICE = 0x4000;

constexpr std::array<WordEntry, 2> onOffWords = {{{"on", 1}, {"off", WORD_MASK}}};

// The guard in the dispatch slot that belongs to no keyword.
void nullCommand(ConfigReader& reader);

// Every keyword that the suite's configuration may hold, sorted by byte value
// for the halving search. Only the keyword's own length is compared, so no
// keyword may be the prefix of another.
constexpr std::array<CommandEntry, 103> commandTable = {{
    {"activeboard", 11, ignoreCommand},
    {"activemag", 9, ignoreCommand},
    {"autotime", 8, ignoreCommand},
    {"boardimage", 10, boardimageCommand},
    {"boardvalign", 11, ignoreCommand},
    {"bordercolor", 11, ignoreCommand},
    {"con5backtip", 11, ignoreCommand},
    {"con5forwardtip", 14, ignoreCommand},
    {"conautotip", 10, ignoreCommand},
    {"conbacktip", 10, ignoreCommand},
    {"conendtip", 9, ignoreCommand},
    {"confliptip", 10, ignoreCommand},
    {"conforwardtip", 13, ignoreCommand},
    {"conpanurl", 9, ignoreCommand},
    {"constarttip", 11, ignoreCommand},
    {"consteptip", 10, ignoreCommand},
    {"controlpanelname", 16, ignoreCommand},
    {"crosscharacters", 15, ignoreCommand},
    {"crossevent", 10, ignoreCommand},
    {"crosslink", 9, ignoreCommand},
    {"crossnamepattern", 16, ignoreCommand},
    {"crosstablecss", 13, crosstablecssCommand},
    {"crosstags", 9, ignoreCommand},
    {"dbnamepattern", 13, ignoreCommand},
    {"dbtags", 6, ignoreCommand},
    {"desc", 4, ignoreCommand},
    {"diagnotext", 10, ignoreCommand},
    {"diagramno", 9, ignoreCommand},
    {"displaymode", 11, ignoreCommand},
    {"ecofilename", 11, ignoreCommand},
    {"fenimg", 6, ignoreCommand},
    {"figurines", 9, ignoreCommand},
    {"flags", 5, flagsCommand},
    {"flagurl", 7, flagurlCommand},
    {"footerfile", 10, ignoreCommand},
    {"gameinfomode", 12, ignoreCommand},
    {"gamelinkinfo", 12, ignoreCommand},
    {"headerfile", 10, ignoreCommand},
    {"helpimg", 7, ignoreCommand},
    {"helptooltip", 11, ignoreCommand},
    {"helpurl", 7, ignoreCommand},
    {"hilightcolor", 12, ignoreCommand},
    {"htmltype", 8, ignoreCommand},
    {"iframecss", 9, ignoreCommand},
    {"iframewidth", 11, ignoreCommand},
    {"imgurl", 6, imgurlCommand},
    {"indexcss", 8, ignoreCommand},
    {"indexnamepattern", 16, ignoreCommand},
    {"introcom", 8, ignoreCommand},
    {"jsfile", 6, ignoreCommand},
    {"linebreaks", 10, ignoreCommand},
    {"magazinecols", 12, ignoreCommand},
    {"magazinecss", 11, ignoreCommand},
    {"magdiagramsize", 14, ignoreCommand},
    {"mailtoaddress", 13, ignoreCommand},
    {"mailtoimg", 9, ignoreCommand},
    {"mailtotext", 10, ignoreCommand},
    {"maxswissplayers", 15, ignoreCommand},
    {"movelinks", 9, ignoreCommand},
    {"movename", 8, ignoreCommand},
    {"moverecordercolor", 17, ignoreCommand},
    {"movingpcs", 9, ignoreCommand},
    {"multilang", 9, ignoreCommand},
    {"namepattern", 11, ignoreCommand},
    {"newcode", 7, newcodeCommand},
    {"ns4comp", 7, ignoreCommand},
    {"ns4redirect", 11, ignoreCommand},
    {"onevents", 8, ignoreCommand},
    {"overviewcols", 12, ignoreCommand},
    {"padding", 7, paddingCommand},
    {"pcletters", 9, pclettersCommand},
    {"pcsize", 6, pcsizeCommand},
    {"pgnheader", 9, pgnheaderCommand},
    {"pgnlink", 7, ignoreCommand},
    {"pgnmoves", 8, ignoreCommand},
    {"pgnurl", 6, ignoreCommand},
    {"player", 6, ignoreCommand},
    {"refreshtime", 11, ignoreCommand},
    {"resultflag", 10, resultflagCommand},
    {"screenwidth", 11, ignoreCommand},
    {"scriptloc", 9, ignoreCommand},
    {"scrollintoview", 14, ignoreCommand},
    {"ssi", 3, ignoreCommand},
    {"stylesheet", 10, stylesheetCommand},
    {"symbolfont", 10, ignoreCommand},
    {"symbolmethod", 12, ignoreCommand},
    {"symtips", 7, ignoreCommand},
    {"symurl", 6, symurlCommand},
    {"tablewidth", 10, ignoreCommand},
    {"tesdebug", 8, ignoreCommand},
    {"titletext", 9, ignoreCommand},
    {"titletype", 9, ignoreCommand},
    {"tooltipboard", 12, ignoreCommand},
    {"tooltipcross", 12, ignoreCommand},
    {"tooltipindex", 12, ignoreCommand},
    {"tooltipopening", 14, ignoreCommand},
    {"usekeystrokes", 13, ignoreCommand},
    {"variationcolor", 14, ignoreCommand},
    {"viewerheight", 12, ignoreCommand},
    {"viewername", 10, ignoreCommand},
    {"viewerwidth", 11, ignoreCommand},
    {"writemaggames", 13, ignoreCommand},
    {"writemaglinks", 13, ignoreCommand},
}};

namespace detail {

constexpr bool keywordsWellFormed() {
    for (std::size_t i = 0; i < commandTable.size(); ++i) {
        const CommandEntry& entry = commandTable[i];
        if (entry.length != entry.keyword.size() || entry.length == 0) return false;
        for (char c : entry.keyword) {
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
        }
        if (i > 0 && !(commandTable[i - 1].keyword < entry.keyword)) return false;
    }
    return true;
}

constexpr bool noKeywordIsAPrefix() {
    for (const CommandEntry& a : commandTable) {
        for (const CommandEntry& b : commandTable) {
            if (a.keyword != b.keyword && b.keyword.starts_with(a.keyword)) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::keywordsWellFormed(), "keywords: lower case, stated lengths, sorted");
static_assert(detail::noKeywordIsAPrefix(), "the lookup compares over the keyword's length");

// Reads the settings section of an open configuration file and applies every
// command in it to `settings`, then writes an empty line to the console.
void readConfiguration(Frame& frame, std::FILE* stream, Settings& settings);

// Looks up the keyword at lineCursor by halving the sorted table. On success
// lineCursor moves behind the keyword; otherwise it gives null and leaves
// lineCursor alone.
CommandHandler findCommand(ConfigReader& reader);

void skipBlanks(ConfigReader& reader);
void skipSeparator(ConfigReader& reader);
void expectEquals(ConfigReader& reader);
void parseNumber(ConfigReader& reader);
void parseNumericParameter(ConfigReader& reader);
void parseStringLiteral(ConfigReader& reader);
void parseWordList(ConfigReader& reader, const WordEntry* words, std::size_t count);
