// A run of a tool's own parts without the start-up, for unit tests, fuzz
// targets and benchmarks alike: the frame with its console captured into a
// string, the input and the output in temporary files, and the end of the
// run caught with its status.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "frame/io.h"
#include "tests/support/file_text.h"

struct CapturedRun {
    Frame frame;
    std::string console;
    int status = 0;  // the status with which the last caught run ended

    // The profile, the console captured into `console`, the line buffer.
    explicit CapturedRun(const ToolProfile& profile) {
        frame.profile = &profile;
        frame.consoleCapture = &console;
        obtainLineBuffer(frame);
    }
    ~CapturedRun() { closeFiles(); }
    CapturedRun(const CapturedRun&) = delete;
    CapturedRun& operator=(const CapturedRun&) = delete;

    // Makes `bytes` the input, read from its start as a new text.
    std::FILE* input(std::string_view bytes) { return useInput(streamOf(bytes)); }

    // Makes an open stream the input; the run closes it.
    std::FILE* useInput(std::FILE* stream) {
        if (frame.input) std::fclose(frame.input);
        frame.input = stream;
        frame.inputAtEnd = false;
        return frame.input;
    }

    // A new, empty temporary output file.
    std::FILE* output() {
        if (frame.output.stream) std::fclose(frame.output.stream);
        frame.output.stream = std::tmpfile();
        return frame.output.stream;
    }

    // The bytes written to the output so far; empty when there is none.
    std::string written() {
        std::FILE* out = frame.output.stream;
        if (!out || std::fflush(out) != 0) return {};
        long length = std::ftell(out);
        if (length <= 0) return {};
        std::string bytes(static_cast<std::size_t>(length), '\0');
        std::rewind(out);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), out));
        return bytes;
    }

    void closeFiles() {
        if (frame.input) std::fclose(frame.input);
        if (frame.output.stream) std::fclose(frame.output.stream);
        frame.input = nullptr;
        frame.output.stream = nullptr;
    }

    // Runs `step`; true when it returned, false when it ended the run, whose
    // status is then in `status`.
    template <typename Step>
    bool run(Step&& step) {
        try {
            step();
            return true;
        } catch (const RunEnd& end) {
            status = end.status;
            return false;
        }
    }
};
