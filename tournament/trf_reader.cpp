#include "tournament/trf_reader.h"

#include <algorithm>
#include <unordered_map>

#include "frame/ascii.h"

namespace {

// Columns of record 001, counted from 1 as the format does.
constexpr std::size_t START_FROM = 5, START_TO = 8;
constexpr std::size_t TITLE_FROM = 11, TITLE_TO = 13;
constexpr std::size_t NAME_FROM = 15, NAME_TO = 47;
constexpr std::size_t RATING_FROM = 49, RATING_TO = 52;
constexpr std::size_t FEDERATION_FROM = 54, FEDERATION_TO = 56;
constexpr std::size_t POINTS_FROM = 81, POINTS_TO = 84;
// Each round is a block of ten columns from column 92: the opponent's
// start number in its first four, the colour in its sixth, the result in
// its eighth.
constexpr std::size_t FIRST_ROUND = 92;
constexpr std::size_t ROUND_WIDTH = 10;
constexpr std::size_t COLOUR_AT = 5;
constexpr std::size_t RESULT_AT = 7;

constexpr std::string_view RESULT_CODES = "1=0+-WDLHFUZ ";

std::string_view trimmed(std::string_view text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// Columns `from` to `to` of a line, counted from 1, as far as the line goes.
std::string_view columns(std::string_view line, std::size_t from, std::size_t to) {
    if (line.size() < from) return {};
    return line.substr(from - 1, to - from + 1);
}

bool isNumber(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

std::uint32_t numberOf(std::string_view digits) {
    std::uint32_t value = 0;
    for (char c : digits) {
        value = std::min<std::uint32_t>(value * 10 + static_cast<std::uint32_t>(c - '0'), 1000000);
    }
    return value;
}

// "2024-08-01", "2024/08/01" or "2024.08.01" as "2024.08.01"; empty when
// the text is no such date.
std::string dateOf(std::string_view text) {
    text = trimmed(text);
    if (text.size() != 10) return {};
    std::string date(text);
    for (std::size_t i : {4, 7}) {
        if (date[i] != '-' && date[i] != '/' && date[i] != '.') return {};
        date[i] = '.';
    }
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!isDigit(date[i])) return {};
    }
    return date;
}

// Stated points such as "4.0", "3.5" or "3" in quarters; -1 when the text
// is none.
std::int64_t statedQuarters(std::string_view text) {
    std::size_t dot = text.find_first_of(".,");
    std::string_view whole = text.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    if (!isNumber(whole) || (!fraction.empty() && !isNumber(fraction))) return -1;
    fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
    std::int64_t quarters = std::int64_t{numberOf(whole)} * 4;
    if (fraction.empty()) return quarters;
    if (fraction == "25") return quarters + 1;
    if (fraction == "5") return quarters + 2;
    if (fraction == "75") return quarters + 3;
    return -1;
}

std::string quartersText(std::int64_t quarters) {
    static constexpr const char* FRACTIONS[] = {".0", ".25", ".5", ".75"};
    return std::to_string(quarters / 4) + FRACTIONS[quarters % 4];
}

struct PlayerRecord {
    std::uint32_t start = 0;
    long line = 0;
    std::string_view points;
    std::vector<std::uint32_t> opponents;  // start numbers, 0 for none
};

struct TrfState {
    Event& event;
    std::vector<std::string>& messages;
    bool keep = true;
    std::vector<PlayerRecord> records;
    std::vector<std::vector<RoundEntry>> rounds;
    std::uint32_t declaredRounds = 0;

