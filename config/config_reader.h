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
#include "frame/word_search.h"

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
    // A reference: an entry cannot be made without its handler.
    void (&handler)(ConfigReader&);
};

// A word of a word list with the flag word it stands for.
struct WordEntry {
    std::string_view word;
    std::uint32_t flags;
};

// A flag word with WORD_MASK is ANDed into the value; any other is ORed in.
constexpr std::uint32_t WORD_MASK = 0x8000;

constexpr std::array<WordEntry, 2> onOffWords = {{{"on", 1}, {"off", WORD_MASK}}};

// Every keyword that the suite's configuration may hold, sorted by byte value
// for the halving search. Only the keyword's own length is compared, so no
// keyword may be the prefix of another.
constexpr std::array<CommandEntry, 103> commandTable = {{
    {"activeboard", ignoreCommand},
    {"activemag", ignoreCommand},
    {"autotime", ignoreCommand},
    {"boardimage", boardimageCommand},
    {"boardvalign", ignoreCommand},
    {"bordercolor", ignoreCommand},
    {"con5backtip", ignoreCommand},
    {"con5forwardtip", ignoreCommand},
    {"conautotip", ignoreCommand},
    {"conbacktip", ignoreCommand},
    {"conendtip", ignoreCommand},
    {"confliptip", ignoreCommand},
    {"conforwardtip", ignoreCommand},
    {"conpanurl", ignoreCommand},
    {"constarttip", ignoreCommand},
    {"consteptip", ignoreCommand},
    {"controlpanelname", ignoreCommand},
    {"crosscharacters", ignoreCommand},
    {"crossevent", ignoreCommand},
    {"crosslink", ignoreCommand},
    {"crossnamepattern", ignoreCommand},
    {"crosstablecss", crosstablecssCommand},
    {"crosstags", ignoreCommand},
    {"dbnamepattern", ignoreCommand},
    {"dbtags", ignoreCommand},
    {"desc", ignoreCommand},
    {"diagnotext", ignoreCommand},
    {"diagramno", ignoreCommand},
    {"displaymode", ignoreCommand},
    {"ecofilename", ignoreCommand},
    {"fenimg", ignoreCommand},
    {"figurines", ignoreCommand},
    {"flags", flagsCommand},
    {"flagurl", flagurlCommand},
    {"footerfile", ignoreCommand},
    {"gameinfomode", ignoreCommand},
    {"gamelinkinfo", ignoreCommand},
    {"headerfile", ignoreCommand},
    {"helpimg", ignoreCommand},
    {"helptooltip", ignoreCommand},
    {"helpurl", ignoreCommand},
    {"hilightcolor", ignoreCommand},
    {"htmltype", ignoreCommand},
    {"iframecss", ignoreCommand},
    {"iframewidth", ignoreCommand},
    {"imgurl", imgurlCommand},
    {"indexcss", ignoreCommand},
    {"indexnamepattern", ignoreCommand},
    {"introcom", ignoreCommand},
    {"jsfile", ignoreCommand},
    {"linebreaks", ignoreCommand},
    {"magazinecols", ignoreCommand},
    {"magazinecss", ignoreCommand},
    {"magdiagramsize", ignoreCommand},
    {"mailtoaddress", ignoreCommand},
    {"mailtoimg", ignoreCommand},
    {"mailtotext", ignoreCommand},
    {"maxswissplayers", ignoreCommand},
    {"movelinks", ignoreCommand},
    {"movename", ignoreCommand},
    {"moverecordercolor", ignoreCommand},
    {"movingpcs", ignoreCommand},
    {"multilang", ignoreCommand},
    {"namepattern", ignoreCommand},
    {"newcode", newcodeCommand},
    {"ns4comp", ignoreCommand},
    {"ns4redirect", ignoreCommand},
    {"onevents", ignoreCommand},
    {"overviewcols", ignoreCommand},
    {"padding", paddingCommand},
    {"pcletters", pclettersCommand},
    {"pcsize", pcsizeCommand},
    {"pgnheader", pgnheaderCommand},
    {"pgnlink", ignoreCommand},
    {"pgnmoves", ignoreCommand},
    {"pgnurl", ignoreCommand},
    {"player", ignoreCommand},
    {"refreshtime", ignoreCommand},
    {"resultflag", resultflagCommand},
    {"screenwidth", ignoreCommand},
    {"scriptloc", ignoreCommand},
    {"scrollintoview", ignoreCommand},
    {"ssi", ignoreCommand},
    {"stylesheet", stylesheetCommand},
    {"symbolfont", ignoreCommand},
    {"symbolmethod", ignoreCommand},
    {"symtips", ignoreCommand},
    {"symurl", symurlCommand},
    {"tablewidth", ignoreCommand},
    {"tesdebug", ignoreCommand},
    {"titletext", ignoreCommand},
    {"titletype", ignoreCommand},
    {"tooltipboard", ignoreCommand},
    {"tooltipcross", ignoreCommand},
    {"tooltipindex", ignoreCommand},
    {"tooltipopening", ignoreCommand},
    {"usekeystrokes", ignoreCommand},
    {"variationcolor", ignoreCommand},
    {"viewerheight", ignoreCommand},
    {"viewername", ignoreCommand},
    {"viewerwidth", ignoreCommand},
    {"writemaggames", ignoreCommand},
    {"writemaglinks", ignoreCommand},
}};

struct KeywordOf {
    constexpr std::string_view operator()(const CommandEntry& entry) const { return entry.keyword; }
};

namespace detail {

constexpr bool keywordsWellFormed() {
    for (const CommandEntry& entry : commandTable) {
        for (char c : entry.keyword) {
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::keywordsWellFormed(), "keywords: lower case letters and digits");
static_assert(isSortedAndPrefixFree(commandTable, KeywordOf{}),
              "the lookup halves a sorted table over the keyword's length");

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
