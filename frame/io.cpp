#include "frame/io.h"

#include <cstdarg>
#include <cstring>
#include <new>

#include "frame/platform.h"
#include "frame/text_file.h"

void say(Frame& frame, std::string_view text) {
    if (frame.consoleCapture) {
        frame.consoleCapture->append(text);
    } else {
        std::fwrite(text.data(), 1, text.size(), frame.console);
    }
}

void sayf(Frame& frame, const char* format, ...) {
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        say(frame, std::string_view(small, static_cast<std::size_t>(length)));
    } else {
        std::string large(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(large.data(), large.size(), format, again);
        large.pop_back();
        say(frame, large);
    }
    va_end(again);
}

void obtainLineBuffer(Frame& frame) {
    frame.lineBuffer.reset(new (std::nothrow) char[frame.profile->lineBufferSize]);
    if (!frame.lineBuffer) fatalError(frame, "Can't allocate memory for reading file(s)");
    std::memset(frame.lineBuffer.get(), 0, frame.profile->lineBufferSize);
    frame.lineLength = 0;
}

// Ends the run after a file could not be opened or buffered: with the
// fatal error's empty "Error: ." line, or without one.
[[noreturn]] static void stopAfterFileFailure(Frame& frame) {
    if (frame.profile->openFailure == OpenFailure::ERROR_LINE) fatalError(frame, "");
    frame.pauseFlag = 1;
    endRun(frame, 1);
}

// Reports a file that cannot be opened, in the tool's own form.
[[noreturn]] static void cannotOpen(Frame& frame, const std::string& path) {
    if (frame.profile->openFailure == OpenFailure::THREE_LINES) {
        sayf(frame, "\nCannot open file \n%s\n.\n\n", path.c_str());
    } else {
        sayf(frame, "\nCannot open file %s.\n", path.c_str());
    }
    stopAfterFileFailure(frame);
}

[[noreturn]] static void noStreamBuffer(Frame& frame) {
    say(frame, "\nCan't create a buffer for files.\n");
    stopAfterFileFailure(frame);
}

// Gives an open stream its 4,096-byte buffer; `stream` is closed when that
// fails.
static void giveBuffer(Frame& frame, std::FILE* stream, std::unique_ptr<char[]>& buffer) {
    buffer.reset(new (std::nothrow) char[STREAM_BUFFER_SIZE]);
    if (!buffer || std::setvbuf(stream, buffer.get(), _IOFBF, STREAM_BUFFER_SIZE) != 0) {
        std::fclose(stream);
        noStreamBuffer(frame);
    }
}

static std::FILE* openWithBuffer(Frame& frame, const std::string& path, const char* mode,
                                 std::unique_ptr<char[]>& buffer) {
    std::FILE* stream = isDirectory(path) ? nullptr : std::fopen(path.c_str(), mode);
    if (!stream) cannotOpen(frame, path);
    giveBuffer(frame, stream, buffer);
    return stream;
}

std::FILE* openBuffered(Frame& frame, const std::string& path) {
    std::FILE* stream = openTextFile(path);
    if (!stream) cannotOpen(frame, path);
    giveBuffer(frame, stream, frame.inputBuffer);
    startOfText(stream);
    frame.input = stream;
    frame.inputAtEnd = false;
    return frame.input;
}

// Creates the temporary file beside `path` under a name that no file has
// yet, so that a file the run did not create is never overwritten.
static std::FILE* createTemporary(Frame& frame, const std::string& path) {
    constexpr int ATTEMPTS = 100;
    for (int attempt = 0; attempt < ATTEMPTS; ++attempt) {
        std::string name = temporaryNameBeside(path, attempt);
        bool existed = false;
        if (std::FILE* stream = createNewFile(name, existed)) {
            frame.output.tempPath = name;
            return stream;
        }
        if (!existed) break;
    }
    cannotOpen(frame, path);
}

void openOutput(Frame& frame, const std::string& path, const char* mode) {
    OutputFile& out = frame.output;
    out.path = path;
    out.tempPath.clear();
    if (!frame.profile->replacesOutputAtEnd) {
        out.stream = openWithBuffer(frame, path, mode, out.buffer);
        return;
    }
    // An existing output file must be one we may replace: a read-only file
    // or a directory of that name is reported before any work is done.
    if (pathExists(path)) {
        std::FILE* probe = isDirectory(path) ? nullptr : std::fopen(path.c_str(), "r+b");
        if (!probe) cannotOpen(frame, path);
        std::fclose(probe);
    }
    std::FILE* stream = createTemporary(frame, path);
    giveBuffer(frame, stream, out.buffer);
    out.stream = stream;
}

void closeOutput(Frame& frame) {
    OutputFile& out = frame.output;
    if (!out.stream) return;
    bool failed = std::fflush(out.stream) != 0 || std::ferror(out.stream) != 0;
    failed = std::fclose(out.stream) != 0 || failed;
    out.stream = nullptr;
    if (failed) fatalError(frame, "Disk full");
    // A file that another program holds open (the viewer, on Windows) cannot
    // be replaced: that is an output that cannot be opened, and the old file
    // stays.
    if (!out.tempPath.empty() && !replaceFile(out.tempPath, out.path)) cannotOpen(frame, out.path);
    out.tempPath.clear();
}

