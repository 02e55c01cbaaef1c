#include "transform/cross_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "tests/support/transform_support.h"

namespace {

// The player row that a block with this one player line produces.
std::string playerRow(TransformRun& run, const std::string& player) {
    run.transform("cross cols=9\nEvent\nNo Name\n" + player + "\n");
    EXPECT_EQ(0, run.status) << run.console;
    std::vector<std::string> rows = run.playerRows();
    return rows.size() == 1 ? rows[0] : "(" + std::to_string(rows.size()) + " rows)";
}

std::string playerRow(const std::string& player) {
    TransformRun run;
    return playerRow(run, player);
}

TEST(WriteCrossTable, WritesTheWorkedExample) {
    TransformRun run;
    run.transform(
        "cross cols=8 cat=12\nOpen Championship, Section A\nNo Name Ti Fed Rtg 1 2 3\n"
        "1 {Meier, Hans} GM GER 2580 * 1 1\n2 Brown | USA 2310 0 * 1\n\n");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(std::string(PAGE_HEAD) +
                  "\n<A NAME='tcross_Open Championship'></A>\n"
                  "<DIV class='tgc'><TABLE class='tgcb' CELLSPACING='0'>\n"
                  "<TR><TD COLSPAN='7' class='tevent' ALIGN='left'>\n"
                  "Open Championship, Section A</TD><TD>XII</TD></TR>\n"
                  "<TR class='crow'><TD>No</TD><TD>Name</TD><TD>Ti</TD><TD>Fed</TD><TD>Rtg</TD>"
                  "<TD>1</TD><TD>2</TD><TD>3</TD></TR>\n"
                  "<TR><TD>1</TD><TD class='tplay'>Meier, Hans</TD><TD class='ttitle'>GM</TD>"
                  "<TD><IMG SRC='flag/ger.gif' BORDER='1' TITLE='Germany'></TD>"
                  "<TD class='telo'>2580</TD><TD>*</TD><TD>1</TD><TD>1</TD></TR>\n"
                  "<TR><TD>2</TD><TD class='tplay'>Brown</TD><TD>&nbsp;</TD>"
                  "<TD><IMG SRC='flag/usa.gif' BORDER='1' TITLE='United States'></TD>"
                  "<TD class='telo'>2310</TD><TD>0</TD><TD>*</TD><TD>1</TD></TR>\n" +
                  TABLE_END + PAGE_END,
              run.page);
}

TEST(WriteCrossTable, ReadsColumnsAndCategoryFromTheCommandLine) {
    struct Case {
        const char* command;
        const char* eventRow;
    } cases[] = {
        {"cross cols=8", "<TR><TD COLSPAN='8' class='tevent' ALIGN='left'>\nE</TD></TR>\n"},
        {"cross cols=8 cat=0", "<TR><TD COLSPAN='7' class='tevent' ALIGN='left'>\nE</TD></TR>\n"},
        {"cross cols=1 cat=1",
         "<TR><TD COLSPAN='0' class='tevent' ALIGN='left'>\nE</TD><TD>I</TD></TR>\n"},
        {"CROSS COLS=5 CAT=29",
         "<TR><TD COLSPAN='4' class='tevent' ALIGN='left'>\nE</TD><TD>XXIX</TD></TR>\n"},
        {"cross \t cols=3\tcat=2 and more",
         "<TR><TD COLSPAN='2' class='tevent' ALIGN='left'>\nE</TD><TD>II</TD></TR>\n"},
        {"cross cols= 8 cat=3", "<TR><TD COLSPAN='8' class='tevent' ALIGN='left'>\nE</TD></TR>\n"},
        {"cross cols=8x cat=3", "<TR><TD COLSPAN='8' class='tevent' ALIGN='left'>\nE</TD></TR>\n"},
        {"cross cols=+6 cat=3", "<TR><TD COLSPAN='6' class='tevent' ALIGN='left'>\nE</TD></TR>\n"},
        {"cross cols=4294967297",
         "<TR><TD COLSPAN='2147483647' class='tevent' ALIGN='left'>\nE</TD></TR>\n"},
    };
    for (const Case& c : cases) {
        TransformRun run;
        run.transform(std::string(c.command) + "\nE\nH\n");
        EXPECT_EQ(0, run.status) << c.command << run.console;
        EXPECT_NE(std::string::npos, run.page.find(c.eventRow)) << c.command << "\n" << run.page;
    }
}

TEST(WriteCrossTable, RejectsBadCommandLines) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"cross rows=5\nE\nH\n", "tesweb - transform cross missing cols"},
        {"cross cols\nE\nH\n", "tesweb - transform cross missing cols"},
        {"cross cat=3 cols=5\nE\nH\n", "tesweb - transform cross missing cols"},
        {"cross cols=0\nE\nH\n", "tesweb - transform cross column illegal value"},
        {"cross cols=\nE\nH\n", "tesweb - transform cross column illegal value"},
        {"cross cols=-3\nE\nH\n", "tesweb - transform cross column illegal value"},
        {"cross cols=-4294967295\nE\nH\n", "tesweb - transform cross column illegal value"},
        {"cross cols=5 cat=30\nE\nH\n", "tesweb - transform cross category illegal value"},
        {"cross cols=5 cat=-1\nE\nH\n", "tesweb - transform cross category illegal value"},
        {"cross cols=5 cat=4294967299\nE\nH\n", "tesweb - transform cross category illegal value"},
        {"cross cols=5\n", "Unexpected end of file"},
        {"cross cols=5\n\nH\n", "Unexpected end of file"},
        {"cross cols=5\n \t \nH\n", "Unexpected end of file"},
        {"cross cols=5\nE\n", "Unexpected end of file"},
        {"cross cols=5\nE\n\n1 Smith\n", "Unexpected end of file"},
        {"cross cols=5\nE\nH\n1\n", "Player missing from cross table"},
        {"cross cols=5\nE\nH\n| | |\n", "Player missing from cross table"},
        {"cross cols=5\nE\nH\n{}\n", "Player missing from cross table"},
        {"cross cols=5\nE\nH\n1 {}\n", "Player missing from cross table"},
    };
    for (const Case& c : cases) {
        TransformRun run;
        run.transform(c.text);
        EXPECT_EQ(1, run.status) << c.text;
        EXPECT_EQ("Error: " + std::string(c.error) + ".\n", run.console) << c.text;
        EXPECT_EQ(0u, run.page.find(PAGE_HEAD)) << c.text;
        EXPECT_EQ(std::string::npos, run.page.find(PAGE_END)) << c.text;
    }
}

