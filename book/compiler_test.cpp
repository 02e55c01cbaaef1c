#include "book/compiler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "book/opening_file.h"
#include "tests/support/captured_run.h"
#include "tests/support/file_text.h"

namespace {

struct CompilerTest : testing::Test, CapturedRun {
    std::unique_ptr<Book> book = std::make_unique<Book>();

    CompilerTest() : CapturedRun(BOOK_PROFILE) {
        frame.pauseFlag = 0;
        allocateBook(frame, *book);
    }

    // Closes the files and starts a new run with empty tables and console.
    void restart() {
        closeFiles();
        console.clear();
        book = std::make_unique<Book>();
        allocateBook(frame, *book);
        frame.lineCounter = 0;
        frame.inputAtEnd = false;
    }

    // Compiles `text`; gives the exit status the run would have, 0 when
    // compileBook returned.
    int compile(const std::string& text) {
        input(text);
        output();
        return run([&] { compileBook(frame, *book); }) ? 0 : status;
    }

    // The name offset that the file gives the position at `index`.
    std::int32_t nameOffset(const std::string& file, std::int32_t index) {
        std::int32_t count = book->positions.distinctCount;
        std::size_t at = OPENING_FILE_HEAD_SIZE + 32 * static_cast<std::size_t>(count) +
                         4 * static_cast<std::size_t>(index);
        std::int32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = value * 256 + static_cast<std::uint8_t>(file[at + static_cast<std::size_t>(i)]);
        }
        return value;
    }
};

std::string summary(int lines, int longest, int moves, int nameSpace, int distinct) {
    std::ostringstream text;
    text << "Sorting the position list...\n\n"
         << "Testing for duplicate positions...\n\n"
         << "There were " << lines << " lines, the longest was " << longest << " ply.\n"
         << "There were " << moves << " total number of moves.\n"
         << "The Opening name space is " << nameSpace << " bytes long.\n"
         << "There were " << distinct << " distinct board positions\n"
         << "Writing Binary Opening File.\n\n";
    return text.str();
}

TEST_F(CompilerTest, SicilianGivesTheWorkedExampleFile) {
    ASSERT_EQ(0, compile("B20 Sicilian Defense\n1.e4 c5 1/2\n")) << console;
    EXPECT_EQ(summary(1, 2, 2, 8, 2), console);
    const unsigned char expected[110] = {
        'T',  'e',  's',  's',  'a',  'r',  'a',  '3',  ' ',  'O',  'p',  'e',  'n',  'i',
        'n',  'g',  's',  0,    2,    0,    0,    0,    2,    0,    0,    0,    8,    0,
        0,    0,    0x24, 0x53, 0x36, 0x42, 0x11, 0x11, 0x10, 0x11, 0,    0,    0,    0,
        0,    0,    0x01, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0x99, 0x99,
        0x99, 0x99, 0xAC, 0xDB, 0xBE, 0xCA, 0x24, 0x53, 0x36, 0x42, 0x11, 0x11, 0x10, 0x11,
        0,    0,    0,    0,    0,    0,    0x01, 0,    0,    0x09, 0,    0,    0,    0,
        0,    0,    0x99, 0x90, 0x99, 0x99, 0xAC, 0xDB, 0xBE, 0xCA, 0,    0,    0,    0,
        0,    0,    0,    0,    0x81, 0x94, 0x24, 0xCD, 0x20, 0x24, 0x42, 0,
    };
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expected), sizeof expected), written());
}

TEST_F(CompilerTest, NothingButCommentsGivesZerosAndTheHead) {
    for (const char* text : {"", "; nothing here\n\n  ; still nothing"}) {
        restart();
        ASSERT_EQ(0, compile(text)) << console;
        EXPECT_EQ(summary(0, 0, 0, 0, 0), console) << text;
        EXPECT_EQ(30u, written().size()) << text;
    }
}

