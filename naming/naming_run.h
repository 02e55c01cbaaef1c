// Naming the opening of every game of PGN files with an opening file: a
// table of the games' openings, or the games written back with ECO and
// Opening tags.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "book/opening_reader.h"

struct NamingRun {
    bool tagMode = false;            // -t: the games again, with ECO and Opening tags
    std::vector<std::string> files;  // PGN names as given, "-" for standard input
    std::FILE* out = stdout;         // results
    std::FILE* err = stderr;         // messages, "teseco: " first; a progress line
                                     // while it is a terminal
};

// Names the opening of every game of every file; gives the exit status: 0
// when every file and game was read, 1 otherwise. A failed write of the
// results ends the run at once; the caller reports it (finishOutput).
int nameOpenings(const OpeningBook& book, NamingRun& run);
