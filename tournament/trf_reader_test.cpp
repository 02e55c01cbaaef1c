#include "tournament/trf_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A player record in TRF-16 columns; `rounds` as "opponent colour result"
// triples such as "2 w 1" or "0 - H".
std::string player(int start, const char* name, const char* points,
                   std::vector<const char*> rounds) {
    char fixed[128];
    std::snprintf(fixed, sizeof fixed, "001 %4d m%-3s %-33s %4s %-3s %11s %10s %4s %4s  ", start,
                  "", name, "2000", "NOR", "0", "", points, "");
    std::string line = fixed;
    for (const char* round : rounds) {
        char block[16];
        int opponent = 0;
        char colour = ' ';
        char result = ' ';
        std::sscanf(round, "%d %c %c", &opponent, &colour, &result);
        std::snprintf(block, sizeof block, "%4d %c %c  ", opponent, colour, result);
        line += block;
    }
    return line + "\n";
}

struct Read {
    bool kept;
    std::vector<std::string> messages;
};

Read readOf(const std::string& text) {
    Event event;
    Read read;
    read.kept = readTrf(text, event, read.messages);
    return read;
}

TEST(ReadTrf, EachFaultIsNamedWithItsLine) {
    std::string head = "012 Club Open\nXXR 2\n";
    struct Case {
        std::string text;
        bool kept;
        std::vector<std::string> messages;
    } cases[] = {
        {head + player(1, "A", "1.0", {"2 w 1"}) + player(2, "B", "0.0", {"1 b 0"}), true, {}},
        {head + "001    1 m    Short\n",
         false,
         {"3: event left out: the record is too short for its fields"}},
        {head + player(1, "A", "1.0", {"2 w X"}) + player(2, "B", "0.0", {"1 b 0"}),
         false,
         {"3: event left out: round 1: result code \"X\" is not in the list"}},
        {head + player(1, "A", "1.0", {"2 x 1"}) + player(2, "B", "0.0", {"1 b 0"}),
         false,
         {"3: event left out: round 1: colour \"x\" is not w, b or -"}},
        {head + player(1, "A", "1.0", {"9 w 1"}),
         false,
         {"3: event left out: round 1: opponent 9 is no player"}},
        {head + player(1, "A", "1.0", {"1 w 1"}),
         false,
         {"3: event left out: round 1: opponent 1 is no player"}},
        {head + player(1, "A", "1.0", {"2 w 1"}) + player(2, "B", "0.0", {"1 w 0"}),
         false,
         {"3: event left out: round 1: the entries of players 1 and 2 do not agree"}},
        {head + player(1, "A", "1.0", {"2 w 1"}) + player(2, "B", "1.0", {"1 b 1"}),
         false,
         {"3: event left out: round 1: the entries of players 1 and 2 do not agree"}},
        {head + player(1, "A", "0.0", {}) + player(1, "B", "0.0", {}),
         false,
         {"4: event left out: start number 1 is given twice"}},
        {head + player(1, "A\x1A", "0.0", {}),
         false,
         {"3: event left out: the name holds a Ctrl-Z byte"}},
        {head + player(1, "A}B", "0.0", {}), false, {"3: event left out: the name holds a brace"}},
        {std::string("012 A\0B\n", 8) + player(1, "A", "0.0", {}),
         false,
         {"1: event left out: the event name holds a NUL byte"}},
        {"XXR many\n" + player(1, "A", "0.0", {}),
         false,
         {"1: event left out: the XXR record holds no number of rounds"}},
        // Stated points that differ: a message, and the table stays.
        {head + player(1, "A", "0.5", {"2 w +"}) + player(2, "B", "0.0", {"1 b -"}),
         true,
         {"3: player 1 \"A\": the record states 0.5 points, the rounds give 1.0"}},
        // Results without an opponent, as older files write byes.
        {head + player(1, "A", "1.5", {"0 - 1", "0 - ="}), true, {}},
        // A double forfeit, byes and an empty last round.
        {head + player(1, "A", "0.5", {"2 - -", "0 - H"}) + player(2, "B", "1", {"1 - -", "0 - U"}),
         true,
         {}},
    };
    for (const Case& c : cases) {
        Read read = readOf(c.text);
        EXPECT_EQ(c.kept, read.kept) << c.text;
        EXPECT_EQ(c.messages, read.messages) << c.text;
    }
}

TEST(ReadTrf, TakesTheEventRecordsAndCarriageReturns) {
    std::string text = "012 Club Open \r\n022 Bern\r\n042 2024-08-01\r\n052 2024/08/03\r\n" +
                       player(2, "Bo", "1.0", {"1 w 1"}) + player(1, "Al", "0.0", {"2 b 0"});
    Event event;
    std::vector<std::string> messages;
    ASSERT_TRUE(readTrf(text, event, messages));
    EXPECT_EQ("Club Open", event.name);
    EXPECT_EQ("Bern", event.site);
    EXPECT_EQ("2024.08.01", event.firstDate);
    EXPECT_EQ("2024.08.03", event.lastDate);
    EXPECT_EQ(1u, event.rounds);
    ASSERT_EQ(2u, event.players.size());
    EXPECT_EQ("Bo", *event.players[0].name);
    EXPECT_EQ("2000", event.players[0].rating);
    EXPECT_EQ("NOR", event.players[0].federation);
    EXPECT_EQ(1u, event.trfRounds.entries[0].opponent);
}

TEST(LooksLikeTrf, ThreeDigitsAndABlankBeginTheFirstLineThatIsNotBlank) {
    struct Case {
        const char* start;
        bool trf;
    } cases[] = {
        {"012 Open\n", true},
        {"\n  \r\n001    1", true},
        {"\xEF\xBB\xBF"
         "012 x",
         true},
        {"[Event \"x\"]\n", false},
        {"1. e4 e5", false},
        {"0123", false},
        {"  012 Open", false},
        {"", false},
        {"XXR 9\n", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.trf, looksLikeTrf(c.start)) << c.start;
}

}  // namespace
