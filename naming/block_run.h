// Naming on several threads. One thread reads the files game by game with
// the PGN reader, so that games begin and end exactly where they do for a
// run on one thread, and gathers them into blocks of whole games; the
// blocks are named on all threads, and their output and messages are
// written in input order, with the text between games, the game numbers and
// the line numbers as one thread gives them.
#pragma once

#include "book/opening_reader.h"
#include "naming/naming_run.h"

// nameOpenings on `run.threads` threads (the calling one among them).
int nameOnThreads(const OpeningBook& book, NamingRun& run);
