// End-to-end tests: every folder below tests/cases/<tool>/ is one case. The
// runner copies the case's files into a fresh folder, runs the real program
// there with standard input at its end, and compares the console output,
// standard error, the exit status and every file left in the folder with the
// case's expectations.
//
// A case folder holds:
//   args     the command-line arguments, one per line (no file: none)
//   stdout   the exact console output
//   stderr   the exact output on standard error (no file: nothing)
//   status   the exit status (no file: 0)
//   stdin    what standard input holds (no file: nothing)
//   copy     lines "<path from the repository root> <name in the work folder>"
//   in/      files put into the work folder before the run
//   home/    files put beside the program (its program directory)
//   out/     the work folder's exact contents afterwards (no folder: as in/)
//   cwd      the folder below the work folder in which the program starts
//            (no file: the work folder itself)
//   generate a Python script for inputs too large to keep as files: run as
//            "python3 generate IN EXPECTED" before the program starts, it
//            writes input files into IN, which go into the work folder and
//            are expected unchanged afterwards, and may write into EXPECTED
//            further files expected in the work folder afterwards (beside
//            those of out/ or in/; a name in both takes EXPECTED's bytes)
//   by_name  (empty) the program is started by its bare name, found through
//            the search path, so that argument 0 holds no directory and the
//            program asks the system where it lies
//   drive    (Windows cases only) a drive letter such as "t:" that names the
//            work folder during the run
//   hold     (Windows cases only) the name of a work-folder file that another
//            Windows process holds open for reading during the run, as the
//            viewer holds an opening file
//
// A "{pid}" in the name of a file of in/ or out/ stands for the process id
// of the program: the file is renamed once the program's process exists and
// before the program starts. A Windows program's process id is not the one
// the runner sees, so such a case is skipped in a Windows run.
//
// The same cases run against either build. By default the runner starts the
// programs of this build. The Windows run (tests/wine-e2e) names the Windows
// executables in TESSARA_TESBOOK, TESSARA_TESWEB, TESSARA_TESECO and
// TESSARA_TESCROSS and the program that runs
// them in TESSARA_E2E_LAUNCHER (wine); a set launcher is what makes a run a
// Windows run. Windows writes the console and the page in text mode, so a
// Windows run compares both (and standard error) with "\r\n" taken as "\n"; every other file, the
// binary opening file above all, must match byte for byte, which shows that
// both builds write the same opening file.
//
// TESSARA_E2E_WRAPPER, when set, holds a command (words separated by blanks)
// that starts the programs of this build, such as valgrind's memory checker
// (the valgrind test preset); a case then also fails when the wrapper gives
// an exit status of its own.
//
// Cases below tests/cases-windows/<tool>/ use paths that only Windows reads as
// paths ('\' and ':' as separators, drive letters, "..\" parts). They run only
// in a Windows run; elsewhere they are reported as skipped.
//
// Under Wine:
//   - a drive letter is a link in the prefix's dosdevices folder (WINEPREFIX,
//     else ~/.wine); CTest never runs two such cases at the same time;
//   - by_name starts the program through "cmd /c NAME ARGS" with WINEPATH
//     naming its folder (Wine itself always hands over a full argument 0),
//     so the arguments of such a case must avoid cmd's special characters
//     (% ^ & | < > and quotes).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/file_text.h"

namespace fs = std::filesystem;

namespace {

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

// The first line of a case file, or empty when there is none.
std::string firstLine(const fs::path& path) {
    std::vector<std::string> lines = readLines(path);
    return lines.empty() ? std::string() : lines.front();
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
            files[name] = fileText(entry.path());
        }
    }
    return files;
}

std::string launcher() {
    const char* text = std::getenv("TESSARA_E2E_LAUNCHER");
    return text ? text : "";
}

// The words of TESSARA_E2E_WRAPPER.
std::vector<std::string> wrapper() {
    std::vector<std::string> words;
    const char* text = std::getenv("TESSARA_E2E_WRAPPER");
    std::istringstream in(text ? text : "");
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// A run through a launcher is a run of the Windows executables.
bool windowsRun() {
    return !launcher().empty();
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

// The path by which a Windows program under Wine sees `path`: drive Z: is
// the root of the file system.
std::string winePath(const fs::path& path) {
    std::string text = "Z:" + fs::absolute(path).string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

fs::path wineDosDevices() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
        return fs::path(prefix) / "dosdevices";
    }
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : "/") / ".wine" / "dosdevices";
}

