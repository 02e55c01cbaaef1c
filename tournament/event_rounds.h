// The rounds of an event as the tie-breaks see them, from its PGN games or
// its TRF records, and the standings they give.
#pragma once

#include <string>
#include <vector>

#include "tournament/tiebreak.h"
#include "tournament/tournament.h"

// A game that a Swiss table leaves out: a second game of a player in one
// round.
struct SecondGame {
    std::size_t game;      // into the event's games and origins
    std::uint32_t player;  // the one who already has a game in that round
};

// Every player's rounds 1..event.rounds from the PGN games: a round without
// a game is one without an entry. A game whose player already has one in its
// round is left out and listed in `leftOut`.
TieBreakEvent swissRounds(const Event& event, std::vector<SecondGame>& leftOut);

// Every player's games in the order of their rounds (then of the file), for
// an all-play-all grid from PGN games.
TieBreakEvent gridRounds(const Event& event);

// The rounds of a TRF event.
TieBreakEvent trfRounds(const Event& event, bool roundRobin);

// The standings by points and the tie-breaks of the list, with a column
// for each shown tie-break.
Standings rankByList(const TieBreakEvent& rounds, const std::vector<TieBreak>& tieBreaks);
