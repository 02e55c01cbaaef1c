// tescross: the cross tables of a tournament's PGN games, as cross blocks
// for tesweb.
#include <cstdio>

#include "frame/platform.h"
#include "pgn/cross_run.h"

int main(int argc, char** argv) {
    setBinaryMode(stdout);  // lines end with LF on every system
    return runTescross(argc, argv, stdout, stderr);
}
