// Times whole tesbook runs, process start to exit, on the lichess sample and
// on a generated input at the opening file's capacity (10,000 ECO lines of
// 5 plies, 50,000 recorded positions), against a baseline process that only
// reads the same input line by line and writes an output of the same size.
//
//   tesbook_bench TESBOOK SAMPLE.txt [RUNS]
//   tesbook_bench --write-capacity FILE.txt   (only writes the generated input)
//
// For every input it prints the median and the fastest wall time of RUNS
// runs, the peak resident memory, and the ratio to the baseline's median.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "book/name_store.h"
#include "book/position_list.h"
#include "chess/attack.h"
#include "chess/board.h"
#include "chess/movegen.h"

namespace fs = std::filesystem;

namespace {

struct Measure {
    double medianMs = 0;
    double fastestMs = 0;
    long peakKb = 0;
};

// Runs the command `runs` times with its console thrown away; any failing
// run ends the benchmark.
Measure measure(const std::vector<std::string>& command, const fs::path& folder, int runs) {
    std::vector<double> times;
    long peak = 0;
    for (int run = 0; run < runs; ++run) {
        std::vector<char*> argv;
        std::vector<std::string> words = command;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        std::fflush(stdout);
        auto start = std::chrono::steady_clock::now();
        pid_t child = fork();
        if (child == 0) {
            if (chdir(folder.c_str()) != 0) _exit(120);
            if (!std::freopen("/dev/null", "r", stdin) || !std::freopen("/dev/null", "w", stdout)) {
                _exit(121);
            }
            execv(argv[0], argv.data());
            _exit(122);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        auto end = std::chrono::steady_clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "%s failed with status %d\n", command[0].c_str(), status);
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        peak = std::max(peak, usage.ru_maxrss);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), peak};
}

// A legal move in long algebraic notation (Ng1f3, e7e8=Q, O-O), which the
// move reader plays without any question of ambiguity.
std::string moveText(const Position& position, Move move) {
    if (move.special == MOVE_CASTLE) return fileOf(move.to) == 6 ? "O-O" : "O-O-O";
    std::string text;
    int piece = position.board[move.from].piece;
    if (piece != PAWN) text += PIECE_LETTERS[piece - 1];
    for (Square square : {move.from, move.to}) {
        text += static_cast<char>('a' + fileOf(square));
        text += static_cast<char>('1' + rankOf(square));
    }
    if (move.special >= KNIGHT && move.special <= QUEEN) {
        text += '=';
        text += PIECE_LETTERS[move.special - 1];
    }
    return text;
}

bool isLegal(Position& position, Move move) {
    if (move.special == MOVE_CASTLE) {
        int right = fileOf(move.to) == 6 ? CASTLE_WK : CASTLE_WQ;
        if (position.sideToMove == BLACK) right <<= 2;
        if (!(position.castleRights & right) || castleThroughAttack(position, move.to)) {
            return false;
        }
    }
    makeMove(position, move);
    bool legal = !isInCheck(position, position.sideToMove);
    unmakeMove(position, move);
    return legal;
}

std::string openingName(std::mt19937& random) {
    std::string name;
    int words = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < words; ++i) {
        if (i) name += ' ';
        name += OPENING_WORDS[random() % OPENING_WORDS.size()];
    }
    name += ": ";
    name += OPENING_WORDS[random() % OPENING_WORDS.size()];
    name += " Variation, line " + std::to_string(random() % 1000);
    return name;
}

// The move text of `plies` random legal plies from the start position; a
// line that ends in mate before that is drawn again.
std::string randomLine(std::mt19937& random, int plies) {
    Position position;
    MoveList list;
    for (;;) {
        std::string text;
        setupStartPosition(position);
        int ply = 0;
        for (; ply < plies; ++ply) {
            generateMoves(position, list);
            std::vector<Move> legal;
            for (int i = 0; i < list.moveCount; ++i) {
                if (isLegal(position, list.moves[i])) legal.push_back(list.moves[i]);
            }
            if (legal.empty()) break;
            if (ply % 2 == 0) text += std::to_string(ply / 2 + 1) + ". ";
            Move move = legal[random() % legal.size()];
            text += moveText(position, move);
            commitMove(position, move, static_cast<PieceKind>(position.board[move.from].piece));
            if (isInCheck(position, position.sideToMove)) text += '+';
            text += ' ';
        }
        if (ply == plies) return text;
    }
}

