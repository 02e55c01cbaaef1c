// How each opening scores (-s): the games with a result counted by the
// book position they were named with, and the table made of the counts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/opening_reader.h"
#include "pgn/pgn_reader.h"

struct OpeningCounts {
    std::uint64_t games = 0;  // with a result: white + draws + black
    std::uint64_t white = 0;
    std::uint64_t draws = 0;
    std::uint64_t black = 0;
    std::uint64_t ratedGames = 0;  // of them, with both players' ratings
    std::uint64_t ratingSum = 0;   // both ratings of each rated game
};

// The counts of every position of a book, slot 0 for games the book does
// not name and slot i + 1 for position i. Tallies of consecutive stretches
// of games add up to the tally of all of them.
struct OpeningTally {
    std::vector<OpeningCounts> slots;
};

// A tally of nothing for `book`.
void startTally(OpeningTally& tally, const OpeningBook& book);

// Counts a game named with the position `index` (-1: none) when its Result
// is "1-0", "0-1", "1/2-1/2" or "1/2" (blanks around it allowed); its
// ratings count when WhiteElo and BlackElo are both positive whole numbers.
void countGame(OpeningTally& tally, std::int32_t index, const PgnGame& game);

// Adds the counts of `part` to `tally`.
void addTally(OpeningTally& tally, const OpeningTally& part);

// The table of -s: a header line and one row per opening (ECO code and
// name) with counted games, the row "?" "?" for the games not named; rows
// by games, most first, then by code and name.
std::string statisticsTable(const OpeningTally& tally, const OpeningBook& book);

// White's score in percent with one decimal ("54.3"), half up.
std::string scoreText(const OpeningCounts& counts);

// The players' mean rating, half up; empty when no game was rated.
std::string ratingText(const OpeningCounts& counts);
