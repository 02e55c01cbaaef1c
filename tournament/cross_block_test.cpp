#include "tournament/cross_block.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/file_text.h"
#include "tests/support/transform_support.h"
#include "tournament/cross_run.h"

namespace {

using namespace std::string_literals;

struct CrossOutput {
    std::string blocks;
    std::string messages;
    int status = 0;
};

// tescross over one file's bytes.
CrossOutput crossOf(const std::string& pgn) {
    std::FILE* in = streamOf(pgn);
    CrossRun run;
    run.out = std::tmpfile();
    run.err = std::tmpfile();
    PgnReader reader;
    openPgnStream(reader, in, "t.pgn");
    readGames(run, reader);
    writeBlocks(run);
    std::fclose(in);
    return {takeWritten(run.out), takeWritten(run.err), run.status};
}

// A game as PGN text, with its tags in the order given.
std::string game(std::vector<std::pair<std::string, std::string>> tags) {
    std::string text;
    for (const auto& [name, value] : tags) text += "[" + name + " \"" + value + "\"]\n";
    return text + "\n*\n\n";
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

// The event line as tesweb shows it: from its first character above a blank,
// without the carriage return that a CRLF line end takes along.
std::string shownEvent(std::string line) {
    std::size_t start = 0;
    while (start < line.size() && static_cast<unsigned char>(line[start]) <= 32) ++start;
    line.erase(0, start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Runs tesweb's transform over the blocks and checks that it reads them
// without a word, and that every table has the block's event and rows, each
// row with as many cells as the block's column count.
void expectTeswebReads(const std::string& blocks) {
    TransformRun run;
    run.transform(blocks);
    ASSERT_EQ(0, run.status) << run.console << blocks.substr(0, 2000);
    EXPECT_EQ("", run.console);
    std::vector<std::string> lines = linesOf(blocks);
    std::vector<std::string> page = linesOf(run.page);
    std::size_t at = 0;  // in the page
    std::size_t tables = 0;
    // Blocks follow each other with one empty line between them.
    for (std::size_t line = 0; line < lines.size();) {
        ++tables;
        EXPECT_EQ(0u, lines[line].rfind("cross cols=", 0)) << lines[line];
        std::size_t columns = std::stoul(lines[line].substr(11));
        while (at < page.size() && page[at].rfind("<TR><TD COLSPAN=", 0) != 0) ++at;
        ASSERT_LT(at + 2, page.size());
        EXPECT_EQ(shownEvent(lines[line + 1]) + "</TD>",
                  page[at + 1].substr(0, page[at + 1].find("</TD>") + 5));
        at += 2;
        std::size_t row = line + 2;
        for (; row < lines.size() && !lines[row].empty(); ++row, ++at) {
            ASSERT_LT(at, page.size());
            EXPECT_EQ(columns, count(page[at], "<TD")) << lines[row] << "\n" << page[at];
        }
        EXPECT_EQ("</TABLE></DIV><BR>", page.at(at));
        line = row + 1;
    }
    EXPECT_EQ(tables, count(run.page, "</TABLE>"));
}

TEST(AppendQuarters, WritesWholesThenAFraction) {
    std::pair<std::int64_t, const char*> cases[] = {
        {0, "0"},         {1, "&frac14;"},      {2, "&frac12;"},    {3, "&frac34;"}, {4, "1"},
        {6, "1&frac12;"}, {425, "106&frac14;"}, {51, "12&frac34;"}, {400, "100"},
    };
    for (const auto& [quarters, text] : cases) {
        std::string out;
        appendQuarters(out, quarters);
        EXPECT_EQ(text, out) << quarters;
    }
}

TEST(WriteCrossBlock, EventLineTakesOneSiteAndTheDateRange) {
    struct Case {
        const char *site1, *site2, *date1, *date2, *line;
    } cases[] = {
        {"Riga", "Riga", "1960.05.07", "1960.03.15", "E, Riga, 1960.03.15 - 1960.05.07"},
        {"Riga", "Moscow", "1960.03.15", "1960.03.15", "E, 1960.03.15"},
        {"?", "?", "1960.??.??", "1960.05.07", "E, 1960.05.07"},
        {nullptr, "Riga", "1960.5.7", "1960-05-07", "E"},
        {nullptr, "?", "????.??.??", nullptr, "E"},
        {"", "", " 1960.03.15", "19600.3.15", "E"},
        {"A&B", "A&B", "0000.00.00", "9999.99.99", "E, A&amp;B, 0000.00.00 - 9999.99.99"},
    };
    for (const Case& c : cases) {
        std::string pgn;
        const char* sites[] = {c.site1, c.site2};
        const char* dates[] = {c.date1, c.date2};
        for (int i = 0; i < 2; ++i) {
            std::vector<std::pair<std::string, std::string>> tags = {
                {"Event", "E"}, {"White", "A"}, {"Black", "B"}};
            if (sites[i]) tags.emplace_back("Site", sites[i]);
            if (dates[i]) tags.emplace_back("Date", dates[i]);
            pgn += game(tags);
        }
        EXPECT_EQ(c.line, linesOf(crossOf(pgn).blocks).at(1));
    }
}

TEST(WriteCrossBlock, TitleStaysOneCell) {
    std::pair<const char*, const char*> cases[] = {
        {"GM", "GM"},       {"W GM", "{W GM}"},   {"{x}", "&#123;x&#125;"},
        {"|A", "{|A}"},     {"a&b", "a&amp;b"},   {"x}y z", "{x&#125;y z}"},
        {"C\tM", "{C\tM}"}, {"CC-SIM", "CC-SIM"},
    };
    for (const auto& [title, cell] : cases) {
        std::string pgn = game({{"White", "A"}, {"Black", "B"}, {"WhiteTitle", title}});
        std::string blocks = crossOf(pgn).blocks;
        EXPECT_EQ("1-2 {A} "s + cell + " * | 0 0", linesOf(blocks).at(3)) << title;
        expectTeswebReads(blocks);
    }
}

// tesweb reads 7,999 characters of a line, its line end included.
TEST(WriteCrossBlock, LeavesOutAnEventWhoseLinesTeswebCannotRead) {
    std::string longest(7986, 'n');  // "1 {" name "} * 1 1 0" is 7,998 characters
    std::string pgn = game({{"White", longest}, {"Black", "B"}, {"Result", "1-0"}});
    CrossOutput fits = crossOf(pgn);
    EXPECT_EQ(LONGEST_BLOCK_LINE, linesOf(fits.blocks).at(3).size());
    EXPECT_EQ(0, fits.status);
    expectTeswebReads(fits.blocks);

    CrossOutput over =
        crossOf(game({{"White", longest + "n"}, {"Black", "B"}}) +
                game({{"Event", "Next"}, {"White", "A"}, {"Black", "B"}}) +
                game({{"Event", std::string(7999, 'e')}, {"White", "A"}, {"Black", "B"}}));
    EXPECT_EQ("cross cols=6\nNext\nNo Name 1 2 Pts SB\n1-2 {A} * | 0 0\n1-2 {B} | * 0 0\n",
              over.blocks);
    EXPECT_EQ("tescross: event \"?\": left out: the row of \"" + std::string(80, 'n') +
                  "...\" of its cross table of 2 players would be longer than the 7998 characters "
                  "that tesweb reads\n"
                  "tescross: event \"" +
                  std::string(80, 'e') +
                  "...\": left out: the event line of its cross table of 2 players would be longer "
                  "than the 7998 characters that tesweb reads\n",
              over.messages);
    EXPECT_EQ(1, over.status);

    // Thousands of players: the header alone is too long, and no row is made.
    std::string many;
    for (int i = 0; i < 2000; ++i) {
        many += game({{"White", "P" + std::to_string(i)},
                      {"Black", "Q" + std::to_string(i)},
                      {"Result", "1-0"}});
    }
    CrossOutput wide = crossOf(many);
    EXPECT_EQ("", wide.blocks);
    EXPECT_EQ(1, wide.status);
}

TEST(WriteCrossBlock, TeswebReadsBlocksOfAwkwardTags) {
    std::string pgn = game({{"Event", " \tLeading, blanks"},
                            {"White", "1st | player"},
                            {"Black", "{"},
                            {"Result", "1-0"}}) +
                      game({{"Event", "\x01x\v"},
                            {"White", "|"},
                            {"Black", "\t"},
                            {"Result", "1/2"},
                            {"WhiteTitle", "|"},
                            {"BlackTitle", "\x01"},
                            {"WhiteFed", "MEX"},
                            {"BlackElo", "3001"}}) +
                      game({{"Event", "<&>"},
                            {"Site", ";"},
                            {"White", "%"},
                            {"Black", ";"},
                            {"Result", "0-1"},
                            {"WhiteElo", "1000"},
                            {"BlackElo", "999"},
                            {"WhiteTitle", "cross"}}) +
                      game({{"Event", "cross cols=0"},
                            {"White", "\xff\xfe"},
                            {"Black", "&frac12;"},
                            {"Result", "1-0"},
                            {"WhiteTitle", "2600"}});
    for (int i = 0; i < 6; ++i) {
        pgn += game({{"Event", "Quad"}, {"White", "A"}, {"Black", "B"}, {"Result", "1-0"}});
    }
    CrossOutput out = crossOf(pgn);
    EXPECT_EQ("tescross: t.pgn:1: game 1: left out: the Black name \"{\" holds a brace\n",
              out.messages);
    expectTeswebReads(out.blocks);
}

// The published result: Fischer 12½, Spassky 8½ after 21 games.
TEST(WriteCrossBlock, SampleGivesThePublishedFinalScores) {
    CrossOutput out = crossOf(fileText(TESSARA_SOURCE_DIR "/data/world-championship-1972.pgn"));
    std::vector<std::string> lines = linesOf(out.blocks);
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ("cross cols=8 cat=19", lines[0]);
    EXPECT_EQ(0u, lines[3].rfind("1 {Fischer, Robert James} GM 2785 * ", 0));
    EXPECT_TRUE(lines[3].ends_with(" 12&frac12; 106&frac14;")) << lines[3];
    EXPECT_EQ(0u, lines[4].rfind("2 {Spassky, Boris V} GM 2660 ", 0));
    EXPECT_TRUE(lines[4].ends_with(" * 8&frac12; 106&frac14;")) << lines[4];
}

}  // namespace

namespace {

TEST(RunTescross, AFailingWriteIsReported) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(nullptr, full);
    std::FILE* err = std::tmpfile();
    std::string sample = std::string(TESSARA_SOURCE_DIR) + "/data/world-championship-1972.pgn";
    const char* argv[] = {"tescross", sample.c_str()};
    EXPECT_EQ(1, runTescross(2, argv, full, err));
    std::fclose(full);
    EXPECT_EQ("tescross: cannot write the output\n", takeWritten(err));
}

}  // namespace
