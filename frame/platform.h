// Every call into the operating system that the tools make, in one place:
// path separators, the program's own path, the working directory and the
// file-system operations that the standard library does not offer.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

// True for a character that separates directories in a path: '/' on POSIX;
// '\', '/' and ':' on Windows.
bool isPathSeparator(char c);

// The separator the platform writes when it joins a directory and a name.
char pathSeparator();

// The full path of the running program's file, or empty when unknown.
std::string modulePath();

// The current working directory, or nothing when it cannot be obtained.
std::optional<std::string> currentDirectory();

bool pathExists(const std::string& path);
bool isDirectory(const std::string& path);

// Why `path` could not be opened or read, in the system's words: "Is a
// directory" for a directory, else the text of `error`, the errno value the
// failed open or read left ("No such file or directory", "Permission
// denied"); an error of 0 (none known) reads as an input/output error.
std::string fileErrorText(const std::string& path, int error);

// The name of the temporary file beside `path`: the path, the process id
// and, from the second attempt on, the attempt's number, then ".tmp".
std::string temporaryNameBeside(const std::string& path, int attempt);

// Creates `path` and opens it for writing in binary mode, only when no file
// of that name exists yet, so that a file the run did not create is never
// replaced. Gives null when it cannot; `existed` then tells whether a file
// of that name was in the way.
std::FILE* createNewFile(const std::string& path, bool& existed);

// Moves `from` over `to`, replacing an existing file.
bool replaceFile(const std::string& from, const std::string& to);
void removeFile(const std::string& path);

// Obtains a zero-filled block for a table that lives for the whole run, or
// null. Where the system offers huge pages the block asks for them: a table
// of a few megabytes then costs one page fault instead of hundreds.
void* obtainTableBlock(std::size_t bytes);
void releaseTableBlock(void* block);

// Lets a write to a pipe whose reader has gone fail with EPIPE instead of
// ending the process with a signal, so that a filter can end in order.
void ignoreBrokenPipe();

// Standard input and output carry bytes as they are: Windows would
// otherwise turn line ends into "\r\n" and stop reading at a ^Z.
void useBinaryStandardStreams();

// Reads one byte of a stream without taking its lock: the tools run on one
// thread, and line reading goes byte by byte.
inline int readByte(std::FILE* stream) {
#ifdef _WIN32
    return std::getc(stream);
#else
    return getc_unlocked(stream);
#endif
}

// Switches a stream that is already open to binary mode: standard input must
// give its bytes as they are, "\r\n" included, on Windows too.
void setBinaryMode(std::FILE* stream);

// Is the stream a terminal (a console on Windows)? Progress lines are shown
// only there.
bool isTerminal(std::FILE* stream);

// The size in bytes of a regular file, or -1 when it is not one or unknown
// (standard input, a pipe).
long long regularFileSize(const std::string& path);
