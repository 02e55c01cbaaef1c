#include "config/config_reader.h"

#include <cstring>

#include "frame/ascii.h"
#include "frame/text_file.h"

namespace {

// "[Tessara]" with its T in either case; anything after the ']' is ignored.
bool opensSection(const char* line) {
    return line[0] == '[' && upperAscii(line[1]) == 'T' &&
           std::strncmp(line + 2, "essara]", 7) == 0;
}

// Lines that begin with a line end, a control character, a blank, a digit,
// punctuation below 'A' or a byte of 128 and above are comments.
bool isCommandLine(const char* line) {
    unsigned char first = static_cast<unsigned char>(line[0]);
    return first >= 'A' && first < 128;
}

void skipSpaces(ConfigReader& reader) {
    while (*reader.lineCursor == ' ') ++reader.lineCursor;
}

// The value of a digit character in any base up to 16, or 16 for none.
unsigned digitValue(char c) {
    c = upperAscii(c);
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return 16;
}

// Positions the stream after the "[Tessara]" line. A file without one is
// read from its start as a single settings section.
void findSection(Frame& frame, std::FILE* stream) {
    while (const char* line = readLine(frame, stream)) {
        if (opensSection(line)) return;
    }
    startOfText(stream);
}

}  // namespace

void readConfiguration(Frame& frame, std::FILE* stream, Settings& settings) {
    ConfigReader reader{frame, settings};
    findSection(frame, stream);
    while (char* line = readLine(frame, stream)) {
        if (line[0] == '[') break;
        if (!isCommandLine(line)) continue;
        if (char* end = std::strchr(line, '\n')) *end = '\0';
        reader.lineCursor = line;
        CommandHandler handler = findCommand(reader);
        if (!handler) fatalError(frame, "Unknown command");
        handler(reader);
    }
    say(frame, "\n\n");
}

CommandHandler findCommand(ConfigReader& reader) {
    reader.paramValue = 0;
    int index = findSortedWord(COMMAND_TABLE, reader.lineCursor, KeywordOf{});
    if (index < 0) return nullptr;
    const CommandEntry& entry = COMMAND_TABLE[static_cast<std::size_t>(index)];
    reader.lineCursor += entry.keyword.size();
    return &entry.handler;
}

void skipBlanks(ConfigReader& reader) {
    while (*reader.lineCursor == ' ' || *reader.lineCursor == '\t') ++reader.lineCursor;
}

void skipSeparator(ConfigReader& reader) {
    skipBlanks(reader);
    if (*reader.lineCursor == ',') ++reader.lineCursor;
    skipBlanks(reader);
}

void expectEquals(ConfigReader& reader) {
    char* equals = std::strchr(reader.lineCursor, '=');
    if (!equals) fatalError(reader.frame, "Command missing '=' character");
    reader.lineCursor = equals + 1;
    skipSpaces(reader);
}

void parseNumber(ConfigReader& reader) {
    reader.paramValue = 0;
    skipSpaces(reader);
    char*& cursor = reader.lineCursor;
    if (*cursor < '0' || *cursor > '9') {
        fatalError(reader.frame, "Command expects a numeric parameter");
    }
    unsigned base = 10;
    if (cursor[0] == '0' && cursor[1] == 'b') {
        base = 2;
        cursor += 2;
    } else if (cursor[0] == '0' && cursor[1] == 'x') {
        base = 16;
        cursor += 2;
    } else if (cursor[0] == '0') {
        ++cursor;
    }
    for (unsigned value = digitValue(*cursor); value < base; value = digitValue(*++cursor)) {
        reader.paramValue = reader.paramValue * base + value;
    }
}

void parseNumericParameter(ConfigReader& reader) {
    expectEquals(reader);
    parseNumber(reader);
}

void parseStringLiteral(ConfigReader& reader) {
    skipSpaces(reader);
    if (*reader.lineCursor != '"') fatalError(reader.frame, "Command expects a string literal");
    char* start = reader.lineCursor + 1;
    char* close = std::strchr(start, '"');
    if (close) {
        *close = '\0';
        reader.lineCursor = close + 1;
    } else {
        reader.lineCursor = start + std::strlen(start);
    }
    reader.paramString = start;
}

void parseWordList(ConfigReader& reader, const WordEntry* words, std::size_t count) {
    lowerCase(reader.lineCursor);
    reader.paramValue = 0;
    while (*reader.lineCursor) {
        const WordEntry* taken = nullptr;
        for (std::size_t i = count; i > 0 && !taken; --i) {
            const WordEntry& entry = words[i - 1];
            if (std::strncmp(reader.lineCursor, entry.word.data(), entry.word.size()) == 0) {
                taken = &entry;
            }
        }
        if (!taken) break;
        std::uint32_t flags = taken->flags;
        if (flags & WORD_MASK) {
            reader.paramValue &= flags;
        } else {
            reader.paramValue |= flags;
        }
        reader.lineCursor += taken->word.size();
        skipSeparator(reader);
    }
    skipBlanks(reader);
}
