// teseco: reads opening files back, and names the opening of every game in
// PGN files.
#include <cstdio>

int main() {
    std::fputs("usage: teseco [-l] BOOK.ECO | teseco [-t] BOOK.ECO GAMES.pgn...\n", stderr);
    return 1;
}
