#include "pgn/tag_section.h"
#include "pgn/byte_class.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>

namespace {

constexpr std::size_t NPOS = std::string_view::npos;

// Where a tag's name and value end. Both tables hold '\n', so that the
// sentinel after the data stops the loops that use them.
constexpr std::array<bool, 256> NAME_STOPS = byteTable(" \t\r\n\v\f{}();[]\"");
constexpr std::array<bool, 256> VALUE_STOPS = byteTable("\"\\\r\n");

// Reads the quoted value that starts after the opening quote at `at`: up to
// the first unescaped quote that blanks and ']' follow. Gives the offset
// after that quote with `closed` set, or that of the line end.
std::size_t readTagValue(const char* data, std::size_t at, std::string& value, bool& closed) {
    bool first = true;
    for (;;) {
        std::size_t stop = at;
        while (!VALUE_STOPS[static_cast<unsigned char>(data[stop])]) ++stop;
        if (first) {
            value.assign(data + at, stop - at);
            first = false;
        } else {
            value.append(data + at, stop - at);
        }
        const char c = data[stop];
        if (c == '\\') {
            const char next = data[stop + 1];
            const bool escape = next == '"' || next == '\\';
            value.push_back(escape ? next : '\\');
            at = stop + (escape ? 2 : 1);
        } else if (c == '"') {
            std::size_t after = stop + 1;
            while (isBlank(data[after])) ++after;
            if (data[after] == ']') {
                closed = true;
                return stop + 1;
            }
            value.push_back('"');
            at = stop + 1;
        } else {
            // Not closed on its line: a ']' at its end closes the pair all
            // the same (`[White "A]` holds `A`).
            closed = false;
            while (!value.empty() && isBlank(value.back())) value.pop_back();
            if (!value.empty() && value.back() == ']') value.pop_back();
            return stop;
        }
    }
}

// Reads the tag pairs of the line that begins at `lineBegin`, from its '['
// at `from` on; sets `lineEnd` to the offset of the line's end (or the end
// of the data) and gives the offset of the first text on the line that is
// not a tag pair, or lineEnd. `whole` tells whether every pair is whole.
std::size_t readTagLine(GameScan& scan, std::size_t lineBegin, std::size_t from,
                        std::size_t& lineEnd, bool& whole) {
    const char* data = scan.in.data;
    const std::size_t base = scan.bounds.begin;
    const std::size_t firstTag = scan.tagCount;
    std::size_t at = from;
    whole = true;
    for (;;) {
        while (isBlank(data[at]) ||
               (data[at] == '\r' && at + 1 < scan.in.size && data[at + 1] == '\n'))
            ++at;
        if (data[at] != '[') break;
        const std::size_t pairBegin = at++;
        while (isBlank(data[at])) ++at;
        const std::size_t nameBegin = at;
        while (!NAME_STOPS[static_cast<unsigned char>(data[at])]) ++at;
        if (scan.tagCount == scan.tags->size()) scan.tags->emplace_back();
        PgnTag& tag = (*scan.tags)[scan.tagCount++];
        const std::string_view name(data + nameBegin, at - nameBegin);
        if (tag.name != name) tag.name.assign(name);  // games of a file mostly repeat their tags
        while (isBlank(data[at])) ++at;
        bool closed = false;
        if (data[at] == '"') {
            at = readTagValue(data, at + 1, tag.value, closed);
        } else {
            tag.value.clear();
        }
        while (data[at] != ']' && !isLineEnd(data[at])) ++at;
        if (data[at] == ']') ++at;
        tag.whole = closed && !name.empty();
        whole &= tag.whole;
        tag.pairBegin = pairBegin - base;
        tag.pairEnd = at - base;
    }
    // Most tag lines end right after their last pair.
    if (data[at] == '\n' && at < scan.in.size) {
        lineEnd = at;
    } else if (data[at] == '\r' && data[at + 1] == '\n' && at + 1 < scan.in.size) {
        lineEnd = at + 1;
    } else {
        lineEnd = lineEndFrom(scan.in, at);
    }
    const std::size_t end = lineEnd < scan.in.size ? lineEnd + 1 : lineEnd;
    for (std::size_t i = firstTag; i < scan.tagCount; ++i) {
        (*scan.tags)[i].lineBegin = lineBegin - base;
        (*scan.tags)[i].lineEnd = end - base;
    }
    return at;
}

// Past the blank lines at `at`: the offset of the first line that is not
// blank, with the lines passed over added to `lines`; npos when the bytes
// that decide are still to come.
std::size_t pastBlankLines(const ScanInput& in, std::size_t at, long& lines) {
    for (;;) {
        std::size_t content = at;
        while (content < in.size && isBlank(in.data[content])) ++content;
        if (content + 1 >= in.size && !in.final) return NPOS;
        if (content == in.size || !isLineEnd(in.data[content])) return at;
        at = content + 1;
        if (in.data[content] == '\r' && at < in.size && in.data[at] == '\n') ++at;
        ++lines;
    }
}

// The tag lines after blank lines of a tag section: they belong to the
// section unless one of their names is among the `held` tags before the
// blank lines; then the game's movetext is the blank lines.
struct TagRun {
    bool open = false;
    std::size_t held = 0;
    std::size_t faults = 0;  // the faults before the run
    std::size_t blankAt = 0;
    long blankLines = 0;
    // The names of the held tags, as far as they have been gathered: a set,
    // so that a section of many tag lines between blank lines costs no
    // more than once over its names.
    std::unordered_set<std::string> names;
    std::size_t gathered = 0;
};

// Starts a run after blank lines, with the section's tags so far held.
void openRun(TagRun& run, const GameScan& scan, std::size_t blankAt, long blankLines) {
    run.open = true;
    run.held = scan.tagCount;
    run.faults = scan.faults->size();
    run.blankAt = blankAt;
    run.blankLines = blankLines;
    for (; run.gathered < run.held; ++run.gathered)
        run.names.insert((*scan.tags)[run.gathered].name);
}

// Whether a tag of [from, scan.tagCount) has a name the run holds.
bool holdsNameAlready(const TagRun& run, const GameScan& scan, std::size_t from) {
    for (std::size_t i = from; i < scan.tagCount; ++i) {
        if (run.names.count((*scan.tags)[i].name) > 0) return true;
    }
    return false;
}

}  // namespace

