// Reading PGN files game by game: the tag pairs of each game and the bounds
// of its movetext, with the bytes of the game as they stand in the file, so
// that a game can be written back unchanged. The reader holds one game in
// memory at a time (with the text before it), however large the file.
//
// Where games begin and end:
// - Lines end with LF, CRLF or a lone CR (old Mac files), all three alike,
//   and are numbered from 1. Any byte may occur: NUL bytes and invalid
//   UTF-8 are text like any other. A file that begins with a UTF-16
//   byte-order mark (FF FE or FE FF) is refused: nothing of it is read and
//   `utf16` is set.
// - A line's first character counts after any blanks (spaces, tabs) and, at
//   the start of a line, a UTF-8 byte-order mark (which belongs to the text
//   between games, not to the game).
// - A tag section is a run of lines that begin with '['. A game with tags
//   begins at such a line; its movetext begins right after the line end of
//   the last tag line (so usually with the empty line between them), or,
//   when other text follows a tag on its line, at that text. Blank lines
//   inside a tag section keep it whole when the tag lines after them hold
//   only names new to the section; a name the section already holds (a
//   second Event) makes those tag lines begin the next game.
// - A tag line whose pair is not whole (`[White "A]`, `[Round]`, a file cut
//   off in `[Bla`) is a fault of the game; the game is read on.
// - A game without tags begins at a line, outside any game, whose first
//   token is a move number ("1.", "12...") or a move in algebraic notation
//   ("e4", "Nf3", "exd5", "O-O", "0-0"). Any other line outside a game (an
//   empty line, a '%' line, a stray word) is skipped text. A brace comment
//   or variation opened in skipped text runs on, as in a game, to its end
//   or to the first line that begins with a tag pair.
// - A game ends after its termination marker ("1-0", "0-1", "1/2-1/2", "*"
//   or the short draw "1/2", a token of its own outside comments and
//   variations), together with the rest of the marker's line when that is
//   only blank; otherwise right after the marker, and a game with tags may
//   begin right there (`... 1-0 [Event "E"] ...`); other text after it is
//   skipped text. A game without a marker ends where a
//   line that begins with '[' starts (outside a brace comment) or at the
//   end of the file.
// - A brace comment still open at a line that begins with a tag pair ('[',
//   a tag name, blanks, '"') ends there, and so does the game; a variation
//   still open at a line that begins with '[' likewise. Either, and one
//   still open at the end of the file, is a fault, with the line where it
//   began: so one unclosed '{' costs no later game.
// - A '%' in the first column makes the rest of its line a comment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pgn/movetext.h"

// One tag pair. The value is unescaped (\" and \\); the line is the tag's
// whole line in the game's text, line end included (when a line holds
// several tags, each has the same line; when the game ends on the line, the
// line ends with the game). A malformed tag line still gives a pair, with
// what could be read of its name and value, and `whole` false: a whole pair
// is '[', a name, a quoted value and ']', with blanks allowed between them,
// and only a whole pair may be rewritten in place. A quote in the value that
// is not escaped is part of the value unless blanks and ']' follow it:
// `[Annotator "Lopez "Battle Royale""]` holds `Lopez "Battle Royale"`. A
// value left open on its line ends before a ']' at the line's end.
struct PgnTag {
    std::string name;
    std::string value;
    bool whole = false;
    std::size_t lineBegin = 0;  // offsets into PgnGame::text
    std::size_t lineEnd = 0;
    std::size_t pairBegin = 0;  // the pair itself, from its '[' to after its ']'
    std::size_t pairEnd = 0;
};

// What the reader found wrong in a file while it framed a game; the game
// is delivered all the same, with what could be read.
enum class PgnFaultKind {
    COMMENT_OPEN_AT_TAGS,    // a '{' comment still open at a line that begins with a tag pair
    COMMENT_OPEN_AT_END,     // ... at the end of the file
    VARIATION_OPEN_AT_TAGS,  // a '(' variation still open at a line that begins with '['
    VARIATION_OPEN_AT_END,   // ... at the end of the file
    INCOMPLETE_TAG_PAIR,     // a tag line whose pair is not whole
};

struct PgnFault {
    long line = 0;  // where the comment or variation began; the tag line
    PgnFaultKind kind = PgnFaultKind::INCOMPLETE_TAG_PAIR;
    int game = 0;  // the game's number; 0 in the text between games
};

