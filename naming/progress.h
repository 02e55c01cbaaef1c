// The progress line of a naming run: on a terminal only, rewritten in place
// a few times a second, and cleared before any message is written.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct Progress {
    std::FILE* err = nullptr;
    bool enabled = false;         // err is a terminal
    bool shown = false;           // a line stands on the terminal now
    long long totalBytes = 0;     // of all files, or -1 when one has no known size
    std::uint64_t doneBytes = 0;  // of the files already read
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point last;
    std::size_t width = 0;
};

// Enables the line when `err` is a terminal, with the sizes of `files` ("-"
// and other streams have none) for the share done.
void startProgress(Progress& progress, std::FILE* err, const std::vector<std::string>& files);

// Rewrites the line, at most four times a second: the games named, the
// megabytes read (`fileBytes` of the current file) and the speed.
void showProgress(Progress& progress, std::uint64_t games, std::uint64_t fileBytes);

// Takes the line off the terminal.
void clearProgress(Progress& progress);