TEST(WriteCrossTable, KeepsThePageWrittenBeforeAnError) {
    TransformRun run;
    run.transform("cross cols=5\nSpring Open\nNo Name\n1 Smith\n| | 2\n");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(std::string(PAGE_HEAD) +
                  "\n<A NAME='tcross_Spring Open'></A>\n"
                  "<DIV class='tgc'><TABLE class='tgcb' CELLSPACING='0'>\n"
                  "<TR><TD COLSPAN='5' class='tevent' ALIGN='left'>\nSpring Open</TD></TR>\n"
                  "<TR class='crow'><TD>No</TD><TD>Name</TD></TR>\n"
                  "<TR><TD>1</TD><TD class='tplay'>Smith</TD></TR>\n"
                  "<TR><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>2</TD>",
              run.page);
    EXPECT_EQ("Error: Player missing from cross table.\n", run.console);
}

TEST(WriteCrossTable, NamesTheAnchorByTheEventUpToItsFirstComma) {
    struct Case {
        const char* event;
        const char* anchor;
    } cases[] = {
        {"Open, Section A, Round 9", "\n<A NAME='tcross_Open'></A>\n"},
        {"   Spring Open  ", "\n<A NAME='tcross_Spring Open  '></A>\n"},
        {",Leading comma", "\n<A NAME='tcross_'></A>\n"},
        {"<b>R&D</b> 'Cup'", "\n<A NAME='tcross_<b>R&D</b> 'Cup''></A>\n"},
    };
    for (const Case& c : cases) {
        TransformRun run;
        run.transform("cross cols=3\n" + std::string(c.event) + "\nH\n");
        EXPECT_EQ(0, run.status);
        EXPECT_NE(std::string::npos, run.page.find(c.anchor)) << c.event;
    }
    TransformRun run;
    run.transform("cross cols=3\n  Open, A  \nH\n");
    EXPECT_NE(std::string::npos, run.page.find("ALIGN='left'>\nOpen, A  </TD>"));
}

