// Naming the opening of every game of PGN files with an opening file: a
// table of the games' openings, the games written back with ECO and Opening
// tags, the games of some openings as they stand, or how each opening
// scores.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "book/opening_reader.h"
#include "naming/game_selection.h"

enum class NamingOutput {
    TABLE,       // a line per game: file, game, eco, ply, opening
    TAGS,        // -t: the games with ECO and Opening tags
    GAMES,       // -e, -n: the selected games, every byte as it stands
    STATISTICS,  // -s: a row per opening with its results
};

struct NamingRun {
    NamingOutput output = NamingOutput::TABLE;
    GameSelection selection;         // -e and -n; TAGS and STATISTICS heed it too
    std::vector<std::string> files;  // PGN names as given, "-" for standard input
    std::FILE* out = stdout;         // results
    std::FILE* err = stderr;         // messages, "teseco: " first; a progress line
                                     // while it is a terminal
    int threads = 1;                 // -j: 1 names on the calling thread alone
    // The games of a file go to the threads in blocks of about this many
    // bytes (a game larger than that is a block of its own).
    std::size_t blockSize = std::size_t{1} << 17;
};

// Names the opening of every game of every file; gives the exit status: 0
// when every file and game was read, 1 otherwise. Output, messages and
// status are the same byte for byte at any number of threads. A failed write of the
// results ends the run at once; the caller reports it (finishOutput).
int nameOpenings(const OpeningBook& book, NamingRun& run);
