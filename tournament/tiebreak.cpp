#include "tournament/tiebreak.h"

#include <algorithm>
#include <array>

namespace {

struct CodeName {
    std::string_view name;
    TieBreakCode code;
    std::string_view modifiers;  // the modifier letters the code takes
};

constexpr CodeName CODE_NAMES[] = {
    {"BH", TieBreakCode::BH, "CM"},  {"SB", TieBreakCode::SB, "CM"}, {"PS", TieBreakCode::PS, "C"},
    {"ARO", TieBreakCode::ARO, "C"}, {"TPR", TieBreakCode::TPR, ""}, {"DE", TieBreakCode::DE, ""},
    {"WIN", TieBreakCode::WIN, ""},  {"WON", TieBreakCode::WON, ""}, {"BPG", TieBreakCode::BPG, ""},
    {"BWG", TieBreakCode::BWG, ""},  {"KS", TieBreakCode::KS, ""},
};

// The rating difference dp(p) of the FIDE table for p = 1.00, 0.99, ...,
// 0.50; below 0.50, dp(p) = -dp(1 - p).
constexpr std::array<int, 51> RATING_DIFFERENCES = {
    800, 677, 589, 538, 501, 470, 444, 422, 401, 383, 366, 351, 336, 322, 309, 296, 284,
    273, 262, 251, 240, 230, 220, 211, 202, 193, 184, 175, 166, 158, 149, 141, 133, 125,
    117, 110, 102, 95,  87,  80,  72,  65,  57,  50,  43,  36,  29,  21,  14,  7,   0,
};

constexpr bool fallsToZero() {
    for (std::size_t i = 1; i < RATING_DIFFERENCES.size(); ++i) {
        if (RATING_DIFFERENCES[i] >= RATING_DIFFERENCES[i - 1]) return false;
    }
    return RATING_DIFFERENCES.front() == 800 && RATING_DIFFERENCES.back() == 0;
}
static_assert(fallsToZero(), "dp falls from 800 at p = 1.00 to 0 at p = 0.50");

bool isPlayedCode(char code) {
    return code == '1' || code == '=' || code == '0' || code == 'W' || code == 'D' || code == 'L';
}

// Voluntarily unplayed rounds: a forfeit lost, a half- or zero-point bye and
// a round without an entry.
bool isVoluntarilyUnplayed(char code) {
    return code == '-' || code == 'H' || code == 'Z' || code == ' ' || code == '*';
}

// The scheduled opponent; a round without an entry has none.
std::uint32_t opponentOf(const RoundEntry& entry) {
    if (entry.code == ' ' || entry.code == '*') return NO_OPPONENT;
    return entry.opponent;
}

bool isPlayed(const RoundEntry& entry) {
    return isPlayedCode(entry.code) && entry.opponent != NO_OPPONENT;
}

bool isWonOverTheBoard(const RoundEntry& entry) {
    return isPlayed(entry) && (entry.code == '1' || entry.code == 'W');
}

// Half up, for a quotient that may be negative.
std::int64_t roundedHalfUp(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t twice = 2 * numerator + denominator;
    std::int64_t quotient = twice / (2 * denominator);
    if (twice % (2 * denominator) != 0 && twice < 0) --quotient;
    return quotient;
}

// What one round adds to a player's Buchholz: the opponent's score as an
// opponent (or a dummy's), and the points the player scored in the round.
struct Contribution {
    std::int64_t value;
    std::int64_t points;
    bool voluntary;
};

struct Scores {
    std::vector<std::int64_t> points;
    std::vector<std::int64_t> asOpponent;
};

void contributionsOf(const TieBreakEvent& event, const Scores& scores, std::uint32_t player,
                     std::vector<Contribution>& out) {
    out.clear();
    const RoundLists& rounds = event.rounds;
    for (std::uint32_t i = rounds.begin[player]; i < rounds.begin[player + 1]; ++i) {
        const RoundEntry& entry = rounds.entries[i];
        std::uint32_t opponent = opponentOf(entry);
        std::int64_t points = roundQuarters(entry.code);
        bool voluntary = isVoluntarilyUnplayed(entry.code);
        if (event.roundRobin) {
            // A round robin's unplayed game is one against its scheduled
            // opponent; a round without an opponent adds nothing.
            if (opponent != NO_OPPONENT) {
                out.push_back({scores.asOpponent[opponent], points, voluntary});
            }
        } else if (isPlayed(entry)) {
            out.push_back({scores.asOpponent[opponent], points, false});
        } else {
            // A dummy opponent scores the player's own points, at most what
            // the scheduled opponent scored, else at most half the rounds.
            std::int64_t cap = opponent != NO_OPPONENT ? scores.asOpponent[opponent]
                                                       : 2 * std::int64_t{event.roundCount};
            out.push_back({std::min(scores.points[player], cap), points, voluntary});
        }
    }
}

// Buchholz and Sonneborn-Berger with their cuts: the least significant
// values go first, then for a median cut as many of the highest.
std::int64_t buchholzOrSonneborn(std::vector<Contribution>& contributions,
                                 const TieBreak& tieBreak) {
    bool sonneborn = tieBreak.code == TieBreakCode::SB;
    auto lowFirst = [sonneborn](const Contribution& a, const Contribution& b) {
        if (sonneborn) {
            if (a.value != b.value) return a.value < b.value;
            return a.value * a.points < b.value * b.points;
        }
        if (a.voluntary != b.voluntary) return a.voluntary;
        return a.value < b.value;
    };
    auto highFirst = [sonneborn](const Contribution& a, const Contribution& b) {
        if (a.value != b.value) return a.value > b.value;
        return sonneborn && a.value * a.points > b.value * b.points;
    };
    std::size_t cut = tieBreak.modifier != 0 ? static_cast<std::size_t>(tieBreak.count) : 0;
    auto first = contributions.begin();
    std::sort(first, contributions.end(), lowFirst);
    first += static_cast<std::ptrdiff_t>(std::min(cut, contributions.size()));
    auto last = contributions.end();
    if (tieBreak.modifier == 'M') {
        std::sort(first, last, highFirst);
        first += std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(cut), last - first);
    }
    std::int64_t sum = 0;
    for (auto contribution = first; contribution != last; ++contribution) {
        sum += sonneborn ? contribution->value * contribution->points / 4 : contribution->value;
    }
    return sum;
}

