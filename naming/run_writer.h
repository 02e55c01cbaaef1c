// The output side of a naming run: results to standard output, messages to
// standard error without ever writing over the progress line.
#pragma once

#include <cstdio>
#include <string>

#include "naming/naming_run.h"
#include "naming/progress.h"

struct RunWriter {
    std::FILE* out = nullptr;
    std::FILE* err = nullptr;
    Progress progress;
    bool writeFailed = false;  // once set, nothing more is written
};

// Gets the writer of `run` ready, with the progress line on a terminal.
void startRunWriter(RunWriter& writer, const NamingRun& run);

// Writes `text` to the results and empties it; false once a write failed.
bool writeOutput(RunWriter& writer, std::string& text);

// Writes whole message lines and empties `messages`.
void writeMessages(RunWriter& writer, std::string& messages);

// "teseco: FILE: cannot read file: REASON", the reason in the system's
// words for the errno value `error` ("No such file or directory").
std::string cannotReadMessage(const std::string& file, int error);
void sayCannotRead(RunWriter& writer, const std::string& file, int error);

// Takes the progress line away at the end of the run.
void endRunWriter(RunWriter& writer);
