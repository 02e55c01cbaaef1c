// For tests and benchmarks: compiles an ECO text in this process with the
// book's own compiler and gives the bytes of the opening file it writes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "book/compiler.h"

// The opening file compiled from `text`, or nothing when the compile stops
// with an error.
inline std::vector<std::uint8_t> compileEcoText(std::string_view text) {
    Frame frame;
    std::string console;
    prepareFrame(frame, BOOK_PROFILE, console);
    frame.pauseFlag = 0;
    auto compiled = std::make_unique<Book>();
    std::vector<std::uint8_t> bytes;
    frame.input = std::tmpfile();
    frame.output.stream = std::tmpfile();
    bool done = false;
    if (frame.input && frame.output.stream) {
        std::fwrite(text.data(), 1, text.size(), frame.input);
        std::rewind(frame.input);
        try {
            allocateBook(frame, *compiled);
            compileBook(frame, *compiled);
            done = true;
        } catch (const RunEnd&) {
        }
    }
    if (done) {
        std::fflush(frame.output.stream);
        bytes.resize(static_cast<std::size_t>(std::ftell(frame.output.stream)));
        std::rewind(frame.output.stream);
        if (std::fread(bytes.data(), 1, bytes.size(), frame.output.stream) != bytes.size()) {
            bytes.clear();
        }
    }
    if (frame.input) std::fclose(frame.input);
    if (frame.output.stream) std::fclose(frame.output.stream);
    frame.input = frame.output.stream = nullptr;
    return bytes;
}

// The text of a file of the source tree, or empty when it cannot be read.
inline std::string sourceText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
