#include "config/settings.h"

#include <cstring>

#include "config/config_reader.h"
#include "frame/ascii.h"

namespace {

// Reads an on/off value: "on" gives 1, "off" or any other word 0.
std::uint32_t readOnOff(ConfigReader& reader) {
    expectEquals(reader);
    parseWordList(reader, ON_OFF_WORDS.data(), ON_OFF_WORDS.size());
    return reader.paramValue;
}

// Reads a string literal into a setting. A value that does not fit is an
// error rather than being cut, so the page never links a shortened path.
void readString(ConfigReader& reader, char (&field)[STRING_SETTING_SIZE]) {
    expectEquals(reader);
    parseStringLiteral(reader);
    std::size_t length = std::strlen(reader.paramString);
    if (length >= STRING_SETTING_SIZE) fatalError(reader.frame, "String parameter too long");
    std::memcpy(field, reader.paramString, length + 1);
}

// Directory settings are joined with "/" by their users, so one trailing
// slash is dropped.
void stripTrailingSlash(char* text) {
    std::size_t length = std::strlen(text);
    if (length > 0 && text[length - 1] == '/') text[length - 1] = '\0';
}

}  // namespace

void pcsizeCommand(ConfigReader& reader) {
    parseNumericParameter(reader);
    if (reader.paramValue < 10 || reader.paramValue > 75) {
        fatalError(reader.frame, "Piece size out of range");
    }
    reader.settings.pcsize = reader.paramValue;
}

void paddingCommand(ConfigReader& reader) {
    parseNumericParameter(reader);
    if (reader.paramValue > 400) fatalError(reader.frame, "Padding out of range");
    reader.settings.padding = reader.paramValue;
}

void newcodeCommand(ConfigReader& reader) {
    reader.settings.newcode = readOnOff(reader);
}

void resultflagCommand(ConfigReader& reader) {
    reader.settings.resultflag = readOnOff(reader);
}

void pgnheaderCommand(ConfigReader& reader) {
    reader.settings.pgnheader = readOnOff(reader);
}

void flagsCommand(ConfigReader& reader) {
    reader.settings.flags = readOnOff(reader);
}

void imgurlCommand(ConfigReader& reader) {
    readString(reader, reader.settings.imgurl);
    stripTrailingSlash(reader.settings.imgurl);
}

void symurlCommand(ConfigReader& reader) {
    readString(reader, reader.settings.symurl);
    stripTrailingSlash(reader.settings.symurl);
}

void flagurlCommand(ConfigReader& reader) {
    readString(reader, reader.settings.flagurl);
    stripTrailingSlash(reader.settings.flagurl);
}

void pclettersCommand(ConfigReader& reader) {
    readString(reader, reader.settings.pcletters);
}

void boardimageCommand(ConfigReader& reader) {
    readString(reader, reader.settings.boardimage);
}

void stylesheetCommand(ConfigReader& reader) {
    readString(reader, reader.settings.stylesheet);
}

// The style sheet link of the page head is kept in lower case.
void crosstablecssCommand(ConfigReader& reader) {
    readString(reader, reader.settings.crosstablecss);
    lowerCase(reader.settings.crosstablecss);
}

void ignoreCommand(ConfigReader&) {}
