#include "tournament/tournament.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "frame/ascii.h"

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string_view trimBlanks(std::string_view text, const char* blanks = " ") {
    std::size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string_view::npos) return {};
    std::size_t end = text.find_last_not_of(blanks);
    return text.substr(begin, end - begin + 1);
}

// Event and Site lines are shown by tesweb only from their first character
// above a blank; a value without one is as good as missing.
std::string_view visibleOrUnknown(const std::string* value) {
    if (!value || std::all_of(value->begin(), value->end(), isBlankOrControl)) return "?";
    return *value;
}

bool isDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '.' || text[7] != '.') return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!isDigit(text[i])) return false;
    }
    return true;
}

// The last counted value of each tag wins, in the order of the games.
void takeRating(Player& player, const std::string* elo) {
    if (!elo || elo->empty() || !std::all_of(elo->begin(), elo->end(), isDigit)) return;
    std::size_t first = elo->find_first_not_of('0');
    if (first == std::string::npos) return;  // 0 is no rating
    if (player.rating.size() == elo->size() - first &&
        player.rating.compare(0, std::string::npos, *elo, first) == 0) {
        return;  // the rating of the player's previous game
    }
    player.rating.assign(*elo, first);
    std::uint64_t value = 0;
    for (char c : player.rating) {
        value =
            std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), RATING_CAP);
    }
    player.ratingValue = value;
}

void takeTitle(Player& player, const std::string* title) {
    if (!title) return;
    std::string_view value = trimBlanks(*title);
    if (value.empty() || value == "-") return;
    player.title.assign(value);
}

void takeFederation(Player& player, const std::string* federation) {
    if (!federation || federation->size() != 3) return;
    if (!std::all_of(federation->begin(), federation->end(), isAsciiLetter)) return;
    player.federation = *federation;
}

Event& findEvent(Tournaments& tournaments, std::string_view name) {
    if (tournaments.lastEvent < tournaments.events.size() &&
        tournaments.events[tournaments.lastEvent].name == name) {
        return tournaments.events[tournaments.lastEvent];
    }
    auto entry = tournaments.eventIndex.find(name);
    if (entry == tournaments.eventIndex.end()) {
        entry = tournaments.eventIndex.emplace(name, tournaments.events.size()).first;
        tournaments.events.emplace_back().name = name;
    }
    tournaments.lastEvent = entry->second;
    return tournaments.events[entry->second];
}

std::uint32_t findPlayer(Event& event, std::string_view name) {
    auto entry = event.playerIndex.find(name);
    if (entry != event.playerIndex.end()) return entry->second;
    auto index = static_cast<std::uint32_t>(event.players.size());
    entry = event.playerIndex.emplace(name, index).first;
    event.players.emplace_back().name = &entry->first;
    return index;
}

void takeSiteAndDate(Event& event, bool firstGame, const GameTags& tags) {
    std::string_view site = visibleOrUnknown(tags.site);
    if (firstGame) {
        event.site = site;
    } else if (event.site != site) {
        event.oneSite = false;
    }
    if (!tags.date || !isDate(*tags.date)) return;
    const std::string& date = *tags.date;
    if (event.firstDate.empty() || date < event.firstDate) event.firstDate = date;
    if (event.lastDate.empty() || date > event.lastDate) event.lastDate = date;
}

// Why a game cannot be shown in a cross table, or empty.
std::string refusal(const GameTags& tags, std::string_view white, std::string_view black) {
    struct Checked {
        const char* tag;
        const std::string* value;
    };
    for (Checked checked :
         {Checked{"Event", tags.event}, Checked{"Site", tags.site}, Checked{"White", tags.white},
          Checked{"Black", tags.black}, Checked{"WhiteTitle", tags.whiteTitle},
          Checked{"BlackTitle", tags.blackTitle}}) {
        if (const char* stop = checked.value ? stopByteIn(*checked.value) : nullptr) {
            return std::string("left out: the ") + checked.tag + " tag holds a " + stop + " byte";
        }
    }
    for (auto [side, tag] : {std::pair{"White", tags.white}, std::pair{"Black", tags.black}}) {
        if (!tag) return std::string("left out: the ") + side + " tag is missing";
        std::string_view name = trimBlanks(*tag);
        if (name.empty()) return std::string("left out: the ") + side + " name is empty";
        if (name == "?") return std::string("left out: the ") + side + " name is \"?\"";
    }
    if (holdsBrace(white)) {
        return "left out: the White name \"" + shortened(white) + "\" holds a brace";
    }
    if (holdsBrace(black)) {
        return "left out: the Black name \"" + shortened(black) + "\" holds a brace";
    }
    if (white == black) {
        return "left out: White and Black are the same player \"" + shortened(white) + "\"";
    }
    return {};
}

}  // namespace

std::string_view eventName(const std::string* event) {
    return visibleOrUnknown(event);
}

std::string_view playerName(const std::string* name) {
    if (!name) return "?";
    std::string_view trimmed = trimBlanks(*name);
    return trimmed.empty() ? "?" : trimmed;
}

GameResult readResult(const std::string* result, bool* valid) {
    if (valid) *valid = true;
    if (!result) return GameResult::NOT_PLAYED;
    std::string_view text = trimBlanks(*result, " \t");
    if (text == "1-0") return GameResult::WHITE_WINS;
    if (text == "0-1") return GameResult::BLACK_WINS;
    if (text == "1/2-1/2" || text == "1/2") return GameResult::DRAW;
    if (valid) *valid = text == "*";
    return GameResult::NOT_PLAYED;
}

std::string shortened(std::string_view text) {
    constexpr int LONGEST = 80;
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A UTF-8 character is one byte that does not continue another.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++characters > LONGEST) return std::string(text.substr(0, i)) + "...";
    }
    return std::string(text);
}

