// Naming on several threads. One thread reads the files in blocks of raw
// bytes, cut at lines where every reading of the file begins a game; the
// threads frame the games of each block and name them, and the output and
// messages are written in input order, with the text between games, the
// game numbers and the line numbers as one thread gives them. Where no such
// line comes within a few blocks (games without tags, a game of megabytes),
// the reading thread frames the rest of the file itself and hands on blocks
// of framed games.
#pragma once

#include "book/opening_reader.h"
#include "naming/naming_run.h"

// nameOpenings on `run.threads` threads (the calling one among them).
int nameOnThreads(const OpeningBook& book, NamingRun& run);
