#include "tournament/tournament.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// A game given as "White Black Result" with one-word names.
GameTags tagsOf(const std::string& game, std::vector<std::string>& store) {
    std::istringstream words(game);
    store.resize(3);
    words >> store[0] >> store[1] >> store[2];
    GameTags tags;
    tags.white = &store[0];
    tags.black = &store[1];
    tags.result = &store[2];
    return tags;
}

// The standings of one event as "name points/SB/wins rank" lines, in quarter
// points, best first.
std::string standingsOf(const std::vector<std::string>& games) {
    Tournaments tournaments;
    for (const std::string& game : games) {
        std::vector<std::string> store;
        EXPECT_EQ("", addGame(tournaments, tagsOf(game, store)));
    }
    const Event& event = tournaments.events.at(0);
    Standings standings = rankPlayers(event);
    std::string out;
    for (std::uint32_t row = 0; row < standings.order.size(); ++row) {
        std::uint32_t player = standings.order[row];
        out += *event.players[player].name + " " + std::to_string(standings.points[player]) + "/" +
               std::to_string(standings.sonneborn[player]) + "/" +
               std::to_string(standings.wins[player]) + " " +
               std::to_string(standings.firstRow[row] + 1) + "-" +
               std::to_string(standings.lastRow[row] + 1) + "\n";
    }
    return out;
}

TEST(ReadResult, CountsWinsDrawsAndTheShortDrawOnly) {
    struct Case {
        const char* tag;
        GameResult result;
        bool valid;
    } cases[] = {
        {"1-0", GameResult::WHITE_WINS, true},    {"0-1", GameResult::BLACK_WINS, true},
        {"1/2-1/2", GameResult::DRAW, true},      {"1/2", GameResult::DRAW, true},
        {"*", GameResult::NOT_PLAYED, true},      {" * ", GameResult::NOT_PLAYED, true},
        {" 1-0", GameResult::WHITE_WINS, true},   {"1-0 ", GameResult::WHITE_WINS, true},
        {"\t0-1", GameResult::BLACK_WINS, true},  {"", GameResult::NOT_PLAYED, false},
        {"½-½", GameResult::NOT_PLAYED, false},   {"0-0", GameResult::NOT_PLAYED, false},
        {"1 - 0", GameResult::NOT_PLAYED, false},
    };
    for (const Case& c : cases) {
        std::string tag = c.tag;
        bool valid = !c.valid;
        EXPECT_EQ(c.result, readResult(&tag, &valid)) << c.tag;
        EXPECT_EQ(c.valid, valid) << c.tag;
    }
    EXPECT_EQ(GameResult::NOT_PLAYED, readResult(nullptr));
}

TEST(AddGame, TakesTheLastCountedRatingTitleAndFederation) {
    // Two games of White "A": the tags of the first, then of the second.
    struct Case {
        const char *elo1, *elo2, *rating;
        const char *title1, *title2, *title;
        const char *fed1, *fed2, *federation;
    } cases[] = {
        {"2400", "2450", "2450", "FM", "IM", "IM", "GER", "NED", "NED"},
        {"2400", "0", "2400", "FM", "-", "FM", "GER", "DE", "GER"},
        {"2400", "?", "2400", "FM", "", "FM", "GER", "GERM", "GER"},
        {"02400", "", "2400", " W GM ", "  ", "W GM", "ger", "G3R", "ger"},
        {"24OO", "-5", "", "-", nullptr, "", "", "", ""},
        {"00", "99999999999999999999", "99999999999999999999", nullptr, "x", "x", "é", nullptr, ""},
    };
    for (const Case& c : cases) {
        Tournaments tournaments;
        std::string white = "A", black = "B";
        const char* elos[] = {c.elo1, c.elo2};
        const char* titles[] = {c.title1, c.title2};
        const char* feds[] = {c.fed1, c.fed2};
        for (int game = 0; game < 2; ++game) {
            std::string elo = elos[game] ? elos[game] : "";
            std::string title = titles[game] ? titles[game] : "";
            std::string fed = feds[game] ? feds[game] : "";
            GameTags tags;
            tags.white = &white;
            tags.black = &black;
            tags.whiteElo = elos[game] ? &elo : nullptr;
            tags.whiteTitle = titles[game] ? &title : nullptr;
            tags.whiteFed = feds[game] ? &fed : nullptr;
            EXPECT_EQ("", addGame(tournaments, tags));
        }
        const Player& player = tournaments.events.at(0).players.at(0);
        EXPECT_EQ(c.rating, player.rating) << c.elo1 << " " << c.elo2;
        EXPECT_EQ(c.title, player.title);
        EXPECT_EQ(c.federation, player.federation);
    }
}

