// The last line of defence of a filter program's main: whatever escapes the
// run (an allocation that fails, a library's exception) ends it with one
// message on the error stream and status 1, never with an abort.
#pragma once

#include <cstdio>
#include <functional>

// Runs `body` and gives its status. An exception that escapes it is written
// to `errors` as "PROGRAM: message" ("PROGRAM: out of memory" for a failed
// allocation) after standard output is flushed, and gives status 1.
int runGuarded(const char* program, std::FILE* errors, const std::function<int()>& body);