// A drive letter that names a folder while it lives: a link in the Wine
// prefix. A link left behind by an earlier run of these tests is replaced;
// any other use of the letter fails the case.
class DriveLink {
  public:
    DriveLink(const std::string& drive, const fs::path& target) {
        std::string letter = drive.substr(0, 1);
        for (char& c : letter) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        link_ = wineDosDevices() / (letter + ":");
        std::error_code error;
        if (fs::is_symlink(link_, error)) {
            if (fs::read_symlink(link_).string().find("tessara-e2e-") == std::string::npos) {
                message_ = "drive " + drive + " is in use in the Wine prefix: " + link_.string();
                link_.clear();
                return;
            }
            fs::remove(link_);
        }
        fs::create_directory_symlink(target, link_, error);
        if (error) {
            message_ =
                "cannot link drive " + drive + " as " + link_.string() + ": " + error.message();
            link_.clear();
        }
    }
    ~DriveLink() {
        std::error_code error;
        if (!link_.empty()) fs::remove(link_, error);
    }
    DriveLink(const DriveLink&) = delete;
    DriveLink& operator=(const DriveLink&) = delete;

    const std::string& failure() const { return message_; }

  private:
    fs::path link_;
    std::string message_;
};

struct Launch {
    fs::path program;  // the installed program
    std::vector<std::string> args;
    fs::path startDir;
    fs::path stdinFile;  // empty: standard input at its end
    fs::path consoleFile;
    fs::path errorFile;
    bool byName = false;
    // Runs once the program's process exists, before the program starts.
    std::function<void(pid_t)> beforeStart;
};

struct RunResult {
    int status = -1;
    std::string console;
    std::string errors;
};

// The command line, and the search path variable that finds a program
// started by its bare name.
std::vector<std::string> commandLine(const Launch& launch, std::string& pathVariable,
                                     std::string& pathValue) {
    std::vector<std::string> command;
    fs::path folder = launch.program.parent_path();
    if (windowsRun()) {
        command.push_back(launcher());
        if (launch.byName) {
            // Wine hands a program started directly a full argument 0;
            // cmd passes the command as typed, like a Windows console.
            command.insert(command.end(), {"cmd", "/c", launch.program.stem().string()});
            pathVariable = "WINEPATH";
            pathValue = winePath(folder);
        } else {
            command.push_back(launch.program.string());
        }
    } else {
        command = wrapper();
        command.push_back(launch.byName ? launch.program.filename().string()
                                        : launch.program.string());
        if (launch.byName) {
            pathVariable = "PATH";
            const char* path = std::getenv("PATH");
            pathValue = folder.string() + (path && *path ? std::string(":") + path : "");
        }
    }
    command.insert(command.end(), launch.args.begin(), launch.args.end());
    return command;
}

// Runs the program in its start folder with standard output captured.
RunResult runProgram(const Launch& launch) {
    std::string pathVariable, pathValue;
    std::vector<std::string> command = commandLine(launch, pathVariable, pathValue);
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);

    int gate[2];
    if (pipe(gate) != 0) return {};
    pid_t child = fork();
    if (child == 0) {
        close(gate[1]);
        char go;
        if (read(gate[0], &go, 1) < 0) _exit(119);
        close(gate[0]);
        if (chdir(launch.startDir.c_str()) != 0) _exit(120);
        const char* stdinPath = launch.stdinFile.empty() ? "/dev/null" : launch.stdinFile.c_str();
        int in = open(stdinPath, O_RDONLY);
        int out = open(launch.consoleFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(launch.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(121);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (!pathVariable.empty()) setenv(pathVariable.c_str(), pathValue.c_str(), 1);
        execvp(argv[0], argv.data());
        _exit(122);
    }
    close(gate[0]);
    if (launch.beforeStart && child > 0) launch.beforeStart(child);
    close(gate[1]);
    RunResult result;
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
    result.console = fileText(launch.consoleFile);
    result.errors = fileText(launch.errorFile);
    return result;
}

// Starts a Windows process that holds `name` in `work` open for reading for
// a few seconds, and returns once it does: cmd leaves a marker, then starts
// ping with the file as its standard input, which takes it well under the
// second and a half waited after the marker.
pid_t holdOpen(const fs::path& work, const std::string& name) {
    const fs::path marker = work / "held.marker";
    std::string wine = launcher();
    std::string block = "echo held>held.marker & ping -n 8 127.0.0.1 <" + name + " >nul";
    pid_t child = fork();
    if (child == 0) {
        int quiet = open("/dev/null", O_RDWR);
        if (chdir(work.c_str()) != 0 || quiet < 0) _exit(120);
        dup2(quiet, 0);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execlp(wine.c_str(), wine.c_str(), "cmd", "/c", block.c_str(), static_cast<char*>(nullptr));
        _exit(122);
    }
    for (int wait = 0; wait < 300 && !fs::exists(marker); ++wait) usleep(100000);
    std::error_code ignored;
    fs::remove(marker, ignored);
    usleep(1500000);
    return child;
}

// Runs the case's generator; false when it failed.
bool runGenerator(const fs::path& script, const fs::path& in, const fs::path& expected) {
    fs::create_directories(in);
    fs::create_directories(expected);
    pid_t child = fork();
    if (child == 0) {
        execlp("python3", "python3", script.c_str(), in.c_str(), expected.c_str(),
               static_cast<char*>(nullptr));
        _exit(122);
    }
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);
    return WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0;
}

