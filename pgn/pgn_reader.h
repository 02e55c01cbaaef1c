// Reading PGN files game by game: the tag pairs of each game and the bounds
// of its movetext, with the bytes of the game as they stand in the file, so
// that a game can be written back unchanged. The reader holds one game in
// memory at a time, however large the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One tag pair. The value is unescaped (\" and \\); the line is the tag's
// whole line in the game's text, line end included.
struct PgnTag {
    std::string name;
    std::string value;
    std::size_t lineBegin = 0;  // offsets into PgnGame::text
    std::size_t lineEnd = 0;
};

// One game as the reader delivers it. The views stay valid until the next
// call of nextGame on the same reader.
struct PgnGame {
    std::string_view skipped;  // text before the game that belongs to no game
    std::string_view text;     // the game's own bytes, from its first line on
    int number = 0;            // the game's number in its file, from 1
    long firstLine = 0;        // the line of the file on which `text` begins
    std::vector<PgnTag> tags;  // in the order of the file
    std::size_t movetext = 0;  // offset in `text` where the movetext begins
    long movetextLine = 0;     // the line of the file on which it begins

    // The value of the first tag of this name, or null.
    const std::string* tag(std::string_view name) const;
};

// The state of reading one file. `name` is the name as given ("-" for
// standard input) and appears in messages.
struct PgnReader {
    std::string name;
    std::FILE* stream = nullptr;
    bool ownsStream = false;
    // implementation state: buffer, position, line count, game count ...
};

// Opens a file for reading ("-": standard input, in binary mode); false when
// it cannot be read (missing, a directory).
bool openPgn(PgnReader& reader, const std::string& name);
void closePgn(PgnReader& reader);

// Reads the next game; false at the end of the file, with `game.skipped`
// then holding whatever text followed the last game.
bool nextGame(PgnReader& reader, PgnGame& game);

// Walks the main line of a game's movetext: move numbers, comments, NAGs,
// annotation marks and variations are passed over.
struct MovetextCursor {
    const char* at = nullptr;
    const char* end = nullptr;
    long line = 0;
};
MovetextCursor movetextOf(const PgnGame& game);

// The next move of the main line as it is written ("Nf3", "exd5+", "O-O",
// "e8=Q", "--"), with the line it stands on; false at the game's termination
// marker or the end of its movetext.
bool nextMove(MovetextCursor& cursor, std::string_view& move, long& line);
