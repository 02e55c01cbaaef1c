// The reader of the ECO text file. Each opening is a header line, the ECO
// code ('A' to 'E' and two digits) and the opening's name, followed by its
// moves in algebraic notation up to the marker "1/2", over as many lines as
// needed. Lines whose first non-blank character is ';', and blank lines, are
// comments before a header and before the first move line.
#pragma once

#include <cstdint>

#include "book/eco_header.h"
#include "book/position_list.h"
#include "chess/board.h"
#include "chess/movereader.h"
#include "frame/io.h"

// The initial position, set up once: every line starts from a copy of it.
Position initialPosition();

struct EcoReader {
    // The reading position in the frame's line; null once a read found no
    // more input.
    const char* textCursor = nullptr;
    EcoHeader header;
    Position startPosition = initialPosition();
};

// Reads up to the next line that is neither blank nor a comment and leaves
// textCursor on its first non-blank character; false at the end of input.
bool nextContentLine(Frame& frame, EcoReader& reader);

// True at a ';', a line end or the end of the text.
bool isCommentOrEnd(const char* text);

// Takes the ECO code and the name from the header line at textCursor.
void parseEcoHeader(Frame& frame, EcoReader& reader);

// Plays the line's moves from the start position up to "1/2", recording the
// board after each of them for the line `lineIndex`; textCursor is left on
// the marker.
void parseLineMoves(Frame& frame, EcoReader& reader, Position& position, MoveReader& moveReader,
                    PositionList& positions, std::int32_t lineIndex);

// Steps over blanks and tabs, reading the next line at the end of one.
void skipWhite(Frame& frame, EcoReader& reader);

// Steps over a move number and its periods: none, one or three.
void skipMoveNumber(Frame& frame, EcoReader& reader);

// Steps over a brace comment; without a '}' on the line the rest of the
// line is the comment.
void skipBraceComment(EcoReader& reader);

// True when the text begins with the end marker "1/2".
bool atResultMarker(const char* text);
