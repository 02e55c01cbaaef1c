// The file and console layer that both tools share: buffered files, line
// reading with a line count, writing the output file, and the console
// diagnostics (warning, fatal error, usage) with the clean-up at the end of a
// run. Everything the tools print goes through here, to standard output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "frame/ascii.h"

// How a tool reports a file that it cannot open or buffer.
enum class OpenFailure : std::uint8_t {
    THREE_LINES,  // "\nCannot open file \n", the path, ".", each on its own line
    ERROR_LINE,   // "\nCannot open file PATH.\n", then the fatal error's empty "Error: ."
};

// Everything in which the console tools differ, as data: the frame's code
// is the same for both and asks the profile wherever their rules part.
struct ToolProfile {
    const char* banner;
    const char* usage;
    std::size_t lineBufferSize;  // guard byte included
    const char* outputExtension;
    const char* outputMode;

    // Command line: "-x" and other switches; an argument without a '.' as
    // the input name with ".TXT" appended (else it is ignored).
    bool takesSwitches;
    bool bareNameIsInput;
    // The configuration file is looked for and read before the files open.
    bool readsConfiguration;
    // The output is written beside its name and put in place when complete.
    bool replacesOutputAtEnd;

    // Diagnostics.
    bool usageRepeatsBanner;
    OpenFailure openFailure;
    bool fatalNamesLine;     // "File Error on line %d: %s.\n" once a line has been read
    bool fatalClosesFiles;   // at once, before the message (else at the end of the run)
    const char* warningEnd;  // added after "Warning: " and the message
    bool warningsOnlyWhilePausing;
    // readLine counts every attempt, the one that meets the end included
    // (else only the lines it delivers).
    bool countsFailedReads;

    // Progress messages around the work, shown while pauseFlag is set.
    const char* workStart;
    const char* workEnd;
};

constexpr std::size_t STREAM_BUFFER_SIZE = 4096;

// The characters of a tournament text line, its line end included, that
// are read in one piece; the rest of a longer line arrives as the next line.
// The page's cells and the cross blocks written for it are measured by it.
constexpr std::size_t TOURNAMENT_LINE_LIMIT = 7999;

// The two sets of console rules that the tools follow, each under a banner
// and usage text of its own. The compiler's: switches, line numbers in fatal
// errors, the output put in place only when complete.
constexpr ToolProfile compilerRules(const char* banner, const char* usage) {
    return {
        .banner = banner,
        .usage = usage,
        .lineBufferSize = 16001,
        .outputExtension = ".ECO",
        .outputMode = "wb",
        .takesSwitches = true,
        .bareNameIsInput = false,
        .readsConfiguration = false,
        .replacesOutputAtEnd = true,
        .usageRepeatsBanner = false,
        .openFailure = OpenFailure::THREE_LINES,
        .fatalNamesLine = true,
        .fatalClosesFiles = false,
        .warningEnd = "",
        .warningsOnlyWhilePausing = true,
        .countsFailedReads = true,
        .workStart = "\n\nConverting input file...\n\n",
        .workEnd = "\nFinished ECO file conversion.\n\n",
    };
}

// The page writer's: a bare name is the input, settings are read first,
// fatal errors close the files at once.
constexpr ToolProfile pageWriterRules(const char* banner, const char* usage) {
    return {
        .banner = banner,
        .usage = usage,
        .lineBufferSize = TOURNAMENT_LINE_LIMIT + 2,
        .outputExtension = ".htm",
        .outputMode = "wt",
        .takesSwitches = false,
        .bareNameIsInput = true,
        .readsConfiguration = true,
        .replacesOutputAtEnd = false,
        .usageRepeatsBanner = true,
        .openFailure = OpenFailure::ERROR_LINE,
        .fatalNamesLine = false,
        .fatalClosesFiles = true,
        .warningEnd = ".\n",
        .warningsOnlyWhilePausing = false,
        .countsFailedReads = false,
        .workStart = "\nReading text file...\n\n",
        .workEnd = "\nFinished transforming file\n\n",
    };
}

