// The tournament text as the transform and the cross table writer read it:
// one line (or piece of a long line) at a time in the frame's line buffer,
// with a cursor that the readers move along it.
#pragma once

#include "frame/io.h"

struct TextLine {
    Frame& frame;
    char* lineCursor = nullptr;  // read position in frame.line()
};

// Reads the next line into the frame's line buffer without its line end, and
// sets lineCursor to its first character above 32. At the end of the input
// the line is empty.
void readTextLine(TextLine& text);
