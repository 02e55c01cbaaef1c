// Moves per second of the move reader on real games: the main lines of a
// PGN file up to the book's longest line are read once into memory, then
// played from the initial position again and again, alone and with the
// board lookup that names the opening after every ply (as teseco does it,
// with the home-pawn filter).
//
//   opening_namer_bench BOOK.ECO FILE.pgn [RUNS]
//
// Prints the best of RUNS for each mode in moves/s and ns a move.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "naming/game_naming.h"

namespace {

struct Games {
    std::string moves;                 // every move text, back to back
    std::vector<std::uint32_t> ends;   // the end of each move in `moves`
    std::vector<std::uint32_t> games;  // the first move of each game
};

bool readGames(const char* name, int plies, Games& games) {
    PgnReader reader;
    if (!openPgn(reader, name)) return false;
    PgnGame game;
    while (nextGame(reader, game)) {
        games.games.push_back(static_cast<std::uint32_t>(games.ends.size()));
        if (!startsFromInitialPosition(game)) continue;
        MovetextCursor cursor = movetextOf(game);
        std::string_view move;
        long line = 0;
        for (int ply = 0; ply < plies && nextMove(cursor, move, line) && !isNullMove(move); ++ply) {
            games.moves.append(move);
            games.ends.push_back(static_cast<std::uint32_t>(games.moves.size()));
        }
    }
    games.games.push_back(static_cast<std::uint32_t>(games.ends.size()));
    closePgn(reader);
    return true;
}

// Plays every game; gives the number of moves played.
long playAll(const OpeningBook& book, const Games& games, bool lookUp, long& found) {
    GameNaming naming;
    if (lookUp) buildHomePawnFilter(book, naming.filter);
    long played = 0;
    for (std::size_t game = 0; game + 1 < games.games.size(); ++game) {
        startNaming(naming);
        for (std::uint32_t move = games.games[game]; move < games.games[game + 1]; ++move) {
            const std::uint32_t begin = move == 0 ? 0 : games.ends[move - 1];
            const std::string_view text(games.moves.data() + begin, games.ends[move] - begin);
            const MoveOutcome outcome = lookUp ? nameMove(book, naming, text)
                                               : playSanMove(naming.position, naming.reader, text);
            if (outcome != READ_PLAYED) break;
            ++played;
        }
        found += naming.ply;
    }
    return played;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: opening_namer_bench BOOK.ECO FILE.pgn [RUNS]\n");
        return 1;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    std::vector<std::uint8_t> bytes;
    OpeningBook book;
    BookError error;
    if (!readWholeFile(argv[1], bytes) || !loadOpeningBook(std::move(bytes), book, error)) {
        std::fprintf(stderr, "opening_namer_bench: cannot load %s\n", argv[1]);
        return 1;
    }
    Games games;
    if (!readGames(argv[2], book.longestLine, games)) {
        std::fprintf(stderr, "opening_namer_bench: cannot read %s\n", argv[2]);
        return 1;
    }
    for (bool lookUp : {false, true}) {
        double best = 1e30;
        long played = 0;
        long found = 0;
        for (int run = 0; run < runs; ++run) {
            found = 0;
            const auto start = std::chrono::steady_clock::now();
            played = playAll(book, games, lookUp, found);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            if (took.count() < best) best = took.count();
        }
        std::printf("%-24s %8.2f M moves/s %7.1f ns a move  (%zu games, %ld moves, %.3f s)\n",
                    lookUp ? "moves and lookups" : "moves", played / best / 1e6,
                    best * 1e9 / played, games.games.size() - 1, played, best);
    }
    return 0;
}
