// Reading the tag section at the start of a game: its tag pairs, blank lines
// inside it and pairs that are not whole (the rules are those of
// pgn/pgn_reader.h).
#pragma once

#include "pgn/game_framing.h"

// Reads the tag section that begins at scan.bounds.begin, if any, into the
// scan's tags and sets where the movetext begins; NEED_MORE when the bytes
// at hand do not decide.
ScanResult readTagSection(GameScan& scan);