TEST_F(CompilerTest, TranspositionKeepsTheShorterLine) {
    ASSERT_EQ(0, compile("A50 short\n1.d4 Nf6 2.c4 1/2\nA15 long\n1.c4 Nf6 2.d4 e6 1/2\n"))
        << console;
    EXPECT_EQ(summary(2, 4, 7, 15, 6), console);
    std::string file = written();
    ASSERT_EQ(30u + 36u * 6u + 15u, file.size());
    // Every board of the long line but the shared one names the long line.
    int namingShort = 0;
    for (std::int32_t i = 0; i < 6; ++i) namingShort += nameOffset(file, i) == 0;
    EXPECT_EQ(3, namingShort);
}

TEST_F(CompilerTest, ShorterLineWinsWhateverItsPlaceInTheFile) {
    ASSERT_EQ(0, compile("C60 ruy lopez\n1.e4 e5 2.Nf3 Nc6 3.Bb5 1/2\nC20 open\n1.e4 e5 1/2\n"))
        << console;
    std::string file = written();
    ASSERT_EQ(5, book->positions.distinctCount);
    int namingOpen = 0;
    for (std::int32_t i = 0; i < 5; ++i) namingOpen += nameOffset(file, i) == 12;
    EXPECT_EQ(2, namingOpen);
}

TEST_F(CompilerTest, ReturningPiecesGiveOnePosition) {
    ASSERT_EQ(0, compile("A04 Shuffle\n1.Nf3 Nf6 2.Ng1 Ng8 3.Nf3 1/2\n")) << console;
    EXPECT_EQ(5, book->positions.positionCount);
    EXPECT_EQ(4, book->positions.distinctCount);
}

// A last header, whatever follows it, and one on a last line without line
// end: the moves are missing.
TEST_F(CompilerTest, HeaderAtTheEndOfTheFileIsUnexpected) {
    for (auto [tail, line] : {std::pair{"B00 Owen\n", 4}, std::pair{"B00 Owen\n; a comment\n\n", 6},
                              std::pair{"B00 Owen", 4}}) {
        restart();
        EXPECT_EQ(1, compile(std::string("A00 Amar\n1.Nh3 1/2\n") + tail)) << tail;
        EXPECT_EQ(
            "File Error on line " + std::to_string(line) + ": Unexpected end of ECO text file.\n",
            console);
    }
}

TEST_F(CompilerTest, TenThousandLinesFitAndOneMoreStops) {
    std::string text;
    for (int i = 0; i < MAX_OPENING_LINES; ++i) text += "A00\n1/2\n";
    ASSERT_EQ(0, compile(text)) << console;
    EXPECT_EQ(summary(10000, 0, 0, 30000, 0), console);
    restart();
    EXPECT_EQ(1, compile(text + "A00 one too many\n1/2\n"));
    EXPECT_EQ("File Error on line 20001: Too many opening lines.\n", console);
}

TEST_F(CompilerTest, FiftyThousandPositionsFitAndOneMoreStops) {
    std::string text = "A04 Shuffle\n";
    for (int i = 0; i < MAX_POSITIONS / 4; ++i) text += "Nf3 Nf6 Ng1 Ng8\n";
    ASSERT_EQ(0, compile(text + "1/2\n")) << console;
    EXPECT_EQ(summary(1, 50000, 50000, 10, 4), console);
    restart();
    EXPECT_EQ(1, compile(text + "Nf3 1/2\n"));
    EXPECT_EQ("File Error on line 12502: Too many board positions.\n", console);
}

// The lichess sample shipped in data/: its figures are part of the README.
TEST_F(CompilerTest, LichessSampleCompilesToItsKnownFigures) {
    std::string text = fileText(TESSARA_SOURCE_DIR "/data/lichess-openings.txt");
    ASSERT_FALSE(text.empty()) << "data/lichess-openings.txt is missing";
    ASSERT_EQ(0, compile(text)) << console;
    EXPECT_EQ(summary(3807, 36, 36895, 92410, 7848), console);
    std::string file = written();
    EXPECT_EQ(374968u, file.size());
    EXPECT_EQ(30u + 36u * 7848u + 92410u, file.size());
    EXPECT_EQ(book->totalMoves, book->positions.positionCount);
}

}  // namespace