// Reads the tag section that begins the game, if any, and sets where the
// movetext begins. Tag lines after blank lines still belong to the section
// when their names are new to it; otherwise they begin the next game.
ScanResult readTagSection(GameScan& scan) {
    const ScanInput& in = scan.in;
    std::size_t at = scan.bounds.begin;
    std::size_t content = lineContentStart(in, at);
    if (content == NPOS) return ScanResult::NEED_MORE;
    long lines = 0;
    TagRun run;
    while (content < in.size && in.data[content] == '[') {
        std::size_t lineEnd = 0;
        bool whole = true;
        const std::size_t firstTag = scan.tagCount;
        const std::size_t rest = readTagLine(scan, at, content, lineEnd, whole);
        if (lineEnd == in.size && !in.final) return ScanResult::NEED_MORE;
        if (run.open && holdsNameAlready(run, scan, firstTag)) {
            scan.tagCount = run.held;
            scan.faults->resize(run.faults);
            at = run.blankAt;
            lines = run.blankLines;
            break;
        }
        if (!whole) {
            addFault(scan, scan.bounds.linesBefore + lines, PgnFaultKind::INCOMPLETE_TAG_PAIR);
        }
        if (rest < lineEnd || lineEnd == in.size) {
            at = rest;
            break;
        }
        at = lineEnd + 1;
        ++lines;
        content = at;
        while (content < in.size && isBlank(in.data[content])) ++content;
        if (content == in.size && !in.final) return ScanResult::NEED_MORE;
        if (content < in.size && isLineEnd(in.data[content])) {
            long next = lines;
            const std::size_t nextAt = pastBlankLines(in, at, next);
            if (nextAt == NPOS) return ScanResult::NEED_MORE;
            content = nextAt;
            while (content < in.size && isBlank(in.data[content])) ++content;
            if (content == in.size || in.data[content] != '[') break;
            openRun(run, scan, at, lines);
            at = nextAt;
            lines = next;
        }
    }
    scan.bounds.movetext = at;
    scan.bounds.linesToMovetext = lines;
    return ScanResult::GAME;
}