TEST(WriteCrossTable, WritesTheHeaderCellsWithoutClassifyingThem) {
    TransformRun run;
    run.transform("cross cols=6\nE\nNo | {Player name} GM GER 2500 ||\n");
    EXPECT_EQ(std::vector<std::string>{"<TR class='crow'><TD>No</TD><TD>&nbsp;</TD><TD>Player "
                                       "name</TD><TD>GM</TD><TD>GER</TD><TD>2500</TD><TD>&nbsp;</"
                                       "TD><TD>&nbsp;</TD></TR>\n"},
              run.linesStartingWith("<TR class='crow'>"));
}

TEST(WriteCrossTable, ClassifiesTheFourCellsAfterTheName) {
    struct Case {
        const char* player;
        const char* row;
    } cases[] = {
        {"Smith 2600* 999 3001 1000 3000",
         "<TR><TD class='tplay'>Smith</TD><TD class='telo'>2600</TD><TD>999</TD><TD>3001</TD>"
         "<TD class='telo'>1000</TD><TD>3000</TD></TR>\n"},
        {"1 Smith a b c 2500 2500",
         "<TR><TD>1</TD><TD class='tplay'>Smith</TD><TD>a</TD><TD>b</TD><TD>c</TD>"
         "<TD class='telo'>2500</TD><TD>2500</TD></TR>\n"},
        {"Smith | | | | 2500",
         "<TR><TD class='tplay'>Smith</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD>"
         "<TD>&nbsp;</TD><TD>2500</TD></TR>\n"},
        {"Smith mad MAD M m WGM",
         "<TR><TD class='tplay'>Smith</TD>"
         "<TD><IMG SRC='flag/mad.gif' BORDER='1' TITLE='Madagascar'></TD>"
         "<TD><IMG SRC='flag/mad.gif' BORDER='1' TITLE='Madagascar'></TD>"
         "<TD class='ttitle'>M</TD><TD class='ttitle'>m</TD><TD>WGM</TD></TR>\n"},
        {"Smith wgm cc-sim Ger",
         "<TR><TD class='tplay'>Smith</TD><TD class='ttitle'>wgm</TD>"
         "<TD class='ttitle'>cc-sim</TD>"
         "<TD><IMG SRC='flag/ger.gif' BORDER='1' TITLE='Germany'></TD></TR>\n"},
        {"Kim PRK",
         "<TR><TD class='tplay'>Kim</TD><TD><IMG SRC='flag/prk.gif' BORDER='1' "
         "TITLE='People&#39;s Republic of Korea'></TD></TR>\n"},
        {"Smith 4294969296 -2500 +2500",
         "<TR><TD class='tplay'>Smith</TD><TD>4294969296</TD><TD>-2500</TD>"
         "<TD class='telo'>2500</TD></TR>\n"},
        {"Smith WIM xyz", "<TR><TD class='tplay'>Smith</TD><TD>WIM</TD><TD>xyz</TD></TR>\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.row, playerRow(c.player)) << c.player;
}

TEST(WriteCrossTable, CutsCellsAtBlanksBarsAndBraces) {
    struct Case {
        const char* player;
        const char* row;
    } cases[] = {
        {"{2nd Player} GM", "<TR><TD>2nd Player</TD><TD class='tplay'>GM</TD></TR>\n"},
        {"Smith GM {} GER 2500",
         "<TR><TD class='tplay'>Smith</TD><TD class='ttitle'>GM</TD></TR>\n"},
        {"Smith GER ||",
         "<TR><TD class='tplay'>Smith</TD>"
         "<TD><IMG SRC='flag/ger.gif' BORDER='1' TITLE='Germany'></TD>"
         "<TD>&nbsp;</TD><TD>&nbsp;</TD></TR>\n"},
        {"Smith {abc def", "<TR><TD class='tplay'>Smith</TD><TD>{abc</TD><TD>def</TD></TR>\n"},
        {"Smith| {A | B} x|y",
         "<TR><TD class='tplay'>Smith|</TD><TD>A | B</TD><TD>x|y</TD></TR>\n"},
        {"\t M\xfcller\x01\x02{x}{y}",
         "<TR><TD class='tplay'>M\xfcller</TD><TD>x</TD><TD>y</TD></TR>\n"},
        {"<b>Smith</b> &amp; 'q'",
         "<TR><TD class='tplay'><b>Smith</b></TD><TD>&amp;</TD><TD>'q'</TD></TR>\n"},
        {"Smith}{ {", "<TR><TD class='tplay'>Smith}{</TD><TD>{</TD></TR>\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.row, playerRow(c.player)) << c.player;
}

TEST(WriteCrossTable, WritesALongCellWhole) {
    std::string name(7000, 'n');
    EXPECT_EQ("<TR><TD class='tplay'>" + name + "</TD><TD class='ttitle'>GM</TD></TR>\n",
              playerRow(name + " GM"));
    std::string braced = "{" + std::string(7990, 'b') + "}";
    EXPECT_EQ("<TR><TD class='tplay'>" + braced.substr(1, 7990) + "</TD></TR>\n",
              playerRow(braced));
}

TEST(WriteCrossTable, FollowsTheFlagSettings) {
    TransformRun off;
    off.settings.flags = 0;
    EXPECT_EQ("<TR><TD class='tplay'>Smith</TD><TD>FRA</TD><TD class='telo'>2500</TD></TR>\n",
              playerRow(off, "Smith FRA 2500"));
    TransformRun empty;
    std::strcpy(empty.settings.flagurl, "");
    EXPECT_EQ(
        "<TR><TD class='tplay'>Smith</TD>"
        "<TD><IMG SRC='/ger.gif' BORDER='1' TITLE='Germany'></TD></TR>\n",
        playerRow(empty, "Smith GER"));
    TransformRun images;
    std::strcpy(images.settings.flagurl, "images/flags");
    EXPECT_EQ(
        "<TR><TD class='tplay'>Smith</TD>"
        "<TD><IMG SRC='images/flags/ger.gif' BORDER='1' TITLE='Germany'></TD></TR>\n",
        playerRow(images, "Smith GER"));
}

TEST(WriteCrossTable, EndsAtABlankLineOrTheEndOfTheFile) {
    TransformRun run;
    run.transform("cross cols=2\nE\nH\nSmith\nJones");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(2u, run.playerRows().size());
    EXPECT_EQ(std::string(TABLE_END) + PAGE_END,
              run.page.substr(run.page.size() - std::strlen(TABLE_END) - std::strlen(PAGE_END)));
}

TEST(ReadDecimal, ConvertsLikeTheStandardConversionButSaturates) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"2580", 2580},
        {"  \t\n+12x", 12},
        {"-7", -7},
        {"2600*", 2600},
        {"", 0},
        {"abc", 0},
        {"- 5", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"4294969296", INT_MAX},
        {"99999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999999", INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(c.value, readDecimal(c.text)) << c.text;
}

}  // namespace
