#include "book/move_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "book/compiler.h"
#include "tests/support/captured_run.h"
#include "tests/support/chess_support.h"

namespace {

using chess_test::afterMove;
using chess_test::setupFen;

// A book run with one position, as the ECO reader drives it: the text sits
// in the frame's line buffer and the console is captured.
struct ReaderRun : CapturedRun {
    Position position;
    MoveReader reader;

    ReaderRun() : CapturedRun(BOOK_PROFILE) {
        frame.lineCounter = 7;
        setupStartPosition(position);
    }

    const char* load(const char* text) {
        std::strcpy(frame.line(), text);
        frame.lineLength = std::strlen(text);
        return frame.line();
    }

    // Plays every blank-separated move of the text; false when the run ended.
    bool playLine(const char* text) {
        const char* cursor = load(text);
        bool played = run([&] {
            while (*cursor) {
                if (*cursor == ' ' || *cursor == '\n') {
                    ++cursor;
                } else {
                    playMoveText(frame, position, reader, cursor);
                }
            }
        });
        if (!played) {
            EXPECT_EQ(1, status);
        }
        return played;
    }
};

// The setup: a FEN, or moves played from the start position.
void prepare(ReaderRun& run, const char* setup) {
    if (std::strchr(setup, '/')) {
        ASSERT_TRUE(setupFen(run.position, setup)) << setup;
    } else {
        ASSERT_TRUE(run.playLine(setup)) << setup << "\n" << run.console;
    }
}

constexpr const char* START = "";
constexpr const char* CASTLING = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
constexpr const char* TWO_KNIGHTS = "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1";
constexpr const char* PINNED_KNIGHT = "4k3/8/8/8/4b3/5N2/6K1/1N6 w - - 0 1";
constexpr const char* PROMOTION = "3r4/4P2k/8/8/8/8/8/4K3 w - - 0 1";

struct PlayCase {
    const char* setup;
    const char* text;
    const char* move;  // as played
    int consumed;      // characters the cursor moves on
};

constexpr PlayCase playCases[] = {
    {START, "e4", "e2e4", 2},
    {START, "Pe4", "e2e4", 3},
    {START, "e2e4", "e2e4", 4},
    {START, "e4 e5", "e2e4", 2},
    {START, "Nf3", "g1f3", 3},
    {START, "Ngf3", "g1f3", 4},
    {START, "N1f3", "g1f3", 4},
    {START, "Ng1f3", "g1f3", 5},
    {START, "Nxf3", "g1f3", 4},
    {START, "Nf3!?", "g1f3", 3},  // annotations stay for the caller
    {"e4", "e5", "e7e5", 2},
    {"e4", "Nc6", "b8c6", 3},
    {"4k3/8/8/8/8/2n5/PPPB4/4K3 w - - 0 1", "bxc3", "b2c3", 4},
    {"4k3/8/8/8/8/2n5/PPPB4/4K3 w - - 0 1", "Bxc3", "d2c3", 4},
    {"4k3/8/8/8/8/2n5/PPPB4/4K3 w - - 0 1", "bc3", "b2c3", 3},
    // Capture sign and from-file are both optional when only one pawn fits.
    {"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", "d5", "e4d5", 2},
    {"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", "e5", "e4e5", 2},
    {TWO_KNIGHTS, "Nbd2", "b1d2", 4},
    {TWO_KNIGHTS, "Nfd2", "f3d2", 4},
    {TWO_KNIGHTS, "Nf3d2", "f3d2", 5},
    {PINNED_KNIGHT, "Nd2", "b1d2", 3},
    {"e4 d5 e5 f5", "exf6", "e5f6", 4},
    {"e4 d5 e5 f5", "ef6", "e5f6", 3},
    {PROMOTION, "e8=Q", "e7e8q", 4},
    {PROMOTION, "e8Q", "e7e8q", 3},
    {PROMOTION, "e8=R", "e7e8r", 4},
    {PROMOTION, "exd8=N", "e7d8n", 6},
    {PROMOTION, "exd8B", "e7d8b", 5},
    {"4k3/8/8/8/8/8/3p4/4K3 b - - 0 1", "d1=Q+", "d2d1q", 5},  // the '+' belongs to it
    {CASTLING, "O-O", "e1g1", 3},
    {CASTLING, "0-0", "e1g1", 3},
    {CASTLING, "O-O-O", "e1c1", 5},
    {CASTLING, "0-0-0", "e1c1", 5},
    {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "O-O", "e8g8", 3},
    {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "0-0-0", "e8c8", 5},
    {CASTLING, "O-O+", "e1g1", 3},                          // no check: '+' stays
    {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "O-O+", "e1g1", 4},  // the rook on f1 checks
    {"e4 e5", "Qh5", "d1h5", 3},
    {"e4 e5 Qh5 Nc6 Bc4 Nf6", "Qxf7#", "h5f7", 5},
    {"e4 e5 Qh5 Nc6 Bc4 Nf6", "Qxf7+", "h5f7", 5},
    {"e4 f5", "Qh5+", "d1h5", 4},
};

TEST(PlayMoveText, PlaysTheOneFittingMoveAndStepsOverIt) {
    for (const PlayCase& test : playCases) {
        ReaderRun run;
        prepare(run, test.setup);
        const Position expected = afterMove(run.position, test.move);
        const char* start = run.load(test.text);
        const char* cursor = start;
        try {
            playMoveText(run.frame, run.position, run.reader, cursor);
        } catch (const RunEnd&) {
            ADD_FAILURE() << test.text << ": " << run.console;
            continue;
        }
        EXPECT_EQ(test.consumed, cursor - start) << test.text;
        EXPECT_TRUE(expected == run.position) << test.text << " did not play " << test.move;
        EXPECT_EQ("", run.console) << test.text;
        EXPECT_EQ("", chess_test::invariantFault(run.position)) << test.text;
    }
}

struct ErrorCase {
    const char* setup;
    const char* line;
    const char* console;
};

constexpr ErrorCase errorCases[] = {
    // The '-' ends the move: a pawn move to e2, which no pawn makes.
    {START, "e2-e4 e5\n", "Move Error on line 7! -- Illegal move\n========>e2-e4 e5\n\n"},
    {START, "Ng1-f3\n", "Move Error on line 7! -- Can't find piece to move\n========>Ng1-f3\n\n"},
    {START, "nf3", "Move Error on line 7! -- Illegal move\n========>nf3\n"},
    {START, "e5", "Move Error on line 7! -- Can't find piece to move\n========>e5\n"},
    {START, "Ke2", "Move Error on line 7! -- Can't find piece to move\n========>Ke2\n"},
    {START, "Bb5", "Move Error on line 7! -- Can't find piece to move\n========>Bb5\n"},
    {START, "z4", "Move Error on line 7! -- Illegal move\n========>z4\n"},
    {START,
     "\xe9"
     "4",
     "Move Error on line 7! -- Illegal move\n========>\xe9"
     "4\n"},
    {START, "N", "Move Error on line 7! -- Illegal move\n========>N\n"},
    {START, "e9", "Move Error on line 7! -- Illegal move\n========>e9\n"},
    // Pawns never move to their own first two ranks.
    {START, "e2", "Move Error on line 7! -- Illegal move\n========>e2\n"},
    {START, "d1", "Move Error on line 7! -- Illegal move\n========>d1\n"},
    {"e4", "d8", "Move Error on line 7! -- Illegal move\n========>d8\n"},
    {"e4", "e7", "Move Error on line 7! -- Illegal move\n========>e7\n"},
    {"e4", "e1", "Move Error on line 7! -- Illegal move\n========>e1\n"},  // no promotion
    {"e4", "e2", "Move Error on line 7! -- Can't find piece to move\n========>e2\n"},
    {START, "O-0", "Move Error on line 7! -- Illegal move\n========>O-0\n"},
    {START, "0-O", "Move Error on line 7! -- Illegal move\n========>0-O\n"},
    {START, "o-o", "Move Error on line 7! -- Illegal move\n========>o-o\n"},
    {START, "O", "Move Error on line 7! -- Illegal move\n========>O\n"},
    {PROMOTION, "e8", "Move Error on line 7! -- Illegal move\n========>e8\n"},
    {PROMOTION, "e8 ", "Move Error on line 7! -- Illegal move\n========>e8 \n"},
    {PROMOTION, "e8=", "Move Error on line 7! -- Illegal move\n========>e8=\n"},
    {PROMOTION, "e8=K", "Move Error on line 7! -- Illegal move\n========>e8=K\n"},
    {PROMOTION, "e8=P", "Move Error on line 7! -- Illegal move\n========>e8=P\n"},
    {PROMOTION, "e8=q", "Move Error on line 7! -- Illegal move\n========>e8=q\n"},
    {TWO_KNIGHTS, "Nd2 Kf2",
     "Move Error on line 7! -- More than one piece can move\n========>Nd2 Kf2\n"},
    // The only fitting move would leave the king attacked.
    {PINNED_KNIGHT, "Nfd2", "Move Error on line 7! -- Can't find piece to move\n========>Nfd2\n"},
    // A check sign after a quiet move is the next, unreadable, move.
    {"e4 e5", "Qh5+ Nc6", "Move Error on line 7! -- Illegal move\n========>+ Nc6\n"},
    {"e4 e5", "Qh5# Nc6", "Move Error on line 7! -- Illegal move\n========># Nc6\n"},
    // A king move onto g1 is not castling.
    {"4k3/8/8/8/8/8/8/4K2R w K - 0 1", "Kg1",
     "Move Error on line 7! -- Can't find piece to move\n========>Kg1\n"},
    // The right is held but the knight still stands on g1.
    {START, "O-O", "Move Error on line 7! -- Can't find piece to move\n========>O-O\n"},
    {"4k3/8/8/8/8/8/8/R3K1NR w KQ - 0 1", "0-0",
     "Move Error on line 7! -- Can't find piece to move\n========>0-0\n"},
    {"4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", "O-O-O",
     "Move Error on line 7! -- Can't find piece to move\n========>O-O-O\n"},
    // The rook has gone from h1 although the right is still held.
    {"4k3/8/8/8/8/8/8/R3K3 w KQ - 0 1", "O-O",
     "Move Error on line 7! -- Can't find piece to move\n========>O-O\n"},
    // Castling errors are fatal errors, which end the pause.
    // The king has moved and come back: the right is gone.
    {"e4 e5 Nf3 Nf6 Bc4 Bc5 Ke2 Ke7 Ke1 Ke8", "O-O",
     "File Error on line 7: Illegal attempt to Castle.\n"},
    {"4k3/8/8/8/8/8/8/R3K2R w Q - 0 1", "O-O",
     "File Error on line 7: Illegal attempt to Castle.\n"},
    {"4k3/8/8/8/8/8/8/R3K2R w K - 0 1", "O-O-O",
     "File Error on line 7: Illegal attempt to Castle.\n"},
    {"r3k2r/8/8/8/8/8/8/R3K2R b KQ - 0 1", "O-O",
     "File Error on line 7: Illegal attempt to Castle.\n"},
    // The right is checked before the squares.
    {"4k3/8/8/8/8/8/8/R3K1NR w - - 0 1", "O-O",
     "File Error on line 7: Illegal attempt to Castle.\n"},
    {"4k3/8/8/8/8/8/6b1/R3K2R w KQ - 0 1", "O-O",
     "File Error on line 7: Can't Castle through an attacked square.\n"},
    {"4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", "O-O-O",
     "File Error on line 7: Can't Castle through an attacked square.\n"},
    {"r3k2r/8/8/8/8/8/8/2R1K3 b kq - 0 1", "0-0-0",
     "File Error on line 7: Can't Castle through an attacked square.\n"},
    // Attacks are checked before the squares between are looked at.
    {"4k3/8/8/8/8/8/6b1/R3K1NR w KQ - 0 1", "O-O",
     "File Error on line 7: Can't Castle through an attacked square.\n"},
};

TEST(PlayMoveText, MoveErrorReport) {
    for (const ErrorCase& test : errorCases) {
        ReaderRun run;
        prepare(run, test.setup);
        run.frame.pauseFlag = 0;
        ASSERT_NE(nullptr, run.output());
        run.console.clear();
        EXPECT_FALSE(run.playLine(test.line)) << test.line;
        EXPECT_EQ(test.console, run.console) << test.line;
        // A move error leaves the pause as it was; a fatal error sets it.
        const bool fatal = std::string_view(test.console).starts_with("File Error");
        EXPECT_EQ(fatal ? 1 : 0, run.frame.pauseFlag) << test.line;
        EXPECT_EQ(0L, std::ftell(run.frame.output.stream)) << "the output file was written";
    }
}

TEST(PlayMoveText, PlaysAWholeOpeningLine) {
    ReaderRun run;
    EXPECT_TRUE(run.playLine(
        "e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6 Be3 e5 Nb3 Be6 f3 Be7 Qd2 O-O O-O-O Nbd7 g4 b5 g5 "
        "b4 Ne2 Ne8 f4 a5 f5 a4 Nbd4 exd4 Nxd4 b3 Kb1 bxc2+ Nxc2 Bb3 axb3 axb3 Na3 Rxa3 bxa3 "
        "Qa5 Qb2 Nc5\n"));
    EXPECT_EQ("", run.console);
    EXPECT_EQ(46, run.position.plyCount);
    EXPECT_EQ("", chess_test::invariantFault(run.position));
}

TEST(ReportMoveError, WithoutTextOnlyTheFirstLine) {
    ReaderRun run;
    run.frame.lineCounter = 123;
    EXPECT_THROW(reportMoveError(run.frame, moveErrorMessage(0), nullptr), RunEnd);
    EXPECT_EQ("Move Error on line 123! -- Can't find piece to move\n", run.console);
}

}  // namespace
