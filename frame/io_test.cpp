#include "frame/io.h"

#include "frame/platform.h"
#include "tests/support/captured_run.h"
#include "tests/support/file_text.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/tool_profiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using TestRun = CapturedRun;

TEST(WriteFormatted, ConversionsAndDroppedUnknowns) {
    TestRun run(WEB_RULES);
    run.frame.output.stream = std::tmpfile();
    writeFormatted(run.frame, "100%% <%d> <%c> <%s> %x<%d>", {-5, 'A', "text", 2147483647});
    writeFormatted(run.frame, "<%d>|", {-2147483647 - 1});
    writeFormatted(run.frame, "end%");
    EXPECT_EQ("100% <-5> <A> <text> <2147483647><-2147483648>|end",
              streamText(run.frame.output.stream));
}

TEST(WriteText, NullWritesNothing) {
    TestRun run(WEB_RULES);
    run.frame.output.stream = std::tmpfile();
    EXPECT_EQ(0, writeText(run.frame, nullptr));
    writeText(run.frame, "<HTML>\n");
    EXPECT_EQ("<HTML>\n", streamText(run.frame.output.stream));
}

TEST(ReadLine, BookCountsEveryAttemptIncludingTheEnd) {
    TestRun run(BOOK_RULES);
    std::FILE* in = streamOf("first\r\nsecond\nlast");
    EXPECT_STREQ("first\n", readLine(run.frame, in));
    EXPECT_STREQ("second\n", readLine(run.frame, in));
    EXPECT_FALSE(run.frame.inputAtEnd);
    EXPECT_STREQ("last", readLine(run.frame, in));
    EXPECT_FALSE(run.frame.inputAtEnd) << "a last line without a line end is an ordinary line";
    EXPECT_EQ(nullptr, readLine(run.frame, in));
    EXPECT_TRUE(run.frame.inputAtEnd);
    EXPECT_EQ(4, run.frame.lineCounter);
    EXPECT_EQ(0, run.frame.line()[-1]);
    std::fclose(in);
}

// The lines of each text, and where given the count of the page writer,
// which counts only the lines it delivers. A lone carriage return stays in
// the line; a Ctrl-Z ends a text file on every platform, wherever it stands,
// and every read after it finds the end again.
TEST(ReadLine, LinesOfEachText) {
    struct Case {
        const ToolProfile* profile;
        std::string bytes;
        std::vector<std::string> lines;
        int counter;  // -1: not checked
    };
    const Case cases[] = {
        {&WEB_RULES, "a\n\nb\n", {"a\n", "\n", "b\n"}, 3},
        {&WEB_RULES, "a\rb\r\r\n", {"a\rb\r\n"}, -1},
        {&BOOK_RULES, "a\r\nb\r\n\x1A", {"a\n", "b\n"}, -1},
        {&BOOK_RULES, "a\n\x1A\nb\n", {"a\n"}, -1},
        {&BOOK_RULES, "; note\x1A cut\nb\n", {"; note"}, -1},
        {&BOOK_RULES, "a\r\x1A\n", {"a\r"}, -1},
        {&BOOK_RULES,
         "\x1A"
         "a\n",
         {},
         -1},
        {&BOOK_RULES, "a\x1B\n", {"a\x1B\n"}, -1},
    };
    for (const Case& c : cases) {
        TestRun run(*c.profile);
        std::FILE* in = streamOf(c.bytes);
        std::vector<std::string> lines;
        while (const char* line = readLine(run.frame, in)) lines.push_back(line);
        EXPECT_EQ(c.lines, lines) << c.bytes;
        EXPECT_EQ(nullptr, readLine(run.frame, in)) << c.bytes;
        if (c.counter >= 0) {
            EXPECT_EQ(c.counter, run.frame.lineCounter) << c.bytes;
        }
        std::fclose(in);
    }
}

// A NUL would silently end every reader's line early: it stops the run,
// naming the line in each tool's form.
TEST(ReadLine, NulByteStopsTheRun) {
    struct Case {
        const ToolProfile* profile;
        const char* console;
    };
    for (Case c : {Case{&BOOK_RULES, "File Error on line 2: NUL character in line.\n"},
                   Case{&WEB_RULES, "Error: NUL character in line 2.\n"}}) {
        TestRun run(*c.profile);
        std::FILE* in = streamOf(std::string("B20 Sicilian\n1.e4\0 c5 1/2\n", 26));
        EXPECT_STREQ("B20 Sicilian\n", readLine(run.frame, in));
        try {
            readLine(run.frame, in);
            ADD_FAILURE() << "the NUL was read as text";
        } catch (const RunEnd& end) {
            EXPECT_EQ(1, end.status);
        }
        EXPECT_EQ(c.console, run.console);
        std::fclose(in);
    }
}

