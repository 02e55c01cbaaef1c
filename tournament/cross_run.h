// The tescross driver: reads the PGN files of the command line as one
// collection of games and writes the cross block of every event.
#pragma once

#include <cstdio>

#include "pgn/pgn_reader.h"
#include "tournament/tournament.h"

// The state of one run, owned by runTescross.
struct CrossRun {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    int status = 0;
    Tournaments tournaments;
};

// Runs tescross over argv[1..argc-1] ("-" is standard input), writing the
// blocks on `out` and the messages on `err`. Gives the exit status: 1 after
// the usage text, a file that cannot be read or a game or event left out.
int runTescross(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

// Adds every game of an open file to the run's tournaments. Games without
// tags are text between games and are passed over.
void readGames(CrossRun& run, PgnReader& reader);

// Writes the block of every event, one empty line between two blocks.
void writeBlocks(CrossRun& run);
