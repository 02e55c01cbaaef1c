#include "config/settings.h"

#include <gtest/gtest.h>

#include <string>

#include "config/config_reader.h"
#include "tests/support/captured_run.h"
#include "tests/support/tool_profiles.h"

namespace {

struct SettingsRun : CapturedRun {
    Settings settings;

    explicit SettingsRun(const std::string& text) : CapturedRun(WEB_RULES) {
        std::FILE* stream = input(text);
        run([&] { readConfiguration(frame, stream, settings); });
    }
};

TEST(Settings, DefaultsHoldWithoutCommands) {
    SettingsRun run("[Tessara]\ntesdebug = 1\necofilename = whatever\ndisplaymode\n");
    const Settings& s = run.settings;
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(29u, s.pcsize);
    EXPECT_EQ(20u, s.padding);
    EXPECT_EQ(0u, s.newcode);
    EXPECT_EQ(0u, s.resultflag);
    EXPECT_EQ(1u, s.pgnheader);
    EXPECT_EQ(1u, s.flags);
    EXPECT_STREQ("jpc", s.imgurl);
    EXPECT_STREQ("jpc", s.symurl);
    EXPECT_STREQ("flag", s.flagurl);
    EXPECT_STREQ("PNBRQK", s.pcletters);
    EXPECT_STREQ("", s.boardimage);
    EXPECT_STREQ("", s.stylesheet);
    EXPECT_STREQ("", s.crosstablecss);
}

TEST(Settings, NumbersAreCheckedAgainstTheirRanges) {
    struct Case {
        const char* line;
        const char* error;  // null when accepted
        std::uint32_t pcsize, padding;
    } cases[] = {
        {"pcsize=10", nullptr, 10, 20},
        {"pcsize=75", nullptr, 75, 20},
        {"pcsize=0x1F", nullptr, 31, 20},
        {"pcsize=9", "Piece size out of range", 29, 20},
        {"pcsize=76", "Piece size out of range", 29, 20},
        {"pcsize=4294967306", nullptr, 10, 20},
        {"padding=0", nullptr, 29, 0},
        {"padding=400", nullptr, 29, 400},
        {"padding=401", "Padding out of range", 29, 20},
        {"padding = 4294967296", nullptr, 29, 0},
    };
    for (const Case& c : cases) {
        SettingsRun run(std::string(c.line) + "\n");
        std::string console = c.error ? "Error: " + std::string(c.error) + ".\n" : "\n\n";
        EXPECT_EQ(console, run.console) << c.line;
        EXPECT_EQ(c.error ? 1 : 0, run.status) << c.line;
        EXPECT_EQ(c.pcsize, run.settings.pcsize) << c.line;
        EXPECT_EQ(c.padding, run.settings.padding) << c.line;
    }
}

TEST(Settings, OnOffKeywordsStoreTheirWordValue) {
    SettingsRun run("newcode = on\nresultflag = ON\npgnheader = off\nflags = maybe\n");
    EXPECT_EQ(1u, run.settings.newcode);
    EXPECT_EQ(1u, run.settings.resultflag);
    EXPECT_EQ(0u, run.settings.pgnheader);
    EXPECT_EQ(0u, run.settings.flags);
    SettingsRun again("flags = off on\n");
    EXPECT_EQ(1u, again.settings.flags);
}

TEST(Settings, StringsAreStoredWithTheirConversions) {
    SettingsRun run(
        "flagurl = \"images/flags/\"\nimgurl = \"img//\"\nsymurl = \"/\"\n"
        "pcletters = \"KDTLSB/\"\nboardimage = \"Board.GIF\"\nstylesheet = \"Main.CSS\"\n"
        "crosstablecss = \"Style/Cross.CSS\"\n");
    EXPECT_EQ(0, run.status);
    EXPECT_STREQ("images/flags", run.settings.flagurl);
    EXPECT_STREQ("img/", run.settings.imgurl);
    EXPECT_STREQ("", run.settings.symurl);
    EXPECT_STREQ("KDTLSB/", run.settings.pcletters);
    EXPECT_STREQ("Board.GIF", run.settings.boardimage);
    EXPECT_STREQ("Main.CSS", run.settings.stylesheet);
    EXPECT_STREQ("style/cross.css", run.settings.crosstablecss);

    SettingsRun backslash("flagurl = \"flags\\\"\nimgurl = \"\"\n");
    EXPECT_STREQ("flags\\", backslash.settings.flagurl);
    EXPECT_STREQ("", backslash.settings.imgurl);
}

TEST(Settings, StringsLongerThan127CharactersAreRejected) {
    const char* keywords[] = {"imgurl",     "symurl",     "flagurl",      "pcletters",
                              "boardimage", "stylesheet", "crosstablecss"};
    for (const char* keyword : keywords) {
        std::string longest(127, 'a');
        SettingsRun accepted(std::string(keyword) + " = \"" + longest + "\"\n");
        EXPECT_EQ(0, accepted.status) << keyword;

        SettingsRun slash(std::string(keyword) + " = \"" + std::string(127, 'a') + "/\"\n");
        EXPECT_EQ("Error: String parameter too long.\n", slash.console) << keyword;
        EXPECT_EQ(1, slash.status) << keyword;
    }
    SettingsRun run("flagurl = \"" + std::string(126, 'b') + "/\"\n");
    EXPECT_EQ(std::string(126, 'b'), run.settings.flagurl);
    SettingsRun open("flagurl = \"" + std::string(200, 'c') + "\n");
    EXPECT_EQ(1, open.status);
    EXPECT_STREQ("flag", open.settings.flagurl);
}

}  // namespace
