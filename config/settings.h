// The settings that tesweb keeps from the suite's configuration file, one
// field per keyword it acts on, and the handlers that check and store them.
// The other keywords of the suite are accepted and ignored.
#pragma once

#include <cstddef>
#include <cstdint>

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
