#include "tournament/cross_block.h"

#include <algorithm>
#include <vector>

namespace {

// One game of a player, seen from the player: the opponent's row and the
// result character '1', '0' or '=', in the order of the games.
struct PlayerGame {
    std::uint32_t opponentRow;
    char result;
};

// Each player's games, in the order of the file, one slice per player.
struct GameLists {
    std::vector<std::uint32_t> begin;  // by player, into `games`; one more at the end
    std::vector<PlayerGame> games;
};

GameLists listGames(const Event& event, const Standings& standings) {
    GameLists lists;
    std::size_t count = event.players.size();
    lists.begin.assign(count + 1, 0);
    for (const CountedGame& game : event.games) {
        ++lists.begin[game.white + 1];
        ++lists.begin[game.black + 1];
    }
    for (std::size_t i = 0; i < count; ++i) lists.begin[i + 1] += lists.begin[i];
    std::vector<std::uint32_t> next(lists.begin.begin(), lists.begin.end() - 1);
    lists.games.resize(event.games.size() * 2);
    for (const CountedGame& game : event.games) {
        char whiteResult = "0=1"[static_cast<int>(game.result)];
        char blackResult = "1=0"[static_cast<int>(game.result)];
        lists.games[next[game.white]++] = {standings.position[game.black], whiteResult};
        lists.games[next[game.black]++] = {standings.position[game.white], blackResult};
    }
    return lists;
}

// A title is shown as it was written, but it has to stay one cell: braces
// become character references, and a title with blanks or a leading '|' is
// put in braces.
void appendTitleCell(std::string& out, std::string_view title) {
    std::string cell;
    for (char c : title) {
        if (c == '{') {
            cell += "&#123;";
        } else if (c == '}') {
            cell += "&#125;";
        } else {
            appendHtmlText(cell, std::string_view(&c, 1));
        }
    }
    bool oneWord = title.front() != '|' && std::none_of(title.begin(), title.end(), [](char c) {
                       return static_cast<unsigned char>(c) <= 32;
                   });
    if (oneWord) {
        out += cell;
    } else {
        out += '{';
        out += cell;
        out += '}';
    }
}

void appendOptional(std::string& out, bool column, const std::string& value, bool title) {
    if (!column) return;
    out += ' ';
    if (value.empty()) {
        out += '|';
    } else if (title) {
        appendTitleCell(out, value);
    } else {
        out += value;
    }
}

void appendEventLine(std::string& out, const Event& event) {
    appendHtmlText(out, event.name);
    if (event.oneSite && event.site != "?") {
        out += ", ";
        appendHtmlText(out, event.site);
    }
    if (!event.firstDate.empty()) {
        out += ", ";
        out += event.firstDate;
        if (event.lastDate != event.firstDate) {
            out += " - ";
            out += event.lastDate;
        }
    }
    out += '\n';
}

struct Columns {
    bool title = false;
    bool federation = false;
    bool rating = false;
};

Columns optionalColumns(const Event& event) {
    Columns columns;
    for (const Player& player : event.players) {
        columns.title = columns.title || !player.title.empty();
        columns.federation = columns.federation || !player.federation.empty();
        columns.rating = columns.rating || !player.rating.empty();
    }
    return columns;
}

// Appends `count` cells " |" at once: most cells of a large event are empty.
void appendNotMet(std::string& out, std::size_t count) {
    static const std::string MANY = [] {
        std::string cells;
        for (int i = 0; i < 256; ++i) cells += " |";
        return cells;
    }();
    for (; count > 0;) {
        std::size_t now = std::min(count, MANY.size() / 2);
        out.append(MANY, 0, 2 * now);
        count -= now;
    }
}

// The rank ("3", or "2-4" for a shared one), the name in braces and the
// title, federation and rating cells the event has columns for.
void appendRankAndName(std::string& out, const Player& player, const Standings& standings,
                       const Columns& columns, std::uint32_t row) {
    out += std::to_string(standings.firstRow[row] + 1);
    if (standings.lastRow[row] != standings.firstRow[row]) {
        out += '-';
        out += std::to_string(standings.lastRow[row] + 1);
    }
    out += " {";
    appendHtmlText(out, *player.name);
    out += '}';
    appendOptional(out, columns.title, player.title, true);
    appendOptional(out, columns.federation, player.federation, false);
    appendOptional(out, columns.rating, player.rating, false);
}

// One cell per player of the event: '*' on the diagonal, the results
// against that opponent in the order of the games, or '|' when they never
// met. `games` are the player's games sorted by the opponent's row.
void appendGridCells(std::string& out, const std::vector<PlayerGame>& games, std::uint32_t row,
                     std::uint32_t count) {
    std::uint32_t column = 0;
    // Cells up to `end`: '*' on the diagonal, '|' against players not met.
    auto emptyCellsTo = [&](std::uint32_t end) {
        while (column < end) {
            if (column == row) {
                out += " *";
                ++column;
                continue;
            }
            std::uint32_t stop = row > column && row < end ? row : end;
            appendNotMet(out, stop - column);
            column = stop;
        }
    };
    for (auto game = games.begin(); game != games.end();) {
        emptyCellsTo(game->opponentRow);
        out += ' ';
        for (; game != games.end() && game->opponentRow == column; ++game) {
            if (game->result == '=') {
                out += "&frac12;";
            } else {
                out += game->result;
            }
        }
        ++column;
    }
    emptyCellsTo(count);
}

void appendPlayerRow(std::string& out, const Event& event, const Standings& standings,
                     const Columns& columns, const GameLists& lists, std::uint32_t row,
                     std::vector<PlayerGame>& games) {
    std::uint32_t index = standings.order[row];
    appendRankAndName(out, event.players[index], standings, columns, row);
    // The games against one opponent stay in the order of the file.
    games.assign(lists.games.begin() + lists.begin[index],
                 lists.games.begin() + lists.begin[index + 1]);
    std::stable_sort(games.begin(), games.end(), [](const PlayerGame& a, const PlayerGame& b) {
        return a.opponentRow < b.opponentRow;
    });
    appendGridCells(out, games, row, static_cast<std::uint32_t>(standings.order.size()));
    out += ' ';
    appendQuarters(out, standings.points[index]);
    out += ' ';
    appendQuarters(out, standings.sonneborn[index]);
    out += '\n';
}

bool lastLineFits(const std::string& out, std::size_t lineStart) {
    return out.size() - lineStart - 1 <= LONGEST_BLOCK_LINE;
}

}  // namespace

