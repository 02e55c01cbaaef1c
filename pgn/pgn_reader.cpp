#include "pgn/pgn_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>

#include "frame/ascii.h"
#include "frame/platform.h"

namespace {

constexpr std::array<bool, 256> tableOf(std::string_view members) {
    std::array<bool, 256> table{};
    for (unsigned char c : members) table[c] = true;
    return table;
}

// Characters that end a token of movetext. A termination marker counts only
// as a token of its own, so that "e4*" or "2.1-0" is not the end of a game.
constexpr std::array<bool, 256> DELIMITERS = tableOf(" \t\r\n\v\f{}();[]");

// Characters at which the scan for the end of a game must look closer:
// line ends (for tag lines and '%' lines), comments, variations and the
// characters that termination markers hold.
constexpr std::array<bool, 256> SCAN_STOPS = tableOf("\n{();*-/");

// Where a tag's name and value end. Both tables hold '\n', so that the
// sentinel after the data stops the loops that use them.
constexpr std::array<bool, 256> NAME_STOPS = tableOf(" \t\r\n\v\f{}();[]\"");
constexpr std::array<bool, 256> VALUE_STOPS = tableOf("\"\\\n");

bool isDelimiter(char c) {
    return DELIMITERS[static_cast<unsigned char>(c)];
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

bool isTerminationMarker(std::string_view token) {
    return token == "1-0" || token == "0-1" || token == "1/2-1/2" || token == "*" || token == "1/2";
}

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

// The bytes that the scan of one game looks at: the buffer from the first
// byte not yet delivered, and whether the stream has more.
struct ScanInput {
    const char* data;
    std::size_t size;
    bool final;        // nothing follows `data`
    bool atLineStart;  // data[0] begins a line
};

enum class ScanResult { GAME, NO_GAME, NEED_MORE };

// Where the scan found the next game, in offsets from ScanInput::data, and
// the line ends before each boundary.
struct GameBounds {
    std::size_t begin = 0;
    std::size_t movetext = 0;
    std::size_t end = 0;
    long linesBefore = 0;  // line ends before `begin`
    long linesToMovetext = 0;
    long linesInGame = 0;
    bool endsLine = true;  // `end` begins a line
};

// The scan of one game. Any step that runs into the end of the buffer before
// the end of the stream gives NEED_MORE, and the reader starts the scan over
// with more bytes.
struct GameScan {
    ScanInput in;
    GameBounds bounds;
    std::vector<PgnTag>* tags;
    std::size_t tagCount = 0;
};

// Past the blanks and, at a line start, a byte-order mark; NEED_MORE shows
// as npos.
std::size_t lineContentStart(const ScanInput& in, std::size_t at) {
    std::string_view rest(in.data + at, in.size - at);
    if (!rest.empty() && rest[0] == BYTE_ORDER_MARK[0]) {
        if (rest.size() < BYTE_ORDER_MARK.size() && !in.final) return std::string_view::npos;
        if (rest.starts_with(BYTE_ORDER_MARK)) at += BYTE_ORDER_MARK.size();
    }
    while (at < in.size && isBlank(in.data[at])) ++at;
    if (at == in.size && !in.final) return std::string_view::npos;
    return at;
}

std::size_t lineEndFrom(const ScanInput& in, std::size_t at) {
    const void* found = std::memchr(in.data + at, '\n', in.size - at);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - in.data) : in.size;
}

// Reads the quoted value that starts after the opening quote at `at`; gives
// the offset after the closing quote (or of the line end).
std::size_t readTagValue(const char* data, std::size_t at, std::string& value) {
    std::size_t stop = at;
    while (!VALUE_STOPS[static_cast<unsigned char>(data[stop])]) ++stop;
    value.assign(data + at, stop - at);
    while (data[stop] == '\\') {
        char next = data[stop + 1];
        if (next == '"' || next == '\\') {
            value.push_back(next);
            stop += 2;
        } else {
            value.push_back('\\');
            stop += 1;
        }
        at = stop;
        while (!VALUE_STOPS[static_cast<unsigned char>(data[stop])]) ++stop;
        value.append(data + at, stop - at);
    }
    return data[stop] == '"' ? stop + 1 : stop;
}

// Reads the tag pairs of the line that begins at `lineBegin`, from its '['
// at `from` on; sets `lineEnd` to the offset of the line's '\n' (or the end
// of the data) and gives the offset of the first text on the line that is
// not a tag pair, or lineEnd.
std::size_t readTagLine(GameScan& scan, std::size_t lineBegin, std::size_t from,
                        std::size_t& lineEnd) {
    const char* data = scan.in.data;
    const std::size_t base = scan.bounds.begin;
    const std::size_t firstTag = scan.tagCount;
    std::size_t at = from;
    for (;;) {
        while (isBlank(data[at]) || data[at] == '\r') ++at;
        if (data[at] != '[') break;
        std::size_t pairBegin = at++;
        while (isBlank(data[at])) ++at;
        std::size_t nameBegin = at;
        while (!NAME_STOPS[static_cast<unsigned char>(data[at])]) ++at;
        if (scan.tagCount == scan.tags->size()) scan.tags->emplace_back();
        PgnTag& tag = (*scan.tags)[scan.tagCount++];
        std::string_view name(data + nameBegin, at - nameBegin);
        if (tag.name != name) tag.name.assign(name);  // games of a file mostly repeat their tags
        while (isBlank(data[at])) ++at;
        if (data[at] == '"') {
            at = readTagValue(data, at + 1, tag.value);
        } else {
            tag.value.clear();
        }
        while (data[at] != ']' && data[at] != '\n') ++at;
        if (data[at] == ']') ++at;
        tag.pairBegin = pairBegin - base;
        tag.pairEnd = at - base;
    }
    lineEnd = data[at] == '\n' ? std::min(at, scan.in.size) : lineEndFrom(scan.in, at);
    std::size_t end = lineEnd < scan.in.size ? lineEnd + 1 : lineEnd;
    for (std::size_t i = firstTag; i < scan.tagCount; ++i) {
        (*scan.tags)[i].lineBegin = lineBegin - base;
        (*scan.tags)[i].lineEnd = end - base;
    }
    return at;
}

// Skips the text between games up to the first line that starts a game.
ScanResult findGameStart(GameScan& scan) {
    const ScanInput& in = scan.in;
    std::size_t at = 0;
    long lines = 0;
    if (!in.atLineStart) {
        at = lineEndFrom(in, 0);
        if (at == in.size) return in.final ? ScanResult::NO_GAME : ScanResult::NEED_MORE;
        ++at;
        ++lines;
    }
    for (;;) {
        if (at == in.size) return in.final ? ScanResult::NO_GAME : ScanResult::NEED_MORE;
        std::size_t content = lineContentStart(in, at);
        if (content == std::string_view::npos) return ScanResult::NEED_MORE;
        std::size_t begin = at;
        if (std::string_view(in.data + at, in.size - at).starts_with(BYTE_ORDER_MARK)) {
            begin += BYTE_ORDER_MARK.size();
        }
        std::size_t tokenEnd = content;
        while (tokenEnd < in.size && !isDelimiter(in.data[tokenEnd])) ++tokenEnd;
        if (tokenEnd == in.size && !in.final) return ScanResult::NEED_MORE;
        std::string_view token(in.data + content, tokenEnd - content);
        if ((content < in.size && in.data[content] == '[') || startsMovetext(token)) {
            scan.bounds.begin = begin;
            scan.bounds.linesBefore = lines;
            return ScanResult::GAME;
        }
        at = lineEndFrom(in, content);
        if (at == in.size) return in.final ? ScanResult::NO_GAME : ScanResult::NEED_MORE;
        ++at;
        ++lines;
    }
}

// Reads the tag section that begins the game, if any, and sets where the
// movetext begins.
ScanResult readTagSection(GameScan& scan) {
    const ScanInput& in = scan.in;
    std::size_t at = scan.bounds.begin;
    std::size_t content = lineContentStart(in, at);
    if (content == std::string_view::npos) return ScanResult::NEED_MORE;
    long lines = 0;
    while (content < in.size && in.data[content] == '[') {
        std::size_t lineEnd = 0;
        std::size_t rest = readTagLine(scan, at, content, lineEnd);
        if (lineEnd == in.size && !in.final) return ScanResult::NEED_MORE;
        if (rest < lineEnd || lineEnd == in.size) {
            at = rest;
            break;
        }
        at = lineEnd + 1;
        ++lines;
        content = at;
        while (content < in.size && isBlank(in.data[content])) ++content;
        if (content == in.size && !in.final) return ScanResult::NEED_MORE;
    }
    scan.bounds.movetext = at;
    scan.bounds.linesToMovetext = lines;
    return ScanResult::GAME;
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
        return std::string_view(in.data + begin, have) == wanted.substr(0, have)
                   ? std::string_view::npos
                   : 0;
    }
    if (std::string_view(in.data + begin, wanted.size()) != wanted) return 0;
    if (end == in.size) return in.final ? end : std::string_view::npos;
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

// Finds the end of the movetext: a termination marker outside comments and
// variations, a line that begins with '[', or the end of the file.
ScanResult findGameEnd(GameScan& scan) {
    const ScanInput& in = scan.in;
    const char* data = in.data;
    const std::size_t size = in.size;
    std::size_t at = scan.bounds.movetext;
    long lines = scan.bounds.linesToMovetext;
    int depth = 0;
    bool lineStart = true;  // the rest of the line has not been looked at as a whole
    bool firstColumn = at == scan.bounds.begin || data[at - 1] == '\n';
    if (firstColumn && at < size && data[at] == '%') at = lineEndFrom(in, at);
    auto finish = [&](std::size_t end, bool endsLine) {
        scan.bounds.end = end;
        scan.bounds.linesInGame = lines;
        scan.bounds.endsLine = endsLine;
        return ScanResult::GAME;
    };
    auto atEnd = [&]() {
        return in.final ? finish(size, size == 0 || data[size - 1] == '\n') : ScanResult::NEED_MORE;
    };
    for (;;) {
        std::size_t markerEnd = 0;
        if (lineStart && depth == 0) {
            // Most lines hold moves only: then only a marker can end the game.
            lineStart = false;
            std::size_t lineEnd = lineEndFrom(in, at);
            if (!holdsCommentOrVariation(data + at, lineEnd - at)) {
                at = findMarker(scan, at, lineEnd, markerEnd);
            }
        }
        if (markerEnd == 0) {
            // data[size] is a stop (the reader's sentinel): no bounds check here.
            while (!SCAN_STOPS[static_cast<unsigned char>(data[at])]) ++at;
            if (at >= size) return atEnd();
            switch (data[at]) {
                case '\n': {
                    ++at;
                    ++lines;
                    lineStart = true;
                    std::size_t content = lineContentStart(in, at);
                    if (content == std::string_view::npos) return ScanResult::NEED_MORE;
                    if (content < size && data[content] == '[') return finish(at, true);
                    if (at < size && data[at] == '%') at = lineEndFrom(in, at);
                    continue;
                }
                case '{': {
                    const void* close = std::memchr(data + at + 1, '}', size - at - 1);
                    if (!close && !in.final) return ScanResult::NEED_MORE;
                    std::size_t stop =
                        close ? static_cast<std::size_t>(static_cast<const char*>(close) - data)
                              : size;
                    lines += std::count(data + at, data + stop, '\n');
                    if (!close) return atEnd();
                    at = stop + 1;
                    continue;
                }
                case ';':
                    at = lineEndFrom(in, at);
                    continue;
                case '(':
                    ++depth;
                    ++at;
                    continue;
                case ')':
                    if (depth > 0) --depth;
                    ++at;
                    continue;
            }
            if (depth == 0) markerEnd = markerThrough(scan, at);
            if (markerEnd == 0) {
                ++at;
                continue;
            }
        }
        if (markerEnd == std::string_view::npos) return ScanResult::NEED_MORE;
        std::size_t after = markerEnd;
        while (after < size && (isBlank(data[after]) || data[after] == '\r')) ++after;
        if (after == size) return atEnd();
        if (data[after] == '\n') {
            ++lines;
            return finish(after + 1, true);
        }
        return finish(markerEnd, false);
    }
}

// Finds the next game in the bytes at hand.
ScanResult scanGame(GameScan& scan) {
    ScanResult result = findGameStart(scan);
    if (result != ScanResult::GAME) return result;
    result = readTagSection(scan);
    if (result != ScanResult::GAME) return result;
    return findGameEnd(scan);
}

// Makes room for more bytes and reads them: the bytes not yet delivered move
// to the front of the buffer, which doubles when less than a block is free.
// A buffer that cannot grow ends the reading as a read error does.
void refill(PgnReader& reader) {
    std::size_t kept = reader.filled - reader.next;
    std::size_t block = std::max<std::size_t>(reader.blockSize, 1);
    if (reader.capacity - kept < block) {
        std::size_t capacity = std::max(2 * reader.capacity, kept + 2 * block);
        std::unique_ptr<char[]> grown;
        if (kept + block <= reader.maxBuffer) {
            capacity = std::min(capacity, reader.maxBuffer);
            grown.reset(new (std::nothrow) char[capacity + 1]);
        }
        if (!grown) {
            reader.readError = true;
            reader.streamEnded = true;
            return;
        }
        if (kept > 0) std::memcpy(grown.get(), reader.buffer.get() + reader.next, kept);
        reader.buffer = std::move(grown);
        reader.capacity = capacity;
    } else if (reader.next > 0 && kept > 0) {
        std::memmove(reader.buffer.get(), reader.buffer.get() + reader.next, kept);
    }
    reader.next = 0;
    reader.filled = kept;
    // All the room there is: a game larger than the buffer is then scanned
    // again only after each doubling, a bounded number of times per byte.
    std::size_t wanted = reader.capacity - kept;
    std::size_t got = std::fread(reader.buffer.get() + kept, 1, wanted, reader.stream);
    reader.filled += got;
    reader.buffer[reader.filled] = '\n';  // the sentinel that ends the scan of a movetext
    if (got < wanted) {
        reader.streamEnded = true;
        if (std::ferror(reader.stream)) reader.readError = true;
    }
}

// A line number as the games and moves give it: `long`, which Windows
// holds in 32 bits; a file of more lines (tens of gigabytes) shows its
// later lines as the largest number instead of wrapping around.
long lineNumber(std::int64_t line) {
    return static_cast<long>(std::min<std::int64_t>(line, std::numeric_limits<long>::max()));
}

void resetReader(PgnReader& reader) {
    reader.readError = false;
    reader.consumed = 0;
    reader.filled = 0;
    reader.next = 0;
    reader.line = 1;
    reader.games = 0;
    reader.atLineStart = true;
    reader.streamEnded = false;
    reader.finished = false;
}

}  // namespace

