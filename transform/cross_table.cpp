#include "transform/cross_table.h"

#include <climits>
#include <cstring>

#include "frame/ascii.h"
#include "transform/tables.h"

namespace {

// A cell is never longer than the line that holds it.
constexpr std::size_t CELL_TEXT_SIZE = TOURNAMENT_LINE_LIMIT + 1;

// The writer's table while it writes one table: the text it reads, the
// current cell and what it knows of the current row.
struct TableWriter {
    TextLine& text;
    Frame& frame;
    const Settings& settings;
    char cellText[CELL_TEXT_SIZE] = {};
    int cellCount = 0;       // cells written in the row, empty '|' cells included
    bool rankShown = false;  // the row began with a rank
    int countryNumber = 0;   // the last country found, 0 for none
};

// A rating is told from other numbers by its range.
constexpr int LOWEST_RATING = 1000;
constexpr int HIGHEST_RATING = 3000;
constexpr int HIGHEST_CATEGORY = 29;

// After the name, this many cells are candidates for title, flag and rating.
constexpr int CANDIDATE_CELLS = 4;

// Room for a country name in the apostrophe-quoted TITLE attribute, where
// each apostrophe becomes "&#39;".
constexpr std::size_t TITLE_ATTRIBUTE_SIZE = 64;

constexpr bool namesFitTitleAttribute() {
    for (std::string_view name : COUNTRY_NAMES) {
        std::size_t length = name.size();
        for (char c : name) {
            if (c == '\'') length += 4;
        }
        if (length >= TITLE_ATTRIBUTE_SIZE) return false;
    }
    return true;
}
static_assert(namesFitTitleAttribute());

bool isCellCharacter(char c) {
    return static_cast<unsigned char>(c) > 32;
}

void skipBlanksAndControls(char*& cursor) {
    while (isBlankOrControl(*cursor)) ++cursor;
}

void quoteForTitleAttribute(std::string_view name, char (&out)[TITLE_ATTRIBUTE_SIZE]) {
    char* at = out;
    for (char c : name) {
        if (c == '\'') {
            std::memcpy(at, "&#39;", 5);
            at += 5;
        } else {
            *at++ = c;
        }
    }
    *at = '\0';
}

// Takes the next cell from lineCursor into cellText, writing an empty cell
// for every '|' on the way. cellText is empty at the end of the line.
void nextCell(TableWriter& table) {
    char*& cursor = table.text.lineCursor;
    table.cellText[0] = '\0';
    for (;;) {
        skipBlanksAndControls(cursor);
        if (*cursor == '\0') return;
        if (*cursor != '|') break;
        writeText(table.frame, "<TD>&nbsp;</TD>");
        ++cursor;
        ++table.cellCount;
    }
    char* start = cursor;
    char* end = nullptr;
    char* close = *cursor == '{' ? std::strchr(cursor + 1, '}') : nullptr;
    if (close) {
        start = cursor + 1;
        end = close;
        cursor = close + 1;
    } else {
        end = cursor;
        while (isCellCharacter(*end)) ++end;
        cursor = end;
    }
    std::size_t length = static_cast<std::size_t>(end - start);
    if (length >= CELL_TEXT_SIZE) length = CELL_TEXT_SIZE - 1;
    std::memcpy(table.cellText, start, length);
    table.cellText[length] = '\0';
}

// Reads "cols=" and the optional "cat=" of the command line into the event
// cell's column span and the category.
void readCrossCommand(TableWriter& table, int& span, int& category) {
    char*& cursor = table.text.lineCursor;
    cursor += 6;  // "cross "
    skipBlanksAndControls(cursor);
    if (!startsWithIgnoringCase(cursor, "cols=")) {
        fatalError(table.frame, "tesweb - transform cross missing cols");
    }
    cursor += 5;
    span = readDecimal(cursor);
    if (span < 1) fatalError(table.frame, "tesweb - transform cross column illegal value");
    while (isDigit(*cursor)) ++cursor;
    skipBlanksAndControls(cursor);
    category = 0;
    if (startsWithIgnoringCase(cursor, "cat=")) {
        category = readDecimal(cursor + 4);
        if (category < 0 || category > HIGHEST_CATEGORY) {
            fatalError(table.frame, "tesweb - transform cross category illegal value");
        }
        --span;  // the category takes the event row's last column
    }
}

// Reads the next line of the block, which must not be empty.
void readBlockLine(TableWriter& table) {
    readTextLine(table.text);
    if (*table.text.lineCursor == '\0') fatalError(table.frame, "Unexpected end of file");
}

// The anchor is named by the event line up to its first comma.
void writeEventRow(TableWriter& table, int span, int category) {
    readBlockLine(table);
    char* event = table.text.lineCursor;
    char* comma = std::strchr(event, ',');
    if (comma) *comma = '\0';
    writeFormatted(table.frame, "\n<A NAME='tcross_%s'></A>\n", {event});
    if (comma) *comma = ',';
    writeText(table.frame, "<DIV class='tgc'><TABLE class='tgcb' CELLSPACING='0'>\n");
    writeFormatted(table.frame, "<TR><TD COLSPAN='%d' class='tevent' ALIGN='left'>\n%s</TD>",
                   {span, event});
    if (category != 0) {
        writeFormatted(table.frame, "<TD>%s</TD>", {ROMAN_NUMERALS[category].data()});
    }
    writeText(table.frame, "</TR>\n");
}

void writeHeaderRow(TableWriter& table) {
    readBlockLine(table);
    writeText(table.frame, "<TR class='crow'>");
    table.cellCount = 0;
    for (nextCell(table); table.cellText[0] != '\0'; nextCell(table)) {
        writeFormatted(table.frame, "<TD>%s</TD>", {table.cellText});
    }
}

// Writes one of the cells after the name that may be a title, a country
// flag or a rating; any other is written as it stands.
void writeCandidateCell(TableWriter& table) {
    Frame& frame = table.frame;
    char* cell = table.cellText;
    if (matchTitle(cell) != 0) {
        writeFormatted(frame, "<TD class='ttitle'>%s</TD>", {cell});
        return;
    }
    table.countryNumber = table.settings.flags != 0 ? findCountry(cell) : 0;
    if (table.countryNumber != 0) {
        char title[TITLE_ATTRIBUTE_SIZE];
        quoteForTitleAttribute(COUNTRY_NAMES[table.countryNumber], title);
        lowerCase(cell);
        writeFormatted(frame, "<TD><IMG SRC='%s/%s.gif' BORDER='1' TITLE='%s'></TD>",
                       {table.settings.flagurl, cell, title});
        return;
    }
    int rating = readDecimal(cell);
    if (rating >= LOWEST_RATING && rating <= HIGHEST_RATING) {
        writeFormatted(frame, "<TD class='telo'>%d</TD>", {rating});
    } else {
        writeFormatted(frame, "<TD>%s</TD>", {cell});
    }
}

// Writes the rank (when the row begins with a digit), the player's name and
// the remaining cells of a player row.
void writePlayerRow(TableWriter& table) {
    Frame& frame = table.frame;
    writeText(frame, "<TR>");
    table.cellCount = 0;
    table.rankShown = false;
    nextCell(table);
    if (table.cellText[0] == '\0') fatalError(frame, "Player missing from cross table");
    if (isDigit(table.cellText[0])) {
        writeFormatted(frame, "<TD>%s</TD>", {table.cellText});
        table.rankShown = true;
    } else {
        writeFormatted(frame, "<TD class='tplay'>%s</TD>", {table.cellText});
    }
    ++table.cellCount;
    if (table.rankShown) {
        nextCell(table);
        if (table.cellText[0] == '\0') fatalError(frame, "Player missing from cross table");
        writeFormatted(frame, "<TD class='tplay'>%s</TD>", {table.cellText});
        ++table.cellCount;
    }
    int lastCandidate = CANDIDATE_CELLS + (table.rankShown ? 1 : 0);
    while (*table.text.lineCursor != '\0') {
        nextCell(table);
        if (table.cellText[0] == '\0') break;
        if (table.cellCount > lastCandidate) {
            writeFormatted(frame, "<TD>%s</TD>", {table.cellText});
        } else {
            writeCandidateCell(table);
        }
        ++table.cellCount;
    }
}

}  // namespace

int readDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    constexpr long long LIMIT = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; isDigit(*text); ++text) {
        value = value * 10 + (*text - '0');
        if (value > LIMIT) value = LIMIT;
    }
    if (negative) return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

void writeCrossTable(TextLine& text, const Settings& settings) {
    TableWriter table{text, text.frame, settings};
    int span = 0;
    int category = 0;
    readCrossCommand(table, span, category);
    writeEventRow(table, span, category);
    writeHeaderRow(table);
    for (;;) {
        writeText(table.frame, "</TR>\n");
        readTextLine(table.text);
        if (*table.text.lineCursor == '\0') return;
        writePlayerRow(table);
    }
}
