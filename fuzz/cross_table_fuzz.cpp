// Fuzz target: tesweb's transform of one text file of cross blocks into the
// page. A fatal stop is a proper end; what the sanitizers or the checks
// below see is a finding.
#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "tests/support/transform_support.h"

namespace {

std::size_t occurrences(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A fatal stop closes both files itself, as it does in a real run.
    MemoryFile input(data, size);  // holds the bytes the stream reads
    CapturedRun run(WEB_PROFILE);
    run.useInput(input.release());
    FUZZ_CHECK(run.output() != nullptr);
    int status = transformInput(run, Settings{});
    if (status != 0) {
        FUZZ_CHECK(status == 1);
        FUZZ_CHECK(run.frame.input == nullptr && run.frame.output.stream == nullptr);
        FUZZ_CHECK(!run.console.empty() && run.console.back() == '\n');
        return 0;
    }
    FUZZ_CHECK(run.console.empty());

    // A complete page: at most one head, before the first table, every
    // table closed, and the page end last.
    const std::string bytes = run.written();
    std::string_view page(bytes);
    constexpr std::string_view PAGE_END = "</BODY></HTML>\n";
    FUZZ_CHECK(page.size() >= PAGE_END.size() &&
               page.substr(page.size() - PAGE_END.size()) == PAGE_END);
    std::size_t heads = occurrences(page, "<HTML>\n<HEAD>\n");
    std::size_t tables = occurrences(page, "<TABLE class='tgcb' CELLSPACING='0'>\n");
    FUZZ_CHECK(heads == (tables > 0 ? 1u : 0u));
    FUZZ_CHECK(tables == occurrences(page, "</TABLE></DIV><BR>\n"));
    FUZZ_CHECK(tables == 0 || page.starts_with("<HTML>\n<HEAD>\n"));
    return 0;
}