const std::string* PgnGame::tag(std::string_view name) const {
    for (const PgnTag& pair : tags) {
        if (pair.name == name) return &pair.value;
    }
    return nullptr;
}

bool openPgn(PgnReader& reader, const std::string& name) {
    if (name == "-") {
        setBinaryMode(stdin);
        openPgnStream(reader, stdin, name);
        return true;
    }
    if (isDirectory(name)) return false;
    std::FILE* stream = std::fopen(name.c_str(), "rb");
    if (!stream) return false;
    openPgnStream(reader, stream, name);
    reader.ownsStream = true;
    return true;
}

void openPgnStream(PgnReader& reader, std::FILE* stream, const std::string& name) {
    reader.name = name;
    reader.stream = stream;
    reader.ownsStream = false;
    resetReader(reader);
}

void closePgn(PgnReader& reader) {
    if (reader.stream && reader.ownsStream) std::fclose(reader.stream);
    reader.stream = nullptr;
    reader.ownsStream = false;
}

bool nextGame(PgnReader& reader, PgnGame& game) {
    game.text = {};
    game.skipped = {};
    if (reader.finished) return false;
    GameScan scan{};
    scan.tags = &game.tags;
    ScanResult result;
    for (;;) {
        scan.in = {reader.buffer.get() + reader.next, reader.filled - reader.next,
                   reader.streamEnded, reader.atLineStart};
        scan.bounds = {};
        scan.tagCount = 0;
        if (!reader.buffer) scan.in.data = "\n";
        result = scanGame(scan);
        if (result != ScanResult::NEED_MORE) break;
        refill(reader);
    }
    const char* data = scan.in.data;
    if (result == ScanResult::NO_GAME) {
        game.tags.clear();
        game.skipped = std::string_view(data, scan.in.size);
        reader.consumed += scan.in.size;
        reader.next = reader.filled;
        reader.finished = true;
        return false;
    }
    const GameBounds& bounds = scan.bounds;
    game.tags.resize(scan.tagCount);
    for (PgnTag& tag : game.tags) {  // a game that ends on its tag line: "[A "x"] 1-0 words"
        tag.lineEnd = std::min(tag.lineEnd, bounds.end - bounds.begin);
    }
    game.skipped = std::string_view(data, bounds.begin);
    game.text = std::string_view(data + bounds.begin, bounds.end - bounds.begin);
    game.number = ++reader.games;
    std::int64_t firstLine = reader.line + bounds.linesBefore;
    game.firstLine = lineNumber(firstLine);
    game.movetext = bounds.movetext - bounds.begin;
    game.movetextLine = lineNumber(firstLine + bounds.linesToMovetext);
    reader.line = firstLine + bounds.linesInGame;
    reader.next += bounds.end;
    reader.consumed += bounds.end;
    reader.atLineStart = bounds.endsLine;
    return true;
}

