// For tests and benchmarks: compiles an ECO text in this process with the
// book's own compiler and gives the bytes of the opening file it writes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "book/compiler.h"
#include "tests/support/captured_run.h"
#include "tests/support/file_text.h"

// The opening file compiled from `text`, or nothing when the compile stops
// with an error.
inline std::vector<std::uint8_t> compileEcoText(std::string_view text) {
    CapturedRun run(BOOK_PROFILE);
    run.frame.pauseFlag = 0;
    auto compiled = std::make_unique<Book>();
    if (!run.input(text) || !run.output()) return {};
    bool done = run.run([&] {
        allocateBook(run.frame, *compiled);
        compileBook(run.frame, *compiled);
    });
    if (!done) return {};
    std::string bytes = run.written();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// The text of a file of the source tree, or empty when it cannot be read.
inline std::string sourceText(const std::string& path) {
    return fileText(path);
}
