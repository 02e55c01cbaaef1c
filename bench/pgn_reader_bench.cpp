// Throughput of the PGN reader on one core: a file read game by game with
// its tags (what tescross needs), and again with the first 36 plies of each
// game's main line (what teseco needs before it only scans for the end).
//
//   pgn_reader_bench FILE [RUNS]
//
// Prints the best of RUNS for each mode in MB/s (10^6 bytes) and games/s.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pgn/pgn_reader.h"

namespace {

struct Tally {
    long games = 0;
    long plies = 0;
    long tagBytes = 0;
    std::uint64_t bytes = 0;
};

// Reads the whole file once; `plies` moves of every game's main line.
bool readAll(const char* name, int plies, Tally& tally) {
    PgnReader reader;
    if (!openPgn(reader, name)) return false;
    PgnGame game;
    while (nextGame(reader, game)) {
        ++tally.games;
        if (const std::string* result = game.tag("Result")) tally.tagBytes += result->size();
        MovetextCursor cursor = movetextOf(game);
        std::string_view move;
        long line = 0;
        for (int ply = 0; ply < plies && nextMove(cursor, move, line); ++ply) ++tally.plies;
    }
    tally.bytes = reader.consumed;
    bool good = !reader.readError;
    closePgn(reader);
    return good;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pgn_reader_bench FILE [RUNS]\n");
        return 1;
    }
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    struct Mode {
        const char* what;
        int plies;
    } modes[] = {{"nextGame (tags)", 0}, {"nextGame + 36 plies of nextMove", 36}};
    for (const Mode& mode : modes) {
        double best = 1e30;
        Tally tally;
        for (int run = 0; run < runs; ++run) {
            tally = Tally{};
            auto start = std::chrono::steady_clock::now();
            if (!readAll(argv[1], mode.plies, tally)) {
                std::fprintf(stderr, "pgn_reader_bench: cannot read %s\n", argv[1]);
                return 1;
            }
            std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            if (took.count() < best) best = took.count();
        }
        std::printf("%-32s %8.1f MB/s %10.0f games/s  (%ld games, %ld plies, %.1f MB, %.3f s)\n",
                    mode.what, tally.bytes / best / 1e6, tally.games / best, tally.games,
                    tally.plies, tally.bytes / 1e6, best);
    }
    return 0;
}