MovetextCursor movetextOf(const PgnGame& game) {
    const char* begin = game.text.data();
    return {begin + game.movetext, begin + game.text.size(), game.movetextLine, begin};
}

namespace {

void addLines(long& line, std::ptrdiff_t count) {
    line = count < std::numeric_limits<long>::max() - line ? line + static_cast<long>(count)
                                                           : std::numeric_limits<long>::max();
}

// Past a brace comment that begins at `at`, counting its line ends.
const char* skipComment(const char* at, const char* end, long& line) {
    const void* close = std::memchr(at, '}', static_cast<std::size_t>(end - at));
    const char* stop = close ? static_cast<const char*>(close) : end;
    addLines(line, std::count(at, stop, '\n'));
    return close ? stop + 1 : end;
}

const char* skipToLineEnd(const char* at, const char* end) {
    const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
    return found ? static_cast<const char*>(found) : end;
}

// Past blanks and line ends, and the '%' lines that begin after them.
const char* skipSpace(MovetextCursor& cursor, const char* at) {
    while (at < cursor.end) {
        char c = *at;
        if (c == '\n') {
            addLines(cursor.line, 1);
            ++at;
            if (at < cursor.end && *at == '%') at = skipToLineEnd(at, cursor.end);
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

}  // namespace

bool nextMove(MovetextCursor& cursor, std::string_view& move, long& line) {
    const char* at = cursor.at;
    const char* end = cursor.end;
    if (at < end && *at == '%' && (at == cursor.textBegin || at[-1] == '\n')) {
        at = skipToLineEnd(at, end);
    }
    while (at < end) {
        char c = *at;
        if (!isDelimiter(c)) {
            const char* begin = at;
            const char* tokenEnd = at + 1;
            while (tokenEnd < end && !isDelimiter(*tokenEnd)) ++tokenEnd;
            at = tokenEnd;
            if (isDigit(c)) {
                const char* digitsEnd = begin + 1;
                while (digitsEnd < tokenEnd && isDigit(*digitsEnd)) ++digitsEnd;
                if (digitsEnd == tokenEnd) continue;  // a move number without its dot
                if (*digitsEnd == '.') {
                    begin = digitsEnd;  // a move number, perhaps with its move: "12.e4"
                } else if (isTerminationMarker({begin, tokenEnd})) {
                    break;
                }
            } else if (c == '*' && tokenEnd == begin + 1) {
                break;
            }
            while (begin < tokenEnd && *begin == '.') ++begin;
            const char* moveEnd = tokenEnd;
            while (moveEnd > begin && (moveEnd[-1] == '!' || moveEnd[-1] == '?')) --moveEnd;
            std::string_view token(begin, static_cast<std::size_t>(moveEnd - begin));
            if (token.empty() || token.front() == '$' || token == "e.p.") continue;
            cursor.at = at;
            move = token;
            line = cursor.line;
            return true;
        }
        switch (c) {
            case '\n':
                addLines(cursor.line, 1);
                ++at;
                if (at < end && *at == '%') at = skipToLineEnd(at, end);
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