// Thrown to end the run; main turns it into the exit status after the
// clean-up. Nothing else is ever thrown by the tools' own code.
struct RunEnd {
    int status;
};

// The one output file of a run. Under replacesOutputAtEnd it is written
// beside its final name and renamed over it only once complete, so that a
// failed run never destroys or half-writes an existing file.
struct OutputFile {
    std::FILE* stream = nullptr;
    std::unique_ptr<char[]> buffer;
    std::string path;      // the name the user sees
    std::string tempPath;  // empty when written in place
};

// The state of one run of either tool, owned by main and passed down.
struct Frame {
    const ToolProfile* profile = nullptr;
    int pauseFlag = 1;
    int lineCounter = 0;
    bool cleanupRegistered = false;

    // lineBuffer[0] always holds 0; lines are read from lineBuffer[1] on.
    std::unique_ptr<char[]> lineBuffer;
    std::size_t lineLength = 0;  // bytes delivered by the last readLine

    std::FILE* input = nullptr;
    std::unique_ptr<char[]> inputBuffer;
    bool inputAtEnd = false;  // set once a read has found no more data
    OutputFile output;

    // Console sink: standard output, or a string when a test captures it.
    std::FILE* console = stdout;
    std::string* consoleCapture = nullptr;
    // Where the pause at exit reads from; null means standard input.
    std::FILE* pauseInput = nullptr;

    char* line() { return lineBuffer.get() + 1; }
};

// One value for writeFormatted: a number (for %d and %c) or a text (%s).
struct FormatValue {
    FormatValue(int number) : number(number) {}
    FormatValue(const char* text) : text(text) {}
    int number = 0;
    const char* text = nullptr;
};

// Console output, unformatted and printf-formatted.
void say(Frame& frame, std::string_view text);
void sayf(Frame& frame, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Obtains the line buffer of the tool's size with its leading 0 byte.
void obtainLineBuffer(Frame& frame);

// Opens the text file to read (see frame/text_file.h) with a 4,096-byte
// stream buffer; a failure to open is reported in the tool's form and ends
// the run.
std::FILE* openBuffered(Frame& frame, const std::string& path);

// Opens the output file. Under replacesOutputAtEnd the stream goes to a new
// temporary file beside `path` (never one that existed before the run) that
// closeOutput renames over it.
void openOutput(Frame& frame, const std::string& path, const char* mode);

// Flushes and closes the output, putting a temporary file in place; a write
// failure ends the run with "Disk full", a file that cannot be replaced with
// the report of an output that cannot be opened.
void closeOutput(Frame& frame);

// Closes every open file after a fatal stop: an output written in place
// keeps what was written; a temporary output file is removed.
void abandonFiles(Frame& frame);

// Writes text to the output file; a null text writes nothing. A failing
// write ends the run with "Disk full".
int writeText(Frame& frame, const char* text);
void writeBytes(Frame& frame, const void* bytes, std::size_t count);

// Writes a format with %%, %c, %d and %s to the output file; any other
// conversion is dropped together with its '%' and takes no value.
void writeFormatted(Frame& frame, const char* format,
                    std::initializer_list<FormatValue> values = {});

// Reads the next line into frame.line(), its line end kept, at most the
// tool's limit of characters; "\r\n" arrives as one "\n". Gives null at the
// end of the input, which a Ctrl-Z byte ends as well. Under countsFailedReads
// lineCounter counts every attempt, else only the lines that were read. A
// NUL byte in the text ends the run.
char* readLine(Frame& frame, std::FILE* stream);

void warning(Frame& frame, const char* message);
// Prints the fatal error in the tool's form (closing the files where the
// tool does so at once) without ending the run: fatalError and the last
// resort of runTool use it.
void reportFatal(Frame& frame, const char* message);
[[noreturn]] void fatalError(Frame& frame, const char* message);
[[noreturn]] void showUsage(Frame& frame);
[[noreturn]] void endRun(Frame& frame, int status);

// Releases the buffers and, while pauseFlag is set, waits for a line end on
// standard input; returns at once when the input is at its end.
void releaseAndPause(Frame& frame);
