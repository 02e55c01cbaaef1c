#include "transform/transform.h"

#include <cstring>

#include "transform/cross_table.h"

namespace {

bool isBlankOrControl(char c) {
    unsigned char code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

// "cross " in any case, ended by a blank and not by a tab.
bool isCrossCommand(const char* text) {
    for (const char* word = "CROSS"; *word; ++word, ++text) {
        if (upperAscii(*text) != *word) return false;
    }
    return *text == ' ';
}

}  // namespace

void readTextLine(TransformState& state) {
    char* line = state.frame.line();
    if (!readLine(state.frame, state.frame.input)) line[0] = '\0';
    if (char* end = std::strrchr(line, '\n')) *end = '\0';
    char* cursor = line;
    while (isBlankOrControl(*cursor)) ++cursor;
    state.lineCursor = cursor;
}

void writePageHead(TransformState& state) {
    if (state.headWritten) return;
    writeText(state.frame, "<HTML>\n<HEAD>\n<TITLE>Cross</TITLE>\n");
    writeFormatted(state.frame, "<LINK REL='stylesheet' HREF='%s'>\n",
                   {state.settings.crosstablecss});
    writeText(state.frame, "</HEAD>\n<BODY>\n");
    state.headWritten = true;
}

void transformText(TransformState& state) {
    for (;;) {
        readTextLine(state);
        if (state.frame.inputAtEnd) break;
        char first = *state.lineCursor;
        if (first == '\0' || first == ';' || first == '%') continue;
        if (!isCrossCommand(state.lineCursor)) {
            fatalError(state.frame, "tesweb - Unknow transform command");
        }
        writePageHead(state);
        writeCrossTable(state);
        writeText(state.frame, "</TABLE></DIV><BR>\n");
    }
    writeText(state.frame, "</BODY></HTML>\n");
}
