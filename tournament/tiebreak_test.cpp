#include "tournament/tiebreak.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/file_text.h"
#include "tournament/event_rounds.h"
#include "tournament/trf_reader.h"

namespace {

const std::string EXERCISES = TESSARA_SOURCE_DIR "/tests/tiebreak-exercises/";

// A published value ("12.5", "1969", "" for none) in the unit of the code.
std::int64_t expectedValue(const std::string& text, bool whole) {
    if (text.empty()) return NO_VALUE;
    double value = std::stod(text);
    return static_cast<std::int64_t>(whole ? value : value * 4);
}

// The arbiters' exercises: every published answer, player by player.
TEST(TieBreakValues, ReproduceEveryPublishedAnswerOfTheArbitersExercises) {
    std::map<std::string, Event> events;
    for (const char* file : {"held-swiss-5.trf", "held-round-robin.trf"}) {
        std::vector<std::string> messages;
        ASSERT_TRUE(readTrf(fileText(EXERCISES + file), events[file], messages)) << file;
        EXPECT_TRUE(messages.empty()) << file;
    }
    std::istringstream answers(fileText(EXERCISES + "answers.tsv"));
    std::string line;
    std::getline(answers, line);  // the headings
    int checked = 0;
    while (std::getline(answers, line)) {
        std::istringstream fields(line);
        std::string file, start, name, code, value;
        std::getline(fields, file, '\t');
        std::getline(fields, start, '\t');
        std::getline(fields, name, '\t');
        std::getline(fields, code, '\t');
        std::getline(fields, value, '\t');
        const Event& event = events.at(file);
        std::vector<TieBreak> list;
        std::string unknown;
        ASSERT_TRUE(parseTieBreaks(code, list, unknown)) << code;
        TieBreakEvent rounds = trfRounds(event, file == "held-round-robin.trf");
        std::vector<std::int64_t> values = tieBreakValues(rounds, list[0]);
        std::size_t player = 0;
        while (*event.players.at(player).name != name) ++player;
        EXPECT_EQ(expectedValue(value, isWholeNumber(list[0].code)), values[player])
            << file << " " << name << " " << code;
        ++checked;
    }
    EXPECT_EQ(226, checked);  // every line of answers.tsv
}

TEST(ParseTieBreaks, KnowsEveryCodeAndTheModifiersEachTakes) {
    struct Case {
        const char* list;
        const char* unknown;  // null: the list is read
    } cases[] = {
        {"BH/C1,BH,SB", nullptr},
        {"BH/M2,SB/M1,SB/C2,PS/C1,ARO/C2,TPR,DE,WIN,WON,BPG,BWG,KS", nullptr},
        {"BH/C3", "BH/C3"},
        {"PS/M1", "PS/M1"},
        {"ARO/M1", "ARO/M1"},
        {"TPR/C1", "TPR/C1"},
        {"bh", "bh"},
        {"BH,,SB", ""},
        {"", ""},
        {"BH/", "BH/"},
        {"SB/C1x", "SB/C1x"},
        {"BH,XYZ", "XYZ"},
    };
    for (const Case& c : cases) {
        std::vector<TieBreak> list;
        std::string unknown = "-";
        EXPECT_EQ(c.unknown == nullptr, parseTieBreaks(c.list, list, unknown)) << c.list;
        if (c.unknown) {
            EXPECT_EQ(c.unknown, unknown) << c.list;
        }
    }
}

// Rounds written as "opponent colour code" per player, e.g. "1w1 -H".
TieBreakEvent eventOf(const std::vector<std::string>& players, std::uint32_t rounds,
                      std::vector<std::string>& names) {
    TieBreakEvent event;
    event.roundCount = rounds;
    names.clear();
    for (std::size_t i = 0; i < players.size(); ++i) names.push_back(std::string(1, 'A' + i));
    for (std::size_t i = 0; i < players.size(); ++i) {
        event.rounds.begin.push_back(static_cast<std::uint32_t>(event.rounds.entries.size()));
        event.names.push_back(&names[i]);
        event.ratings.push_back(0);
        std::istringstream words(players[i]);
        for (std::string word; words >> word;) {
            RoundEntry entry;
            if (word[0] != '-') entry.opponent = static_cast<std::uint32_t>(word[0] - 'A');
            entry.colour = word[1];
            entry.code = word[2] == '_' ? ' ' : word[2];
            event.rounds.entries.push_back(entry);
        }
    }
    event.rounds.begin.push_back(static_cast<std::uint32_t>(event.rounds.entries.size()));
    return event;
}

TEST(ScoresAsOpponent, RoundsWithoutOpponentAfterAWithdrawalCountAsDraws) {
    struct Case {
        std::vector<std::string> players;
        std::vector<std::int64_t> scores;  // quarters
    } cases[] = {
        // B withdrew after round 1: two rounds without entry count as draws.
        {{"Bw1 --U --U", "Ab0 --_ --Z"}, {12, 4}},
        // A forfeit lost with its opponent stays a loss.
        {{"Bw1 Bw+", "Ab0 Ab-"}, {8, 0}},
        // A bye before the last played round scores what it scored.
        {{"--Z Bw1", "--U Ab0"}, {4, 4}},
        // A half-point bye at the end stays a half point.
        {{"Bw1 --H", "Ab0 --U"}, {6, 4}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names;
        TieBreakEvent event = eventOf(c.players, 2, names);
        EXPECT_EQ(c.scores, scoresAsOpponent(event, quarterPoints(event))) << c.players[0];
    }
}

// The order and shared ranks of the rows, "A B=C" for A first and B and C
// sharing the next rank.
std::string orderOf(const TieBreakEvent& event, const char* list) {
    std::vector<TieBreak> tieBreaks;
    std::string unknown;
    EXPECT_TRUE(parseTieBreaks(list, tieBreaks, unknown));
    Standings standings = rankByList(event, tieBreaks);
    std::string text;
    for (std::uint32_t row = 0; row < standings.order.size(); ++row) {
        if (row > 0) text += standings.firstRow[row] == row ? " " : "=";
        text += *event.names[standings.order[row]];
    }
    return text;
}

TEST(DirectEncounter, OrdersThoseStillEqualByTheGamesAmongThem) {
    struct Case {
        std::vector<std::string> players;
        bool roundRobin;
        const char* order;
    } cases[] = {
        // A and C equal on points; A beat C.
        {{"Bw0 Cw1", "Ab1 --U", "--U Ab0"}, false, "B A C"},
        // Three equal, every two met, one point each: all stay equal.
        {{"Bw1 Cb0", "Ab0 Cw1", "Bb0 Aw1"}, true, "A=B=C"},
        // Four equal, A-D and B-C never met, one point each among them.
        {{"Bw0 Cw1", "Ab1 Dw0", "Dw1 Ab0", "Cb0 Bb1"}, false, "A=B=C=D"},
        // A beat B and C, who never met: even with that game won, neither
        // reaches A's two points among them.
        {{"Bw1 Cb1 Dw0", "Ab0 Ew1 --U", "Ew1 Aw0 --U", "--Z --Z Ab1", "Cb0 Bb0 --Z"},
         false,
         "A B=C D E"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names;
        TieBreakEvent event = eventOf(c.players, 3, names);
        event.roundRobin = c.roundRobin;
        EXPECT_EQ(c.order, orderOf(event, "DE")) << c.players[0];
    }
}

}  // namespace
