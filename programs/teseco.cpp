// teseco: reads opening files back, and names the opening of every game in
// PGN files.
#include <cstdio>
#include <string>
#include <vector>

#include "book/opening_listing.h"
#include "frame/guard.h"
#include "frame/platform.h"
#include "naming/eco_command.h"
#include "naming/naming_run.h"

static NamingOutput outputOf(EcoMode mode) {
    switch (mode) {
        case EcoMode::TAGS:
            return NamingOutput::TAGS;
        case EcoMode::STATISTICS:
            return NamingOutput::STATISTICS;
        case EcoMode::GAMES:
            return NamingOutput::GAMES;
        default:
            return NamingOutput::TABLE;
    }
}

static int runTeseco(int argc, char** argv) {
    ignoreBrokenPipe();
    useBinaryStandardStreams();
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);

    EcoCommand command;
    std::string message;
    if (!parseEcoCommand(std::vector<std::string>(argv + 1, argv + argc), command, message)) {
        if (!message.empty()) std::fprintf(stderr, "teseco: %s\n", message.c_str());
        std::fputs(ECO_USAGE, stderr);
        return 1;
    }
    OpeningBook book;
    if (!openOpeningBook(command.book, book, message)) {
        std::fputs(message.c_str(), stderr);
        return 1;
    }
    int status = 0;
    if (command.mode == EcoMode::SUMMARY) {
        std::fputs(bookSummary(book, command.book).c_str(), stdout);
    } else if (command.mode == EcoMode::LIST) {
        writePositionList(book, stdout);
    } else {
        NamingRun run;
        run.output = outputOf(command.mode);
        run.selection = command.selection;
        run.files = command.games;
        run.threads = threadsToUse(command);
        status = nameOpenings(book, run);
    }
    return finishOutput(stdout, stderr, status);
}

// Whatever ends the run early (a book or a game too large for the memory)
// ends it with a message and status 1, never with an abort.
int main(int argc, char** argv) {
    return runGuarded("teseco", stderr, [&] { return runTeseco(argc, argv); });
}