// One game as the reader delivers it. The views stay valid until the next
// call of nextGame on the same reader.
struct PgnGame {
    std::string_view skipped;  // text before the game that belongs to no game
    std::string_view text;     // the game's own bytes, from its first line on
    int number = 0;            // the game's number in its file, from 1 (games without tags count)
    long firstLine = 0;        // the line of the file on which `text` begins
    std::vector<PgnTag> tags;  // in the order of the file; empty for a game without tags
    // The faults of the game and of the text before it, in the order of the
    // file; after the last game, those of the text after it.
    std::vector<PgnFault> faults;
    std::size_t movetext = 0;  // offset in `text` where the movetext begins
    long movetextLine = 0;     // the line of the file on which it begins

    // The value of the first tag of this name, or null.
    const std::string* tag(std::string_view name) const;
};

// The state of reading one file. `name` is the name as given ("-" for
// standard input) and appears in messages. A reader is reused from file to
// file: its buffer stays.
struct PgnReader {
    std::string name;
    std::FILE* stream = nullptr;
    bool ownsStream = false;
    // Set when reading the stream failed, or when a game with the text
    // before it would need a buffer larger than `maxBuffer` (or than memory
    // allows): what was read is delivered, then nextGame ends as at the end
    // of the file. The programs check it after the last game.
    bool readError = false;
    // Set when the file begins with a UTF-16 byte-order mark (FF FE or
    // FE FF): the reader delivers nothing of it.
    bool utf16 = false;
    // The errno value of a failed open or read (0: none known), for the
    // message that says why.
    int error = 0;
    std::size_t maxBuffer = std::size_t{1} << 30;
    // The smallest read: the buffer holds at least two blocks (more while a
    // single game does not fit), and each read fills the room there is.
    std::size_t blockSize = std::size_t{1} << 20;
    // Bytes of the file before the end of the last game delivered (progress).
    std::uint64_t consumed = 0;

    // Implementation state.
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    std::size_t filled = 0;  // bytes in the buffer
    std::size_t next = 0;    // offset in the buffer of the first byte not delivered
    std::int64_t line = 1;   // the line of that byte
    int games = 0;
    bool atLineStart = true;  // that byte begins a line
    bool streamEnded = false;
    bool finished = false;
    bool startChecked = false;  // the file's first bytes were looked at (UTF-16)
    std::size_t crFrom = 0;     // no CR stands in [crFrom, crClearTo) of the buffer
    std::size_t crClearTo = 0;
};

// Opens a file for reading ("-": standard input, in binary mode); false when
// it cannot be read (missing, a directory).
bool openPgn(PgnReader& reader, const std::string& name);
// Reads from a stream that is already open; closePgn leaves it open.
void openPgnStream(PgnReader& reader, std::FILE* stream, const std::string& name);
// The same for a stream whose first bytes, `start`, were already read from
// it (to tell what kind of file it is): the reading begins with them, so a
// pipe need not be read again.
void openPgnStreamAfter(PgnReader& reader, std::FILE* stream, const std::string& name,
                        std::string_view start);
// Reading games from bytes in memory, in the reader's own buffer: room for
// `size` bytes there, the first `keep` bytes kept (null when memory is
// short); then the reading of its first `size` bytes, which nothing
// follows. With `fileStart` they begin the file (a UTF-16 file is refused as
// from a stream); otherwise they begin a line of it, between two games. The
// views of the games stay valid until the buffer is used again.
char* pgnBufferRoom(PgnReader& reader, std::size_t keep, std::size_t size);
void openPgnBuffer(PgnReader& reader, const std::string& name, std::size_t size, bool fileStart);
void closePgn(PgnReader& reader);

// Reads the next game; false at the end of the file, with `game.skipped`
// then holding whatever text followed the last game (empty on later calls).
// The concatenation of every `skipped` and `text`, in order, is the file
// (of a file refused as UTF-16: nothing).
bool nextGame(PgnReader& reader, PgnGame& game);

// A cursor at the start of the game's movetext (see pgn/movetext.h).
MovetextCursor movetextOf(const PgnGame& game);

// The message for a fault, after the file's name and a colon:
// "12: game 2: comment not closed before the next tag pair", or without the
// game for a fault in the text between games.
std::string pgnFaultMessage(const PgnFault& fault);
// A line number as the games and moves give it: `long`, which Windows
// holds in 32 bits; a file of more lines (tens of gigabytes) shows its
// later lines as the largest number instead of wrapping around.
long pgnLineNumber(std::int64_t line);

// The words of a fault's message: "comment not closed before the next tag pair".
const char* pgnFaultText(PgnFaultKind kind);

// The message for a file refused as UTF-16, after its name and ": ".
constexpr const char* UTF16_FILE_MESSAGE =
    "a UTF-16 file: convert it to UTF-8 first (for example with iconv -f UTF-16 -t UTF-8)";
