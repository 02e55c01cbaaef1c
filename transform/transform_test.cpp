#include "transform/transform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/transform_support.h"

namespace {

const std::string ONE_TABLE = "cross cols=2\nE\nH\n";
const std::string ONE_TABLE_HTML =
    "\n<A NAME='tcross_E'></A>\n<DIV class='tgc'><TABLE class='tgcb' CELLSPACING='0'>\n"
    "<TR><TD COLSPAN='2' class='tevent' ALIGN='left'>\nE</TD></TR>\n"
    "<TR class='crow'><TD>H</TD></TR>\n";

// The page, exit status and console of whole texts: comments only, tables,
// and unknown commands, which stop the run and keep the tables before them.
TEST(TransformText, WritesThePageUpToAnUnknownCommand) {
    const std::string UNKNOWN = "Error: tesweb - Unknow transform command.\n";
    const std::string TABLE = ONE_TABLE_HTML + TABLE_END;
    const struct {
        std::string text, page;
        int status;
    } cases[] = {
        {"", PAGE_END, 0},
        {"\n\n", PAGE_END, 0},
        {"; comment\n% other\n  \t\n", PAGE_END, 0},
        {"; no line end", PAGE_END, 0},
        // One head, every table closed.
        {"; results\n" + ONE_TABLE + "\n%\n  " + ONE_TABLE, PAGE_HEAD + TABLE + TABLE + PAGE_END,
         0},
        {ONE_TABLE + "\nsummary", PAGE_HEAD + TABLE, 1},
        {"crosstable cols=2\n", "", 1},
        {"cross\tcols=2\n", "", 1},
        {"cross\n", "", 1},
        {"table\n", "", 1},
        {"\xe9 cross cols=2\n", "", 1},
        {"# note\n", "", 1},
        {"xyz", "", 1},
    };
    for (const auto& c : cases) {
        TransformRun run;
        EXPECT_EQ(c.page, run.transform(c.text)) << c.text;
        EXPECT_EQ(c.status, run.status) << c.text;
        EXPECT_EQ(c.status ? UNKNOWN : "", run.console) << c.text;
    }
}

TEST(TransformText, LinksTheCrossTableStyleSheet) {
    TransformRun run;
    std::strcpy(run.settings.crosstablecss, "style/cross.css");
    run.transform(ONE_TABLE);
    EXPECT_EQ(0u, run.page.find("<HTML>\n<HEAD>\n<TITLE>Cross</TITLE>\n"
                                "<LINK REL='stylesheet' HREF='style/cross.css'>\n"
                                "</HEAD>\n<BODY>\n"));
}

TEST(TransformText, TreatsCarriageReturnLineFeedAsOneLineEnd) {
    TransformRun plain;
    plain.transform("cross cols=2\nE, F\nH I\n1 Smith GER\n\n");
    TransformRun crlf;
    crlf.transform("cross cols=2\r\nE, F\r\nH I\r\n1 Smith GER\r\n\r\n");
    EXPECT_EQ(plain.page, crlf.page);
}

TEST(TransformText, TakesCommentLinesInsideABlockAsData) {
    TransformRun run;
    run.transform("cross cols=2\n; event\n% heading\n; player\n");
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos, run.page.find("<A NAME='tcross_; event'>"));
    EXPECT_NE(std::string::npos, run.page.find("<TR class='crow'><TD>%</TD><TD>heading</TD>"));
    EXPECT_NE(std::string::npos, run.page.find("<TR><TD class='tplay'>;</TD><TD>player</TD>"));
}

TEST(TransformText, ExaminesALongLineInPiecesOf7999Characters) {
    // A comment of 10,000 characters: its second piece is no comment.
    TransformRun comment;
    comment.transform(";" + std::string(9999, 'x') + "\n");
    EXPECT_EQ("Error: tesweb - Unknow transform command.\n", comment.console);

    // A player line of exactly 7,999 characters: its line end arrives alone
    // and ends the table, so the next line is read by the driver.
    TransformRun row;
    row.transform(ONE_TABLE + "Smith" + std::string(7994, ' ') + "\nJones\n");
    EXPECT_EQ(PAGE_HEAD + ONE_TABLE_HTML + "<TR><TD class='tplay'>Smith</TD></TR>\n" + TABLE_END,
              row.page);
    EXPECT_EQ("Error: tesweb - Unknow transform command.\n", row.console);

    // One character less and the line end comes with it.
    TransformRun shorter;
    shorter.transform(ONE_TABLE + "Smith" + std::string(7993, ' ') + "\nJones\n");
    EXPECT_EQ(0, shorter.status);
    EXPECT_EQ(2u, shorter.playerRows().size());
}

TEST(TransformText, StopsWithDiskFullWhenThePageCannotBeWritten) {
    std::FILE* full = std::fopen("/dev/full", "w");
    if (!full) GTEST_SKIP() << "no /dev/full";
    std::setvbuf(full, nullptr, _IONBF, 0);
    TransformRun run;
    run.input(ONE_TABLE);
    run.frame.output.stream = full;
    EXPECT_THROW(transformText(run.state), RunEnd);
    EXPECT_EQ("Error: Disk full.\n", run.console);
    EXPECT_EQ(nullptr, run.frame.output.stream);
}

}  // namespace
