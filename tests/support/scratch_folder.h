// A folder of a test's own that no other test, preset or run uses, removed
// with everything in it when the test ends, whichever way it ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

struct ScratchFolder {
    std::filesystem::path path;

    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tessara-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path / name).string(); }

    // How many files and folders the folder holds.
    std::size_t entries() const {
        auto all = std::filesystem::directory_iterator(path);
        return static_cast<std::size_t>(std::distance(begin(all), end(all)));
    }
};
