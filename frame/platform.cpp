#include "frame/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#endif

#ifdef _WIN32

bool isPathSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}
char pathSeparator() {
    return '\\';
}

std::string modulePath() {
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(path, length);
}

std::optional<std::string> currentDirectory() {
    char* path = _getcwd(nullptr, 0);
    if (!path) return std::nullopt;
    std::string result(path);
    std::free(path);
    return result;
}

static int processId() {
    return _getpid();
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::FILE* createNewFile(const std::string& path, bool& existed) {
    int descriptor =
        _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    existed = descriptor < 0 && errno == EEXIST;
    if (descriptor < 0) return nullptr;
    std::FILE* stream = _fdopen(descriptor, "wb");
    if (!stream) _close(descriptor);
    return stream;
}

bool pathExists(const std::string& path) {
    struct _stat info;
    return _stat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string& path) {
    struct _stat info;
    return _stat(path.c_str(), &info) == 0 && (info.st_mode & _S_IFDIR) != 0;
}

void* obtainTableBlock(std::size_t bytes) {
    return std::calloc(1, bytes);
}

void releaseTableBlock(void* block) {
    std::free(block);
}

void ignoreBrokenPipe() {}

void useBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

#else

bool isPathSeparator(char c) {
    return c == '/';
}

void* obtainTableBlock(std::size_t bytes) {
    constexpr std::size_t HUGE_PAGE = 2 * 1024 * 1024;
    std::size_t rounded = (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
    void* block = std::aligned_alloc(HUGE_PAGE, rounded);
    if (!block) return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(block, rounded, MADV_HUGEPAGE);
#endif
    std::memset(block, 0, bytes);
    return block;
}

void releaseTableBlock(void* block) {
    std::free(block);
}
char pathSeparator() {
    return '/';
}

std::string modulePath() {
    char path[PATH_MAX + 1];
    ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) return {};
    return std::string(path, static_cast<std::size_t>(length));
}

std::optional<std::string> currentDirectory() {
    char* path = getcwd(nullptr, 0);
    if (!path) return std::nullopt;
    std::string result(path);
    std::free(path);
    return result;
}

static int processId() {
    return static_cast<int>(getpid());
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::FILE* createNewFile(const std::string& path, bool& existed) {
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    existed = descriptor < 0 && errno == EEXIST;
    if (descriptor < 0) return nullptr;
    std::FILE* stream = fdopen(descriptor, "wb");
    if (!stream) close(descriptor);
    return stream;
}

bool pathExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void ignoreBrokenPipe() {
    signal(SIGPIPE, SIG_IGN);
}

void useBinaryStandardStreams() {}

#endif

std::string temporaryNameBeside(const std::string& path, int attempt) {
    char tail[48];
    if (attempt > 0) {
        std::snprintf(tail, sizeof tail, ".%d-%d.tmp", processId(), attempt);
    } else {
        std::snprintf(tail, sizeof tail, ".%d.tmp", processId());
    }
    return path + tail;
}

std::string fileErrorText(const std::string& path, int error) {
    if (isDirectory(path)) return "Is a directory";
    return std::strerror(error == 0 ? EIO : error);
}

void removeFile(const std::string& path) {
    std::remove(path.c_str());
}

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

void setBinaryMode(std::FILE* stream) {
    _setmode(_fileno(stream), _O_BINARY);
}
#else
void setBinaryMode(std::FILE*) {}
#endif

#ifdef _WIN32
bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

long long regularFileSize(const std::string& path) {
    struct _stati64 info;
    if (_stati64(path.c_str(), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return -1;
    return info.st_size;
}
#else
bool isTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

long long regularFileSize(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return info.st_size;
}
#endif
