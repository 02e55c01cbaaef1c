#include "pgn/movetext.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "frame/ascii.h"
#include "pgn/byte_class.h"

namespace {

bool isTerminationMarker(std::string_view token) {
    return token == "1-0" || token == "0-1" || token == "1/2-1/2" || token == "*" || token == "1/2";
}

void addLines(long& line, std::ptrdiff_t count) {
    line = count < std::numeric_limits<long>::max() - line ? line + static_cast<long>(count)
                                                           : std::numeric_limits<long>::max();
}

// A CR ends a line of its own unless an LF follows it (then the LF does).
bool isLoneCr(const char* at, const char* end) {
    return *at == '\r' && (at + 1 == end || at[1] != '\n');
}

// The line ends in [at, end): every LF and every lone CR.
std::ptrdiff_t countLineEnds(const char* at, const char* end) {
    std::ptrdiff_t count = std::count(at, end, '\n');
    const char* cr = at;
    while ((cr = static_cast<const char*>(
                std::memchr(cr, '\r', static_cast<std::size_t>(end - cr)))) != nullptr) {
        if (isLoneCr(cr, end)) ++count;
        ++cr;
    }
    return count;
}

// Past a brace comment that begins at `at`, counting its line ends.
const char* skipComment(const char* at, const char* end, long& line) {
    const void* close = std::memchr(at, '}', static_cast<std::size_t>(end - at));
    const char* stop = close ? static_cast<const char*>(close) : end;
    addLines(line, countLineEnds(at, stop));
    return close ? stop + 1 : end;
}

// The byte that ends the line of `at` (its LF or lone CR), or `end`.
const char* skipToLineEnd(const char* at, const char* end) {
    const void* lf = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
    const char* stop = lf ? static_cast<const char*>(lf) : end;
    const void* cr = std::memchr(at, '\r', static_cast<std::size_t>(stop - at));
    if (cr && static_cast<const char*>(cr) + 1 < stop) return static_cast<const char*>(cr);
    if (cr && stop == end) return static_cast<const char*>(cr);
    return stop;
}

// Past the line end at `at` (an LF or a lone CR), and a '%' line after it.
const char* passLineEnd(MovetextCursor& cursor, const char* at) {
    addLines(cursor.line, 1);
    ++at;
    if (at < cursor.end && *at == '%') at = skipToLineEnd(at, cursor.end);
    return at;
}

// Past blanks and line ends, and the '%' lines that begin after them.
const char* skipSpace(MovetextCursor& cursor, const char* at) {
    while (at < cursor.end) {
        char c = *at;
        if (c == '\n' || (c == '\r' && isLoneCr(at, cursor.end))) {
            at = passLineEnd(cursor, at);
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') {
            ++at;
        } else {
            break;
        }
    }
    return at;
}

// Past a variation that begins at `at`, with the variations inside it.
const char* skipVariation(MovetextCursor& cursor, const char* at) {
    int depth = 0;
    while (at < cursor.end) {
        at = skipSpace(cursor, at);
        if (at == cursor.end) break;
        switch (*at) {
            case '(':
                ++depth;
                ++at;
                break;
            case ')':
                ++at;
                if (--depth == 0) return at;
                break;
            case '{':
                at = skipComment(at + 1, cursor.end, cursor.line);
                break;
            case ';':
                at = skipToLineEnd(at, cursor.end);
                break;
            default:
                ++at;
        }
    }
    return at;
}

// The move in the token [begin, tokenEnd), or an empty view for a token
// that is no move (a move number, a NAG, a mark). `marker` is set at a
// termination marker.
std::string_view moveOfToken(const char* begin, const char* tokenEnd, bool& marker) {
    char c = *begin;
    if (isDigit(c)) {
        const char* digitsEnd = begin + 1;
        while (digitsEnd < tokenEnd && isDigit(*digitsEnd)) ++digitsEnd;
        if (digitsEnd == tokenEnd) return {};  // a move number without its dot
        if (*digitsEnd == '.') {
            begin = digitsEnd;  // a move number, perhaps with its move: "12.e4"
        } else if (isTerminationMarker({begin, tokenEnd})) {
            marker = true;
            return {};
        }
    } else if (c == '*' && tokenEnd == begin + 1) {
        marker = true;
        return {};
    }
    while (begin < tokenEnd && *begin == '.') ++begin;
    const char* moveEnd = tokenEnd;
    while (moveEnd > begin && (moveEnd[-1] == '!' || moveEnd[-1] == '?')) --moveEnd;
    std::string_view token(begin, static_cast<std::size_t>(moveEnd - begin));
    if (token.empty() || token.front() == '$' || token == "e.p.") return {};
    return token;
}

}  // namespace

MovetextCursor movetextCursor(std::string_view text, std::size_t movetext, long line) {
    const char* begin = text.data();
    return {begin + movetext, begin + text.size(), line, begin};
}

bool nextMove(MovetextCursor& cursor, std::string_view& move, long& line) {
    const char* at = cursor.at;
    const char* end = cursor.end;
    if (at < end && *at == '%' && (at == cursor.textBegin || at[-1] == '\n' || (at[-1] == '\r'))) {
        at = skipToLineEnd(at, end);
    }
    while (at < end) {
        char c = *at;
        if (!isDelimiter(c)) {
            const char* begin = at;
            while (at < end && !isDelimiter(*at)) ++at;
            bool marker = false;
            std::string_view token = moveOfToken(begin, at, marker);
            if (marker) break;
            if (token.empty()) continue;
            cursor.at = at;
            move = token;
            line = cursor.line;
            return true;
        }
        switch (c) {
            case '\n':
                at = passLineEnd(cursor, at);
                break;
            case '\r':
                at = isLoneCr(at, end) ? passLineEnd(cursor, at) : at + 1;
                break;
            case '{':
                at = skipComment(at + 1, end, cursor.line);
                break;
            case ';':
                at = skipToLineEnd(at, end);
                break;
            case '(':
                at = skipVariation(cursor, at);
                break;
            default:  // blanks, and stray closing brackets
                ++at;
        }
    }
    cursor.at = end;
    return false;
}
