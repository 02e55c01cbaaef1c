#include "naming/eco_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(ParseEcoCommand, TakesTheFourFormsAndRefusesTheRest) {
    using M = EcoMode;
    const struct {
        std::vector<std::string> args;
        const char* message;  // null: accepted
        M mode;
        std::size_t games;
    } cases[] = {
        {{"b.ECO"}, nullptr, M::SUMMARY, 0},
        {{"-l", "b.ECO"}, nullptr, M::LIST, 0},
        {{"b.ECO", "-l"}, nullptr, M::LIST, 0},
        {{"b.ECO", "g.pgn", "-"}, nullptr, M::TABLE, 2},
        {{"-t", "b.ECO", "-"}, nullptr, M::TAGS, 1},
        {{"--", "-l", "-t"}, nullptr, M::TABLE, 1},
        {{"-l", "--", "-t"}, nullptr, M::LIST, 0},
        {{}, "", M::SUMMARY, 0},
        {{"-h"}, "", M::SUMMARY, 0},
        {{"b.ECO", "-h"}, "", M::SUMMARY, 0},
        {{"-x", "b.ECO"}, "unknown option \"-x\"", M::SUMMARY, 0},
        {{"-lt", "b.ECO"}, "unknown option \"-lt\"", M::SUMMARY, 0},
        {{"-l"}, "no opening file given", M::SUMMARY, 0},
        {{"-t"}, "no opening file given", M::SUMMARY, 0},
        {{"-l", "-t", "b.ECO", "g.pgn"}, "-l and -t do not go together", M::SUMMARY, 0},
        {{"-l", "b.ECO", "g.pgn"}, "-l takes no game files", M::SUMMARY, 0},
        {{"-t", "b.ECO"}, "-t needs game files", M::SUMMARY, 0},
        {{"-s", "b.ECO", "g.pgn"}, nullptr, M::STATISTICS, 1},
        {{"-j", "256", "b.ECO", "g.pgn"}, nullptr, M::TABLE, 1},
        {{"b.ECO", "-j", "1"}, nullptr, M::SUMMARY, 0},
        {{"-j", "0", "b.ECO"}, "-j needs a number of threads from 1 to 256", M::SUMMARY, 0},
        {{"-j", "-1", "b.ECO"}, "-j needs a number of threads from 1 to 256", M::SUMMARY, 0},
        {{"-e", "B2,C", "b.ECO", "g.pgn"}, nullptr, M::GAMES, 1},
        {{"b.ECO", "-n", "-t", "g.pgn"}, nullptr, M::GAMES, 1},  // "-t" is the text
        {{"-t", "-n", "x", "b.ECO", "g.pgn"}, nullptr, M::TAGS, 1},
        {{"-s", "-e", "E", "b.ECO", "g.pgn"}, nullptr, M::STATISTICS, 1},
        {{"-s", "-t", "b.ECO", "g.pgn"}, "-s and -t do not go together", M::SUMMARY, 0},
        {{"-l", "-s", "b.ECO"}, "-l and -s do not go together", M::SUMMARY, 0},
        {{"-l", "-n", "x", "b.ECO"}, "-l and -n do not go together", M::SUMMARY, 0},
        {{"-e", "B", "b.ECO"}, "-e needs game files", M::SUMMARY, 0},
        {{"b.ECO", "g.pgn", "-n"}, "-n needs a text", M::SUMMARY, 0},
        {{"-e", "B2x", "b.ECO", "g.pgn"}, "malformed list of ECO codes \"B2x\"", M::SUMMARY, 0},
    };
    for (const auto& c : cases) {
        EcoCommand command;
        std::string message;
        std::string line;
        for (const std::string& arg : c.args) line += arg + " ";
        EXPECT_EQ(c.message == nullptr, parseEcoCommand(c.args, command, message)) << line;
        EXPECT_EQ(c.message ? c.message : "", message) << line;
        if (c.message) continue;
        EXPECT_EQ(c.mode, command.mode) << line;
        EXPECT_EQ(c.games, command.games.size()) << line;
    }
}

TEST(OpenOpeningBook, NamesTheFileInItsMessage) {
    OpeningBook book;
    std::string message;
    const std::string folder = testing::TempDir() + "books";
    std::filesystem::create_directories(folder);
    const std::string locked = testing::TempDir() + "locked.ECO";
    std::ofstream(locked, std::ios::binary) << "Tessara3";
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const struct {
        std::string path;
        std::string reason;
    } unreadable[] = {
        {"no/such.ECO", "No such file or directory"},
        {folder, "Is a directory"},
        {locked, "Permission denied"},
    };
    for (const auto& c : unreadable) {
        if (c.path == locked && std::ifstream(locked).is_open()) continue;  // root reads it all
        EXPECT_FALSE(openOpeningBook(c.path, book, message));
        EXPECT_EQ("teseco: " + c.path + ": cannot read file: " + c.reason + "\n", message);
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    std::string path = testing::TempDir() + "short.ECO";
    std::ofstream(path, std::ios::binary) << "Tessara3";
    EXPECT_FALSE(openOpeningBook(path, book, message));
    EXPECT_EQ("teseco: " + path + ": file ends inside the 30-byte head at byte 8\n", message);
}

TEST(FinishOutput, ReportsAFailedWrite) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(nullptr, full);
    std::FILE* err = std::tmpfile();
    std::fputs("x", full);
    EXPECT_EQ(1, finishOutput(full, err, 0));
    std::rewind(err);
    char text[64] = {};
    EXPECT_NE(nullptr, std::fgets(text, sizeof text, err));
    EXPECT_STREQ("teseco: cannot write standard output\n", text);
    std::fclose(full);
    std::fclose(err);
}

}  // namespace
