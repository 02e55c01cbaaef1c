// Naming on several threads. The threads take turns at reading the files,
// a block of raw bytes at a time, cut at lines where every reading of the
// file begins a game; the thread that read a block frames its games and,
// once the blocks before it are framed (which gives its game and line
// numbers), names them. The output and messages are written in input order,
// with the text between games, the game numbers and the line numbers as one
// thread gives them. Where no such line comes within a few blocks (games
// without tags, a game of megabytes), the rest of the file is framed a game
// after the other by the reading thread, in blocks of framed games.
#pragma once

#include "book/opening_reader.h"
#include "naming/naming_run.h"

// nameOpenings on `run.threads` threads (the calling one among them).
int nameOnThreads(const OpeningBook& book, NamingRun& run);
