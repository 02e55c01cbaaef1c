// What the fuzz targets share: the input as a read-only stream, a scratch
// output file, and the check that turns a broken promise into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

// Stops the run as a finding when a promise of the code does not hold.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

// The fuzzer's bytes as a stream opened for reading, the way a text file is
// read: every byte, NULs included, comes back as it is.
class MemoryFile {
  public:
    MemoryFile(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size) {
        bytes_.push_back(0);  // fmemopen wants a buffer even for no bytes
        stream_ = fmemopen(bytes_.data(), size, "r");
        FUZZ_CHECK(stream_ != nullptr);
    }
    ~MemoryFile() {
        if (stream_) std::fclose(stream_);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    std::FILE* get() const { return stream_; }
    // Hands the stream to code that closes it itself.
    std::FILE* release() {
        std::FILE* stream = stream_;
        stream_ = nullptr;
        return stream;
    }

  private:
    std::vector<std::uint8_t> bytes_;
    std::FILE* stream_ = nullptr;
};

// Everything written to a stream since it was opened, read back.
inline std::vector<char> writtenBytes(std::FILE* stream) {
    FUZZ_CHECK(std::fflush(stream) == 0);
    long length = std::ftell(stream);
    FUZZ_CHECK(length >= 0);
    std::vector<char> bytes(static_cast<std::size_t>(length));
    std::rewind(stream);
    FUZZ_CHECK(std::fread(bytes.data(), 1, bytes.size(), stream) == bytes.size());
    return bytes;
}
