// What the fuzz targets that feed tesweb's transform share: one transform of
// a text of cross blocks, with the default settings and the console
// captured, as a real run does it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "transform/transform.h"

// Transforms `size` bytes into a temporary page and gives the run's exit
// status; the page stays open in frame.output.stream when the run ends with
// status 0, and a fatal stop closes both files itself.
inline int transformBytes(Frame& frame, std::string& console, const std::uint8_t* data,
                          std::size_t size) {
    prepareFrame(frame, WEB_PROFILE, console);
    Settings settings;
    std::unique_ptr<TransformState> state(new TransformState{frame, settings});
    MemoryFile input(data, size);
    frame.input = input.release();
    frame.output.stream = std::tmpfile();
    FUZZ_CHECK(frame.output.stream != nullptr);
    try {
        transformText(*state);
    } catch (const RunEnd& end) {
        return end.status;
    }
    return 0;
}
