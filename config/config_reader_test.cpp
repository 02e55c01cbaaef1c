#include "config/config_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/captured_run.h"
#include "tests/support/tool_profiles.h"

namespace {

// A run of the configuration reader over text, with the console captured.
struct ConfigRun : CapturedRun {
    Settings settings;
    ConfigReader reader{frame, settings};
    std::string line;

    ConfigRun() : CapturedRun(WEB_RULES) {}

    void read(const std::string& text) {
        std::FILE* stream = input(text);
        run([&] { readConfiguration(frame, stream, settings); });
    }

    // Runs one parser over `text` with the value it starts from; gives the
    // console output of a fatal stop.
    template <typename Parse>
    std::string parse(const char* text, Parse parser, std::uint32_t value = 0) {
        line = text;
        reader.lineCursor = line.data();
        reader.paramValue = value;
        run([&] { parser(reader); });
        return console;
    }
};

TEST(FindCommand, FindsEveryKeywordAndStepsOverIt) {
    ConfigRun run;
    for (const CommandEntry& entry : COMMAND_TABLE) {
        std::string line = std::string(entry.keyword) + " = 1";
        ConfigReader reader{run.frame, run.settings, line.data(), 7};
        EXPECT_EQ(&entry.handler, findCommand(reader)) << entry.keyword;
        EXPECT_EQ(line.data() + entry.keyword.size(), reader.lineCursor) << entry.keyword;
        EXPECT_EQ(0u, reader.paramValue);
    }
}

TEST(FindCommand, ComparesOverTheKeywordsLengthOnly) {
    ConfigRun run;
    struct Case {
        const char* text;
        CommandHandler handler;
        std::size_t consumed;
    } cases[] = {
        {"flagsize = on", flagsCommand, 5},
        {"pcsizes=30", pcsizeCommand, 6},
        {"ssi", ignoreCommand, 3},
        {"PCSIZE=30", nullptr, 0},
        {"Pcsize=30", nullptr, 0},
        {"xyz=1", nullptr, 0},
        {"flag=1", nullptr, 0},
        {"aaa", nullptr, 0},
        {"zzz", nullptr, 0},
        {"", nullptr, 0},
        {"\xe9t\xe9", nullptr, 0},
    };
    for (const Case& c : cases) {
        std::string line = c.text;
        ConfigReader reader{run.frame, run.settings, line.data()};
        EXPECT_EQ(c.handler, findCommand(reader)) << c.text;
        EXPECT_EQ(line.data() + c.consumed, reader.lineCursor) << c.text;
    }
}

TEST(ParseNumber, ReadsDecimalHexAndBinaryWithWrap) {
    struct Case {
        const char* text;
        std::uint32_t value;
        const char* rest;
    } cases[] = {
        {"30", 30, ""},        {"  30 px", 30, " px"}, {"30px", 30, "px"},
        {"0x1F", 31, ""},      {"0xff;", 255, ";"},    {"0b11110", 30, ""},
        {"0b102", 2, "2"},     {"030", 30, ""},        {"007", 7, ""},
        {"0X1F", 0, "X1F"},    {"0B1", 0, "B1"},       {"0x", 0, ""},
        {"0b", 0, ""},         {"12abc", 12, "abc"},   {"4294967295", 4294967295u, ""},
        {"4294967296", 0, ""}, {"4294967301", 5, ""},
    };
    for (const Case& c : cases) {
        ConfigRun run;
        EXPECT_EQ("", run.parse(c.text, parseNumber, 99)) << c.text;
        EXPECT_EQ(c.value, run.reader.paramValue) << c.text;
        EXPECT_STREQ(c.rest, run.reader.lineCursor) << c.text;
    }
}

TEST(ParseNumber, RejectsAValueThatDoesNotStartWithADigit) {
    for (const char* text : {"-5", "\t5", "", "x1", "+3"}) {
        ConfigRun run;
        EXPECT_EQ("Error: Command expects a numeric parameter.\n", run.parse(text, parseNumber))
            << text;
        EXPECT_EQ(1, run.status);
    }
}

TEST(ExpectEquals, SkipsToBehindTheEqualsAndItsSpaces) {
    ConfigRun run;
    run.parse("ize =   30", expectEquals);
    EXPECT_STREQ("30", run.reader.lineCursor);
    run.parse("= \t30", expectEquals);
    EXPECT_STREQ("\t30", run.reader.lineCursor);
    EXPECT_EQ("Error: Command missing '=' character.\n", run.parse(" on", expectEquals));
    EXPECT_EQ(1, run.status);
}

TEST(ParseStringLiteral, TakesTheTextBetweenTheQuotes) {
    struct Case {
        const char* text;
        const char* value;
        const char* rest;
    } cases[] = {
        {"\"images/flags\" ; note", "images/flags", " ; note"},
        {"   \"a b\"", "a b", ""},
        {"\"\"", "", ""},
        {"\"no closing mark", "no closing mark", ""},
        {"\"a\"b\"", "a", "b\""},
    };
    for (const Case& c : cases) {
        ConfigRun run;
        EXPECT_EQ("", run.parse(c.text, parseStringLiteral)) << c.text;
        EXPECT_STREQ(c.value, run.reader.paramString) << c.text;
        EXPECT_STREQ(c.rest, run.reader.lineCursor) << c.text;
    }
    for (const char* text : {"images", "\t\"x\"", ""}) {
        ConfigRun run;
        EXPECT_EQ("Error: Command expects a string literal.\n", run.parse(text, parseStringLiteral))
            << text;
    }
}

TEST(ParseWordList, TheLastRecognisedOnOffWordDecides) {
    struct Case {
        const char* text;
        std::uint32_t value;
        const char* rest;
    } cases[] = {
        {"on", 1, ""},          {"ON", 1, ""},         {"off", 0, ""},
        {"yes", 0, "yes"},      {"", 0, ""},           {"on, off", 0, ""},
        {"off on", 1, ""},      {"on\t,\toff", 0, ""}, {"on maybe off", 1, "maybe off"},
        {"on,,off", 1, ",off"}, {"one", 1, "e"},       {"on  ", 1, ""},
    };
    for (const Case& c : cases) {
        ConfigRun run;
        run.parse(
            c.text,
            [](ConfigReader& r) { parseWordList(r, ON_OFF_WORDS.data(), ON_OFF_WORDS.size()); },
            77);
        EXPECT_EQ(c.value, run.reader.paramValue) << c.text;
        EXPECT_STREQ(c.rest, run.reader.lineCursor) << c.text;
    }
}

TEST(ParseWordList, CombinesFlagWordsByMaskAndOr) {
    constexpr WordEntry words[] = {
        {"bold", 0x10},
        {"italic", 0x01},
        {"plain", WORD_MASK | 0x0F},
    };
    struct Case {
        const char* text;
        std::uint32_t value;
    } cases[] = {
        {"bold", 0x10},       {"bold italic", 0x11},       {"bold plain", 0x00},
        {"plain bold", 0x10}, {"italic bold plain", 0x01},
    };
    for (const Case& c : cases) {
        ConfigRun run;
        run.parse(c.text, [&](ConfigReader& r) { parseWordList(r, words, std::size(words)); });
        EXPECT_EQ(c.value, run.reader.paramValue) << c.text;
    }
}

TEST(ReadConfiguration, FindsTheSettingsSection) {
    struct Case {
        const char* text;
        std::uint32_t pcsize;
    } cases[] = {
        {"", 29},
        {"; only a comment\n\n", 29},
        {"[Tessara]\npcsize=30\n", 30},
        {"[tessara]\npcsize=30\n", 30},
        {"[Tessara] ; settings\npcsize=30\n", 30},
        {"pcsize=30\n", 30},
        {"pcsize=40\n[Tessara]\npcsize=30\n", 30},
        {"[TESSARA]\npcsize=30\n", 29},
        {"[Viewer]\npcsize=30\n", 29},
        {" [Tessara]\npcsize=30\n", 30},
        {"[Tessara]\npcsize=30\n[Other]\npcsize=40\n", 30},
        {"[Tessara]\npcsize=30\n[Tessara]\npcsize=40\n", 30},
        {"[Tessara]\npcsize=30\n [Other]\npcsize=40\n", 40},
        {"[Tessara]\npcsize=30\npcsize=40\n", 40},
        {"[Tessara]\r\npcsize=30\r\n", 30},
        {"[Tessara]\npcsize=30", 30},
        // Comment lines of every kind.
        {"[Tessara]\n  pcsize=40\n\tpcsize=40\n; pcsize=40\n# x\n/ x\n* x\n! x\n9x\n@x\n"
         "\xe9x\n\x01x\n\n",
         29},
    };
    for (const Case& c : cases) {
        ConfigRun run;
        run.read(c.text);
        EXPECT_EQ(0, run.status) << c.text;
        EXPECT_EQ("\n\n", run.console) << c.text;
        EXPECT_EQ(c.pcsize, run.settings.pcsize) << c.text;
    }
}

TEST(ReadConfiguration, StopsAtTheFirstBadCommand) {
    struct Case {
        const char* text;
        const char* console;
    } cases[] = {
        {"PCSIZE=30\n", "Error: Unknown command.\n"},
        {"Pcsize=30\n", "Error: Unknown command.\n"},
        {"xyz=1\n", "Error: Unknown command.\n"},
        {"_x\n", "Error: Unknown command.\n"},
        {"pcsize=30\nxyz", "Error: Unknown command.\n"},
        {"flags\n", "Error: Command missing '=' character.\n"},
        {"pcsize = -5\n", "Error: Command expects a numeric parameter.\n"},
        {"pcsize =\t30\n", "Error: Command expects a numeric parameter.\n"},
        {"flagurl = images\n", "Error: Command expects a string literal.\n"},
    };
    for (const Case& c : cases) {
        ConfigRun run;
        run.read(c.text);
        EXPECT_EQ(1, run.status) << c.text;
        EXPECT_EQ(c.console, run.console) << c.text;
    }
}

TEST(ReadConfiguration, IgnoredKeywordsNeedNoValue) {
    ConfigRun run;
    run.read("displaymode\ntesdebug = 1\necofilename = whatever\nflagsize = off\n");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(0u, run.settings.flags);
}

TEST(ReadConfiguration, ReadsALongLineAsPieces) {
    // The first piece holds 7,999 characters; the rest is a line of its own.
    std::string line = "pcsize=30" + std::string(7999 - 9, ' ') + "padding=100\n";
    ConfigRun run;
    run.read("[Tessara]\n" + line);
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(30u, run.settings.pcsize);
    EXPECT_EQ(100u, run.settings.padding);

    ConfigRun comment;
    comment.read("; " + std::string(7997, '-') + "xyz\n");
    EXPECT_EQ("Error: Unknown command.\n", comment.console);
}

}  // namespace
