// The cross table writer: turns one cross block (command line, event line,
// header line and one line per player) into an HTML table, recognising
// titles, country codes and ratings among the cells after a player's name.
#pragma once

#include "config/settings.h"
#include "transform/text_line.h"

// Writes one table from the command line at the text's lineCursor, reading
// the block's further lines itself, up to the "</TR>\n" of its last row.
// Returns at the blank line or the end of the file that ends the block.
void writeCrossTable(TextLine& text, const Settings& settings);

// Reads a decimal number as the standard conversion does (leading white
// space, an optional sign, digits up to the first other character; 0 when
// there are none), but saturated to the 32-bit signed range.
int readDecimal(const char* text);