// 10,000 ECO lines of 5 random legal plies each: 50,000 positions to record.
void writeCapacityInput(const fs::path& path) {
    std::mt19937 random(20020201);
    std::string text;
    const int plies = MAX_POSITIONS / MAX_OPENING_LINES;
    for (int line = 0; line < MAX_OPENING_LINES; ++line) {
        text += static_cast<char>('A' + random() % 5);
        int number = static_cast<int>(random() % 100);
        text += static_cast<char>('0' + number / 10);
        text += static_cast<char>('0' + number % 10);
        text += ' ' + openingName(random) + '\n';
        text += randomLine(random, plies) + "1/2\n";
    }
    std::ofstream(path, std::ios::binary) << text;
}

// The baseline: read the input line by line through a 4,096-byte buffer and
// write `size` bytes, as tesbook does with its files.
int ioBaseline(const char* input, const char* output, long size) {
    static char inBuffer[4096], outBuffer[4096], line[16001];
    std::FILE* in = std::fopen(input, "rt");
    std::FILE* out = std::fopen(output, "wb");
    if (!in || !out) return 1;
    std::setvbuf(in, inBuffer, _IOFBF, sizeof inBuffer);
    std::setvbuf(out, outBuffer, _IOFBF, sizeof outBuffer);
    long lines = 0;
    while (std::fgets(line, sizeof line, in)) ++lines;
    char record[32] = {};
    for (long written = 0; written < size; written += sizeof record) {
        std::size_t count = static_cast<std::size_t>(std::min<long>(sizeof record, size - written));
        if (std::fwrite(record, 1, count, out) != count) return 1;
    }
    std::fclose(in);
    return std::fclose(out) != 0 || lines < 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--io-baseline") == 0) {
        return ioBaseline(argv[2], argv[3], std::atol(argv[4]));
    }
    if (argc == 3 && std::strcmp(argv[1], "--write-capacity") == 0) {
        writeCapacityInput(argv[2]);
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: tesbook_bench TESBOOK SAMPLE.txt [RUNS]\n");
        return 1;
    }
    fs::path tesbook = fs::absolute(argv[1]);
    fs::path self = fs::absolute(fs::read_symlink("/proc/self/exe"));
    int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 21;

    fs::path folder = fs::temp_directory_path() / ("tesbook-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::copy_file(argv[2], folder / "sample.txt", fs::copy_options::overwrite_existing);
    writeCapacityInput(folder / "capacity.txt");

    std::printf("%d runs each; wall time of the whole process, peak resident memory\n\n", runs);
    std::printf("%-10s %9s %12s %10s %10s %12s %12s %7s\n", "input", "bytes", "tesbook ms",
                "fastest", "peak KB", "baseline ms", "baseline KB", "ratio");
    for (const char* name : {"sample", "capacity"}) {
        std::string input = std::string(name) + ".txt";
        Measure book = measure({tesbook.string(), "-x", input}, folder, runs);
        auto outputSize = static_cast<long>(fs::file_size(folder / (std::string(name) + ".ECO")));
        Measure base = measure(
            {self.string(), "--io-baseline", input, "baseline.out", std::to_string(outputSize)},
            folder, runs);
        std::printf("%-10s %9ld %12.2f %10.2f %10ld %12.2f %12ld %7.2f\n", name,
                    static_cast<long>(fs::file_size(folder / input)), book.medianMs, book.fastestMs,
                    book.peakKb, base.medianMs, base.peakKb, book.medianMs / base.medianMs);
    }
    // The summary of the capacity run, for the figures behind the times.
    std::string summary = "cd '" + folder.string() + "' && '" + tesbook.string() +
                          "' -x capacity.txt </dev/null | grep -E 'There|space'";
    std::printf("\ncapacity input:\n");
    std::fflush(stdout);
    int status = std::system(summary.c_str());
    fs::remove_all(folder);
    return status == 0 ? 0 : 1;
}
