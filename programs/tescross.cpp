// tescross: the cross tables of a tournament's PGN games, as cross blocks
// for tesweb.
#include <cstdio>

int main() {
    std::fputs("usage: tescross GAMES.pgn...\n", stderr);
    return 1;
}
