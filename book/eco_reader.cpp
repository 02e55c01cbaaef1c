#include "book/eco_reader.h"

#include <cstring>

#include "book/move_text.h"
#include "frame/ascii.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

const char* skipBlanks(const char* text) {
    while (isBlank(*text)) ++text;
    return text;
}

// Shows the offending header text, as read, before the error line.
[[noreturn]] void headerError(Frame& frame, const char* text, const char* message) {
    say(frame, text);
    say(frame, "\n");
    fatalError(frame, message);
}

}  // namespace

Position initialPosition() {
    Position position;
    setupStartPosition(position);
    return position;
}

bool isCommentOrEnd(const char* text) {
    return *text == ';' || *text == '\n' || *text == '\0';
}

bool atResultMarker(const char* text) {
    return text[0] == '1' && text[1] == '/' && text[2] == '2';
}

bool nextContentLine(Frame& frame, EcoReader& reader) {
    for (;;) {
        if (frame.inputAtEnd) break;
        const char* line = readLine(frame, frame.input);
        if (!line) break;
        reader.textCursor = skipBlanks(line);
        if (!isCommentOrEnd(reader.textCursor)) return true;
    }
    reader.textCursor = nullptr;
    return false;
}

void parseEcoHeader(Frame& frame, EcoReader& reader) {
    EcoHeader& header = reader.header;
    const char* text = reader.textCursor;
    if (*text < 'A' || *text > 'E') headerError(frame, text, "Invalid ECO book");
    header.ecoLetter = static_cast<std::uint8_t>(*text - 'A');
    ++text;
    if (!isDigit(text[0]) || !isDigit(text[1])) headerError(frame, text, "Invalid ECO Code");
    header.ecoNumber = static_cast<std::uint8_t>(10 * (text[0] - '0') + (text[1] - '0'));
    header.nameText[0] = '\0';
    // The character after the two digits is dropped, whatever it is; when
    // the digits end the line there is no name.
    if (text[2] == '\0' || text[2] == '\n') {
        reader.textCursor = text + 2;
        return;
    }
    text += 3;
    while (isDigit(*text)) ++text;
    text = skipBlanks(text);
    reader.textCursor = text;
    if (*text == '\0' || *text == '\n') return;

    std::size_t length = std::strcspn(text, ";");
    if (text[length] != ';' && length > 0 && text[length - 1] == '\n') --length;
    while (length > 0 && text[length - 1] == ' ') --length;
    if (length >= NAME_TEXT_SIZE) fatalError(frame, "Opening name too long");
    std::memcpy(header.nameText, text, length);
    header.nameText[length] = '\0';
    header.headerLine = frame.lineCounter;
}

void skipWhite(Frame& frame, EcoReader& reader) {
    if (!reader.textCursor) return;
    for (;;) {
        const char* text = skipBlanks(reader.textCursor);
        if (*text != '\n' && *text != '\0') {
            reader.textCursor = text;
            return;
        }
        reader.textCursor = readLine(frame, frame.input);
        if (!reader.textCursor) return;
    }
}

void skipMoveNumber(Frame& frame, EcoReader& reader) {
    const char* text = reader.textCursor;
    while (isDigit(*text)) ++text;
    int periods = 0;
    while (*text == '.') {
        ++text;
        ++periods;
    }
    if (periods == 2 || periods >= 4) fatalError(frame, "Move number period error");
    reader.textCursor = text;
}

void skipBraceComment(EcoReader& reader) {
    const char* text = reader.textCursor;
    const char* close = std::strchr(text, '}');
    reader.textCursor = close ? close + 1 : text + std::strlen(text);
}

void parseLineMoves(Frame& frame, EcoReader& reader, Position& position, MoveReader& moveReader,
                    PositionList& positions, std::int32_t lineIndex) {
    position = reader.startPosition;
    for (;;) {
        const char* text = reader.textCursor;
        if (!text) fatalError(frame, "Unexpected end of ECO text file or line");
        if (atResultMarker(text)) return;
        char c = *text;
        if (c == '!' || c == '?' || c == '(' || c == ')') {
            reader.textCursor = text + 1;
        } else if (c == '{') {
            skipBraceComment(reader);
        } else if (isDigit(c) && !(c == '0' && text[1] == '-')) {
            // A '0' followed by '-' is castling written with zeros.
            skipMoveNumber(frame, reader);
        } else {
            playMoveText(frame, position, moveReader, reader.textCursor);
            recordPosition(frame, positions, position, lineIndex);
        }
        skipWhite(frame, reader);
    }
}
