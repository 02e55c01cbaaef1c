// Fuzz target: tescross on any bytes as a TRF file, as a Swiss table, as a
// grid and as each event chooses, with every tie-break. Whatever it writes
// with status 0, tesweb's cross table writer must read without an error;
// what the sanitizers or the checks below see is a finding.
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "tests/support/transform_support.h"
#include "tournament/cross_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (Layout layout : {Layout::AUTO, Layout::SWISS, Layout::GRID}) {
        CrossRun run;
        run.layout = layout;
        if (layout == Layout::SWISS) {
            std::string unknown;
            FUZZ_CHECK(
                parseTieBreaks("BH/C1,BH/M2,SB/M1,SB/C2,PS/C1,ARO/C1,TPR,DE,WIN,WON,BPG,"
                               "BWG,KS",
                               run.tieBreaks, unknown));
            run.tieBreaksGiven = true;
        }
        run.out = std::tmpfile();
        run.err = std::tmpfile();
        FUZZ_CHECK(run.out != nullptr && run.err != nullptr);
        readTrfEvent(run, "fuzz.trf", text);
        writeBlocks(run);
        FUZZ_CHECK(run.status == 0 || run.status == 1);
        std::vector<char> blocks = writtenBytes(run.out);
        std::vector<char> messages = writtenBytes(run.err);
        std::fclose(run.out);
        std::fclose(run.err);
        FUZZ_CHECK((run.status == 1) == !messages.empty());
        FUZZ_CHECK(messages.empty() || messages.back() == '\n');
        std::string_view written(blocks.data(), blocks.size());
        FUZZ_CHECK(written.empty() || written.starts_with("cross cols="));
        if (run.status != 0) continue;

        MemoryFile blockFile(reinterpret_cast<const std::uint8_t*>(blocks.data()), blocks.size());
        CapturedRun page(WEB_PROFILE);
        page.useInput(blockFile.release());
        FUZZ_CHECK(page.output() != nullptr);
        int status = transformInput(page, Settings{});
        if (status != 0) std::fprintf(stderr, "tesweb: %s\n", page.console.c_str());
        FUZZ_CHECK(status == 0);
        FUZZ_CHECK(page.console.empty());
    }
    return 0;
}
