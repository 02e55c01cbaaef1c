// Framing one game in the bytes at hand: where the text between games
// ends, the tag section, where the movetext begins and where the game ends
// (the rules are those of pgn/pgn_reader.h). The reader calls it again
// with more bytes whenever the bytes at hand do not decide.
#pragma once

#include <cstddef>
#include <vector>

#include "pgn/pgn_reader.h"

// The bytes that the scan of one game looks at: the buffer from the first
// byte not yet delivered, and whether the stream has more. data[size] must
// be readable and hold '\n' (a sentinel that ends the inner loops).
struct ScanInput {
    const char* data;
    std::size_t size;
    bool final;        // nothing follows `data`
    bool atLineStart;  // data[0] begins a line
    // No CR stands in [crFrom, crClearTo): what the search for line ends
    // learnt so far, which spares most lines a search for a lone CR.
    mutable std::size_t crFrom = 0;
    mutable std::size_t crClearTo = 0;
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

// The scan of one game: its input, and what it found. Tag offsets are
// relative to the game's first byte; fault lines count the line ends from
// data[0] (the reader adds the line on which data[0] stands). With NO_GAME,
// `faults` holds those of the text up to the end of the file.
struct GameScan {
    ScanInput in;
    GameBounds bounds;
    std::vector<PgnTag>* tags;
    std::size_t tagCount = 0;
    std::vector<PgnFault>* faults;
    std::size_t faultsBefore = 0;  // those of the text before the game
};

// The line helpers that the units of the framing share.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
inline bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}
// Past the blanks and, at a line start, a UTF-8 byte-order mark; npos when
// the bytes that decide are still to come.
std::size_t lineContentStart(const ScanInput& in, std::size_t at);
// The first line end in [from, to), as the offset of its last byte: an LF,
// or a CR that no LF follows (a lone CR); `to` when there is none, or when
// the one CR just before `to` may yet be followed by an LF of bytes to come.
std::size_t lineEndIn(const ScanInput& in, std::size_t from, std::size_t to);
std::size_t lineEndFrom(const ScanInput& in, std::size_t at);
// Whether a tag pair begins at `at`: '[', a tag name, blanks and '"'; -1
// when the bytes that decide are still to come.
int tagPairAt(const ScanInput& in, std::size_t at);
// Records a fault at a line counted from data[0].
void addFault(GameScan& scan, long line, PgnFaultKind kind);

// Finds the next game in the bytes at hand. NEED_MORE: the bytes do not
// decide before the end of the stream; the scan must start over (from a
// fresh GameScan, faults cleared) with more bytes.
ScanResult scanGame(GameScan& scan);
