#include "transform/text_line.h"

#include <cstring>

#include "frame/ascii.h"

void readTextLine(TextLine& text) {
    char* line = text.frame.line();
    if (!readLine(text.frame, text.frame.input)) line[0] = '\0';
    if (char* end = std::strrchr(line, '\n')) *end = '\0';
    char* cursor = line;
    while (isBlankOrControl(*cursor)) ++cursor;
    text.lineCursor = cursor;
}
