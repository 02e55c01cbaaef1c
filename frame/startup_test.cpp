#include "frame/startup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/captured_run.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/tool_profiles.h"

namespace {

struct TestRun : CapturedRun {
    Startup startup;

    explicit TestRun(const ToolProfile& profile) : CapturedRun(profile) {}

    // Runs the command-line step; gives false when it ended the run.
    bool commandLine(std::vector<std::string> args) {
        args.insert(args.begin(), "/opt/tessara/tool");
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        return run(
            [&] { readCommandLine(frame, startup, static_cast<int>(argv.size()), argv.data()); });
    }
};

TEST(ExtensionDot, FirstDotOfTheFileNamePart) {
    struct Case {
        const char* path;
        std::size_t dot;
    };
    const Case cases[] = {
        {"report.txt", 6},
        {"../data/report.txt", 14},
        {"./openings.txt", 10},
        {"my.dir/openings", std::string::npos},
        {"a.b.txt", 1},
        {"noext", std::string::npos},
        {".TXT", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.dot, extensionDot(c.path)) << c.path;
}

TEST(CommandLine, BookArguments) {
    struct Case {
        std::vector<std::string> args;
        bool accepted;
        const char* inputName;
        int pauseFlag;
        bool configNamed;
    };
    const Case cases[] = {
        {{}, false, "", 1, false},
        {{"openings"}, false, "", 1, false},
        {{"-x"}, false, "", 1, false},
        {{"openings.txt"}, true, "openings.txt", 1, false},
        {{"-x", "openings.txt"}, true, "openings.txt", 0, false},
        {{"-xyz", "openings.txt"}, true, "openings.txt", 0, false},
        {{"-X", "openings.txt"}, true, "openings.txt", 1, false},
        {{"-q", "openings.txt"}, true, "openings.txt", 1, false},
        {{"setup.ini", "openings.txt"}, true, "openings.txt", 1, true},
        {{"a.txt", "b.txt"}, true, "b.txt", 1, false},
        {{"openings.eco"}, true, "openings.eco", 1, false},
        {{"my.dir/openings"}, false, "", 1, false},
    };
    for (const Case& c : cases) {
        TestRun run(BOOK_RULES);
        EXPECT_EQ(c.accepted, run.commandLine(c.args)) << testing::PrintToString(c.args);
        if (!c.accepted) {
            EXPECT_EQ("\nusage: book filename.eco\n\n", run.console);
            continue;
        }
        EXPECT_EQ(c.inputName, run.startup.inputName);
        EXPECT_EQ(c.pauseFlag, run.frame.pauseFlag);
        EXPECT_EQ(c.configNamed, run.startup.configNamed);
    }
}

TEST(CommandLine, WebArguments) {
    struct Case {
        std::vector<std::string> args;
        bool accepted;
        const char* inputName;
        const char* configFileName;
    };
    const Case cases[] = {
        {{}, false, "", ""},
        {{"report"}, true, "report.TXT", ""},
        {{"report.txt", "setup.ini"}, true, "report.txt", "setup.ini"},
        {{"setup.INI"}, false, "", "setup.INI"},
        {{"a.txt", "b.txt"}, true, "b.txt", ""},
        {{"-x"}, true, "-x.TXT", ""},
        {{"my.dir/report"}, true, "my.dir/report.TXT", ""},
    };
    for (const Case& c : cases) {
        TestRun run(WEB_RULES);
        EXPECT_EQ(c.accepted, run.commandLine(c.args)) << testing::PrintToString(c.args);
        EXPECT_EQ(c.configFileName, run.startup.configFileName);
        if (c.accepted) {
            EXPECT_EQ(c.inputName, run.startup.inputName);
        }
    }
}

TEST(CheckExtension, TxtInAnyCaseIsTheOnlyOne) {
    struct Case {
        const ToolProfile* profile;
        const char* argument;
        bool accepted;
        const char* base;
    };
    const Case cases[] = {
        {&BOOK_RULES, "openings.txt", true, "openings"},
        {&BOOK_RULES, "openings.TxT", true, "openings"},
        {&BOOK_RULES, "../data/openings.txt", true, "../data/openings"},
        {&BOOK_RULES, "openings.eco", false, "openings"},
        {&BOOK_RULES, "openings.txt.bak", false, "openings"},
        {&WEB_RULES, "report", true, "report"},
        {&WEB_RULES, "./report.Txt", true, "./report"},
        {&WEB_RULES, "report.htm", false, "report"},
    };
    for (const Case& c : cases) {
        TestRun run(*c.profile);
        ASSERT_TRUE(run.commandLine({c.argument}));
        bool accepted = run.run([&] { checkExtension(run.frame, run.startup); });
        EXPECT_EQ(c.accepted, accepted) << c.argument;
        EXPECT_EQ(c.base, run.startup.inputName) << c.argument;
        if (!accepted) {
            EXPECT_EQ("Error: Unknown File Extension.\n", run.console);
        }
    }
}

TEST(SplitInputName, DirectoryPartAndTildeWarning) {
    struct Case {
        const char* inputName;
        const char* directory;
        const char* base;
        bool warned;
    };
    const Case cases[] = {
        {"report", "", "report", false},       {"data/report", "data/", "report", false},
        {"REPORT~1", "", "REPORT~1", true},    {"web/REPORT~1", "web/", "REPORT~1", true},
        {"REPORT~12", "", "REPORT~12", false}, {"REPOR~1", "", "REPOR~1", false},
    };
    for (const Case& c : cases) {
        TestRun run(WEB_RULES);
        run.startup.inputName = c.inputName;
        splitInputName(run.frame, run.startup);
        EXPECT_EQ(c.directory, run.startup.sourceDirectory);
        EXPECT_EQ(c.base, run.startup.baseName);
        EXPECT_EQ(c.warned ? "Warning: Filename contains the ~ character!.\n" : "", run.console);
    }
}

TEST(ProgramDirectory, FromArgumentZeroOrTheModulePath) {
    TestRun run(WEB_RULES);
    findProgramDirectory(run.frame, run.startup, "/opt/tessara/tool");
    EXPECT_EQ("/opt/tessara/", run.startup.programDirectory);
    TestRun bare(WEB_RULES);
    findProgramDirectory(bare.frame, bare.startup, "tool");
    ASSERT_FALSE(bare.startup.programDirectory.empty());
    EXPECT_EQ('/', bare.startup.programDirectory.back());
}

}  // namespace

namespace {

// Whatever ends a run, the temporary opening file goes and the console says
// why, with status 1.
TEST(RunTool, AnyFailureRemovesTheTemporaryFileAndStopsWithAMessage) {
    struct Case {
        std::function<void()> fail;
        const char* message;
    };
    const Case cases[] = {
        {[] { throw std::bad_alloc(); }, "File Error on line 1: Out of memory.\n"},
        {[] { throw std::length_error("path too long"); },
         "File Error on line 1: path too long.\n"},
        {[] { throw 7; }, "File Error on line 1: Unexpected failure.\n"},
    };
    for (const Case& c : cases) {
        ScratchFolder folder;
        std::ofstream(folder / "BOOK.TXT") << "A00 Start\n";
        std::string program = folder / "tool";
        std::string input = folder / "BOOK.txt";
        std::string quiet = "-x";
        char* argv[] = {program.data(), quiet.data(), input.data()};
        CapturedRun run(BOOK_RULES);
        Frame& frame = run.frame;
        ToolHooks hooks;
        hooks.work = [&](Frame& work) {
            readLine(work, work.input);
            c.fail();
        };
        std::FILE* pauseInput = std::tmpfile();
        frame.pauseInput = pauseInput;
        EXPECT_EQ(1, runTool(frame, 3, argv, hooks)) << c.message;
        std::fclose(pauseInput);
        EXPECT_EQ(std::string(BOOK_RULES.banner) + c.message, run.console);
        EXPECT_EQ(1u, folder.entries()) << "only the input is left";
    }
}

}  // namespace