const char* stopByteIn(std::string_view shown) {
    if (shown.find('\0') != std::string_view::npos) return "NUL";
    if (shown.find('\x1A') != std::string_view::npos) return "Ctrl-Z";
    return nullptr;
}

bool holdsBrace(std::string_view name) {
    return name.find_first_of("{}") != std::string_view::npos;
}

std::uint32_t roundNumber(const std::string* round) {
    if (!round) return 0;
    std::string_view text = trimBlanks(*round, " \t");
    text = text.substr(0, text.find('.'));
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) return 0;
    std::uint32_t number = 0;
    for (char c : text) {
        number =
            std::min<std::uint32_t>(number * 10 + static_cast<std::uint32_t>(c - '0'), ROUND_CAP);
    }
    return number;
}

std::string addGame(Tournaments& tournaments, const GameTags& tags) {
    std::string_view white = playerName(tags.white);
    std::string_view black = playerName(tags.black);
    std::string message = refusal(tags, white, black);
    if (!message.empty()) return message;

    Event& event = findEvent(tournaments, eventName(tags.event));
    takeSiteAndDate(event, event.players.empty(), tags);
    std::uint32_t whiteIndex = findPlayer(event, white);
    std::uint32_t blackIndex = findPlayer(event, black);
    Player& whitePlayer = event.players[whiteIndex];
    takeRating(whitePlayer, tags.whiteElo);
    takeTitle(whitePlayer, tags.whiteTitle);
    takeFederation(whitePlayer, tags.whiteFed);
    Player& blackPlayer = event.players[blackIndex];
    takeRating(blackPlayer, tags.blackElo);
    takeTitle(blackPlayer, tags.blackTitle);
    takeFederation(blackPlayer, tags.blackFed);

    bool valid = true;
    GameResult result = readResult(tags.result, &valid);
    std::uint32_t round = roundNumber(tags.round);
    if (round == 0 && !event.roundsUnknown) {
        event.roundsUnknown = true;
        std::vector<GameOrigin>().swap(event.origins);
    }
    event.rounds = std::max(event.rounds, round);
    event.games.push_back({whiteIndex, blackIndex, round, result});
    if (!event.roundsUnknown) event.origins.push_back({tags.fileIndex, tags.number, tags.line});
    if (!valid) return "result \"" + shortened(*tags.result) + "\" is not a result: not counted";
    return {};
}

namespace {

// Points, wins and Sonneborn-Berger scores of every player.
void countScores(const Event& event, Standings& standings) {
    std::size_t count = event.players.size();
    standings.points.assign(count, 0);
    standings.sonneborn.assign(count, 0);
    standings.wins.assign(count, 0);
    std::vector<std::int64_t>& points = standings.points;
    for (const CountedGame& game : event.games) {
        if (game.result == GameResult::NOT_PLAYED) continue;
        std::int64_t whiteQuarters = static_cast<std::int64_t>(game.result) * 2;
        points[game.white] += whiteQuarters;
        points[game.black] += 4 - whiteQuarters;
        if (game.result == GameResult::WHITE_WINS) ++standings.wins[game.white];
        if (game.result == GameResult::BLACK_WINS) ++standings.wins[game.black];
    }
    // A win brings the opponent's points, a draw half of them; points are
    // whole halves, so half of them is still a whole number of quarters.
    for (const CountedGame& game : event.games) {
        if (game.result == GameResult::NOT_PLAYED) continue;
        std::int64_t whiteQuarters = static_cast<std::int64_t>(game.result) * 2;
        standings.sonneborn[game.white] += points[game.black] * whiteQuarters / 4;
        standings.sonneborn[game.black] += points[game.white] * (4 - whiteQuarters) / 4;
    }
}

}  // namespace

void markTieGroups(Standings& standings,
                   const std::function<bool(std::uint32_t, std::uint32_t)>& equal) {
    std::size_t count = standings.order.size();
    standings.position.resize(count);
    standings.firstRow.resize(count);
    standings.lastRow.resize(count);
    for (std::uint32_t row = 0; row < count;) {
        std::uint32_t end = row + 1;
        while (end < count && equal(standings.order[end], standings.order[row])) ++end;
        for (std::uint32_t tied = row; tied < end; ++tied) {
            standings.position[standings.order[tied]] = tied;
            standings.firstRow[tied] = row;
            standings.lastRow[tied] = end - 1;
        }
        row = end;
    }
}

Standings rankPlayers(const Event& event) {
    Standings standings;
    countScores(event, standings);
    std::size_t count = event.players.size();
    std::vector<std::uint32_t>& order = standings.order;
    order.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) order[i] = i;
    auto key = [&standings](std::uint32_t player) {
        return std::make_tuple(standings.points[player], standings.sonneborn[player],
                               standings.wins[player]);
    };
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        auto keyA = key(a);
        auto keyB = key(b);
        if (keyA != keyB) return keyA > keyB;
        return *event.players[a].name < *event.players[b].name;
    });
    standings.columns.push_back({"SB", false, standings.sonneborn});
    markTieGroups(standings, [&](std::uint32_t a, std::uint32_t b) { return key(a) == key(b); });
    return standings;
}

int eventCategory(const Event& event) {
    std::uint64_t sum = 0;
    for (const Player& player : event.players) {
        if (player.rating.empty()) return 0;
        sum += player.ratingValue;
    }
    std::uint64_t count = event.players.size();
    if (count == 0) return 0;
    std::uint64_t average = (2 * sum + count) / (2 * count);
    if (average < 2251) return 0;
    return static_cast<int>(std::min<std::uint64_t>(29, 1 + (average - 2251) / 25));
}