constexpr const char* TOOLS[] = {"tesbook", "tesweb", "teseco", "tescross"};
constexpr const char* BUILT_PROGRAMS[] = {TESSARA_TESBOOK_PATH, TESSARA_TESWEB_PATH,
                                          TESSARA_TESECO_PATH, TESSARA_TESCROSS_PATH};

struct Case {
    std::string tool;
    fs::path folder;
    bool windowsOnly = false;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.folder.string();
}

fs::path testsRoot() {
    return fs::path(TESSARA_SOURCE_DIR) / "tests";
}

std::vector<Case> findCases() {
    std::vector<Case> cases;
    for (const char* set : {"cases", "cases-windows"}) {
        for (const char* tool : TOOLS) {
            fs::path root = testsRoot() / set / tool;
            if (!fs::exists(root)) continue;
            for (const auto& entry : fs::directory_iterator(root)) {
                if (entry.is_directory()) {
                    cases.push_back({tool, entry.path(), std::string(set) == "cases-windows"});
                }
            }
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const Case& a, const Case& b) { return a.folder < b.folder; });
    return cases;
}

// The program of a tool: the one named in TESSARA_<TOOL>, else this build's.
fs::path programPath(const std::string& tool) {
    std::string variable = "TESSARA_";
    for (char c : tool) variable += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (const char* path = std::getenv(variable.c_str()); path && *path) return path;
    for (std::size_t i = 0; i < std::size(TOOLS); ++i) {
        if (tool == TOOLS[i]) return BUILT_PROGRAMS[i];
    }
    return {};
}

void copyTree(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    if (fs::exists(from)) fs::copy(from, to, fs::copy_options::recursive);
}

constexpr std::string_view PID_MARK = "{pid}";

std::string withPid(std::string name, pid_t pid) {
    for (std::size_t at; (at = name.find(PID_MARK)) != std::string::npos;) {
        name.replace(at, PID_MARK.size(), std::to_string(pid));
    }
    return name;
}

// Gives the files of the work folder whose names hold "{pid}" their names.
void renameForPid(const fs::path& work, pid_t pid) {
    for (const auto& [name, bytes] : snapshot(work)) {
        if (name.find(PID_MARK) != std::string::npos)
            fs::rename(work / name, work / withPid(name, pid));
    }
}

bool namesPid(const std::map<std::string, std::string>& files) {
    for (const auto& [name, bytes] : files) {
        if (name.find(PID_MARK) != std::string::npos) return true;
    }
    return false;
}

