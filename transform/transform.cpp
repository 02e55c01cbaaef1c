#include "transform/transform.h"

#include "frame/ascii.h"
#include "transform/cross_table.h"

const ToolProfile WEB_PROFILE =
    pageWriterRules("tesWeb  v1.00, Decmember 25, 2003.\n\n", "\nusage: tesweb filename.txt\n\n");

namespace {

// "cross " in any case, ended by a blank and not by a tab.
bool isCrossCommand(const char* text) {
    return startsWithIgnoringCase(text, "cross") && text[5] == ' ';
}

}  // namespace

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
        readTextLine(state.text);
        if (state.frame.inputAtEnd) break;
        char first = *state.text.lineCursor;
        if (first == '\0' || first == ';' || first == '%') continue;
        if (!isCrossCommand(state.text.lineCursor)) {
            fatalError(state.frame, "tesweb - Unknow transform command");
        }
        writePageHead(state);
        writeCrossTable(state.text, state.settings);
        writeText(state.frame, "</TABLE></DIV><BR>\n");
    }
    writeText(state.frame, "</BODY></HTML>\n");
}
