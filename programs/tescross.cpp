// tescross: the cross tables of a tournament's PGN games, as cross blocks
// for tesweb.
#include <cstdio>

#include "frame/guard.h"
#include "frame/platform.h"
#include "pgn/cross_run.h"

// Whatever ends the run early (more players than the memory holds) ends it
// with a message and status 1, never with an abort.
int main(int argc, char** argv) {
    setBinaryMode(stdout);  // lines end with LF on every system
    return runGuarded("tescross", stderr, [&] { return runTescross(argc, argv, stdout, stderr); });
}
