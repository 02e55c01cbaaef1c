// The settings that tesweb keeps from the suite's configuration file, one
// field per keyword it acts on, the handlers that check and store them, and
// the table of every keyword of the suite with the handler it names.
// The other keywords of the suite are accepted and ignored.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frame/word_search.h"

struct ConfigReader;

// Room for a string setting: 127 characters and the terminator.
constexpr std::size_t STRING_SETTING_SIZE = 128;

struct Settings {
    std::uint32_t pcsize = 29;
    std::uint32_t padding = 20;
    std::uint32_t newcode = 0;
    std::uint32_t resultflag = 0;
    std::uint32_t pgnheader = 1;
    std::uint32_t flags = 1;  // flag images in the cross table while not 0
    char imgurl[STRING_SETTING_SIZE] = "jpc";
    char symurl[STRING_SETTING_SIZE] = "jpc";
    char flagurl[STRING_SETTING_SIZE] = "flag";  // directory of the flag images
    char pcletters[STRING_SETTING_SIZE] = "PNBRQK";
    char boardimage[STRING_SETTING_SIZE] = "";
    char stylesheet[STRING_SETTING_SIZE] = "";
    char crosstablecss[STRING_SETTING_SIZE] = "";  // style sheet of the page head
};

void pcsizeCommand(ConfigReader& reader);
void paddingCommand(ConfigReader& reader);
void newcodeCommand(ConfigReader& reader);
void resultflagCommand(ConfigReader& reader);
void pgnheaderCommand(ConfigReader& reader);
void flagsCommand(ConfigReader& reader);
void imgurlCommand(ConfigReader& reader);
void symurlCommand(ConfigReader& reader);
void flagurlCommand(ConfigReader& reader);
void pclettersCommand(ConfigReader& reader);
void boardimageCommand(ConfigReader& reader);
void stylesheetCommand(ConfigReader& reader);
void crosstablecssCommand(ConfigReader& reader);

// The handler of the keywords that belong to other parts of the suite: it
// reads nothing, so such a line needs no '=' and its value is never examined.
void ignoreCommand(ConfigReader& reader);

using CommandHandler = void (*)(ConfigReader&);

struct CommandEntry {
    std::string_view keyword;
    // A reference: an entry cannot be made without its handler.
    void (&handler)(ConfigReader&);
};

// Every keyword that the suite's configuration may hold, sorted by byte value
// for the halving search. Only the keyword's own length is compared, so no
// keyword may be the prefix of another.
constexpr std::array<CommandEntry, 103> COMMAND_TABLE = {{
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
    for (const CommandEntry& entry : COMMAND_TABLE) {
        for (char c : entry.keyword) {
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
        }
    }
    return true;
}

}  // namespace detail

static_assert(detail::keywordsWellFormed(), "keywords: lower case letters and digits");
static_assert(isSortedAndPrefixFree(COMMAND_TABLE, KeywordOf{}),
              "the lookup halves a sorted table over the keyword's length");
