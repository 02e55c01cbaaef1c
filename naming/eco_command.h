// teseco's command line, the opening of its book with one message for a
// refused file, and the end of its output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "book/opening_reader.h"
#include "naming/game_selection.h"

extern const char ECO_USAGE[];

enum class EcoMode { SUMMARY, LIST, TABLE, TAGS, STATISTICS, GAMES };

struct EcoCommand {
    EcoMode mode = EcoMode::SUMMARY;
    std::string book;
    std::vector<std::string> games;  // "-" is standard input
    GameSelection selection;         // -e and -n
    int threads = 0;                 // -j; 0: as many as the machine lets the process use
};

// The most threads -j takes.
constexpr int MAX_THREADS = 256;

// The threads of a run: those of -j, or one per core the process may use.
int threadsToUse(const EcoCommand& command);

// Reads the arguments after the program name. False for the usage text:
// then `message` says what was wrong, or is empty for -h and no arguments.
// Options may stand anywhere; "--" ends them, and "-" alone is a name.
bool parseEcoCommand(const std::vector<std::string>& args, EcoCommand& command,
                     std::string& message);

// Reads and checks the opening file `name`; when it is refused, `message`
// holds the line for standard error, "teseco: NAME: ..." with its line end.
bool openOpeningBook(const std::string& name, OpeningBook& book, std::string& message);

// Flushes the results and turns a failed write into the exit status 1: a
// reader that went away (a closed pipe) ends the run quietly, like other
// filters; any other failure gets "teseco: cannot write standard output".
int finishOutput(std::FILE* out, std::FILE* err, int status);
