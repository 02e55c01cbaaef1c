// The files and streams of a test: the bytes of a file, a temporary stream
// that holds given bytes, and what was written to a stream.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// The bytes of a file; empty when it cannot be read.
inline std::string fileText(const std::string& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[65536];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
            text.append(chunk, got);
        }
        std::fclose(file);
    }
    return text;
}

// A temporary stream that holds `bytes`, to be read from its start.
inline std::FILE* streamOf(std::string_view bytes) {
    std::FILE* stream = std::tmpfile();
    if (stream) {
        std::fwrite(bytes.data(), 1, bytes.size(), stream);
        std::rewind(stream);
    }
    return stream;
}

// Everything written to a stream opened for update, read from its start;
// the stream stays open.
inline std::string streamText(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0;) {
        text.append(chunk, got);
    }
    return text;
}

// What was written to a temporary stream, which is then closed.
inline std::string takeWritten(std::FILE* stream) {
    std::string text = streamText(stream);
    std::fclose(stream);
    return text;
}
