// Fuzz target: tescross on any bytes as a PGN file. Whatever it writes, also
// after leaving games or events out, tesweb's cross table writer must read
// without an error; what the sanitizers or the checks below see is a
// finding.
#include <string_view>

#include "fuzz/cross_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryFile input(data, size);
    CrossRun run;
    PgnReader reader;
    std::vector<char> blocks = crossBlocks(run, [&] {
        openPgnStream(reader, input.get(), "fuzz.pgn");
        readGames(run, reader);
    });
    std::string_view text(blocks.data(), blocks.size());
    FUZZ_CHECK(text.empty() || (text.ends_with("\n") && !text.ends_with("\n\n")));
    checkPageReads(blocks);
    return 0;
}