void appendHtmlText(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
}

void appendQuarters(std::string& out, std::int64_t quarters) {
    static constexpr const char* FRACTIONS[] = {"", "&frac14;", "&frac12;", "&frac34;"};
    std::int64_t whole = quarters / 4;
    if (whole != 0 || quarters == 0) out += std::to_string(whole);
    out += FRACTIONS[quarters % 4];
}

namespace {

// "cross cols=N", with " cat=C" when the event has a category.
void appendCommandLine(std::string& block, const Event& event, const Columns& columns) {
    std::size_t columnCount = 4 + event.players.size() + (columns.title ? 1 : 0) +
                              (columns.federation ? 1 : 0) + (columns.rating ? 1 : 0);
    block += "cross cols=" + std::to_string(columnCount);
    if (int category = eventCategory(event); category != 0) {
        block += " cat=" + std::to_string(category);
    }
    block += '\n';
}

void appendHeadingLine(std::string& block, const Columns& columns, std::size_t count) {
    block += "No Name";
    if (columns.title) block += " Ti";
    if (columns.federation) block += " Fed";
    if (columns.rating) block += " Rtg";
    for (std::size_t number = 1; number <= count; ++number) {
        block += ' ';
        block += std::to_string(number);
    }
    block += " Pts SB\n";
}

}  // namespace

bool writeCrossBlock(const Event& event, std::string& block) {
    std::size_t blockStart = block.size();
    Columns columns = optionalColumns(event);
    std::size_t count = event.players.size();
    appendCommandLine(block, event, columns);

    std::size_t lineStart = block.size();
    appendEventLine(block, event);
    bool fits = lastLineFits(block, lineStart);

    lineStart = block.size();
    appendHeadingLine(block, columns, count);
    fits = fits && lastLineFits(block, lineStart);

    if (fits) {
        Standings standings = rankPlayers(event);
        GameLists lists = listGames(event, standings);
        std::vector<PlayerGame> games;
        for (std::uint32_t row = 0; fits && row < count; ++row) {
            lineStart = block.size();
            appendPlayerRow(block, event, standings, columns, lists, row, games);
            fits = lastLineFits(block, lineStart);
        }
    }
    if (!fits) block.resize(blockStart);
    return fits;
}
