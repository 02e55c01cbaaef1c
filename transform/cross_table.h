// The cross table writer: turns one cross block (command line, event line,
// header line and one line per player) into an HTML table, recognising
// titles, country codes and ratings among the cells after a player's name.
#pragma once

#include "transform/transform.h"

// Writes one table from the command line at lineCursor, reading the block's
// further lines itself, up to the "</TR>\n" of its last row. Returns at the
// blank line or the end of the file that ends the block.
void writeCrossTable(TransformState& state);

// Takes the next cell from lineCursor into cellText, writing an empty cell
// for every '|' on the way. cellText is empty at the end of the line.
void nextCell(TransformState& state);

// Reads a decimal number as the standard conversion does (leading white
// space, an optional sign, digits up to the first other character; 0 when
// there are none), but saturated to the 32-bit signed range.
int readDecimal(const char* text);
