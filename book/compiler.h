// The opening book compiler: reads every ECO line of the text file, playing
// its moves and recording the boards it passes through, then sorts the
// boards, keeps one record per board, prints a summary and writes the
// binary opening file.
#pragma once

#include <cstdint>

#include "book/eco_reader.h"
#include "book/name_store.h"
#include "book/position_list.h"
#include "chess/board.h"
#include "chess/movereader.h"
#include "frame/io.h"

// tesbook's banner, usage text and console rules, which the frame follows.
extern const ToolProfile BOOK_PROFILE;

// The whole state of one compile, owned by the program's main. The large
// tables are obtained once by allocateBook; nothing is allocated later.
struct Book {
    std::int32_t lineCount = 0;    // ECO lines compiled; the index of the line being read
    std::int32_t longestLine = 0;  // in plies
    std::int32_t totalMoves = 0;
    EcoReader reader;
    NameStore names;
    PositionList positions;
    Position position;
    MoveReader moveReader;
};

// Obtains the name space, the opening table and the position list; called
// once, before the compile.
void allocateBook(Frame& frame, Book& book);

// Compiles the open input into the open output file. Every error ends the
// run through fatalError or the move error report.
void compileBook(Frame& frame, Book& book);