TEST(RankPlayers, OrdersByPointsSonnebornBergerWinsThenNameAndSharesTies) {
    struct Case {
        std::vector<std::string> games;
        const char* standings;  // quarter points
    } cases[] = {
        // A wins all; B and C draw, each beaten by A: equal in everything.
        {{"A B 1-0", "C A 0-1", "B C 1/2"}, "A 8/4/2 1-1\nB 2/1/0 2-3\nC 2/1/0 2-3\n"},
        // Equal points, B beat the winner: Sonneborn-Berger parts them.
        {{"A B 0-1", "A C 1-0", "A D 1-0", "B C 0-1", "B D 1/2-1/2", "C D 1/2"},
         "A 8/10/2 1-1\nB 6/10/1 2-2\nC 6/8/1 3-3\nD 4/6/0 4-4\n"},
        // Equal points and Sonneborn-Berger: the win counts; then the name
        // only orders the rows of a shared rank.
        {{"Z Y 1-0", "Y Z 1-0", "X W 1/2", "W X 1/2"},
         "Y 4/4/1 1-2\nZ 4/4/1 1-2\nW 4/4/0 3-4\nX 4/4/0 3-4\n"},
        // Games without a counted result give the players rows and nothing else.
        {{"A B *", "B C 1-0", "C D *"}, "B 4/0/1 1-1\nA 0/0/0 2-4\nC 0/0/0 2-4\nD 0/0/0 2-4\n"},
        // Names sort by bytes: capitals before small letters, 8-bit last.
        {{"b a 1/2", "B \xc3\x89 1/2"},
         "B 2/1/0 1-4\na 2/1/0 1-4\nb 2/1/0 1-4\n\xc3\x89 2/1/0 1-4\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.standings, standingsOf(c.games));
}

TEST(EventCategory, RoundsTheAverageHalfUpAndNeedsEveryRating) {
    struct Case {
        std::vector<const char*> ratings;  // one per player; null: none
        int category;
    } cases[] = {
        {{"2250", "2251"}, 1},  // 2250.5 rounds up
        {{"2250", "2250"}, 0},
        {{"2275", "2275"}, 1},
        {{"2276", "2276"}, 2},
        {{"2700", "2745"}, 19},
        {{"2975", "2976"}, 29},
        {{"3500", "3500"}, 29},
        {{"99999999999999", "1000"}, 29},
        {{"2700", nullptr}, 0},
        {{"2700", "0"}, 0},
        {{"2600", "2601", "2602"}, 15},
    };
    for (const Case& c : cases) {
        Tournaments tournaments;
        std::vector<std::string> names = {"A", "B", "C"};
        std::vector<std::string> elos(c.ratings.size());
        for (std::size_t i = 0; i + 1 < c.ratings.size(); ++i) {
            GameTags tags;
            tags.white = &names[i];
            tags.black = &names[i + 1];
            if (c.ratings[i]) tags.whiteElo = &(elos[i] = c.ratings[i]);
            if (c.ratings[i + 1]) tags.blackElo = &(elos[i + 1] = c.ratings[i + 1]);
            EXPECT_EQ("", addGame(tournaments, tags));
        }
        EXPECT_EQ(c.category, eventCategory(tournaments.events.at(0))) << c.ratings[0];
    }
}

}  // namespace
