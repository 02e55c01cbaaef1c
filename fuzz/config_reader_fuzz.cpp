// Fuzz target: tesweb's reader of the suite's configuration file over one
// file's bytes. A fatal stop is a proper end; what the sanitizers or the
// checks below see is a finding.
#include <cctype>
#include <cstring>
#include <string>

#include "config/config_reader.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/captured_run.h"
#include "tests/support/tool_profiles.h"

namespace {

bool terminated(const char (&field)[STRING_SETTING_SIZE]) {
    return std::memchr(field, '\0', sizeof field) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CapturedRun run(WEB_RULES);
    const std::string& console = run.console;
    Settings settings;

    MemoryFile input(data, size);
    const int status =
        run.run([&] { readConfiguration(run.frame, input.get(), settings); }) ? 0 : run.status;
    FUZZ_CHECK(status == 0 || status == 1);
    FUZZ_CHECK(!console.empty() && console.back() == '\n');

    // Whatever was read, every setting stays within its range.
    FUZZ_CHECK(settings.pcsize >= 10 && settings.pcsize <= 75);
    FUZZ_CHECK(settings.padding <= 400);
    for (std::uint32_t flag :
         {settings.newcode, settings.resultflag, settings.pgnheader, settings.flags}) {
        FUZZ_CHECK(flag <= 1);
    }
    for (const auto* field :
         {&settings.imgurl, &settings.symurl, &settings.flagurl, &settings.pcletters,
          &settings.boardimage, &settings.stylesheet, &settings.crosstablecss}) {
        FUZZ_CHECK(terminated(*field));
    }
    for (const char* c = settings.crosstablecss; *c; ++c) FUZZ_CHECK(!(*c >= 'A' && *c <= 'Z'));
    return 0;
}
