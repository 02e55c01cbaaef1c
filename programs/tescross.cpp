// tescross: the cross tables of a tournament's PGN games, as cross blocks
// for tesweb.
#include <cstdio>
#include <exception>
#include <new>

#include "frame/platform.h"
#include "tournament/cross_run.h"

// Whatever ends the run early (more players than the memory holds) ends it
// with a message and status 1, never with an abort.
int main(int argc, char** argv) {
    setBinaryMode(stdout);  // lines end with LF on every system
    ignoreBrokenPipe();
    try {
        return runTescross(argc, argv, stdout, stderr);
    } catch (const std::bad_alloc&) {
        std::fputs("tescross: out of memory\n", stderr);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "tescross: %s\n", failure.what());
    }
    std::fflush(stdout);
    return 1;
}
