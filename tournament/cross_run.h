// The tescross driver: reads the PGN files and TRF files of the command
// line (PGN files as one collection of games, each TRF file one event) and
// writes the cross block of every event: an all-play-all grid or a Swiss
// table.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "pgn/pgn_reader.h"
#include "tournament/tiebreak.h"
#include "tournament/tournament.h"

enum class Layout : std::uint8_t { AUTO, SWISS, GRID };

// The state of one run, owned by runTescross.
struct CrossRun {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    int status = 0;
    Tournaments tournaments;
    Layout layout = Layout::AUTO;     // -s, -g, or each event chooses
    std::vector<TieBreak> tieBreaks;  // -b
    bool tieBreaksGiven = false;
};

// Runs tescross over argv[1..argc-1] ("-" is standard input), writing the
// blocks on `out` and the messages on `err`. Gives the exit status: 1 after
// the usage text, a file that cannot be read, a game or event left out or
// any other message.
int runTescross(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

// Adds every game of an open PGN file to the run's tournaments. Games
// without tags are text between games and are passed over.
void readGames(CrossRun& run, PgnReader& reader);

// Adds the event of a whole TRF file, or leaves it out with messages.
void readTrfEvent(CrossRun& run, const std::string& name, std::string_view text);

// Writes the block of every event, one empty line between two blocks.
void writeBlocks(CrossRun& run);