std::int64_t progressiveScore(const TieBreakEvent& event, std::uint32_t player, int cut) {
    std::int64_t running = 0;
    std::int64_t sum = 0;
    int round = 0;
    for (std::uint32_t i = event.rounds.begin[player]; i < event.rounds.begin[player + 1]; ++i) {
        running += roundQuarters(event.rounds.entries[i].code);
        if (++round > cut) sum += running;
    }
    return sum;
}

// The ratings of the rated opponents of games played, lowest first.
void ratedOpponents(const TieBreakEvent& event, std::uint32_t player,
                    std::vector<std::int64_t>& ratings, std::int64_t* points) {
    ratings.clear();
    for (std::uint32_t i = event.rounds.begin[player]; i < event.rounds.begin[player + 1]; ++i) {
        const RoundEntry& entry = event.rounds.entries[i];
        if (!isPlayed(entry) || event.ratings[entry.opponent] <= 0) continue;
        ratings.push_back(event.ratings[entry.opponent]);
        if (points) *points += roundQuarters(entry.code);
    }
    std::sort(ratings.begin(), ratings.end());
}

std::int64_t averageRating(const TieBreakEvent& event, std::uint32_t player, int cut,
                           std::vector<std::int64_t>& ratings) {
    ratedOpponents(event, player, ratings, nullptr);
    auto skipped = std::min<std::size_t>(static_cast<std::size_t>(cut), ratings.size());
    auto count = static_cast<std::int64_t>(ratings.size() - skipped);
    if (count == 0) return NO_VALUE;
    std::int64_t sum = 0;
    for (std::size_t i = skipped; i < ratings.size(); ++i) sum += ratings[i];
    return roundedHalfUp(sum, count);
}

