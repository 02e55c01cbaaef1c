// The FIDE tie-breaks (C.07): Buchholz, Sonneborn-Berger, progressive
// score, average rating of opponents, tournament performance rating, direct
// encounter, wins, games with Black and Koya, with their cuts, computed from
// every player's rounds. Scores are kept in quarter points so that every
// Buchholz and Sonneborn-Berger value is a whole number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr std::uint32_t NO_OPPONENT = UINT32_MAX;

// One round of a player. `code` is the TRF result code: '1', '=', '0' for a
// game played, 'W', 'D', 'L' for one played but not rated, '+' and '-' for
// a forfeit, 'U' (pairing-allocated bye), 'F' (full-point bye), 'H'
// (half-point bye), 'Z' (zero-point bye), ' ' for no entry and '*' for a
// PGN game without a counted result; the last two count as no entry.
struct RoundEntry {
    std::uint32_t opponent = NO_OPPONENT;  // player index
    char colour = '-';                     // 'w', 'b' or '-'
    char code = ' ';
};

// Every player's rounds, in order: player i's are entries[begin[i]] up to
// entries[begin[i + 1]].
struct RoundLists {
    std::vector<std::uint32_t> begin;
    std::vector<RoundEntry> entries;
};

enum class TieBreakCode : std::uint8_t { BH, SB, PS, ARO, TPR, DE, WIN, WON, BPG, BWG, KS };

// One tie-break of the list: its code, its modifier ('C' for a cut of the
// `count` least significant values, 'M' for the median cut of the `count`
// lowest and highest, 0 for none) and its column heading.
struct TieBreak {
    TieBreakCode code = TieBreakCode::BH;
    char modifier = 0;
    int count = 0;
    std::string heading;
    bool shown = true;  // false: it orders the rows but has no column
};

// Reads a list of codes separated by commas ("BH/C1,BH,SB"). False, with
// the first code that is not one in `unknown`, when the list holds one.
bool parseTieBreaks(std::string_view list, std::vector<TieBreak>& tieBreaks, std::string& unknown);

// Whole numbers (ratings, counts) rather than quarter points.
bool isWholeNumber(TieBreakCode code);

// What the tie-breaks read of an event.
struct TieBreakEvent {
    RoundLists rounds;
    std::vector<std::int64_t> ratings;      // by player; 0: unrated
    std::vector<const std::string*> names;  // by player
    std::uint32_t roundCount = 0;           // the event's number of rounds
    bool roundRobin = false;                // a grid, not a Swiss table
};

constexpr std::int64_t NO_VALUE = INT64_MIN;

// A tie-break column: the value of each player (NO_VALUE where none exists).
struct ValueColumn {
    std::string heading;
    bool whole = false;
    std::vector<std::int64_t> values;
};

// The points of one round, in quarters.
std::int64_t roundQuarters(char code);

// Every player's points in quarters.
std::vector<std::int64_t> quarterPoints(const TieBreakEvent& event);

// A player's score as an opponent: the points, except that each unplayed
// round without a scheduled opponent after the player's last round that was
// not voluntarily unplayed counts as a draw (a player who withdrew).
std::vector<std::int64_t> scoresAsOpponent(const TieBreakEvent& event,
                                           const std::vector<std::int64_t>& points);

// The values of one tie-break that does not depend on the rows it
// separates (every code but DE).
std::vector<std::int64_t> tieBreakValues(const TieBreakEvent& event, const TieBreak& tieBreak);

// The order of the rows: points, then each tie-break of the list, then the
// name in byte order. `order` gets the player indices best first, `sameRank`
// by row whether the row shares its rank with the row before it, and
// `columns` one column per shown tie-break.
void rankByTieBreaks(const TieBreakEvent& event, const std::vector<TieBreak>& tieBreaks,
                     std::vector<std::uint32_t>& order, std::vector<bool>& sameRank,
                     std::vector<std::int64_t>& points, std::vector<ValueColumn>& columns);
