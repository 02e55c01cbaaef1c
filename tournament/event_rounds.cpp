#include "tournament/event_rounds.h"

#include <algorithm>

namespace {

// The codes of a game's result for White and for Black.
char whiteCode(GameResult result) {
    return "0=1*"[static_cast<int>(result)];
}
char blackCode(GameResult result) {
    return "1=0*"[static_cast<int>(result)];
}

void takePlayers(TieBreakEvent& rounds, const Event& event) {
    rounds.ratings.reserve(event.players.size());
    rounds.names.reserve(event.players.size());
    for (const Player& player : event.players) {
        rounds.ratings.push_back(static_cast<std::int64_t>(player.ratingValue));
        rounds.names.push_back(player.name);
    }
}

}  // namespace

TieBreakEvent swissRounds(const Event& event, std::vector<SecondGame>& leftOut) {
    TieBreakEvent rounds;
    takePlayers(rounds, event);
    std::uint32_t count = static_cast<std::uint32_t>(event.players.size());
    std::uint32_t perPlayer = event.rounds;
    rounds.roundCount = perPlayer;
    rounds.rounds.begin.resize(count + 1);
    for (std::uint32_t i = 0; i <= count; ++i) rounds.rounds.begin[i] = i * perPlayer;
    rounds.rounds.entries.assign(std::size_t{count} * perPlayer, RoundEntry{});
    for (std::size_t index = 0; index < event.games.size(); ++index) {
        const CountedGame& game = event.games[index];
        RoundEntry& white =
            rounds.rounds.entries[std::size_t{game.white} * perPlayer + game.round - 1];
        RoundEntry& black =
            rounds.rounds.entries[std::size_t{game.black} * perPlayer + game.round - 1];
        if (white.opponent != NO_OPPONENT || black.opponent != NO_OPPONENT) {
            leftOut.push_back({index, white.opponent != NO_OPPONENT ? game.white : game.black});
            continue;
        }
        white = {game.black, 'w', whiteCode(game.result)};
        black = {game.white, 'b', blackCode(game.result)};
    }
    return rounds;
}

TieBreakEvent gridRounds(const Event& event) {
    TieBreakEvent rounds;
    takePlayers(rounds, event);
    std::uint32_t count = static_cast<std::uint32_t>(event.players.size());
    std::vector<const CountedGame*> games;
    games.reserve(event.games.size());
    for (const CountedGame& game : event.games) games.push_back(&game);
    std::stable_sort(games.begin(), games.end(), [](const CountedGame* a, const CountedGame* b) {
        return a->round < b->round;
    });
    RoundLists& lists = rounds.rounds;
    lists.begin.assign(count + 1, 0);
    for (const CountedGame* game : games) {
        ++lists.begin[game->white + 1];
        ++lists.begin[game->black + 1];
    }
    for (std::uint32_t i = 0; i < count; ++i) lists.begin[i + 1] += lists.begin[i];
    std::vector<std::uint32_t> next(lists.begin.begin(), lists.begin.end() - 1);
    lists.entries.resize(games.size() * 2);
    std::uint32_t most = 0;
    for (const CountedGame* game : games) {
        lists.entries[next[game->white]++] = {game->black, 'w', whiteCode(game->result)};
        lists.entries[next[game->black]++] = {game->white, 'b', blackCode(game->result)};
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        most = std::max(most, lists.begin[i + 1] - lists.begin[i]);
    }
    rounds.roundCount = event.roundsUnknown ? most : std::max(most, event.rounds);
    rounds.roundRobin = true;
    return rounds;
}

TieBreakEvent trfRounds(const Event& event, bool roundRobin) {
    TieBreakEvent rounds;
    takePlayers(rounds, event);
    rounds.rounds = event.trfRounds;
    rounds.roundCount = event.rounds;
    rounds.roundRobin = roundRobin;
    return rounds;
}

Standings rankByList(const TieBreakEvent& rounds, const std::vector<TieBreak>& tieBreaks) {
    Standings standings;
    std::vector<bool> sameRank;
    rankByTieBreaks(rounds, tieBreaks, standings.order, sameRank, standings.points,
                    standings.columns);
    std::size_t count = standings.order.size();
    standings.position.resize(count);
    standings.firstRow.resize(count);
    standings.lastRow.resize(count);
    for (std::uint32_t row = 0; row < count;) {
        std::uint32_t end = row + 1;
        while (end < count && sameRank[end]) ++end;
        for (std::uint32_t tied = row; tied < end; ++tied) {
            standings.position[standings.order[tied]] = tied;
            standings.firstRow[tied] = row;
            standings.lastRow[tied] = end - 1;
        }
        row = end;
    }
    return standings;
}
