// End-to-end tests: every folder below tests/cases/<tool>/ is one case. The
// runner copies the case's files into a fresh folder, runs the real program
// there with standard input at its end, and compares the console output, the
// exit status and every file left in the folder with the case's expectations.
//
// A case folder holds:
//   args    the command-line arguments, one per line (no file: none)
//   stdout  the exact console output
//   status  the exit status (no file: 0)
//   stdin   what standard input holds (no file: nothing)
//   copy    lines "<path from the repository root> <name in the work folder>"
//   in/     files put into the work folder before the run
//   home/   files put beside the program (its program directory)
//   out/    the work folder's exact contents afterwards (no folder: as in/)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> readLines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Every regular file below `root`, by relative path, with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    if (!fs::exists(root)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string name = fs::relative(entry.path(), root).generic_string();
        if (entry.is_directory()) {
            files[name + "/"] = "";
        } else {
            files[name] = readFile(entry.path());
        }
    }
    return files;
}

// Windows builds write the page in text mode and the console through the
// C runtime's text mode; their "\r\n" is compared as "\n".
bool windowsRun() {
    const char* launcher = std::getenv("TESSARA_E2E_LAUNCHER");
    return launcher && *launcher;
}

std::string withoutCarriageReturns(std::string text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        result += text[i];
    }
    return result;
}

struct RunResult {
    int status = -1;
    std::string console;
};

// Runs `program` with `args` in `workDir`, standard input from `stdinFile`
// (or at its end), standard output captured.
RunResult runProgram(const fs::path& program, const std::vector<std::string>& args,
                     const fs::path& workDir, const fs::path& stdinFile) {
    fs::path consoleFile = workDir.parent_path() / "console.out";
    std::vector<std::string> command;
    if (const char* launcher = std::getenv("TESSARA_E2E_LAUNCHER"); launcher && *launcher) {
        command.push_back(launcher);
    }
    command.push_back(program.string());
    command.insert(command.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_t child = fork();
    if (child == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(120);
        int in = open(stdinFile.empty() ? "/dev/null" : stdinFile.c_str(), O_RDONLY);
        int out = open(consoleFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0) _exit(121);
        dup2(in, 0);
        dup2(out, 1);
        execvp(argv[0], argv.data());
        _exit(122);
    }
    RunResult result;
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
    result.console = readFile(consoleFile);
    return result;
}

struct Case {
    std::string tool;
    fs::path folder;
};

fs::path casesRoot() {
    return fs::path(TESSARA_SOURCE_DIR) / "tests" / "cases";
}

std::vector<Case> findCases() {
    std::vector<Case> cases;
    for (const char* tool : {"tesbook", "tesweb"}) {
        fs::path root = casesRoot() / tool;
        if (!fs::exists(root)) continue;
        for (const auto& entry : fs::directory_iterator(root)) {
            if (entry.is_directory()) cases.push_back({tool, entry.path()});
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const Case& a, const Case& b) { return a.folder < b.folder; });
    return cases;
}

fs::path programPath(const std::string& tool) {
    std::string variable = tool == "tesbook" ? "TESSARA_TESBOOK" : "TESSARA_TESWEB";
    if (const char* path = std::getenv(variable.c_str()); path && *path) return path;
    return tool == "tesbook" ? TESSARA_TESBOOK_PATH : TESSARA_TESWEB_PATH;
}

void copyTree(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    if (fs::exists(from)) fs::copy(from, to, fs::copy_options::recursive);
}

class EndToEnd : public testing::TestWithParam<Case> {};

TEST_P(EndToEnd, MatchesFixture) {
    const Case& c = GetParam();
    fs::path scratch = fs::temp_directory_path() / ("tessara-e2e-XXXXXX");
    std::string pattern = scratch.string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch = pattern;
    fs::path work = scratch / "work";
    fs::path home = scratch / "home";
    copyTree(c.folder / "in", work);
    copyTree(c.folder / "home", home);
    for (const std::string& line : readLines(c.folder / "copy")) {
        std::istringstream words(line);
        std::string source, target;
        if (!(words >> source >> target)) continue;
        fs::copy_file(fs::path(TESSARA_SOURCE_DIR) / source, work / target);
    }
    fs::path program = programPath(c.tool);
    fs::path installed = home / program.filename();
    fs::copy_file(program, installed);
    fs::permissions(installed, fs::perms::owner_all, fs::perm_options::add);

    std::vector<std::string> args = readLines(c.folder / "args");
    fs::path stdinFile = fs::exists(c.folder / "stdin") ? c.folder / "stdin" : fs::path();
    RunResult result = runProgram(installed, args, work, stdinFile);

    int expectedStatus = 0;
    if (fs::exists(c.folder / "status")) expectedStatus = std::stoi(readFile(c.folder / "status"));
    std::string expectedConsole = readFile(c.folder / "stdout");
    std::string console = windowsRun() ? withoutCarriageReturns(result.console) : result.console;
    EXPECT_EQ(expectedConsole, console) << "console output of " << c.folder;
    EXPECT_EQ(expectedStatus, result.status) << "exit status of " << c.folder;

    fs::path expectedFolder = fs::exists(c.folder / "out") ? c.folder / "out" : c.folder / "in";
    std::map<std::string, std::string> expected = snapshot(expectedFolder);
    for (const std::string& line : readLines(c.folder / "copy")) {
        std::istringstream words(line);
        std::string source, target;
        if (words >> source >> target && !fs::exists(c.folder / "out")) {
            expected[target] = readFile(fs::path(TESSARA_SOURCE_DIR) / source);
        }
    }
    std::map<std::string, std::string> actual = snapshot(work);
    for (const auto& [name, bytes] : expected) {
        auto found = actual.find(name);
        if (found == actual.end()) {
            ADD_FAILURE() << "missing file " << name;
            continue;
        }
        bool page = name.size() > 4 && name.substr(name.size() - 4) == ".htm";
        std::string got =
            page && windowsRun() ? withoutCarriageReturns(found->second) : found->second;
        EXPECT_TRUE(bytes == got) << "file " << name << " differs (" << got.size()
                                  << " bytes, expected " << bytes.size() << ")\n"
                                  << (got.size() < 4000 ? got : std::string());
    }
    for (const auto& [name, bytes] : actual) {
        if (!expected.count(name)) ADD_FAILURE() << "unexpected file left: " << name;
    }
    fs::remove_all(scratch);
}

std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string name = info.param.tool + "_" + info.param.folder.filename().string();  // as CMake names it
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, testing::ValuesIn(findCases()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(EndToEnd);

}  // namespace
