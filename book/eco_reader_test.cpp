#include "book/eco_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "book/compiler.h"
#include "tests/support/captured_run.h"

namespace {

struct EcoReaderTest : testing::Test, CapturedRun {
    EcoReader reader;
    Position position;
    MoveReader moveReader;
    PositionList positions;

    EcoReaderTest() : CapturedRun(BOOK_PROFILE) { allocatePositionList(frame, positions); }

    // Closes the input and starts the line count afresh, for the next case.
    void restart() {
        closeFiles();
        frame.inputAtEnd = false;
        frame.lineCounter = 0;
    }

    // Reads the first content line of `text` and parses it as a header.
    void readHeader(const std::string& text) {
        input(text);
        ASSERT_TRUE(nextContentLine(frame, reader));
        parseEcoHeader(frame, reader);
    }

    // Reads the first content line of `text` and plays it as a move line.
    void playLine(const std::string& text) {
        input(text);
        ASSERT_TRUE(nextContentLine(frame, reader));
        parseLineMoves(frame, reader, position, moveReader, positions, 0);
    }

    // The run's end: the status, with console holding the report.
    int endOf(void (EcoReaderTest::*step)(const std::string&), const std::string& text) {
        return run([&] { (this->*step)(text); }) ? -1 : status;
    }
};

TEST_F(EcoReaderTest, NextContentLineSkipsCommentsAndBlankLines) {
    input("; comment\n\n   \t\n  ;indented comment\n\t B20 Sicilian\nlast");
    ASSERT_TRUE(nextContentLine(frame, reader));
    EXPECT_STREQ("B20 Sicilian\n", reader.textCursor);
    EXPECT_EQ(5, frame.lineCounter);
    ASSERT_TRUE(nextContentLine(frame, reader));
    EXPECT_STREQ("last", reader.textCursor);
    EXPECT_FALSE(nextContentLine(frame, reader));
    EXPECT_EQ(nullptr, reader.textCursor);
    EXPECT_EQ(7, frame.lineCounter);
    EXPECT_TRUE(frame.inputAtEnd);
    EXPECT_FALSE(nextContentLine(frame, reader));
    EXPECT_EQ(7, frame.lineCounter);
}

TEST_F(EcoReaderTest, LastCommentLineWithoutLineEndIsAComment) {
    input("; only a comment");
    EXPECT_FALSE(nextContentLine(frame, reader));
    EXPECT_EQ(2, frame.lineCounter);
}

TEST_F(EcoReaderTest, HeaderGivesCodeAndName) {
    struct Case {
        const char* line;
        int letter;
        int number;
        const char* name;
        int headerLine;  // 0: left as it was
    };
    const Case cases[] = {
        {"B20 Sicilian Defense\n", 1, 20, "Sicilian Defense", 1},
        {"B07\n", 1, 7, "", 0},
        {"B07", 1, 7, "", 0},
        {"B07   \n", 1, 7, "", 0},
        {"B07Pirc\n", 1, 7, "irc", 1},
        {"B071 Pirc\n", 1, 7, "Pirc", 1},
        {"B07 1.e4 Opening\n", 1, 7, ".e4 Opening", 1},
        {"B07 Pirc Defence   ; main line\n", 1, 7, "Pirc Defence", 1},
        {"B07 ; only a comment\n", 1, 7, "", 1},
        {"E99 King's Indian\t \n", 4, 99, "King's Indian\t", 1},
        {"A00 \tAmar\n", 0, 0, "Amar", 1},
        {"C00 Fran\xC3\xA7"
         "ais",
         2, 0,
         "Fran\xC3\xA7"
         "ais",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        restart();
        reader.header.headerLine = 0;
        readHeader(c.line);
        EXPECT_EQ(c.letter, reader.header.ecoLetter);
        EXPECT_EQ(c.number, reader.header.ecoNumber);
        EXPECT_STREQ(c.name, reader.header.nameText);
        EXPECT_EQ(c.headerLine, reader.header.headerLine);
    }
    EXPECT_EQ("", console);
}

TEST_F(EcoReaderTest, HeaderLineKeepsTheLastHeaderThatHadText) {
    input("A00 Amar\n1/2\nB07\n");
    ASSERT_TRUE(nextContentLine(frame, reader));
    parseEcoHeader(frame, reader);
    EXPECT_EQ(1, reader.header.headerLine);
    ASSERT_TRUE(nextContentLine(frame, reader));
    ASSERT_TRUE(nextContentLine(frame, reader));
    parseEcoHeader(frame, reader);
    EXPECT_STREQ("", reader.header.nameText);
    EXPECT_EQ(1, reader.header.headerLine);
}

TEST_F(EcoReaderTest, BadHeadersEchoTheLineAndStop) {
    struct Case {
        const char* text;
        const char* output;
    };
    const Case cases[] = {
        {"b07 Pirc\n", "b07 Pirc\n\nFile Error on line 1: Invalid ECO book.\n"},
        {"F00 Foo\n", "F00 Foo\n\nFile Error on line 1: Invalid ECO book.\n"},
        {"; x\n  1.e4 e5\n", "1.e4 e5\n\nFile Error on line 2: Invalid ECO book.\n"},
        {"F00 Foo", "F00 Foo\nFile Error on line 1: Invalid ECO book.\n"},
        {"B7 Pirc\n", "7 Pirc\n\nFile Error on line 1: Invalid ECO Code.\n"},
        {"B", "\nFile Error on line 1: Invalid ECO Code.\n"},
        {"Bx7 Pirc\n", "x7 Pirc\n\nFile Error on line 1: Invalid ECO Code.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        restart();
        frame.pauseFlag = 0;
        console.clear();
        EXPECT_EQ(1, endOf(&EcoReaderTest::readHeader, c.text));
        EXPECT_EQ(c.output, console);
        EXPECT_EQ(1, frame.pauseFlag);
    }
}

TEST_F(EcoReaderTest, NameOf259BytesFitsAnd260Stop) {
    readHeader("A00 " + std::string(259, 'x') + "   ;\n");
    EXPECT_EQ(std::string(259, 'x'), reader.header.nameText);

    restart();
    EXPECT_EQ(1, endOf(&EcoReaderTest::readHeader, "; long\nA00 " + std::string(260, 'x') + "\n"));
    EXPECT_EQ("File Error on line 2: Opening name too long.\n", console);
}

TEST_F(EcoReaderTest, MoveTextPlaysEveryMoveUpToTheMarker) {
    struct Case {
        const char* text;
        int plies;
    };
    const Case cases[] = {
        {"1/2\n", 0},
        {"1.e4 1/2\n", 1},
        {"1. e4 e5 2.Nf3 1/2\n", 3},
        {"1 e4 1... e5 1/2-1/2 e4\n", 2},
        {"1.e4 !? e5 ?! 1/2\n", 2},
        {"1.e4 {good} e5 1/2\n", 2},
        {"1.e4 {good}e5 {fine} 1/2\n", 2},
        {"1.e4 (1...e5) 1/2\n", 2},
        {"1.e4\n\n  \n\te5\n2.Nf3 1/2\n", 3},
        {"1.e4 {an unclosed comment 1/2\ne5 1/2\n", 2},
        {"1.e4 e5 2.Nf3 Nc6 3.Bc4 Bc5 4.0-0 1/2\n", 7},
        {"1.d4 d5 2.Nc3 Nc6 3.Bf4 Bf5 4.Qd2 Qd7 5. 0-0-0 0-0-0 1/2\n", 10},
        {"1.e4 e5 2.Qh5 Nc6 3.Bc4 Nf6 4.Qxf7# 1/2\n", 7},
        {"1.e4\te5 2.Nf3 1/2\r\n", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        restart();
        positions.positionCount = 0;
        ASSERT_EQ(-1, endOf(&EcoReaderTest::playLine, c.text)) << console;
        EXPECT_EQ(c.plies, position.plyCount);
        EXPECT_EQ(c.plies, positions.positionCount);
        ASSERT_NE(nullptr, reader.textCursor);
        EXPECT_TRUE(atResultMarker(reader.textCursor));
    }
    EXPECT_EQ("", console);
}

TEST_F(EcoReaderTest, RecordsEveryPositionWithTheLineIndex) {
    input("1.e4 c5 1/2\n");
    ASSERT_TRUE(nextContentLine(frame, reader));
    parseLineMoves(frame, reader, position, moveReader, positions, 41);
    ASSERT_EQ(2, positions.positionCount);
    EXPECT_EQ(41, positions.positionStore[0].lineIndex);
    EXPECT_EQ(41, positions.positionStore[1].lineIndex);
    EXPECT_EQ(0x09, positions.positionStore[1].packedBoard[17]);
}

TEST_F(EcoReaderTest, MoveTextErrorsNameTheLine) {
    struct Case {
        const char* text;
        const char* output;
    };
    const Case cases[] = {
        {"1.e4 e5\n2.Nf3\n", "File Error on line 3: Unexpected end of ECO text file or line.\n"},
        {"1.e4 e5", "File Error on line 2: Unexpected end of ECO text file or line.\n"},
        {"1.. e4 1/2\n", "File Error on line 1: Move number period error.\n"},
        {"1.e4\n1.... e5 1/2\n", "File Error on line 2: Move number period error.\n"},
        {"1.e4 {1/2\n", "File Error on line 2: Unexpected end of ECO text file or line.\n"},
        {"e51/2\n", "Move Error on line 1! -- Illegal move\n========>e51/2\n\n"},
        {"1.e4 e5 2.Nf3 Nc6 3.Bc4 Bc5 4.0-1 1/2\n",
         "Move Error on line 1! -- Illegal move\n========>0-1 1/2\n\n"},
        {"1.e4 ; a comment 1/2\n",
         "Move Error on line 1! -- Illegal move\n========>; a comment 1/2\n\n"},
        {"1.e4\n e5 2.Qh5+ 1/2", "Move Error on line 2! -- Illegal move\n========>+ 1/2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        restart();
        console.clear();
        EXPECT_EQ(1, endOf(&EcoReaderTest::playLine, c.text));
        EXPECT_EQ(c.output, console);
    }
}

TEST_F(EcoReaderTest, LongLinesArriveInPiecesThatEachCount) {
    // 15,999 characters fill the line area; the line end is the next read.
    std::string move = "1.e4";
    std::string full = move + std::string(15999 - move.size(), ' ');
    playLine(full + "\ne5 1/2\n");
    EXPECT_EQ(2, position.plyCount);
    EXPECT_EQ(3, frame.lineCounter);

    restart();
    std::string cut = std::string(15997, ' ') + "Nf3 1/2\n";
    EXPECT_EQ(1, endOf(&EcoReaderTest::playLine, cut));
    EXPECT_EQ("Move Error on line 1! -- Illegal move\n========>Nf\n", console);
}

}  // namespace
