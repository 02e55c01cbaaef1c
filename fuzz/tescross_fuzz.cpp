// Fuzz target: tescross on any bytes as a PGN file. Whatever it writes, also
// after leaving games or events out, tesweb's cross table writer must read
// without an error; what the sanitizers or the checks below see is a
// finding.
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "pgn/cross_run.h"
#include "tests/support/transform_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryFile input(data, size);
    CrossRun run;
    run.out = std::tmpfile();
    run.err = std::tmpfile();
    FUZZ_CHECK(run.out != nullptr && run.err != nullptr);
    PgnReader reader;
    openPgnStream(reader, input.get(), "fuzz.pgn");
    readGames(run, reader);
    writeBlocks(run);
    FUZZ_CHECK(run.status == 0 || run.status == 1);
    std::vector<char> blocks = writtenBytes(run.out);
    std::vector<char> messages = writtenBytes(run.err);
    std::fclose(run.out);
    std::fclose(run.err);
    FUZZ_CHECK((run.status == 1) == !messages.empty());
    FUZZ_CHECK(messages.empty() || messages.back() == '\n');
    std::string_view text(blocks.data(), blocks.size());
    FUZZ_CHECK(text.empty() || text.starts_with("cross cols="));
    FUZZ_CHECK(text.empty() || (text.ends_with("\n") && !text.ends_with("\n\n")));

    MemoryFile blockFile(reinterpret_cast<const std::uint8_t*>(blocks.data()), blocks.size());
    CapturedRun page(WEB_PROFILE);
    page.useInput(blockFile.release());
    FUZZ_CHECK(page.output() != nullptr);
    int status = transformInput(page, Settings{});
    if (status != 0) std::fprintf(stderr, "tesweb: %s\n", page.console.c_str());
    FUZZ_CHECK(status == 0);
    FUZZ_CHECK(page.console.empty());
    return 0;
}
