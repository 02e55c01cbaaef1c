// Transform speed of tesweb over a generated file of 200 cross tables with
// 100 players each, in MB of text read per second, with the peak memory.
// InProcess runs the transform driver over the file; Executable runs the
// real program and reports the child's peak resident memory.
// Run: build/default/bench/tesweb_transform_bench
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/settings.h"
#include "tests/support/captured_run.h"
#include "transform/transform.h"

namespace {

namespace fs = std::filesystem;

constexpr int TABLES = 200;
constexpr int PLAYERS = 100;

const char* const CODES[] = {"GER", "usa", "Fra", "ENG", "rus", "NED", "mex", "PRK", "swe", "xyz"};
const char* const TITLES[] = {"GM", "IM", "WGM", "FM", "|", "CC-SIM", "M", "wfm"};
const char* const RESULTS[] = {"1", "0", "&frac12;", "|", "{1 f}"};

// Writes the tournament file into a fresh folder and gives its folder.
fs::path writeTournament() {
    fs::path folder = fs::temp_directory_path() / ("tesweb-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::ofstream out(folder / "big.TXT", std::ios::binary);
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    for (int table = 0; table < TABLES; ++table) {
        out << "; table " << table << "\ncross cols=" << PLAYERS + 6 << " cat=" << table % 30
            << "\nOpen " << table << ", Round robin, Section " << table % 7
            << "\nNo Name Ti Fed Rtg";
        for (int column = 1; column <= PLAYERS; ++column) out << ' ' << column;
        out << " Pts\n";
        for (int player = 1; player <= PLAYERS; ++player) {
            out << player << " {Player" << player << ", Name " << table << "} " << TITLES[next(8)]
                << ' ' << CODES[next(10)] << ' ' << 1800 + next(1000);
            for (int column = 1; column <= PLAYERS; ++column) {
                out << ' ' << (column == player ? "*" : RESULTS[next(5)]);
            }
            out << ' ' << next(100) << "\n";
        }
        out << "\n";
    }
    return folder;
}

struct Tournament {
    fs::path folder = writeTournament();
    std::uintmax_t bytes = fs::file_size(folder / "big.TXT");
    ~Tournament() { fs::remove_all(folder); }
};

const Tournament& tournament() {
    static const Tournament file;
    return file;
}

void InProcess(benchmark::State& state) {
    const Tournament& file = tournament();
    std::string input = (file.folder / "big.TXT").string();
    std::string page = (file.folder / "big.htm").string();
    for (auto _ : state) {
        CapturedRun run(WEB_PROFILE);
        Frame& frame = run.frame;
        Settings settings;
        TransformState transform{frame, settings};
        openBuffered(frame, input);
        openOutput(frame, page, "wt");
        transformText(transform);
        std::fclose(frame.input);
        frame.input = nullptr;
        closeOutput(frame);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(file.bytes) * state.iterations());
    state.counters["input_MB"] = static_cast<double>(file.bytes) / 1e6;
    state.counters["page_MB"] = static_cast<double>(fs::file_size(page)) / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_kB"] = static_cast<double>(usage.ru_maxrss);
}

void Executable(benchmark::State& state) {
    const Tournament& file = tournament();
    long peak = 0;
    for (auto _ : state) {
        pid_t child = fork();
        if (child == 0) {
            int in = open("/dev/null", O_RDONLY);
            int out = open("/dev/null", O_WRONLY);
            if (in < 0 || out < 0 || chdir(file.folder.c_str()) != 0) _exit(120);
            dup2(in, 0);
            dup2(out, 1);
            execl(TESSARA_TESWEB_PATH, "tesweb", "big.txt", static_cast<char*>(nullptr));
            _exit(121);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("tesweb failed");
            return;
        }
        if (usage.ru_maxrss > peak) peak = usage.ru_maxrss;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(file.bytes) * state.iterations());
    state.counters["peak_rss_kB"] = static_cast<double>(peak);
}

}  // namespace

BENCHMARK(InProcess)->Unit(benchmark::kMillisecond);
BENCHMARK(Executable)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