    void fault(long line, const std::string& what) {
        messages.push_back(std::to_string(line) + ": event left out: " + what);
        keep = false;
    }
};

std::string roundText(std::size_t round) {
    return "round " + std::to_string(round + 1) + ": ";
}

void readRounds(TrfState& state, std::string_view line, long number, PlayerRecord& record,
                std::vector<RoundEntry>& rounds) {
    for (std::size_t at = FIRST_ROUND - 1; at < line.size(); at += ROUND_WIDTH) {
        std::size_t round = rounds.size();
        std::string_view block = line.substr(at, ROUND_WIDTH);
        std::string_view opponent = trimmed(block.substr(0, 4));
        if (block.size() < 4 && !opponent.empty()) {
            state.fault(number, roundText(round) + "the record is too short for its fields");
            return;
        }
        RoundEntry entry;
        char colour = block.size() > COLOUR_AT ? block[COLOUR_AT] : ' ';
        entry.code = block.size() > RESULT_AT ? block[RESULT_AT] : ' ';
        if (!opponent.empty() && !isNumber(opponent)) {
            state.fault(number, roundText(round) + "opponent \"" + std::string(opponent) +
                                    "\" is not a start number");
            return;
        }
        if (colour != 'w' && colour != 'b' && colour != '-' && colour != ' ') {
            state.fault(number, roundText(round) + "colour \"" + std::string(1, colour) +
                                    "\" is not w, b or -");
            return;
        }
        if (RESULT_CODES.find(entry.code) == std::string_view::npos) {
            state.fault(number, roundText(round) + "result code \"" + std::string(1, entry.code) +
                                    "\" is not in the list");
            return;
        }
        std::uint32_t start = opponent.empty() ? 0 : numberOf(opponent);
        entry.colour = colour == ' ' ? '-' : colour;
        if (start == 0) {
            // Older files write a bye as a result without an opponent
            // ("0000 - =" for a half-point bye): it scores as that bye.
            std::size_t game = std::string_view("1=0WDL").find(entry.code);
            if (game != std::string_view::npos) entry.code = "FHZFHZ"[game];
        }
        bool bye = entry.code == 'H' || entry.code == 'F' || entry.code == 'U' || entry.code == 'Z';
        if (bye) start = 0;  // a bye is no game, whatever number stands beside it
        record.opponents.push_back(start);
        rounds.push_back(entry);
    }
}

// False, with a message, when a field that the table shows holds a byte
// that tesweb cannot read.
bool showable(TrfState& state, long number, const char* field, std::string_view value) {
    const char* stop = stopByteIn(value);
    if (stop) state.fault(number, std::string(field) + " holds a " + stop + " byte");
    return stop == nullptr;
}

void readPlayer(TrfState& state, std::string_view line, long number) {
    if (line.size() < POINTS_TO) {
        state.fault(number, "the record is too short for its fields");
        return;
    }
    if (!showable(state, number, "the name", columns(line, NAME_FROM, NAME_TO)) ||
        !showable(state, number, "the title", columns(line, TITLE_FROM, TITLE_TO))) {
        return;
    }
    // The name stands in braces in the table: one of its own would end it.
    if (holdsBrace(columns(line, NAME_FROM, NAME_TO))) {
        state.fault(number, "the name holds a brace");
        return;
    }
    std::string_view start = trimmed(columns(line, START_FROM, START_TO));
    if (!isNumber(start) || numberOf(start) == 0) {
        state.fault(number, "start number \"" + std::string(start) + "\" is not a number");
        return;
    }
    Event& event = state.event;
    PlayerRecord& record = state.records.emplace_back();
    record.start = numberOf(start);
    record.line = number;
    record.points = trimmed(columns(line, POINTS_FROM, POINTS_TO));
    Player& player = event.players.emplace_back();
    event.ownNames.emplace_back(trimmed(columns(line, NAME_FROM, NAME_TO)));
    if (event.ownNames.back().empty()) event.ownNames.back() = "?";
    player.title = trimmed(columns(line, TITLE_FROM, TITLE_TO));
    std::string_view federation = trimmed(columns(line, FEDERATION_FROM, FEDERATION_TO));
    if (federation.size() == 3 && std::all_of(federation.begin(), federation.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        })) {
        player.federation = federation;
    }
    std::string_view rating = trimmed(columns(line, RATING_FROM, RATING_TO));
    if (isNumber(rating) && numberOf(rating) != 0) {
        player.ratingValue = numberOf(rating);
        player.rating = std::to_string(player.ratingValue);
    }
    readRounds(state, line, number, record, state.rounds.emplace_back());
}

void readRecord(TrfState& state, std::string_view line, long number) {
    std::string_view type = line.substr(0, 3);
    std::string_view value = line.size() > 4 ? trimmed(line.substr(4)) : std::string_view();
    Event& event = state.event;
    if (type == "001") {
        readPlayer(state, line, number);
    } else if ((type == "012" || type == "022") &&
               !showable(state, number, type == "012" ? "the event name" : "the city", value)) {
        return;
    } else if (type == "012") {
        event.name = value.empty() ? "?" : std::string(value);
    } else if (type == "022") {
        event.site = value.empty() ? "?" : std::string(value);
    } else if (type == "042") {
        event.firstDate = dateOf(value);
    } else if (type == "052") {
        event.lastDate = dateOf(value);
    } else if (type == "XXR") {
        if (!isNumber(value)) {
            state.fault(number, "the XXR record holds no number of rounds");
        } else {
            state.declaredRounds = numberOf(value);
        }
    }
}

