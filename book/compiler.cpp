#include "book/compiler.h"

#include "book/opening_file.h"

const ToolProfile BOOK_PROFILE = compilerRules("Tessara v3.00, tesbook v1.00 February 1, 2002.\n\n",
                                               "\nusage: tesbook filename.eco\n\n");

void allocateBook(Frame& frame, Book& book) {
    allocateNameSpace(frame, book.names);
    allocatePositionList(frame, book.positions);
}

namespace {

// Reads one ECO line, header and moves, and files its ply count.
void compileLine(Frame& frame, Book& book) {
    parseEcoHeader(frame, book.reader);
    if (book.lineCount == MAX_OPENING_LINES) fatalError(frame, "Too many opening lines");
    storeOpeningName(frame, book.names, book.reader.header);
    addOpeningInfo(book.names, book.reader.header, book.lineCount);
    if (!nextContentLine(frame, book.reader)) fatalError(frame, "Unexpected end of ECO text file");
    parseLineMoves(frame, book.reader, book.position, book.moveReader, book.positions,
                   book.lineCount);
    std::int32_t plies = book.position.plyCount;
    book.totalMoves += plies;
    if (plies > book.longestLine) book.longestLine = plies;
    book.names.openingTable[book.lineCount].plies = plies;
    ++book.lineCount;
}

// A progress line is followed by an empty line.
void sayLine(Frame& frame, const char* text) {
    say(frame, text);
    say(frame, "\n");
}

}  // namespace

void compileBook(Frame& frame, Book& book) {
    while (!frame.inputAtEnd) {
        if (!nextContentLine(frame, book.reader)) break;
        compileLine(frame, book);
    }

    sayLine(frame, "Sorting the position list...\n");
    sortPositions(book.positions);
    sayLine(frame, "Testing for duplicate positions...\n");
    removeDuplicatePositions(book.positions, book.names.openingTable.get());

    sayf(frame, "There were %d lines, the longest was %d ply.\n", book.lineCount, book.longestLine);
    sayf(frame, "There were %d total number of moves.\n", book.totalMoves);
    sayf(frame, "The Opening name space is %d bytes long.\n", book.names.nameSpaceUsed);
    sayf(frame, "There were %d distinct board positions\n", book.positions.distinctCount);

    sayLine(frame, "Writing Binary Opening File.\n");
    writeOpeningFile(frame, book.names, book.positions, book.longestLine);
}
