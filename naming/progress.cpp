#include "naming/progress.h"

#include <algorithm>

#include "frame/platform.h"

void startProgress(Progress& progress, std::FILE* err, const std::vector<std::string>& files) {
    progress.err = err;
    progress.enabled = isTerminal(err);
    if (!progress.enabled) return;
    progress.start = progress.last = std::chrono::steady_clock::now();
    for (const std::string& file : files) {
        const long long size = file == "-" ? -1 : regularFileSize(file);
        if (size < 0) {
            progress.totalBytes = -1;
            break;
        }
        progress.totalBytes += size;
    }
}

void showProgress(Progress& progress, std::uint64_t games, std::uint64_t fileBytes) {
    const auto now = std::chrono::steady_clock::now();
    if (now - progress.last < std::chrono::milliseconds(250)) return;
    progress.last = now;
    const double seconds = std::chrono::duration<double>(now - progress.start).count();
    const double megabytes = static_cast<double>(progress.doneBytes + fileBytes) / 1e6;
    char line[128];
    int length = std::snprintf(line, sizeof line, "teseco: %llu games, %.1f MB, %.1f MB/s",
                               static_cast<unsigned long long>(games), megabytes,
                               seconds > 0 ? megabytes / seconds : 0.0);
    if (progress.totalBytes > 0 && length > 0) {
        const double share = 100.0 * megabytes * 1e6 / static_cast<double>(progress.totalBytes);
        length += std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length),
                                ", %d%%", static_cast<int>(share > 100 ? 100 : share));
    }
    if (length <= 0) return;
    const std::size_t width = static_cast<std::size_t>(length);
    std::fprintf(progress.err, "\r%s%*s", line,
                 static_cast<int>(progress.width > width ? progress.width - width : 0), "");
    std::fflush(progress.err);
    progress.width = std::max(progress.width, width);
    progress.shown = true;
}

void clearProgress(Progress& progress) {
    if (!progress.shown) return;
    std::fprintf(progress.err, "\r%*s\r", static_cast<int>(progress.width), "");
    std::fflush(progress.err);
    progress.shown = false;
}
