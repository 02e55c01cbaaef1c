// Writing tag pairs into a game's bytes: a game written back as it stands
// but for its ECO and Opening tags.
#pragma once

#include <string>
#include <string_view>

#include "pgn/pgn_reader.h"

// Appends a tag pair with the value escaped: `[Name "value"]`. A line end in
// the value becomes a blank, so that the pair stays on one line.
void appendTagPair(std::string& out, std::string_view name, std::string_view value);

// Appends the game's bytes with its ECO and Opening tag pairs replaced in
// place by `ecoPair` and `openingPair`; a missing one is added after the
// last tag line with that line's line end (after the last pair itself when
// the movetext follows on its line), and a game without tags gets both
// lines and an empty line first.
void appendTaggedGame(std::string& out, const PgnGame& game, std::string_view ecoPair,
                      std::string_view openingPair);