std::int64_t performanceRating(const TieBreakEvent& event, std::uint32_t player,
                               std::vector<std::int64_t>& ratings) {
    std::int64_t points = 0;
    ratedOpponents(event, player, ratings, &points);
    auto count = static_cast<std::int64_t>(ratings.size());
    if (count == 0) return NO_VALUE;
    std::int64_t sum = 0;
    for (std::int64_t rating : ratings) sum += rating;
    // p in hundredths, rounded half up: points are quarters.
    std::int64_t hundredths = roundedHalfUp(100 * points, 4 * count);
    std::int64_t difference =
        hundredths >= 50 ? RATING_DIFFERENCES[100 - hundredths] : -RATING_DIFFERENCES[hundredths];
    return roundedHalfUp(sum + count * difference, count);
}

std::int64_t countRounds(const TieBreakEvent& event, std::uint32_t player, TieBreakCode code) {
    std::int64_t count = 0;
    for (std::uint32_t i = event.rounds.begin[player]; i < event.rounds.begin[player + 1]; ++i) {
        const RoundEntry& entry = event.rounds.entries[i];
        bool black = entry.colour == 'b';
        switch (code) {
            case TieBreakCode::WIN:
                count += roundQuarters(entry.code) == 4;
                break;
            case TieBreakCode::WON:
                count += isWonOverTheBoard(entry);
                break;
            case TieBreakCode::BPG:
                count += isPlayed(entry) && black;
                break;
            default:
                count += isWonOverTheBoard(entry) && black;
                break;
        }
    }
    return count;
}

// Koya: the points scored against the players with at least half of the
// possible points.
std::int64_t koya(const TieBreakEvent& event, const Scores& scores, std::uint32_t player) {
    if (!event.roundRobin) return NO_VALUE;
    std::int64_t sum = 0;
    for (std::uint32_t i = event.rounds.begin[player]; i < event.rounds.begin[player + 1]; ++i) {
        const RoundEntry& entry = event.rounds.entries[i];
        std::uint32_t opponent = opponentOf(entry);
        if (opponent != NO_OPPONENT &&
            scores.points[opponent] >= 2 * std::int64_t{event.roundCount}) {
            sum += roundQuarters(entry.code);
        }
    }
    return sum;
}

std::vector<std::int64_t> valuesOf(const TieBreakEvent& event, const Scores& scores,
                                   const TieBreak& tieBreak) {
    auto count = static_cast<std::uint32_t>(event.ratings.size());
    std::vector<std::int64_t> values(count, 0);
    std::vector<Contribution> contributions;
    std::vector<std::int64_t> ratings;
    int cut = tieBreak.modifier != 0 ? tieBreak.count : 0;
    for (std::uint32_t player = 0; player < count; ++player) {
        std::int64_t& value = values[player];
        switch (tieBreak.code) {
            case TieBreakCode::BH:
            case TieBreakCode::SB:
                contributionsOf(event, scores, player, contributions);
                value = buchholzOrSonneborn(contributions, tieBreak);
                break;
            case TieBreakCode::PS:
                value = progressiveScore(event, player, cut);
                break;
            case TieBreakCode::ARO:
                value = averageRating(event, player, cut, ratings);
                break;
            case TieBreakCode::TPR:
                value = performanceRating(event, player, ratings);
                break;
            case TieBreakCode::KS:
                value = koya(event, scores, player);
                break;
            case TieBreakCode::DE:
                break;  // depends on the rows still equal
            default:
                value = countRounds(event, player, tieBreak.code);
                break;
        }
    }
    return values;
}

Scores scoresOf(const TieBreakEvent& event) {
    Scores scores;
    scores.points = quarterPoints(event);
    scores.asOpponent = scoresAsOpponent(event, scores.points);
    return scores;
}