void abandonFiles(Frame& frame) {
    if (frame.input) {
        std::fclose(frame.input);
        frame.input = nullptr;
    }
    OutputFile& out = frame.output;
    if (out.stream) {
        std::fclose(out.stream);
        out.stream = nullptr;
    }
    if (!out.tempPath.empty()) {
        removeFile(out.tempPath);
        out.tempPath.clear();
    }
}

int writeText(Frame& frame, const char* text) {
    if (!text) return 0;
    if (std::fputs(text, frame.output.stream) == EOF) fatalError(frame, "Disk full");
    return 1;
}

void writeBytes(Frame& frame, const void* bytes, std::size_t count) {
    if (std::fwrite(bytes, 1, count, frame.output.stream) != count) fatalError(frame, "Disk full");
}

void writeFormatted(Frame& frame, const char* format, std::initializer_list<FormatValue> values) {
    std::FILE* out = frame.output.stream;
    const FormatValue* next = values.begin();
    auto take = [&]() -> const FormatValue& {
        static const FormatValue none(0);
        return next != values.end() ? *next++ : none;
    };
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            // The plain text up to the next conversion goes out in one write.
            std::size_t run = std::strcspn(p, "%");
            std::fwrite(p, 1, run, out);
            p += run - 1;
            continue;
        }
        ++p;
        switch (*p) {
            case '%':
                std::fputc('%', out);
                break;
            case 'c':
                std::fputc(static_cast<unsigned char>(take().number), out);
                break;
            case 'd': {
                char digits[16];
                int length = std::snprintf(digits, sizeof digits, "%d", take().number);
                std::fwrite(digits, 1, static_cast<std::size_t>(length), out);
                break;
            }
            case 's': {
                const char* text = take().text;
                if (text) std::fputs(text, out);
                break;
            }
            case '\0':
                return;
            default:
                break;
        }
    }
}

// Every reader takes a 0 byte for the end of its line, so whatever followed
// it would be dropped without a word: a NUL stops the run instead, naming
// the line (the form of fatalNamesLine names it already).
[[noreturn]] static void nulInLine(Frame& frame) {
    if (frame.profile->fatalNamesLine) fatalError(frame, "NUL character in line");
    char message[64];
    std::snprintf(message, sizeof message, "NUL character in line %d", frame.lineCounter + 1);
    fatalError(frame, message);
}

char* readLine(Frame& frame, std::FILE* stream) {
    bool countAttempt = frame.profile->countsFailedReads;
    if (countAttempt) ++frame.lineCounter;
    // The line area holds the tool's limit of characters and a terminator.
    std::size_t limit = frame.profile->lineBufferSize - 2;
    char* line = frame.line();
    std::size_t length = 0;
    while (length < limit) {
        int c = readTextByte(stream);
        if (c == EOF) break;
        if (c == '\0') nulInLine(frame);
        if (c == '\r') {
            int after = readTextByte(stream);
            if (after == '\n') {
                c = '\n';
            } else if (after != EOF) {
                std::ungetc(after, stream);
            }
        }
        line[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    line[length] = '\0';
    frame.lineLength = length;
    if (length == 0) {
        frame.inputAtEnd = true;
        return nullptr;
    }
    if (!countAttempt) ++frame.lineCounter;
    return line;
}

void warning(Frame& frame, const char* message) {
    if (frame.profile->warningsOnlyWhilePausing && !frame.pauseFlag) return;
    sayf(frame, "Warning: %s%s", message, frame.profile->warningEnd);
}

// Every stop pauses at the end (a -x run too). Under fatalClosesFiles the
// output holds what was written so far, on disk before the message; else
// the files are closed by the end of the run.
void reportFatal(Frame& frame, const char* message) {
    frame.pauseFlag = 1;
    if (frame.profile->fatalClosesFiles) abandonFiles(frame);
    if (frame.profile->fatalNamesLine && frame.lineCounter != 0) {
        sayf(frame, "File Error on line %d: %s.\n", frame.lineCounter, message);
    } else {
        sayf(frame, "Error: %s.\n", message);
    }
}

void fatalError(Frame& frame, const char* message) {
    reportFatal(frame, message);
    endRun(frame, 1);
}

void showUsage(Frame& frame) {
    frame.pauseFlag = 1;
    if (frame.profile->usageRepeatsBanner) say(frame, frame.profile->banner);
    say(frame, frame.profile->usage);
    endRun(frame, 1);
}

void endRun(Frame& frame, int status) {
    if (frame.console && !frame.consoleCapture) std::fflush(frame.console);
    throw RunEnd{status};
}

void releaseAndPause(Frame& frame) {
    frame.lineBuffer.reset();
    if (frame.console && !frame.consoleCapture) std::fflush(frame.console);
    if (!frame.pauseFlag) return;
    std::FILE* in = frame.pauseInput ? frame.pauseInput : stdin;
    for (;;) {
        int c = std::getc(in);
        if (c == EOF || c == '\n') break;
    }
}