// The scratch folder of a case goes whichever way the case ends.
struct Scratch {
    fs::path path;
    ~Scratch() {
        std::error_code ignored;
        if (path.empty()) return;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
};

class EndToEnd : public testing::TestWithParam<Case> {};

TEST_P(EndToEnd, MatchesFixture) {
    const Case& c = GetParam();
    if (c.windowsOnly && !windowsRun()) GTEST_SKIP() << "a case for the Windows run";
    bool pidNames = namesPid(snapshot(c.folder / "in")) || namesPid(snapshot(c.folder / "out"));
    if (pidNames && windowsRun()) GTEST_SKIP() << "a case for a native run";
    std::string pattern = (fs::temp_directory_path() / "tessara-e2e-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    Scratch guard{pattern};
    const fs::path scratch = pattern;
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
    fs::path generatedIn = scratch / "generated-in";
    fs::path generatedOut = scratch / "generated-out";
    if (fs::exists(c.folder / "generate")) {
        ASSERT_TRUE(runGenerator(c.folder / "generate", generatedIn, generatedOut))
            << "the generator of " << c.folder << " failed";
        fs::copy(generatedIn, work, fs::copy_options::recursive);
    }
    fs::path program = programPath(c.tool);
    Launch launch;
    launch.program = home / program.filename();
    fs::copy_file(program, launch.program);
    fs::permissions(launch.program, fs::perms::owner_all, fs::perm_options::add);
    launch.args = readLines(c.folder / "args");
    // A start folder that the case does not bring is made, and expected.
    fs::path startFolder = firstLine(c.folder / "cwd");
    launch.startDir = work / startFolder;
    std::vector<std::string> madeFolders;
    for (fs::path made; const fs::path& name : startFolder) {
        made /= name;
        if (!fs::exists(work / made)) madeFolders.push_back(made.generic_string() + "/");
    }
    fs::create_directories(launch.startDir);
    if (fs::exists(c.folder / "stdin")) launch.stdinFile = c.folder / "stdin";
    launch.consoleFile = scratch / "console.out";
    launch.errorFile = scratch / "console.err";
    launch.byName = fs::exists(c.folder / "by_name");
    pid_t programPid = 0;
    if (pidNames) {
        launch.beforeStart = [&](pid_t pid) {
            programPid = pid;
            renameForPid(work, pid);
        };
    }

    RunResult result;
    {
        std::string drive = firstLine(c.folder / "drive");
        std::unique_ptr<DriveLink> link;
        if (!drive.empty()) {
            ASSERT_TRUE(c.windowsOnly) << "a drive letter needs a case for the Windows run";
            link = std::make_unique<DriveLink>(drive, work);
            ASSERT_EQ("", link->failure());
        }
        std::string held = firstLine(c.folder / "hold");
        pid_t holder = 0;
        if (!held.empty()) {
            ASSERT_TRUE(c.windowsOnly) << "only a Windows run can hold a file open";
            holder = holdOpen(work, held);
        }
        result = runProgram(launch);
        if (holder > 0) waitpid(holder, nullptr, 0);
    }

    int expectedStatus = 0;
    if (fs::exists(c.folder / "status")) expectedStatus = std::stoi(fileText(c.folder / "status"));
    // Output that carries "\r\n" of its own (PGN games written back as they
    // came) is compared on the same terms.
    std::string expectedConsole = fileText(c.folder / "stdout");
    if (windowsRun()) expectedConsole = withoutCarriageReturns(expectedConsole);
    std::string console = windowsRun() ? withoutCarriageReturns(result.console) : result.console;
    EXPECT_EQ(expectedConsole, console) << "console output of " << c.folder;
    std::string expectedErrors = fileText(c.folder / "stderr");
    std::string errors = windowsRun() ? withoutCarriageReturns(result.errors) : result.errors;
    EXPECT_EQ(expectedErrors, errors) << "standard error of " << c.folder;
    EXPECT_EQ(expectedStatus, result.status) << "exit status of " << c.folder;

    fs::path expectedFolder = fs::exists(c.folder / "out") ? c.folder / "out" : c.folder / "in";
    std::map<std::string, std::string> expected = snapshot(expectedFolder);
    for (const std::string& line : readLines(c.folder / "copy")) {
        std::istringstream words(line);
        std::string source, target;
        if (words >> source >> target && !fs::exists(c.folder / "out")) {
            expected[target] = fileText(fs::path(TESSARA_SOURCE_DIR) / source);
        }
    }
    for (const std::string& folder : madeFolders) expected[folder] = "";
    if (pidNames) {
        std::map<std::string, std::string> named;
        for (auto& [name, bytes] : expected) named[withPid(name, programPid)] = std::move(bytes);
        expected = std::move(named);
    }
    for (const fs::path& generated : {generatedIn, generatedOut}) {
        for (auto& [name, bytes] : snapshot(generated)) expected[name] = std::move(bytes);
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
}

// The name CMake filters on: "<tool>_<case>", "windows_<tool>_<case>" for
// the cases of the Windows run.
std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string name = (info.param.windowsOnly ? "windows_" : "") + info.param.tool + "_" +
                       info.param.folder.filename().string();
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEnd, testing::ValuesIn(findCases()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(EndToEnd);

}  // namespace