// Direct encounter among the rows of `group`, all equal so far. `shown`
// gets each one's points in the games among them (the mean of several games
// against one opponent), `key` what orders them: those points when every two
// of them met; in a Swiss event, when not, 1 for a player whose points
// exceed every other one's even with every missing game counted as the
// other's win, else 0.
void directEncounter(const TieBreakEvent& event, const std::uint32_t* group, std::size_t size,
                     std::vector<std::int64_t>& member, std::vector<std::int64_t>& shown,
                     std::vector<std::int64_t>& key) {
    for (std::size_t i = 0; i < size; ++i) member[group[i]] = static_cast<std::int64_t>(i);
    std::vector<std::int64_t> missing(size, 0);
    bool everyoneMet = true;
    std::vector<std::pair<std::int64_t, std::int64_t>> games;  // member, quarters
    for (std::size_t i = 0; i < size; ++i) {
        std::uint32_t player = group[i];
        games.clear();
        for (std::uint32_t r = event.rounds.begin[player]; r < event.rounds.begin[player + 1];
             ++r) {
            const RoundEntry& entry = event.rounds.entries[r];
            std::uint32_t opponent = opponentOf(entry);
            if (opponent == NO_OPPONENT || member[opponent] < 0) continue;
            games.emplace_back(member[opponent], roundQuarters(entry.code));
        }
        std::sort(games.begin(), games.end());
        std::int64_t sum = 0;
        std::int64_t met = 0;
        for (std::size_t g = 0; g < games.size();) {
            std::size_t end = g;
            std::int64_t quarters = 0;
            for (; end < games.size() && games[end].first == games[g].first; ++end) {
                quarters += games[end].second;
            }
            sum += quarters / static_cast<std::int64_t>(end - g);
            ++met;
            g = end;
        }
        shown[player] = sum;
        missing[i] = static_cast<std::int64_t>(size) - 1 - met;
        everyoneMet = everyoneMet && missing[i] == 0;
    }
    for (std::size_t i = 0; i < size; ++i) {
        key[group[i]] = everyoneMet ? shown[group[i]] : 0;
    }
    if (!everyoneMet && !event.roundRobin) {
        for (std::size_t i = 0; i < size; ++i) {
            bool above = true;
            for (std::size_t j = 0; above && j < size; ++j) {
                above = j == i || shown[group[i]] > shown[group[j]] + 4 * missing[j];
            }
            if (above) key[group[i]] = 1;
        }
    }
    for (std::size_t i = 0; i < size; ++i) member[group[i]] = -1;
}

}  // namespace

bool parseTieBreaks(std::string_view list, std::vector<TieBreak>& tieBreaks, std::string& unknown) {
    tieBreaks.clear();
    for (;;) {
        std::size_t comma = list.find(',');
        std::string_view text = list.substr(0, comma);
        std::string_view name = text.substr(0, text.find('/'));
        TieBreak tieBreak;
        tieBreak.heading = text;
        const CodeName* found = nullptr;
        for (const CodeName& code : CODE_NAMES) {
            if (code.name == name) found = &code;
        }
        bool valid = found != nullptr;
        if (valid && name.size() < text.size()) {
            std::string_view modifier = text.substr(name.size());
            valid = modifier.size() == 3 && (modifier[2] == '1' || modifier[2] == '2') &&
                    found->modifiers.find(modifier[1]) != std::string_view::npos;
            if (valid) {
                tieBreak.modifier = modifier[1];
                tieBreak.count = modifier[2] - '0';
            }
        }
        if (!valid) {
            unknown = text;
            return false;
        }
        tieBreak.code = found->code;
        tieBreaks.push_back(tieBreak);
        if (comma == std::string_view::npos) return true;
        list.remove_prefix(comma + 1);
    }
}

bool isWholeNumber(TieBreakCode code) {
    switch (code) {
        case TieBreakCode::BH:
        case TieBreakCode::SB:
        case TieBreakCode::PS:
        case TieBreakCode::DE:
        case TieBreakCode::KS:
            return false;
        default:
            return true;
    }
}

