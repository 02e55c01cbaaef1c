// The transform driver: reads the tournament text file line by line, skips
// blank and comment lines, hands every cross block to the cross table
// writer, and writes the page head once and the page end.
#pragma once

#include "config/settings.h"
#include "frame/io.h"
#include "transform/text_line.h"

// tesweb's banner, usage text and console rules, which the frame follows.
extern const ToolProfile WEB_PROFILE;

// The state of one transform run, owned by the driver.
struct TransformState {
    Frame& frame;
    const Settings& settings;
    TextLine text{frame};
    bool headWritten = false;
};

// Transforms the whole text file from frame.input into the page on
// frame.output.
void transformText(TransformState& state);

// Writes the page head, once per page.
void writePageHead(TransformState& state);
