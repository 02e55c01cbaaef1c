// What the two fuzz targets of the tournament tables share: one run of the
// cross table step over output streams of its own, with the checks every
// run must pass, and the check that the page writer reads what it wrote.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/support/transform_support.h"
#include "tournament/cross_run.h"

// Runs `read` (which fills the run with games or events) and the writing
// of the blocks on temporary output streams, checks that the status is 0
// or 1, that a message is written exactly when it is 1 and ends its line,
// and that the blocks begin as a cross block; gives the blocks.
template <typename Read>
std::vector<char> crossBlocks(CrossRun& run, Read&& read) {
    run.out = std::tmpfile();
    run.err = std::tmpfile();
    FUZZ_CHECK(run.out != nullptr && run.err != nullptr);
    read();
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
    return blocks;
}

// The page writer reads the blocks to the end without a word.
inline void checkPageReads(const std::vector<char>& blocks) {
    MemoryFile blockFile(reinterpret_cast<const std::uint8_t*>(blocks.data()), blocks.size());
    CapturedRun page(WEB_PROFILE);
    page.useInput(blockFile.release());
    FUZZ_CHECK(page.output() != nullptr);
    int status = transformInput(page, Settings{});
    if (status != 0) std::fprintf(stderr, "tesweb: %s\n", page.console.c_str());
    FUZZ_CHECK(status == 0);
    FUZZ_CHECK(page.console.empty());
}
