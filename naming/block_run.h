// Naming on several threads. The threads take turns at reading the files,
// a block of raw bytes at a time, cut at lines where every reading of the
// file begins a game; the thread that read a block frames and names its
// games at once, with their game and line numbers counted from the block's
// start into marks. The writer writes the blocks in input order, with the
// numbers put in and the text between the blocks, so that output, messages
// and status are what one thread gives. Where no such line comes within a
// few blocks (games without tags, a game of megabytes), the rest of the
// file is framed a game after the other by the reading thread, in blocks
// of framed games.
#pragma once

#include "book/opening_reader.h"
#include "naming/naming_run.h"

// nameOpenings on `run.threads` threads (the calling one among them).
int nameOnThreads(const OpeningBook& book, NamingRun& run);