// Start numbers become player indices; every two entries of one game must
// tell the same story.
void pairEntries(TrfState& state) {
    std::unordered_map<std::uint32_t, std::uint32_t> index;
    for (std::uint32_t i = 0; i < state.records.size(); ++i) {
        if (!index.emplace(state.records[i].start, i).second) {
            state.fault(
                state.records[i].line,
                "start number " + std::to_string(state.records[i].start) + " is given twice");
            return;
        }
    }
    for (std::uint32_t i = 0; i < state.records.size(); ++i) {
        const PlayerRecord& record = state.records[i];
        for (std::size_t round = 0; round < record.opponents.size(); ++round) {
            std::uint32_t start = record.opponents[round];
            if (start == 0) continue;
            auto found = index.find(start);
            if (found == index.end() || found->second == i) {
                state.fault(record.line, roundText(round) + "opponent " + std::to_string(start) +
                                             " is no player");
                return;
            }
            state.rounds[i][round].opponent = found->second;
        }
    }
    static constexpr std::string_view RESULTS = "1=0+-WDL ";
    static constexpr std::string_view ANSWERS = "0=1-+LDW ";
    for (std::uint32_t i = 0; i < state.records.size(); ++i) {
        for (std::size_t round = 0; round < state.rounds[i].size(); ++round) {
            const RoundEntry& entry = state.rounds[i][round];
            if (entry.opponent == NO_OPPONENT) continue;
            const std::vector<RoundEntry>& theirs = state.rounds[entry.opponent];
            const RoundEntry* other = round < theirs.size() ? &theirs[round] : nullptr;
            std::size_t result = RESULTS.find(entry.code);
            bool agree =
                other && other->opponent == i &&
                (entry.colour == '-' ? other->colour == '-'
                                     : other->colour == (entry.colour == 'w' ? 'b' : 'w')) &&
                result != std::string_view::npos &&
                (other->code == ANSWERS[result] || (entry.code == '-' && other->code == '-'));
            if (!agree) {
                state.fault(state.records[i].line,
                            roundText(round) + "the entries of players " +
                                std::to_string(state.records[i].start) + " and " +
                                std::to_string(state.records[entry.opponent].start) +
                                " do not agree");
                return;
            }
        }
    }
}

void checkPoints(TrfState& state) {
    for (std::uint32_t i = 0; i < state.records.size(); ++i) {
        const PlayerRecord& record = state.records[i];
        std::int64_t computed = 0;
        for (const RoundEntry& entry : state.rounds[i]) computed += roundQuarters(entry.code);
        if (record.points.empty()) continue;
        if (statedQuarters(record.points) == computed) continue;
        state.messages.push_back(
            std::to_string(record.line) + ": player " + std::to_string(record.start) + " \"" +
            shortened(state.event.ownNames[i]) + "\": the record states " +
            std::string(record.points) + " points, the rounds give " + quartersText(computed));
    }
}

}  // namespace

bool trfDecidable(std::string_view start) {
    if (start.starts_with("\xEF\xBB\xBF")) start.remove_prefix(3);
    std::size_t first = start.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && start.size() - first >= 4;
}

bool looksLikeTrf(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return false;
    std::size_t lineStart = text.rfind('\n', first);
    lineStart = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    std::string_view line = text.substr(lineStart);
    return line.size() >= 4 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]) &&
           line[3] == ' ';
}

bool readTrf(std::string_view text, Event& event, std::vector<std::string>& messages) {
    TrfState state{event, messages, true, {}, {}, 0};
    event.fromTrf = true;
    event.name = "?";
    event.site = "?";
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    long number = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.size() >= 3) readRecord(state, line, number);
    }
    if (state.keep) pairEntries(state);
    std::uint32_t most = state.declaredRounds;
    for (const auto& rounds : state.rounds) {
        most = std::max(most, static_cast<std::uint32_t>(rounds.size()));
    }
    if (state.keep && most > MOST_TABLE_ROUNDS) {
        state.fault(number, std::to_string(most) +
                                " rounds: a table line would be longer than tesweb reads");
    }
    if (!state.keep) return false;
    checkPoints(state);
    event.rounds = most;
    if (event.firstDate.empty()) event.firstDate = event.lastDate;
    if (event.lastDate.empty()) event.lastDate = event.firstDate;
    for (std::size_t i = 0; i < event.players.size(); ++i) {
        event.players[i].name = &event.ownNames[i];
    }
    RoundLists& lists = event.trfRounds;
    lists.begin.clear();
    lists.entries.clear();
    for (auto& rounds : state.rounds) {
        lists.begin.push_back(static_cast<std::uint32_t>(lists.entries.size()));
        rounds.resize(most);
        lists.entries.insert(lists.entries.end(), rounds.begin(), rounds.end());
    }
    lists.begin.push_back(static_cast<std::uint32_t>(lists.entries.size()));
    return true;
}
