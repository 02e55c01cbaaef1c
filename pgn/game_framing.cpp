#include "pgn/game_framing.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "frame/ascii.h"
#include "pgn/byte_class.h"
#include "pgn/tag_section.h"

namespace {

constexpr std::size_t NPOS = std::string_view::npos;

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

bool isTagNameChar(char c) {
    return isDigit(c) || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// How far ahead the search for a CR looks at least: files without CRs then
// cost one search per span, not one per line.
constexpr std::size_t CR_SEARCH_SPAN = 4096;

// lineEndIn where [from, stop) may hold a CR: searches for it, remembers how
// far there is none, and decides whether it ends the line.
std::size_t lineEndWithCr(const ScanInput& in, std::size_t from, std::size_t to, std::size_t stop) {
    const char* data = in.data;
    const std::size_t reach = std::min(in.size, std::max(stop, from + CR_SEARCH_SPAN));
    const void* cr = std::memchr(data + from, '\r', reach - from);
    const std::size_t at =
        cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : reach;
    in.crFrom = from;
    in.crClearTo = at;
    if (at >= stop) return stop;
    if (at + 1 < stop) return at;
    if (stop < to) return stop;  // CR LF
    if (to < in.size) return data[to] == '\n' ? to : at;
    return in.final ? at : to;
}

}  // namespace

void addFault(GameScan& scan, long line, PgnFaultKind kind) {
    scan.faults->push_back({line, kind, 0});
}

// Past the blanks and, at a line start, a byte-order mark; NEED_MORE shows
// as npos.
std::size_t lineContentStart(const ScanInput& in, std::size_t at) {
    std::string_view rest(in.data + at, in.size - at);
    if (!rest.empty() && rest[0] == BYTE_ORDER_MARK[0]) {
        if (rest.size() < BYTE_ORDER_MARK.size() && !in.final) return NPOS;
        if (rest.starts_with(BYTE_ORDER_MARK)) at += BYTE_ORDER_MARK.size();
    }
    while (at < in.size && isBlank(in.data[at])) ++at;
    if (at == in.size && !in.final) return NPOS;
    return at;
}

// The first line end in [from, to), as the offset of its last byte: an LF,
// or a CR that no LF follows (a lone CR); `to` when there is none, or when
// the one CR just before `to` may yet be followed by an LF of bytes to come.
std::size_t lineEndIn(const ScanInput& in, std::size_t from, std::size_t to) {
    const char* data = in.data;
    const void* lf = std::memchr(data + from, '\n', to - from);
    const std::size_t stop =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : to;
    if (in.crFrom <= from && stop <= in.crClearTo) return stop;
    return lineEndWithCr(in, from, to, stop);
}

std::size_t lineEndFrom(const ScanInput& in, std::size_t at) {
    return lineEndIn(in, at, in.size);
}

int tagPairAt(const ScanInput& in, std::size_t at) {
    const char* data = in.data;
    const std::size_t size = in.size;
    auto blanks = [&] {
        while (at < size && isBlank(data[at])) ++at;
    };
    if (at == size) return in.final ? 0 : -1;
    if (data[at++] != '[') return 0;
    blanks();
    const std::size_t name = at;
    while (at < size && isTagNameChar(data[at])) ++at;
    blanks();
    if (at == size) return in.final ? 0 : -1;
    return at > name && data[at] == '"' ? 1 : 0;
}

namespace {

// Characters at which the scan for the end of a game must look closer:
// line ends (for tag lines and '%' lines), comments, variations and the
// characters that termination markers hold.
constexpr std::array<bool, 256> SCAN_STOPS = byteTable("\n\r{();*-/");

// A move in algebraic notation, as far as the first token of a line tells
// it: "e4", "exd5", "Nbd7", "R1a3", "e8=Q", "e8Q", "O-O", "0-0-0", with
// check and annotation marks after it.
bool looksLikeMove(std::string_view token) {
    while (!token.empty() &&
           std::string_view("+#!?").find(token.back()) != std::string_view::npos) {
        token.remove_suffix(1);
    }
    if (token == "O-O" || token == "O-O-O" || token == "0-0" || token == "0-0-0") return true;
    if (!token.empty() && std::string_view("KQRBN").find(token.front()) != std::string_view::npos) {
        token.remove_prefix(1);
    }
    if (token.size() >= 2 &&
        std::string_view("QRBN").find(token.back()) != std::string_view::npos) {
        token.remove_suffix(1);
        if (token.back() == '=') token.remove_suffix(1);
    }
    if (token.size() < 2 || token.size() > 5) return false;
    auto isFile = [](char c) { return c >= 'a' && c <= 'h'; };
    auto isRank = [](char c) { return c >= '1' && c <= '8'; };
    if (!isFile(token[token.size() - 2]) || !isRank(token.back())) return false;
    for (char c : token) {
        if (!isFile(c) && !isRank(c) && c != 'x' && c != '-') return false;
    }
    return true;
}

// The first token of a line outside a game starts a game without tags when
// it is a move number or a move.
bool startsMovetext(std::string_view token) {
    std::size_t digits = 0;
    while (digits < token.size() && isDigit(token[digits])) ++digits;
    if (digits > 0 && digits < token.size() && token[digits] == '.') return true;
    return looksLikeMove(token.substr(0, token.find('.')));
}

// An open comment or variation in the text between games.
struct OpenText {
    long commentLine = -1;  // the line of the open '{', -1 for none
    int depth = 0;          // open variations
    long variationLine = 0;
};

// Reports what is still open where a line that begins with a tag pair, or
// the end of the file, ends it: the comment, else the variation.
void reportOpen(GameScan& scan, const OpenText& open, bool atEnd) {
    if (open.commentLine >= 0) {
        addFault(scan, open.commentLine,
                 atEnd ? PgnFaultKind::COMMENT_OPEN_AT_END : PgnFaultKind::COMMENT_OPEN_AT_TAGS);
    } else if (open.depth > 0) {
        addFault(
            scan, open.variationLine,
            atEnd ? PgnFaultKind::VARIATION_OPEN_AT_END : PgnFaultKind::VARIATION_OPEN_AT_TAGS);
    }
}

// Passes over the rest of a line of text between games from `at`, keeping
// track of comments and variations; gives the offset of its line end (or
// the end of the data).
std::size_t skipTextLine(const ScanInput& in, std::size_t at, long line, OpenText& open) {
    const std::size_t lineEnd = lineEndFrom(in, at);
    while (at < lineEnd) {
        if (open.commentLine >= 0) {
            const void* close = std::memchr(in.data + at, '}', lineEnd - at);
            if (!close) break;
            open.commentLine = -1;
            at = static_cast<std::size_t>(static_cast<const char*>(close) - in.data) + 1;
            continue;
        }
        switch (in.data[at++]) {
            case '{':
                open.commentLine = line;
                break;
            case '(':
                if (open.depth++ == 0) open.variationLine = line;
                break;
            case ')':
                if (open.depth > 0) --open.depth;
                break;
            case ';':
                return lineEnd;
        }
    }
    return lineEnd;
}

// Whether a game begins at `content`, the first text of a line (a '[', a
// move number or a move) or the text after a game's termination marker on
// its line (a '[' only: a game without tags that began there would get its
// added tag lines in the middle of a line); -1 when the bytes that decide
// are still to come.
int startsGameAt(const ScanInput& in, std::size_t content, bool lineStart) {
    if (content == in.size) return 0;
    if (in.data[content] == '[') return 1;
    if (!lineStart) return 0;
    std::size_t tokenEnd = content;
    while (tokenEnd < in.size && !isDelimiter(in.data[tokenEnd])) ++tokenEnd;
    if (tokenEnd == in.size && !in.final) return -1;
    return startsMovetext(std::string_view(in.data + content, tokenEnd - content)) ? 1 : 0;
}

// Skips the text between games up to where the next game starts: a line
// that starts a game, or a tag right after the last game's termination
// marker on its line. A comment or variation opened in this text runs on to
// its end or to a line that begins with a tag pair.
ScanResult findGameStart(GameScan& scan) {
    const ScanInput& in = scan.in;
    std::size_t at = 0;
    long lines = 0;
    bool lineStart = in.atLineStart;
    OpenText open;
    auto gameAt = [&](std::size_t begin) {
        scan.bounds.begin = begin;
        scan.bounds.linesBefore = lines;
        return ScanResult::GAME;
    };
    for (;;) {
        if (at == in.size && in.final) {
            reportOpen(scan, open, true);
            return ScanResult::NO_GAME;
        }
        std::size_t content = at;
        if (lineStart) {
            content = lineContentStart(in, at);
        } else {
            while (content < in.size && isBlank(in.data[content])) ++content;
            if (content == in.size && !in.final) content = NPOS;
        }
        if (content == NPOS) return ScanResult::NEED_MORE;
        std::size_t begin = content;
        if (lineStart) {
            begin = at;
            if (std::string_view(in.data + at, in.size - at).starts_with(BYTE_ORDER_MARK)) {
                begin += BYTE_ORDER_MARK.size();
            }
        }
        if (open.commentLine >= 0 || open.depth > 0) {
            const int pair = tagPairAt(in, content);
            if (pair < 0) return ScanResult::NEED_MORE;
            if (pair > 0) {
                reportOpen(scan, open, false);
                return gameAt(begin);
            }
        } else {
            const int game = startsGameAt(in, content, lineStart);
            if (game < 0) return ScanResult::NEED_MORE;
            if (game > 0) return gameAt(begin);
        }
        const bool escaped = lineStart && at < in.size && in.data[at] == '%';
        at = escaped ? lineEndFrom(in, at) : skipTextLine(in, content, lines, open);
        if (at == in.size) {
            if (!in.final) return ScanResult::NEED_MORE;
            continue;
        }
        ++at;
        ++lines;
        lineStart = true;
    }
}

// Whether the termination marker `wanted` stands at `begin` as a token of
// its own: the offset after it, 0 for no marker, npos when the bytes that
// decide are still to come.
std::size_t markerAt(const GameScan& scan, std::size_t begin, std::string_view wanted) {
    const ScanInput& in = scan.in;
    if (begin < scan.bounds.begin) return 0;
    if (begin > scan.bounds.begin && !isDelimiter(in.data[begin - 1])) return 0;
    std::size_t end = begin + wanted.size();
    if (end > in.size) {
        if (in.final) return 0;
        std::size_t have = in.size - begin;
        return std::string_view(in.data + begin, have) == wanted.substr(0, have) ? NPOS : 0;
    }
    if (std::string_view(in.data + begin, wanted.size()) != wanted) return 0;
    if (end == in.size) return in.final ? end : NPOS;
    return isDelimiter(in.data[end]) ? end : 0;
}

// Whether the termination marker character at `at` ('*', '-' or '/',
// outside variations) completes a marker: its end, 0 for none, npos when
// the bytes after it are still to come.
std::size_t markerThrough(const GameScan& scan, std::size_t at) {
    switch (scan.in.data[at]) {
        case '*':
            return markerAt(scan, at, "*");
        case '-':
            if (at == 0) return 0;
            if (std::size_t end = markerAt(scan, at - 1, "1-0")) return end;
            return markerAt(scan, at - 1, "0-1");
        case '/':
            if (at == 0) return 0;
            if (std::size_t end = markerAt(scan, at - 1, "1/2-1/2")) return end;
            return markerAt(scan, at - 1, "1/2");
    }
    return 0;
}

// The first termination marker in [from, to), text without comments or
// variations: the offset of its '*', '-' or '/' with its end in `markerEnd`,
// or `to`. Only the few characters a marker holds are looked at, each found
// with memchr: a line of moves is passed over at memchr's speed.
std::size_t findMarker(const GameScan& scan, std::size_t from, std::size_t to,
                       std::size_t& markerEnd) {
    const char* data = scan.in.data;
    constexpr char MARKS[] = {'*', '-', '/'};
    std::size_t next[3];
    auto find = [&](int mark, std::size_t at) {
        const void* found = std::memchr(data + at, MARKS[mark], to - at);
        next[mark] = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : to;
    };
    for (int mark = 0; mark < 3; ++mark) find(mark, from);
    for (;;) {
        int first = 0;
        if (next[1] < next[first]) first = 1;
        if (next[2] < next[first]) first = 2;
        std::size_t at = next[first];
        if (at == to) return to;
        markerEnd = markerThrough(scan, at);
        if (markerEnd != 0) return at;
        find(first, at + 1);
    }
}

bool holdsCommentOrVariation(const char* text, std::size_t length) {
    return std::memchr(text, '{', length) || std::memchr(text, '(', length) ||
           std::memchr(text, ';', length);
}

enum class CommentEnd { CLOSED, AT_TAGS, AT_END, NEED_MORE };

// How far ahead the search for the '}' of a comment looks at first; a
// longer comment is passed line by line, so that no comment costs more than
// its own length and this much.
constexpr std::size_t COMMENT_WINDOW = 4096;

// The offset of the first `c` in [from, to), or `to`.
std::size_t findByte(const ScanInput& in, char c, std::size_t from, std::size_t to) {
    const void* found = std::memchr(in.data + from, c, to - from);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - in.data) : to;
}

// Past the brace comment whose '{' is at `at`: after its '}', or at the
// start of the first line inside it that begins with a tag pair, or at the
// end of the file; counts its line ends into `lines`.
CommentEnd passComment(const ScanInput& in, std::size_t& at, long& lines) {
    std::size_t from = at + 1;
    const std::size_t window = std::min(in.size, from + COMMENT_WINDOW);
    std::size_t close = findByte(in, '}', from, window);
    bool closeKnown = close < window;  // else no '}' stands before `window`
    for (;;) {
        const std::size_t end = lineEndIn(in, from, closeKnown ? close : in.size);
        if (!closeKnown) {
            close = findByte(in, '}', std::min(std::max(from, window), end), end);
            closeKnown = close < end;
        }
        if (closeKnown && close <= end) break;
        if (end == in.size) {
            if (!in.final) return CommentEnd::NEED_MORE;
            at = in.size;
            return CommentEnd::AT_END;
        }
        ++lines;
        from = end + 1;
        const std::size_t content = lineContentStart(in, from);
        if (content == NPOS) return CommentEnd::NEED_MORE;
        const int pair = tagPairAt(in, content);
        if (pair < 0) return CommentEnd::NEED_MORE;
        if (pair > 0) {
            at = from;
            return CommentEnd::AT_TAGS;
        }
    }
    at = close + 1;
    return CommentEnd::CLOSED;
}

// The state of the scan for the end of a game.
struct EndScan {
    std::size_t at = 0;
    long lines = 0;  // line ends from the game's first byte
    int depth = 0;   // open variations
    long variationLine = 0;
    bool lineStart = true;  // the rest of the line has not been looked at as a whole
};

ScanResult finishGame(GameScan& scan, const EndScan& state, std::size_t end, bool endsLine) {
    scan.bounds.end = end;
    scan.bounds.linesInGame = state.lines;
    scan.bounds.endsLine = endsLine;
    return ScanResult::GAME;
}

// The game runs to the end of the bytes: the end of the file, or more bytes
// are needed.
ScanResult gameAtEnd(GameScan& scan, const EndScan& state) {
    const ScanInput& in = scan.in;
    if (!in.final) return ScanResult::NEED_MORE;
    if (state.depth > 0) {
        addFault(scan, scan.bounds.linesBefore + state.variationLine,
                 PgnFaultKind::VARIATION_OPEN_AT_END);
    }
    const bool endsLine = in.size == 0 || isLineEnd(in.data[in.size - 1]);
    return finishGame(scan, state, in.size, endsLine);
}

// After the termination marker that ends at `markerEnd`: the game takes the
// rest of the line when that is only blank, else it ends at the marker.
ScanResult gameAfterMarker(GameScan& scan, EndScan& state, std::size_t markerEnd) {
    const ScanInput& in = scan.in;
    std::size_t after = markerEnd;
    while (after < in.size && isBlank(in.data[after])) ++after;
    if (after == in.size) return gameAtEnd(scan, state);
    if (in.data[after] == '\r') {
        if (after + 1 == in.size && !in.final) return ScanResult::NEED_MORE;
        if (after + 1 < in.size && in.data[after + 1] == '\n') ++after;
    } else if (in.data[after] != '\n') {
        return finishGame(scan, state, markerEnd, false);
    }
    ++state.lines;
    return finishGame(scan, state, after + 1, true);
}

// At the start of a line within the movetext, at `at`: whether it ends the
// game (a line that begins with '['), and past a '%' line.
bool lineEndsGame(GameScan& scan, EndScan& state, std::size_t content) {
    const ScanInput& in = scan.in;
    if (content < in.size && in.data[content] == '[') {
        if (state.depth > 0) {
            addFault(scan, scan.bounds.linesBefore + state.variationLine,
                     PgnFaultKind::VARIATION_OPEN_AT_TAGS);
        }
        return true;
    }
    if (state.at < in.size && in.data[state.at] == '%') state.at = lineEndFrom(in, state.at);
    return false;
}

// What the scan for the end of a game does at a stop character.
enum class StopStep {
    PASSED,  // went past it (a line end, a comment, a bracket)
    ENDED,   // the game ends there, or more bytes are needed: `result` holds which
    MARKER,  // a character that termination markers hold
};

// Passes the line end at `state.at` (an LF or a lone CR; a CR of a CR LF is
// passed on its own) and looks at the line after it.
StopStep passLineEnd(GameScan& scan, EndScan& state, ScanResult& result) {
    const ScanInput& in = scan.in;
    std::size_t& at = state.at;
    if (in.data[at] == '\r') {
        if (at + 1 == in.size && !in.final) {
            result = ScanResult::NEED_MORE;
            return StopStep::ENDED;
        }
        if (at + 1 < in.size && in.data[at + 1] == '\n') {
            ++at;
            return StopStep::PASSED;
        }
    }
    ++at;
    ++state.lines;
    state.lineStart = true;
    const std::size_t content = lineContentStart(in, at);
    if (content == NPOS) {
        result = ScanResult::NEED_MORE;
        return StopStep::ENDED;
    }
    if (!lineEndsGame(scan, state, content)) return StopStep::PASSED;
    result = finishGame(scan, state, at, true);
    return StopStep::ENDED;
}

// Passes the brace comment at `state.at`; one that a tag line or the end
// of the file ends is a fault and ends the game.
StopStep passGameComment(GameScan& scan, EndScan& state, ScanResult& result) {
    const long line = scan.bounds.linesBefore + state.lines;
    switch (passComment(scan.in, state.at, state.lines)) {
        case CommentEnd::CLOSED:
            return StopStep::PASSED;
        case CommentEnd::NEED_MORE:
            result = ScanResult::NEED_MORE;
            break;
        case CommentEnd::AT_TAGS:
            addFault(scan, line, PgnFaultKind::COMMENT_OPEN_AT_TAGS);
            result = finishGame(scan, state, state.at, true);
            break;
        case CommentEnd::AT_END:
            addFault(scan, line, PgnFaultKind::COMMENT_OPEN_AT_END);
            state.depth = 0;
            result = gameAtEnd(scan, state);
            break;
    }
    return StopStep::ENDED;
}

StopStep passStop(GameScan& scan, EndScan& state, ScanResult& result) {
    std::size_t& at = state.at;
    switch (scan.in.data[at]) {
        case '\r':
        case '\n':
            return passLineEnd(scan, state, result);
        case '{':
            return passGameComment(scan, state, result);
        case ';':
            at = lineEndFrom(scan.in, at);
            return StopStep::PASSED;
        case '(':
            if (state.depth++ == 0) state.variationLine = state.lines;
            ++at;
            return StopStep::PASSED;
        case ')':
            if (state.depth > 0) --state.depth;
            ++at;
            return StopStep::PASSED;
    }
    return StopStep::MARKER;
}

// Finds the end of the movetext: a termination marker outside comments and
// variations, a line that begins with '[', or the end of the file. A
// comment still open at a line that begins with a tag pair ends there.
ScanResult findGameEnd(GameScan& scan) {
    const ScanInput& in = scan.in;
    const char* data = in.data;
    EndScan state;
    std::size_t& at = state.at;
    at = scan.bounds.movetext;
    state.lines = scan.bounds.linesToMovetext;
    const bool firstColumn = at == scan.bounds.begin || isLineEnd(data[at - 1]);
    if (firstColumn && at < in.size && data[at] == '%') at = lineEndFrom(in, at);
    for (;;) {
        std::size_t markerEnd = 0;
        if (state.lineStart && state.depth == 0) {
            // Most lines hold moves only: then only a marker can end the game.
            state.lineStart = false;
            const std::size_t lineEnd = lineEndFrom(in, at);
            if (!holdsCommentOrVariation(data + at, lineEnd - at)) {
                at = findMarker(scan, at, lineEnd, markerEnd);
            }
        }
        if (markerEnd == 0) {
            // data[size] is a stop (the reader's sentinel): no bounds check here.
            while (!SCAN_STOPS[static_cast<unsigned char>(data[at])]) ++at;
            if (at >= in.size) return gameAtEnd(scan, state);
            ScanResult result = ScanResult::NEED_MORE;
            const StopStep step = passStop(scan, state, result);
            if (step == StopStep::ENDED) return result;
            if (step == StopStep::PASSED) continue;
            if (state.depth == 0) markerEnd = markerThrough(scan, at);
            if (markerEnd == 0) {
                ++at;
                continue;
            }
        }
        if (markerEnd == NPOS) return ScanResult::NEED_MORE;
        return gameAfterMarker(scan, state, markerEnd);
    }
}

}  // namespace

ScanResult scanGame(GameScan& scan) {
    ScanResult result = findGameStart(scan);
    if (result != ScanResult::GAME) return result;
    scan.faultsBefore = scan.faults->size();
    result = readTagSection(scan);
    if (result == ScanResult::GAME) result = findGameEnd(scan);
    return result;
}
