#include "pgn/tag_writer.h"

#include <algorithm>

namespace {

// A line ends with LF, CRLF or, in files of old Macintosh editors, a lone
// CR; the lines added to a game end the way its own lines do.
std::string_view lineEndOf(std::string_view line) {
    if (line.ends_with("\r\n")) return "\r\n";
    if (line.ends_with('\n')) return "\n";
    if (line.ends_with('\r')) return "\r";
    return {};
}

// The line end of the game's first line, for a game without tags; LF when
// the game is a single line without one.
std::string_view firstLineEnd(std::string_view text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos || text[end] == '\n') return "\n";
    return text.substr(end + 1).starts_with('\n') ? "\r\n" : "\r";
}

bool onlyBlanks(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

void appendTagPair(std::string& out, std::string_view name, std::string_view value) {
    out += '[';
    out += name;
    out += " \"";
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
    out += "\"]";
}

void appendTaggedGame(std::string& out, const PgnGame& game, std::string_view ecoPair,
                      std::string_view openingPair) {
    const std::string_view text = game.text;
    if (game.tags.empty()) {
        const std::string_view end = firstLineEnd(text);
        out.append(ecoPair).append(end).append(openingPair).append(end).append(end);
        out.append(text);
        return;
    }
    bool haveEco = false;
    bool haveOpening = false;
    std::size_t copied = 0;
    for (const PgnTag& tag : game.tags) {
        const std::string_view name = tag.name;
        const bool eco = name == "ECO";
        if ((!eco && name != "Opening") || !tag.whole) continue;
        if (tag.pairBegin < copied) continue;  // not in file order: left alone
        out.append(text.substr(copied, tag.pairBegin - copied));
        out.append(eco ? ecoPair : openingPair);
        copied = tag.pairEnd;
        (eco ? haveEco : haveOpening) = true;
    }
    if (!haveEco || !haveOpening) {
        // After the last tag line, or right after the last pair when the
        // movetext follows on its line.
        const PgnTag& last = game.tags.back();
        const std::string_view line = text.substr(last.lineBegin, last.lineEnd - last.lineBegin);
        const std::string_view end = lineEndOf(line);
        const std::size_t pairEnd = std::max(last.pairEnd, last.lineBegin);
        const bool ownLine = !end.empty() && pairEnd <= last.lineEnd - end.size() &&
                             onlyBlanks(text.substr(pairEnd, last.lineEnd - end.size() - pairEnd));
        const std::size_t at = std::max(ownLine ? last.lineEnd : pairEnd, copied);
        out.append(text.substr(copied, at - copied));
        copied = at;
        if (!haveEco) out.append(ecoPair).append(ownLine ? end : "");
        if (!haveOpening) out.append(openingPair).append(ownLine ? end : "");
    }
    out.append(text.substr(copied));
}
