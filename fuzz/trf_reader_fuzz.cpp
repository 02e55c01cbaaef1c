// Fuzz target: tescross on any bytes as a TRF file, as a Swiss table, as a
// grid and as each event chooses, with every tie-break. Whatever it writes
// with status 0, tesweb's cross table writer must read without an error;
// what the sanitizers or the checks below see is a finding.
#include <string>
#include <string_view>

#include "fuzz/cross_fuzz_support.h"

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
        std::vector<char> blocks = crossBlocks(run, [&] { readTrfEvent(run, "fuzz.trf", text); });
        if (run.status == 0) checkPageReads(blocks);
    }
    return 0;
}
