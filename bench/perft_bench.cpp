// Perft speed of the chess position: generation, make/take back, the
// king-safety and castling tests and commitMove, counted as leaf nodes per
// second. Run: build/default/bench/perft_bench
#include <benchmark/benchmark.h>

#include <cstdint>

#include "tests/support/chess_support.h"

namespace {

void runPerft(benchmark::State& state, const char* fen) {
    Position position;
    if (!chess_test::setupFen(position, fen)) {
        state.SkipWithError("bad FEN");
        return;
    }
    const int depth = static_cast<int>(state.range(0));
    std::uint64_t nodes = 0;
    for (auto _ : state) {
        const std::uint64_t count = chess_test::perft(position, depth);
        benchmark::DoNotOptimize(count);
        nodes += count;
    }
    state.counters["nodes"] = static_cast<double>(nodes) / static_cast<double>(state.iterations());
    state.counters["nodes/s"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}

void StartPosition(benchmark::State& state) {
    runPerft(state, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
}

void Kiwipete(benchmark::State& state) {
    runPerft(state, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
}

}  // namespace

BENCHMARK(StartPosition)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(Kiwipete)->Arg(4)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
