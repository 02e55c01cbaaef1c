// The transform driver: reads the tournament text file line by line, skips
// blank and comment lines, hands every cross block to the cross table
// writer, and writes the page head once and the page end.
#pragma once

#include <cstddef>

#include "config/settings.h"
#include "frame/io.h"

// A cell is never longer than the line that holds it.
constexpr std::size_t CELL_TEXT_SIZE = TOURNAMENT_LINE_LIMIT + 1;

// tesweb's banner, usage text and console rules, which the frame follows.
extern const ToolProfile WEB_PROFILE;

// The state of one transform run, owned by the driver.
struct TransformState {
    Frame& frame;
    const Settings& settings;
    char* lineCursor = nullptr;  // read position in frame.line()
    bool headWritten = false;

    // The cross table writer's current cell and row.
    char cellText[CELL_TEXT_SIZE] = {};
    int cellCount = 0;       // cells written in the row, empty '|' cells included
    bool rankShown = false;  // the row began with a rank
    int countryNumber = 0;   // the last country found, 0 for none
};

// Transforms the whole text file from frame.input into the page on
// frame.output.
void transformText(TransformState& state);

// Reads the next line (or piece of a long line) into the frame's line buffer
// without its line end, and sets lineCursor to its first character above 32.
// At the end of the input the line is empty.
void readTextLine(TransformState& state);

// Writes the page head, once per page.
void writePageHead(TransformState& state);
