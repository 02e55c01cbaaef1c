// The cross block of one event, in the text that tesweb's cross table
// writer reads: the command line with the column count and the category,
// the event line, the column headings and one row per player in rank order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "frame/io.h"
#include "tournament/tiebreak.h"
#include "tournament/tournament.h"

// tesweb reads a line with its line end into TOURNAMENT_LINE_LIMIT
// characters; a longer line would arrive as two lines and break the table.
constexpr std::size_t LONGEST_BLOCK_LINE = TOURNAMENT_LINE_LIMIT - 1;

// Appends the all-play-all grid of a PGN event, ranked by points,
// Sonneborn-Berger, wins and name, to `block`, every line ended by "\n".
// False, with `block` as it was and the line named in `longLine`, when a
// line would be longer than tesweb reads.
bool writeCrossBlock(const Event& event, std::string& block, std::string* longLine = nullptr);

// The grid of an event in the order of `standings`, with its columns after
// the points.
bool writeGridBlock(const Event& event, const Standings& standings, std::string& block,
                    std::string* longLine = nullptr);

// The Swiss table of an event: one cell per round of `rounds`, then the
// points and the columns of `standings`.
bool writeSwissBlock(const Event& event, const Standings& standings, const RoundLists& rounds,
                     std::uint32_t roundCount, std::string& block, std::string* longLine = nullptr);

// Text from the games is data, not HTML: '&', '<', '>', '\'' and '"' become
// entities.
void appendHtmlText(std::string& out, std::string_view text);
// A score in quarter points: the whole number, then "&frac14;", "&frac12;"
// or "&frac34;"; "0" for nothing and a lone fraction below one point.
void appendQuarters(std::string& out, std::int64_t quarters);
