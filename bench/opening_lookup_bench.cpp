// Nanoseconds per board lookup in the lichess sample book (7,848 boards),
// for boards of the book (hits) and boards next to them that it does not
// hold (misses), in a shuffled order: findPlacement, open addressing on a
// hash of the board, against halving the sorted keys, which it replaced
// (about 7 ns against 105 ns per lookup on the machine it was measured on).
// Run: build/default/bench/opening_lookup_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "book/opening_reader.h"
#include "tests/support/book_support.h"

namespace {

using Key = std::array<std::uint8_t, PACKED_BOARD_SIZE>;

// The lichess sample, compiled in this process.
const OpeningBook& sampleBook() {
    static OpeningBook book = [] {
        std::vector<std::uint8_t> bytes =
            compileEcoText(sourceText(TESSARA_SOURCE_DIR "/data/lichess-openings.txt"));
        OpeningBook loaded;
        BookError error;
        if (!loadOpeningBook(std::move(bytes), loaded, error)) std::abort();
        return loaded;
    }();
    return book;
}

// The book's boards, shuffled, or each with two squares swapped so that it
// is no board of the book.
std::vector<Key> probes(bool hits) {
    const OpeningBook& book = sampleBook();
    std::vector<Key> keys;
    std::mt19937 random(7);
    for (std::int32_t i = 0; i < book.positionCount; ++i) {
        Key key;
        std::memcpy(key.data(), book.keys + 32 * std::size_t(i), PACKED_BOARD_SIZE);
        if (!hits) {
            int a = static_cast<int>(random() % 32), b = static_cast<int>(random() % 32);
            std::swap(key[static_cast<std::size_t>(a)], key[static_cast<std::size_t>(b)]);
            key[static_cast<std::size_t>(a)] ^= 0x01;
            if (findPlacement(book, reinterpret_cast<const std::uint8_t(&)[32]>(*key.data())) >= 0)
                continue;
        }
        keys.push_back(key);
    }
    std::shuffle(keys.begin(), keys.end(), random);
    return keys;
}

// The other way: halving the sorted keys.
std::int32_t halving(const OpeningBook& book, const std::uint8_t* key) {
    std::int32_t low = 0, high = book.positionCount;
    while (low < high) {
        std::int32_t middle = low + (high - low) / 2;
        int order = std::memcmp(book.keys + 32 * std::size_t(middle), key, PACKED_BOARD_SIZE);
        if (order == 0) return middle;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return -1;
}

template <typename Lookup>
void run(benchmark::State& state, bool hits, Lookup lookup) {
    std::vector<Key> keys = probes(hits);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookup(keys[next].data()));
        if (++next == keys.size()) next = 0;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void FindPlacementHits(benchmark::State& state) {
    const OpeningBook& book = sampleBook();
    run(state, true, [&](const std::uint8_t* key) {
        return findPlacement(book, reinterpret_cast<const std::uint8_t(&)[32]>(*key));
    });
}
void FindPlacementMisses(benchmark::State& state) {
    const OpeningBook& book = sampleBook();
    run(state, false, [&](const std::uint8_t* key) {
        return findPlacement(book, reinterpret_cast<const std::uint8_t(&)[32]>(*key));
    });
}
void HalvingHits(benchmark::State& state) {
    const OpeningBook& book = sampleBook();
    run(state, true, [&](const std::uint8_t* key) { return halving(book, key); });
}
void HalvingMisses(benchmark::State& state) {
    const OpeningBook& book = sampleBook();
    run(state, false, [&](const std::uint8_t* key) { return halving(book, key); });
}
}  // namespace

BENCHMARK(FindPlacementHits);
BENCHMARK(FindPlacementMisses);
BENCHMARK(HalvingHits);
BENCHMARK(HalvingMisses);

BENCHMARK_MAIN();