// A line of exactly the limit and its line end arrive as two reads; a
// longer line arrives in pieces, every piece counted.
TEST(ReadLine, LongLinesArriveInPiecesOfTheLimit) {
    struct Case {
        const ToolProfile* profile;
        std::size_t limit;
    };
    for (Case c : {Case{&BOOK_RULES, 15999}, Case{&WEB_RULES, 7999}}) {
        TestRun run(*c.profile);
        std::string exact(c.limit, 'x');
        std::string longer(c.limit + 10, 'y');
        std::FILE* in = streamOf(exact + "\n" + longer + "\r\n");
        EXPECT_EQ(exact, readLine(run.frame, in));
        EXPECT_STREQ("\n", readLine(run.frame, in));
        EXPECT_EQ(std::string(c.limit, 'y'), readLine(run.frame, in));
        EXPECT_EQ(std::string(10, 'y') + "\n", readLine(run.frame, in));
        EXPECT_EQ(nullptr, readLine(run.frame, in));
        std::fclose(in);
    }
}

TEST(Warning, BookPrintsOnlyWhilePausingAndAddsNothing) {
    TestRun run(BOOK_RULES);
    warning(run.frame, "Can't use '$' character in Opening file.\n");
    run.frame.pauseFlag = 0;
    warning(run.frame, "silent\n");
    EXPECT_EQ("Warning: Can't use '$' character in Opening file.\n", run.console);
}

TEST(Warning, WebAddsPeriodAndLineEnd) {
    TestRun run(WEB_RULES);
    warning(run.frame, "Filename contains the ~ character!");
    EXPECT_EQ("Warning: Filename contains the ~ character!.\n", run.console);
}

TEST(FatalError, BookNamesTheLineOnceOneWasRead) {
    TestRun run(BOOK_RULES);
    run.frame.pauseFlag = 0;
    EXPECT_THROW(fatalError(run.frame, "Unknown File Extension"), RunEnd);
    EXPECT_EQ(1, run.frame.pauseFlag);
    run.frame.lineCounter = 41;
    EXPECT_THROW(fatalError(run.frame, "Unexpected end of ECO text file"), RunEnd);
    EXPECT_THROW(fatalError(run.frame, "Can't allocate space for saving Opening info.\n"), RunEnd);
    EXPECT_EQ(
        "Error: Unknown File Extension.\n"
        "File Error on line 41: Unexpected end of ECO text file.\n"
        "File Error on line 41: Can't allocate space for saving Opening info.\n.\n",
        run.console);
}

TEST(FatalError, WebClosesTheOutputKeepingWhatWasWritten) {
    TestRun run(WEB_RULES);
    ScratchFolder folder;
    std::string path = folder / "page.htm";
    run.frame.output.stream = std::fopen(path.c_str(), "w");
    writeText(run.frame, "<HTML>\n");
    try {
        fatalError(run.frame, "Unknown command");
        FAIL();
    } catch (const RunEnd& end) {
        EXPECT_EQ(1, end.status);
    }
    EXPECT_EQ(nullptr, run.frame.output.stream);
    EXPECT_EQ("Error: Unknown command.\n", run.console);
    EXPECT_EQ("<HTML>\n", fileText(path));
}

TEST(ShowUsage, WebRepeatsTheBanner) {
    TestRun web(WEB_RULES);
    EXPECT_THROW(showUsage(web.frame), RunEnd);
    EXPECT_EQ("Web rules v1.00.\n\n\nusage: web filename.txt\n\n", web.console);
    TestRun book(BOOK_RULES);
    book.frame.pauseFlag = 0;
    EXPECT_THROW(showUsage(book.frame), RunEnd);
    EXPECT_EQ("\nusage: book filename.eco\n\n", book.console);
    EXPECT_EQ(1, book.frame.pauseFlag);
}

TEST(ReleaseAndPause, ReadsUpToALineEndOrTheEnd) {
    TestRun run(BOOK_RULES);
    std::FILE* in = streamOf("typed\nrest");
    run.frame.pauseInput = in;
    releaseAndPause(run.frame);
    EXPECT_EQ('r', std::getc(in));
    EXPECT_EQ(nullptr, run.frame.lineBuffer);
    std::fclose(in);

    TestRun atEnd(WEB_RULES);
    std::FILE* empty = streamOf("");
    atEnd.frame.pauseInput = empty;
    releaseAndPause(atEnd.frame);  // returns at once
    std::fclose(empty);

    TestRun silent(BOOK_RULES);
    std::FILE* untouched = streamOf("x\n");
    silent.frame.pauseInput = untouched;
    silent.frame.pauseFlag = 0;
    releaseAndPause(silent.frame);
    EXPECT_EQ('x', std::getc(untouched));
    std::fclose(untouched);
}

