// The tournaments of a collection of PGN games, from their tag pairs alone:
// games grouped by event, the players of each event with their rating,
// title and federation, the counted results, and the standings with
// Sonneborn-Berger tie-breaks and shared ranks. Memory grows with players
// and events; of each counted game only its two players and its result are
// kept, since every result appears in the cross table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tournament/tiebreak.h"

// Player and event maps are looked up with the tag's text itself; only a
// new name is copied.
struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
        return std::hash<std::string_view>{}(name);
    }
};
template <typename Value>
using NameMap = std::unordered_map<std::string, Value, NameHash, std::equal_to<>>;

// The tag values of one game that a cross table uses; null for a missing
// tag. `file`, `line` and `number` name the game in messages.
struct GameTags {
    const std::string* event = nullptr;
    const std::string* site = nullptr;
    const std::string* date = nullptr;
    const std::string* white = nullptr;
    const std::string* black = nullptr;
    const std::string* result = nullptr;
    const std::string* whiteElo = nullptr;
    const std::string* blackElo = nullptr;
    const std::string* whiteTitle = nullptr;
    const std::string* blackTitle = nullptr;
    const std::string* whiteFed = nullptr;
    const std::string* blackFed = nullptr;
    const std::string* round = nullptr;
    std::string_view file;
    std::uint32_t fileIndex = 0;  // into Tournaments::files
    long line = 0;
    int number = 0;
};

// Results as seen from White; NOT_PLAYED is a game without a counted result.
enum class GameResult : std::uint8_t { BLACK_WINS, DRAW, WHITE_WINS, NOT_PLAYED };

struct Player {
    const std::string* name = nullptr;  // the key of its event's player map
    std::string rating;                 // digits without leading zeros; empty: none
    std::uint64_t ratingValue = 0;      // saturated at RATING_CAP
    std::string title;                  // empty: none
    std::string federation;             // three letters; empty: none
};

// A game of an event: player indices, its result (NOT_PLAYED: a game
// without a counted result, which a Swiss table shows) and its round (0:
// none).
struct CountedGame {
    std::uint32_t white = 0;
    std::uint32_t black = 0;
    std::uint32_t round = 0;
    GameResult result = GameResult::DRAW;
};

// Where a game stands, for the messages of a Swiss table.
struct GameOrigin {
    std::uint32_t file = 0;  // into Tournaments::files
    int number = 0;
    long line = 0;
};

struct Event {
    std::string name;
    NameMap<std::uint32_t> playerIndex;
    std::vector<Player> players;  // in the order of their first game
    std::vector<CountedGame> games;
    std::string site;       // the Site of the first game ("?" when missing)
    bool oneSite = true;    // every game so far had that Site
    std::string firstDate;  // earliest and latest "DDDD.DD.DD"; empty: none
    std::string lastDate;
    // The highest round number of its games; unknown when a game has none.
    // While the rounds are known, each game's origin (an event of unknown
    // rounds never becomes a Swiss table, and keeps none).
    std::uint32_t rounds = 0;
    bool roundsUnknown = false;
    std::vector<GameOrigin> origins;
    // An event of a TRF file: its players' names and rounds as read.
    bool fromTrf = false;
    std::vector<std::string> ownNames;
    RoundLists trfRounds;
};

// Every event of a run, in the order in which the events first appear.
struct Tournaments {
    std::vector<Event> events;
    NameMap<std::size_t> eventIndex;
    std::size_t lastEvent = SIZE_MAX;  // the event of the previous game
    std::vector<std::string> files;    // the names of the files read, for messages
};

// Round numbers above this can never fit a table line that tesweb reads.
constexpr std::uint32_t ROUND_CAP = 100000;

// A Swiss table's line holds at least three characters per round (" -0"),
// so no table of more rounds than this fits a line that tesweb reads.
constexpr std::uint32_t MOST_TABLE_ROUNDS = 2666;

// A game's round: the whole number before the first '.' of the Round tag
// ("3", "3.12"), saturated at ROUND_CAP; 0 when there is none ("?", "-").
std::uint32_t roundNumber(const std::string* round);

// Ratings above this add no information to an average (an event would
// need hundreds of thousands of players to bring it back under 2251).
constexpr std::uint64_t RATING_CAP = 1000000000;

// Adds one game to its event. A game that cannot be shown (a missing,
// empty or unknown name, White and Black the same player, a name holding a
// brace) adds nothing and gives the message that says why, without the
// "tescross: " prefix; a game with a Result that is none adds its players
// without a result and gives a message too; otherwise the message is empty.
std::string addGame(Tournaments& tournaments, const GameTags& tags);

// The event name of a game: the Event tag, or "?" when it is missing or
// holds only blanks and control characters.
std::string_view eventName(const std::string* event);

// A player name: the tag's value without leading and trailing blanks, "?"
// when missing or empty.
std::string_view playerName(const std::string* name);

// The result of the Result tag, blanks around it aside: NOT_PLAYED for "*"
// and a missing tag; false in `valid` for any other text.
GameResult readResult(const std::string* result, bool* valid = nullptr);

// At most 80 characters of a name or event for a message, then "...".
std::string shortened(std::string_view text);

// A byte that would end tesweb's reading of the blocks, named for a message:
// "NUL" (stops it with an error) or "Ctrl-Z" (ends its input like the end of
// the file); null when there is none.
const char* stopByteIn(std::string_view shown);

// True when a name holds a brace: the table writes names in braces.
bool holdsBrace(std::string_view name);

// The standings of one event, in the unit of a quarter point so that
// Sonneborn-Berger scores stay whole numbers.
struct Standings {
    std::vector<std::uint32_t> order;     // player indices, best first
    std::vector<std::uint32_t> position;  // by player: its row, from 0
    std::vector<std::int64_t> points;     // by player, quarter points
    std::vector<std::int64_t> sonneborn;  // by player, quarter points
    std::vector<std::uint32_t> wins;      // by player
    std::vector<std::uint32_t> firstRow;  // by row: first row of its tie group, from 0
    std::vector<std::uint32_t> lastRow;   // by row: last row of its tie group
    std::vector<ValueColumn> columns;     // the columns after the points
};

// Fills `position`, `firstRow` and `lastRow` from `order`: a run of
// neighbouring rows whose players are `equal` shares its rank.
void markTieGroups(Standings& standings,
                   const std::function<bool(std::uint32_t, std::uint32_t)>& equal);

// Points, Sonneborn-Berger, wins, then the name in byte order; players equal
// in the first three share their rank.
Standings rankPlayers(const Event& event);

// The FIDE category of the event: 1 to 29, or 0 when a player has no rating
// or the average rating, rounded half up, is below 2251.
int eventCategory(const Event& event);
