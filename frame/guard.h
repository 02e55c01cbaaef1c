// The last line of defence of a filter program's main: whatever escapes the
// run (an allocation that fails, a library's exception) ends it with one
// message on the error stream and status 1, never with an abort.
#pragma once

#include <cstdio>
#include <exception>
#include <new>

// Writes "PROGRAM: message" to `errors` and flushes standard output.
void reportEscape(const char* program, std::FILE* errors, const char* message);

// Runs `body` and gives its status. An exception that escapes it is written
// to `errors` as "PROGRAM: message" ("PROGRAM: out of memory" for a failed
// allocation) and gives status 1. A template, so that the run stays one
// piece of code with the main that calls it.
template <typename Body>
int runGuarded(const char* program, std::FILE* errors, Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        reportEscape(program, errors, "out of memory");
    } catch (const std::exception& failure) {
        reportEscape(program, errors, failure.what());
    }
    return 1;
}
