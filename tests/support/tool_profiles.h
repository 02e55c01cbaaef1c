// The frame's tests run it under the two sets of console rules that the
// tools use, with banners and usage texts of their own: the frame knows no
// tool, and its tests do not reach above it.
#pragma once

#include "frame/io.h"

// The opening compiler's rules: switches, line numbers in fatal errors,
// the output put in place when complete.
inline const ToolProfile BOOK_RULES = {
    .banner = "Book rules v1.00.\n\n",
    .usage = "\nusage: book filename.eco\n\n",
    .lineBufferSize = 16001,
    .outputExtension = ".ECO",
    .outputMode = "wb",
    .takesSwitches = true,
    .bareNameIsInput = false,
    .readsConfiguration = false,
    .replacesOutputAtEnd = true,
    .usageRepeatsBanner = false,
    .openFailure = OpenFailure::THREE_LINES,
    .fatalNamesLine = true,
    .fatalClosesFiles = false,
    .warningEnd = "",
    .warningsOnlyWhilePausing = true,
    .countsFailedReads = true,
    .workStart = "\n\nConverting input file...\n\n",
    .workEnd = "\nFinished ECO file conversion.\n\n",
};

// The page writer's rules: a bare name is the input, settings are read
// first, fatal errors close the files at once.
inline const ToolProfile WEB_RULES = {
    .banner = "Web rules v1.00.\n\n",
    .usage = "\nusage: web filename.txt\n\n",
    .lineBufferSize = TOURNAMENT_LINE_LIMIT + 2,
    .outputExtension = ".htm",
    .outputMode = "wt",
    .takesSwitches = false,
    .bareNameIsInput = true,
    .readsConfiguration = true,
    .replacesOutputAtEnd = false,
    .usageRepeatsBanner = true,
    .openFailure = OpenFailure::ERROR_LINE,
    .fatalNamesLine = false,
    .fatalClosesFiles = true,
    .warningEnd = ".\n",
    .warningsOnlyWhilePausing = false,
    .countsFailedReads = false,
    .workStart = "\nReading text file...\n\n",
    .workEnd = "\nFinished transforming file\n\n",
};
