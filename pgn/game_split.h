// Where a file may be cut in two so that each part, read on its own, gives
// the games that the whole gives: the start of a line at which every reading
// of the file begins a game. Such a line begins, in its first column, with a
// tag pair ('[', a tag name, blanks, '"'), and the last line before it that
// is not blank holds no '[' outside brace comments closed on that line: so
// the line is in no tag section (whose lines hold a '[' at their start or
// right after a termination marker), and whether it is met in the text
// between games, in movetext or in a comment or variation left open, a game
// begins there (pgn/pgn_reader.h).
#pragma once

#include <cstddef>
#include <string_view>

// The first such line that begins at or after `from` and whose line end
// is among `bytes`, with the line before it that decides also at or after
// `from` (the bytes before `from` are not looked at): its offset, or npos.
// With npos, `from` moves on to where a search over the same bytes and more
// may go on (the last line that decides).
std::size_t findGameCut(std::string_view bytes, std::size_t& from);

// The length of the line that begins at `at`, its line end (LF, CR LF or a
// lone CR) included, as far as `bytes` hold it.
std::size_t lineLength(std::string_view bytes, std::size_t at);
