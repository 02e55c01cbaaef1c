// For unit tests only: a captured run of the frame (console into a string,
// temporary input and output files, the run's end caught with its status)
// and a scratch folder of a test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "frame/io.h"

// A folder that no other test, preset or run uses, removed with everything
// in it when the test ends, whichever way it ends.
struct ScratchFolder {
    std::filesystem::path path;

    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tessara-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a scratch folder";
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

// One run of a tool's frame with the console captured and the line buffer
// obtained; a test fixture may derive from it to keep the names frame and
// console.
struct CapturedRun {
    Frame frame;
    std::string console;
    int status = 0;  // the status with which the last caught run ended

    explicit CapturedRun(const ToolProfile& profile) { prepareFrame(frame, profile, console); }
    ~CapturedRun() { closeFiles(); }
    CapturedRun(const CapturedRun&) = delete;
    CapturedRun& operator=(const CapturedRun&) = delete;

    // Makes `bytes` the input, read from its start as a new text.
    std::FILE* input(std::string_view bytes) {
        if (frame.input) std::fclose(frame.input);
        frame.input = std::tmpfile();
        std::fwrite(bytes.data(), 1, bytes.size(), frame.input);
        std::rewind(frame.input);
        frame.inputAtEnd = false;
        return frame.input;
    }

    // A new, empty temporary output file.
    std::FILE* output() {
        if (frame.output.stream) std::fclose(frame.output.stream);
        frame.output.stream = std::tmpfile();
        return frame.output.stream;
    }

    // The bytes written to the output so far.
    std::string written() {
        std::FILE* out = frame.output.stream;
        std::fflush(out);
        std::string bytes(static_cast<std::size_t>(std::ftell(out)), '\0');
        std::rewind(out);
        EXPECT_EQ(bytes.size(), std::fread(bytes.data(), 1, bytes.size(), out));
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
