#include "pgn/game_split.h"

#include "pgn/game_framing.h"

namespace {

constexpr std::size_t NPOS = std::string_view::npos;

// The offset of the first line end (an LF or a CR) at or after `at`, or
// the size.
std::size_t lineEndAt(std::string_view bytes, std::size_t at) {
    const std::size_t end = bytes.find_first_of("\r\n", at);
    return end == NPOS ? bytes.size() : end;
}

bool isBlankLine(std::string_view line) {
    for (char c : line) {
        if (!isBlank(c)) return false;
    }
    return true;
}

// A line that no tag section can hold: no '[' outside brace comments that
// it opens and closes itself. An unclosed '{' may hide anything, so such a
// line does not qualify either.
bool holdsNoTag(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t stop = line.find_first_of("[{", at);
        if (stop == NPOS) return true;
        if (line[stop] == '[') return false;
        at = line.find('}', stop);
        if (at == NPOS) return false;
        ++at;
    }
    return true;
}

bool beginsWithTagPair(std::string_view bytes, std::size_t at, std::size_t lineEnd) {
    const ScanInput in{bytes.data(), lineEnd, true, true};
    return tagPairAt(in, at) > 0;
}

}  // namespace

std::size_t findGameCut(std::string_view bytes, std::size_t& from) {
    // The first line that begins at or after `from`.
    std::size_t at = from;
    if (at > 0 && at < bytes.size() && bytes[at - 1] != '\n' && bytes[at - 1] != '\r') {
        at = lineEndAt(bytes, at);
        if (at == bytes.size()) return NPOS;
        from = ++at;
    }
    bool cleanBefore = false;  // the last line that is not blank holds no tag
    while (at < bytes.size()) {
        const std::size_t end = lineEndAt(bytes, at);
        if (end == bytes.size()) return NPOS;  // the line's end is still to come
        const std::string_view line = bytes.substr(at, end - at);
        if (!isBlankLine(line)) {
            if (cleanBefore && bytes[at] == '[' && beginsWithTagPair(bytes, at, end)) return at;
            cleanBefore = holdsNoTag(line);
            from = at;
        }
        at = end + 1;  // the LF of a CR LF then makes an empty line of its own
    }
    return NPOS;
}

std::size_t lineLength(std::string_view bytes, std::size_t at) {
    std::size_t end = lineEndAt(bytes, at);
    if (end == bytes.size()) return end - at;
    if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
    return end + 1 - at;
}
