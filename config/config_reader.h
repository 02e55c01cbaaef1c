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

// A word of a word list with the flag word it stands for.
struct WordEntry {
    std::string_view word;
    std::uint32_t flags;
};

// A flag word with WORD_MASK is ANDed into the value; any other is ORed in.
constexpr std::uint32_t WORD_MASK = 0x8000;

constexpr std::array<WordEntry, 2> ON_OFF_WORDS = {{{"on", 1}, {"off", WORD_MASK}}};

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