TEST(UpperAscii, OnlyAsciiLettersChange) {
    EXPECT_EQ('A', upperAscii('a'));
    EXPECT_EQ('Z', upperAscii('z'));
    EXPECT_EQ('{', upperAscii('{'));
    EXPECT_EQ('@', upperAscii('@'));
    EXPECT_EQ('\xe9', upperAscii('\xe9'));
}

class OpeningFileOutput : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string path = folder / "BOOK.ECO";
};

TEST_F(OpeningFileOutput, ReplacesTheOldFileOnlyWhenComplete) {
    std::ofstream(path, std::ios::binary) << "old";
    TestRun run(BOOK_RULES);
    openOutput(run.frame, path, "wb");
    writeBytes(run.frame, "new", 3);
    EXPECT_EQ("old", fileText(path));
    closeOutput(run.frame);
    EXPECT_EQ("new", fileText(path));
    EXPECT_EQ(1u, folder.entries());
}

TEST_F(OpeningFileOutput, AbandonedRunLeavesTheOldFileAndNoTemporary) {
    std::ofstream(path, std::ios::binary) << "old";
    TestRun run(BOOK_RULES);
    openOutput(run.frame, path, "wb");
    writeBytes(run.frame, "partial", 7);
    abandonFiles(run.frame);
    EXPECT_EQ("old", fileText(path));
    EXPECT_EQ(1u, folder.entries());
}

// A file that happens to have the temporary file's name is not the run's
// to overwrite: the run writes under another name.
TEST_F(OpeningFileOutput, NeverOverwritesAFileItDidNotCreate) {
    std::string taken = temporaryNameBeside(path, 0);
    std::ofstream(taken, std::ios::binary) << "someone's";
    TestRun run(BOOK_RULES);
    openOutput(run.frame, path, "wb");
    EXPECT_EQ(temporaryNameBeside(path, 1), run.frame.output.tempPath);
    writeBytes(run.frame, "new", 3);
    closeOutput(run.frame);
    EXPECT_EQ("new", fileText(path));
    EXPECT_EQ("someone's", fileText(taken));
    EXPECT_EQ(2u, folder.entries());
}

// When the finished file cannot take the old one's place (on Windows: the
// viewer holds it open), the output is reported as not to be opened.
TEST_F(OpeningFileOutput, FailedReplacementIsAnOutputThatCannotBeOpened) {
    TestRun run(BOOK_RULES);
    openOutput(run.frame, path, "wb");
    writeBytes(run.frame, "new", 3);
    std::filesystem::create_directories(std::filesystem::path(path) / "held");
    EXPECT_THROW(closeOutput(run.frame), RunEnd);
    EXPECT_EQ("\nCannot open file \n" + path + "\n.\n\n", run.console);
    abandonFiles(run.frame);  // as the end of every run does
    EXPECT_EQ(1u, folder.entries());
}

TEST_F(OpeningFileOutput, DirectoryInTheWayCannotBeOpened) {
    std::filesystem::create_directory(path);
    TestRun run(BOOK_RULES);
    EXPECT_THROW(openOutput(run.frame, path, "wb"), RunEnd);
    EXPECT_EQ("\nCannot open file \n" + path + "\n.\n\n", run.console);
    EXPECT_EQ(1u, folder.entries());
}

TEST(OpenBuffered, MissingFileInBothForms) {
    TestRun book(BOOK_RULES);
    EXPECT_THROW(openBuffered(book.frame, "no/such/OPEN.TXT"), RunEnd);
    EXPECT_EQ("\nCannot open file \nno/such/OPEN.TXT\n.\n\n", book.console);
    TestRun web(WEB_RULES);
    EXPECT_THROW(openBuffered(web.frame, "no/such/REPORT.TXT"), RunEnd);
    EXPECT_EQ("\nCannot open file no/such/REPORT.TXT.\nError: .\n", web.console);
}

}  // namespace

namespace {

// A full disk shows when the stream buffer is written out: during a long
// write, or at the latest when the output is closed.
TEST(DiskFull, WritesAndTheFinalCloseReportIt) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    TestRun long_write(WEB_RULES);
    long_write.frame.output.stream = std::fopen("/dev/full", "w");
    std::string text(STREAM_BUFFER_SIZE * 2, 'x');
    EXPECT_THROW(writeText(long_write.frame, text.c_str()), RunEnd);
    EXPECT_EQ("Error: Disk full.\n", long_write.console);

    TestRun short_write(BOOK_RULES);
    short_write.frame.output.stream = std::fopen("/dev/full", "wb");
    short_write.frame.lineCounter = 12;
    writeBytes(short_write.frame, "abc", 3);
    EXPECT_THROW(closeOutput(short_write.frame), RunEnd);
    EXPECT_EQ(nullptr, short_write.frame.output.stream);
    EXPECT_EQ("File Error on line 12: Disk full.\n", short_write.console);
}

}  // namespace
