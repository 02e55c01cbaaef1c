// What the tests of the PGN naming share: the text of a PGN file with its
// ECO and Opening tags taken out, worked out from the bytes alone, so that
// the output of -t can be compared with its input without the code under
// test deciding what a tag is.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "book/opening_reader.h"
#include "pgn/pgn_reader.h"
#include "tests/support/book_support.h"
#include "tests/support/file_text.h"

namespace pgn_test {

using ::takeWritten;

// Compiles an ECO text with the book's own compiler and loads the result;
// an empty book when either step fails.
inline OpeningBook compileBookText(const std::string& text) {
    OpeningBook book;
    BookError error;
    std::vector<std::uint8_t> bytes = compileEcoText(text);
    if (!bytes.empty()) loadOpeningBook(std::move(bytes), book, error);
    return book;
}

// The first game of a PGN text, read with the PGN reader; `found` tells
// whether there was one.
struct OneGame {
    std::FILE* file;
    PgnReader reader;
    PgnGame game;
    bool found;

    explicit OneGame(std::string_view text) : file(streamOf(text)) {
        openPgnStream(reader, file, "test.pgn");
        found = nextGame(reader, game);
    }
    ~OneGame() {
        closePgn(reader);
        std::fclose(file);
    }
    OneGame(const OneGame&) = delete;
    OneGame& operator=(const OneGame&) = delete;
};

#ifdef TESSARA_SOURCE_DIR
// The shipped opening text, compiled once.
inline const OpeningBook& lichessBook() {
    static const OpeningBook book =
        compileBookText(fileText(TESSARA_SOURCE_DIR "/data/lichess-openings.txt"));
    return book;
}
#endif

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// The length of a tag pair `[ECO "..."]` or `[Opening "..."]` (blanks
// allowed around the name and before ']', escapes and unescaped quotes in
// the value) at the start of `text`, or 0.
inline std::size_t openingPairAt(std::string_view text) {
    std::size_t at = 0;
    auto blanks = [&] {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    };
    if (text.empty() || text[0] != '[') return 0;
    ++at;
    blanks();
    const std::string_view rest = text.substr(at);
    if (rest.starts_with("ECO")) {
        at += 3;
    } else if (rest.starts_with("Opening")) {
        at += 7;
    } else {
        return 0;
    }
    blanks();
    if (at >= text.size() || text[at] != '"') return 0;
    ++at;
    for (;;) {  // the value ends at the first unescaped quote that blanks and ']' follow
        while (at < text.size() && text[at] != '"') at += text[at] == '\\' ? 2 : 1;
        if (at >= text.size()) return 0;
        ++at;
        blanks();
        if (at < text.size() && text[at] == ']') return at + 1;
    }
}

// Takes every ECO and Opening tag pair out of the text; a line that held
// such a pair and nothing else but blanks goes as a whole (a byte-order mark
// at its start stays). Lines end with LF, CRLF or a lone CR, as the reader
// ends them. With `emptyLines`, every empty line goes too: a game
// without tags gets an empty line after the two new tag lines, which tells
// nothing about the tags themselves.
inline std::string withoutOpeningTags(std::string_view text, bool emptyLines = false) {
    std::string out;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text[end] == '\r' && next < text.size() &&
            text[next] == '\n') {
            ++next;
        }
        const std::string_view line = text.substr(begin, next - begin);
        const std::string_view body =
            text.substr(begin, (end == std::string_view::npos ? text.size() : end) - begin);
        begin = next;
        if (emptyLines && body.empty()) continue;
        std::string kept;
        bool hadPair = false;
        for (std::size_t at = 0; at < body.size();) {
            const std::size_t pair = openingPairAt(body.substr(at));
            if (pair > 0) {
                hadPair = true;
                at += pair;
            } else {
                kept += body[at++];
            }
        }
        std::string_view rest = kept;
        const bool mark = rest.starts_with(BYTE_ORDER_MARK);
        if (mark) rest.remove_prefix(BYTE_ORDER_MARK.size());
        if (hadPair && rest.find_first_not_of(" \t") == std::string_view::npos) {
            if (mark) out += BYTE_ORDER_MARK;
            continue;
        }
        out += kept;
        out += line.substr(body.size());
    }
    return out;
}

}  // namespace pgn_test