std::int64_t roundQuarters(char code) {
    switch (code) {
        case '1':
        case '+':
        case 'W':
        case 'U':
        case 'F':
            return 4;
        case '=':
        case 'D':
        case 'H':
            return 2;
        default:
            return 0;
    }
}

std::vector<std::int64_t> quarterPoints(const TieBreakEvent& event) {
    std::size_t count = event.ratings.size();
    std::vector<std::int64_t> points(count, 0);
    for (std::size_t player = 0; player < count; ++player) {
        for (std::uint32_t i = event.rounds.begin[player]; i < event.rounds.begin[player + 1];
             ++i) {
            points[player] += roundQuarters(event.rounds.entries[i].code);
        }
    }
    return points;
}

std::vector<std::int64_t> scoresAsOpponent(const TieBreakEvent& event,
                                           const std::vector<std::int64_t>& points) {
    std::vector<std::int64_t> scores = points;
    for (std::size_t player = 0; player < points.size(); ++player) {
        std::uint32_t begin = event.rounds.begin[player];
        std::uint32_t end = event.rounds.begin[player + 1];
        std::uint32_t last = end;
        while (last > begin && isVoluntarilyUnplayed(event.rounds.entries[last - 1].code)) --last;
        for (std::uint32_t i = last; i < end; ++i) {
            const RoundEntry& entry = event.rounds.entries[i];
            if (opponentOf(entry) == NO_OPPONENT) scores[player] += 2 - roundQuarters(entry.code);
        }
    }
    return scores;
}

std::vector<std::int64_t> tieBreakValues(const TieBreakEvent& event, const TieBreak& tieBreak) {
    return valuesOf(event, scoresOf(event), tieBreak);
}

void rankByTieBreaks(const TieBreakEvent& event, const std::vector<TieBreak>& tieBreaks,
                     std::vector<std::uint32_t>& order, std::vector<bool>& sameRank,
                     std::vector<std::int64_t>& points, std::vector<ValueColumn>& columns) {
    Scores scores = scoresOf(event);
    points = scores.points;
    auto count = static_cast<std::uint32_t>(points.size());
    order.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return points[a] > points[b]; });
    // Groups of rows still equal: each group's first row is marked.
    std::vector<bool> groupStart(count + 1, true);
    for (std::uint32_t row = 1; row < count; ++row) {
        groupStart[row] = points[order[row]] != points[order[row - 1]];
    }

    columns.clear();
    std::vector<std::int64_t> member(count, -1);
    std::vector<std::int64_t> key;
    for (const TieBreak& tieBreak : tieBreaks) {
        std::vector<std::int64_t> values = valuesOf(event, scores, tieBreak);
        key = values;
        for (std::uint32_t row = 0; row < count;) {
            std::uint32_t end = row + 1;
            while (end < count && !groupStart[end]) ++end;
            if (tieBreak.code == TieBreakCode::DE) {
                directEncounter(event, &order[row], end - row, member, values, key);
            }
            std::stable_sort(order.begin() + row, order.begin() + end,
                             [&](std::uint32_t a, std::uint32_t b) { return key[a] > key[b]; });
            for (std::uint32_t split = row + 1; split < end; ++split) {
                if (key[order[split]] != key[order[split - 1]]) groupStart[split] = true;
            }
            row = end;
        }
        if (tieBreak.shown) {
            columns.push_back({tieBreak.heading, isWholeNumber(tieBreak.code), std::move(values)});
        }
    }
    sameRank.assign(count, false);
    for (std::uint32_t row = 0; row < count;) {
        std::uint32_t end = row + 1;
        while (end < count && !groupStart[end]) ++end;
        std::sort(order.begin() + row, order.begin() + end, [&](std::uint32_t a, std::uint32_t b) {
            return *event.names[a] < *event.names[b];
        });
        for (std::uint32_t tied = row + 1; tied < end; ++tied) sameRank[tied] = true;
        row = end;
    }
}
