#include "naming/opening_statistics.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string_view>
#include <utility>

#include "book/opening_listing.h"
#include "frame/ascii.h"

namespace {

enum GameResult { NO_RESULT, WHITE_WINS, DRAW, BLACK_WINS };

GameResult resultOf(const PgnGame& game) {
    const std::string* tag = game.tag("Result");
    if (!tag) return NO_RESULT;
    std::string_view value = *tag;
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    if (value == "1-0") return WHITE_WINS;
    if (value == "0-1") return BLACK_WINS;
    if (value == "1/2-1/2" || value == "1/2") return DRAW;
    return NO_RESULT;
}

// A rating as a positive whole number that fits 32 bits; 0 for anything
// else (a missing tag, "?", "-", "0", "2100.5").
std::uint64_t ratingOf(const PgnGame& game, std::string_view name) {
    const std::string* tag = game.tag(name);
    if (!tag || tag->empty() || tag->size() > 10) return 0;
    std::uint64_t rating = 0;
    for (char c : *tag) {
        if (!isDigit(c)) return 0;
        rating = rating * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return rating <= std::numeric_limits<std::uint32_t>::max() ? rating : 0;
}

void addCounts(OpeningCounts& into, const OpeningCounts& from) {
    into.games += from.games;
    into.white += from.white;
    into.draws += from.draws;
    into.black += from.black;
    into.ratedGames += from.ratedGames;
    into.ratingSum += from.ratingSum;
}

struct Row {
    std::string eco;
    std::string name;
    OpeningCounts counts;
};

}  // namespace

void startTally(OpeningTally& tally, const OpeningBook& book) {
    tally.slots.assign(static_cast<std::size_t>(book.positionCount) + 1, OpeningCounts{});
}

void countGame(OpeningTally& tally, std::int32_t index, const PgnGame& game) {
    const GameResult result = resultOf(game);
    if (result == NO_RESULT) return;
    OpeningCounts& counts = tally.slots[static_cast<std::size_t>(index + 1)];
    ++counts.games;
    ++(result == WHITE_WINS ? counts.white : result == DRAW ? counts.draws : counts.black);
    const std::uint64_t white = ratingOf(game, "WhiteElo");
    const std::uint64_t black = ratingOf(game, "BlackElo");
    if (white > 0 && black > 0) {
        ++counts.ratedGames;
        counts.ratingSum += white + black;
    }
}

void addTally(OpeningTally& tally, const OpeningTally& part) {
    if (tally.slots.size() < part.slots.size()) tally.slots.resize(part.slots.size());
    for (std::size_t i = 0; i < part.slots.size(); ++i) addCounts(tally.slots[i], part.slots[i]);
}

std::string scoreText(const OpeningCounts& counts) {
    // Tenths of a percent of the half points: 1000 * (2 white + draws) / (2 games).
    const std::uint64_t halfPoints = 2 * counts.white + counts.draws;
    const std::uint64_t tenths = (halfPoints * 1000 + counts.games) / (2 * counts.games);
    return std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10);
}

std::string ratingText(const OpeningCounts& counts) {
    if (counts.ratedGames == 0) return {};
    // sum / (2 games) + 1/2, rounded down.
    return std::to_string((counts.ratingSum + counts.ratedGames) / (2 * counts.ratedGames));
}

std::string statisticsTable(const OpeningTally& tally, const OpeningBook& book) {
    // Positions that share code and name make one opening.
    std::map<std::pair<std::string, std::string>, OpeningCounts> openings;
    for (std::size_t slot = 0; slot < tally.slots.size(); ++slot) {
        if (tally.slots[slot].games == 0) continue;
        std::pair<std::string, std::string> key("?", "?");
        if (slot > 0) {
            OpeningName name = openingNameAt(book, static_cast<std::int32_t>(slot - 1));
            key = {std::move(name.eco), oneLineName(std::move(name.name))};
        }
        addCounts(openings[key], tally.slots[slot]);
    }
    std::vector<Row> rows;
    for (auto& [key, counts] : openings) rows.push_back({key.first, key.second, counts});
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.counts.games > b.counts.games; });
    std::string out = "eco\topening\tgames\twhite\tdraws\tblack\tscore\telo\n";
    for (const Row& row : rows) {
        const OpeningCounts& c = row.counts;
        out += row.eco + '\t' + row.name + '\t' + std::to_string(c.games) + '\t' +
               std::to_string(c.white) + '\t' + std::to_string(c.draws) + '\t' +
               std::to_string(c.black) + '\t' + scoreText(c) + '\t' + ratingText(c) + '\n';
    }
    return out;
}
