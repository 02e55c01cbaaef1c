// Walking the main line of a game's movetext: move numbers, comments, NAGs,
// annotation marks and variations are passed over. Lines end with LF, CRLF
// or a lone CR, as in the framing of the games.
#pragma once

#include <string_view>

struct MovetextCursor {
    const char* at = nullptr;
    const char* end = nullptr;
    long line = 0;
    const char* textBegin = nullptr;  // the game's first byte: '%' lines need the first column
};

// A cursor at offset `movetext` of a game's text, which stands on line `line`.
MovetextCursor movetextCursor(std::string_view text, std::size_t movetext, long line);

// The next move of the main line as it is written ("Nf3", "exd5+", "O-O",
// "e8=Q", "--", "Z0"), without its move number ("12.e4" gives "e4") and
// without suffix annotations ("Nf3!?" gives "Nf3"; '+' and '#' stay), with
// the line it stands on; false at the game's termination marker or the end
// of its movetext. NAGs ("$14"), free-standing marks ("!?", "...") and
// "e.p." are passed over. Any other token of the main line (a stray word)
// comes as a move too: the move reader refuses it.
bool nextMove(MovetextCursor& cursor, std::string_view& move, long& line);
