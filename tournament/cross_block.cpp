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
        if (game.result == GameResult::NOT_PLAYED) continue;
        ++lists.begin[game.white + 1];
        ++lists.begin[game.black + 1];
    }
    for (std::size_t i = 0; i < count; ++i) lists.begin[i + 1] += lists.begin[i];
    std::vector<std::uint32_t> next(lists.begin.begin(), lists.begin.end() - 1);
    lists.games.resize(lists.begin[count]);
    for (const CountedGame& game : event.games) {
        if (game.result == GameResult::NOT_PLAYED) continue;
        char whiteResult = "0=1"[static_cast<int>(game.result)];
        char blackResult = "1=0"[static_cast<int>(game.result)];
        lists.games[next[game.white]++] = {standings.position[game.black], whiteResult};
        lists.games[next[game.black]++] = {standings.position[game.white], blackResult};
    }
    return lists;
}

// The games of TRF rounds: every round with an opponent, forfeits as '+'
// and '-', games not rated as rated ones.
GameLists listRoundGames(const RoundLists& rounds, const Standings& standings) {
    GameLists lists;
    std::size_t count = rounds.begin.size() - 1;
    lists.begin.assign(count + 1, 0);
    for (std::size_t player = 0; player < count; ++player) {
        lists.begin[player] = static_cast<std::uint32_t>(lists.games.size());
        for (std::uint32_t i = rounds.begin[player]; i < rounds.begin[player + 1]; ++i) {
            const RoundEntry& entry = rounds.entries[i];
            std::size_t code = std::string_view("1=0+-WDL").find(entry.code);
            if (entry.opponent == NO_OPPONENT || code == std::string_view::npos) continue;
            lists.games.push_back({standings.position[entry.opponent], "1=0+-1=0"[code]});
        }
    }
    lists.begin[count] = static_cast<std::uint32_t>(lists.games.size());
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

// tesweb takes any of the four cells after the name for a title, a flag or
// a rating when it reads as one. The cells after the optional columns that
// fall among those four must not: one that begins with a number from 1000
// to 3000 (an opponent's row) gets its first digit as a character
// reference, which the page shows the same.
struct CandidateGuard {
    int left = 0;

    explicit CandidateGuard(const Columns& columns)
        : left(4 - columns.title - columns.federation - columns.rating) {}

    void check(std::string& out, std::size_t cellStart) {
        if (left <= 0) return;
        --left;
        std::size_t digits = cellStart;
        std::int64_t value = 0;
        for (; digits < out.size() && isDigitChar(out[digits]) && value <= 3000; ++digits) {
            value = value * 10 + (out[digits] - '0');
        }
        if (value < 1000 || value > 3000) return;
        std::string reference = "&#" + std::to_string(static_cast<int>(out[cellStart])) + ";";
        out.replace(cellStart, 1, reference);
    }

    static bool isDigitChar(char c) { return c >= '0' && c <= '9'; }
};

// One cell per player of the event: '*' on the diagonal, the results
// against that opponent in the order of the games, or '|' when they never
// met. `games` are the player's games sorted by the opponent's row.
void appendGridCells(std::string& out, const std::vector<PlayerGame>& games, std::uint32_t row,
                     std::uint32_t count, CandidateGuard& guard) {
    std::uint32_t column = 0;
    // Cells up to `end`: '*' on the diagonal, '|' against players not met.
    auto emptyCellsTo = [&](std::uint32_t end) {
        while (column < end) {
            if (column == row) {
                out += " *";
                ++column;
                --guard.left;
                continue;
            }
            std::uint32_t stop = row > column && row < end ? row : end;
            appendNotMet(out, stop - column);
            guard.left -= static_cast<int>(std::min<std::uint32_t>(stop - column, 4));
            column = stop;
        }
    };
    for (auto game = games.begin(); game != games.end();) {
        emptyCellsTo(game->opponentRow);
        out += ' ';
        std::size_t cellStart = out.size();
        for (; game != games.end() && game->opponentRow == column; ++game) {
            if (game->result == '=') {
                out += "&frac12;";
            } else {
                out += game->result;
            }
        }
        guard.check(out, cellStart);
        ++column;
    }
    emptyCellsTo(count);
}

void appendValue(std::string& out, const ValueColumn& column, std::uint32_t player,
                 CandidateGuard& guard) {
    out += ' ';
    std::size_t cellStart = out.size();
    std::int64_t value = column.values[player];
    if (value == NO_VALUE) {
        out += '|';
    } else if (column.whole) {
        out += std::to_string(value);
    } else {
        appendQuarters(out, value);
    }
    guard.check(out, cellStart);
}

// Points and the tie-break columns.
void appendScores(std::string& out, const Standings& standings, std::uint32_t player,
                  CandidateGuard& guard) {
    out += ' ';
    std::size_t cellStart = out.size();
    appendQuarters(out, standings.points[player]);
    guard.check(out, cellStart);
    for (const ValueColumn& column : standings.columns) appendValue(out, column, player, guard);
    out += '\n';
}

void appendGridRow(std::string& out, const Event& event, const Standings& standings,
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
    CandidateGuard guard(columns);
    appendGridCells(out, games, row, static_cast<std::uint32_t>(standings.order.size()), guard);
    appendScores(out, standings, index, guard);
}

// A round of a Swiss table: the opponent's row, the colour and the result
// of a game; '+' or '-' for a forfeit; "-1", "-&frac12;" or "-0" for a
// round without an opponent.
void appendRoundCell(std::string& out, const RoundEntry& entry, const Standings& standings) {
    char code = entry.code;
    bool opponent = entry.opponent != NO_OPPONENT;
    bool pairing = opponent && std::string_view("1=0WDL+- *").find(code) != std::string_view::npos;
    if (pairing) {
        out += std::to_string(standings.position[entry.opponent] + 1);
        if (entry.colour == 'w' || entry.colour == 'b') out += entry.colour;
    }
    switch (code) {
        case '1':
        case 'W':
            out += '1';
            break;
        case '=':
        case 'D':
            out += "&frac12;";
            break;
        case '0':
        case 'L':
            out += '0';
            break;
        case '+':
        case '-':
            out += code;
            break;
        case 'U':
        case 'F':
            out += "-1";
            break;
        case 'H':
            out += "-&frac12;";
            break;
        default:
            if (!pairing) out += "-0";  // 'Z', no entry
            break;
    }
}

void appendSwissRow(std::string& out, const Event& event, const Standings& standings,
                    const Columns& columns, const RoundLists& rounds, std::uint32_t row) {
    std::uint32_t index = standings.order[row];
    appendRankAndName(out, event.players[index], standings, columns, row);
    CandidateGuard guard(columns);
    for (std::uint32_t i = rounds.begin[index]; i < rounds.begin[index + 1]; ++i) {
        out += ' ';
        std::size_t cellStart = out.size();
        appendRoundCell(out, rounds.entries[i], standings);
        guard.check(out, cellStart);
    }
    appendScores(out, standings, index, guard);
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
            case '\'':
                out += "&#39;";
                break;
            case '"':
                out += "&quot;";
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
void appendCommandLine(std::string& block, const Event& event, std::size_t columnCount,
                       bool category) {
    block += "cross cols=" + std::to_string(columnCount);
    if (int number = category ? eventCategory(event) : 0; number != 0) {
        block += " cat=" + std::to_string(number);
    }
    block += '\n';
}

void appendHeadingLine(std::string& block, const Columns& columns, std::size_t cells,
                       const Standings& standings) {
    block += "No Name";
    if (columns.title) block += " Ti";
    if (columns.federation) block += " Fed";
    if (columns.rating) block += " Rtg";
    for (std::size_t number = 1; number <= cells; ++number) {
        block += ' ';
        block += std::to_string(number);
    }
    block += " Pts";
    for (const ValueColumn& column : standings.columns) {
        block += ' ';
        block += column.heading;
    }
    block += '\n';
}

std::size_t optionalCount(const Columns& columns) {
    return (columns.title ? 1 : 0) + (columns.federation ? 1 : 0) + (columns.rating ? 1 : 0);
}

// The block's first three lines; false, naming the line, when one is too
// long.
bool appendBlockHead(std::string& block, const Event& event, const Standings& standings,
                     const Columns& columns, std::size_t cells, bool grid, std::string* longLine) {
    appendCommandLine(block, event, 3 + optionalCount(columns) + cells + standings.columns.size(),
                      grid);
    std::size_t lineStart = block.size();
    appendEventLine(block, event);
    if (!lastLineFits(block, lineStart)) {
        if (longLine) *longLine = "the event line";
        return false;
    }
    lineStart = block.size();
    appendHeadingLine(block, columns, cells, standings);
    if (!lastLineFits(block, lineStart)) {
        if (longLine) *longLine = "the column headings";
        return false;
    }
    return true;
}

void nameRow(std::string* longLine, const Event& event, const Standings& standings,
             std::uint32_t row) {
    if (longLine) {
        *longLine = "the row of \"" + shortened(*event.players[standings.order[row]].name) + "\"";
    }
}

bool writeGrid(const Event& event, const Standings& standings, const GameLists& lists,
               std::string& block, std::string* longLine) {
    std::size_t blockStart = block.size();
    Columns columns = optionalColumns(event);
    std::size_t count = event.players.size();
    bool fits = appendBlockHead(block, event, standings, columns, count, true, longLine);
    std::vector<PlayerGame> games;
    for (std::uint32_t row = 0; fits && row < count; ++row) {
        std::size_t lineStart = block.size();
        appendGridRow(block, event, standings, columns, lists, row, games);
        fits = lastLineFits(block, lineStart);
        if (!fits) nameRow(longLine, event, standings, row);
    }
    if (!fits) block.resize(blockStart);
    return fits;
}

}  // namespace

bool writeCrossBlock(const Event& event, std::string& block, std::string* longLine) {
    // The head comes first: an event too large for tesweb is left out before
    // it is ranked.
    Standings headings;
    headings.columns.push_back({"SB", false, {}});
    std::size_t blockStart = block.size();
    bool fits = appendBlockHead(block, event, headings, optionalColumns(event),
                                event.players.size(), true, longLine);
    block.resize(blockStart);
    if (!fits) return false;
    Standings standings = rankPlayers(event);
    return writeGrid(event, standings, listGames(event, standings), block, longLine);
}

bool writeGridBlock(const Event& event, const Standings& standings, std::string& block,
                    std::string* longLine) {
    GameLists lists =
        event.fromTrf ? listRoundGames(event.trfRounds, standings) : listGames(event, standings);
    return writeGrid(event, standings, lists, block, longLine);
}

bool writeSwissBlock(const Event& event, const Standings& standings, const RoundLists& rounds,
                     std::uint32_t roundCount, std::string& block, std::string* longLine) {
    std::size_t blockStart = block.size();
    Columns columns = optionalColumns(event);
    bool fits = appendBlockHead(block, event, standings, columns, roundCount, false, longLine);
    auto count = static_cast<std::uint32_t>(event.players.size());
    for (std::uint32_t row = 0; fits && row < count; ++row) {
        std::size_t lineStart = block.size();
        appendSwissRow(block, event, standings, columns, rounds, row);
        fits = lastLineFits(block, lineStart);
        if (!fits) nameRow(longLine, event, standings, row);
    }
    if (!fits) block.resize(blockStart);
    return fits;
}
