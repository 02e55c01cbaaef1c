#include "chess/movereader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "chess/attack.h"
#include "chess/test_support.h"
#include "frame/test_run.h"

namespace {

using chess_test::moveName;
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

// The position after committing the named pseudo-legal move.
Position afterMove(const Position& position, const std::string& name) {
    MoveList list;
    generateMoves(position, list);
    Position after = position;
    for (int index = 0; index < list.moveCount; ++index) {
        const Move move = list.moves[index];
        if (moveName(move) != name) continue;
        commitMove(after, move, static_cast<PieceKind>(position.board[move.from].piece));
        return after;
    }
    ADD_FAILURE() << "no move " << name;
    return after;
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
        EXPECT_EQ(0, run.frame.pauseFlag) << test.line;
        EXPECT_EQ(0L, std::ftell(run.frame.output.stream)) << "the output file was written";
    }
}

struct CastleErrorCase {
    const char* setup;
    const char* text;
    const char* message;
};

constexpr CastleErrorCase castleErrorCases[] = {
    // The king has moved and come back: the right is gone.
    {"e4 e5 Nf3 Nf6 Bc4 Bc5 Ke2 Ke7 Ke1 Ke8", "O-O", "Illegal attempt to Castle"},
    {"4k3/8/8/8/8/8/8/R3K2R w Q - 0 1", "O-O", "Illegal attempt to Castle"},
    {"4k3/8/8/8/8/8/8/R3K2R w K - 0 1", "O-O-O", "Illegal attempt to Castle"},
    {"r3k2r/8/8/8/8/8/8/R3K2R b KQ - 0 1", "O-O", "Illegal attempt to Castle"},
    // The right is checked before the squares.
    {"4k3/8/8/8/8/8/8/R3K1NR w - - 0 1", "O-O", "Illegal attempt to Castle"},
    {"4k3/8/8/8/8/8/6b1/R3K2R w KQ - 0 1", "O-O", "Can't Castle through an attacked square"},
    {"4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1", "O-O-O", "Can't Castle through an attacked square"},
    {"r3k2r/8/8/8/8/8/8/2R1K3 b kq - 0 1", "0-0-0", "Can't Castle through an attacked square"},
    // Attacks are checked before the squares between are looked at.
    {"4k3/8/8/8/8/8/6b1/R3K1NR w KQ - 0 1", "O-O", "Can't Castle through an attacked square"},
};

TEST(PlayMoveText, CastlingErrorsAreFatal) {
    for (const CastleErrorCase& test : castleErrorCases) {
        ReaderRun run;
        prepare(run, test.setup);
        run.frame.pauseFlag = 0;
        run.console.clear();
        EXPECT_FALSE(run.playLine(test.text)) << test.setup;
        EXPECT_EQ(std::string("File Error on line 7: ") + test.message + ".\n", run.console)
            << test.setup;
        EXPECT_EQ(1, run.frame.pauseFlag);
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

struct SanCase {
    const char* setup;
    std::string_view text;
    MoveOutcome outcome;
    const char* move;  // as played, when played
};

constexpr SanCase sanCases[] = {
    {START, "e4", READ_PLAYED, "e2e4"},
    {START, "Nf3!?", READ_PLAYED, "g1f3"},
    {START, "Nf3??", READ_PLAYED, "g1f3"},
    // Check signs are not checked against the position.
    {"e4 e5", "Qh5+", READ_PLAYED, "d1h5"},
    {"e4 e5", "Qh5#!", READ_PLAYED, "d1h5"},
    {"e4 e5 Qh5 Nc6 Bc4 Nf6", "Qxf7#", READ_PLAYED, "h5f7"},
    {CASTLING, "O-O-O+", READ_PLAYED, "e1c1"},
    {CASTLING, "0-0", READ_PLAYED, "e1g1"},
    {PROMOTION, "exd8=Q+", READ_PLAYED, "e7d8q"},
    {PROMOTION, "e8N", READ_PLAYED, "e7e8n"},
    {"e4 d5 e5 f5", "exf6", READ_PLAYED, "e5f6"},
    // The text must be one move and nothing else.
    {START, "e2-e4", READ_UNREADABLE, nullptr},
    {START, "e4e5", READ_NO_PIECE, nullptr},  // a pawn from e4 to e5
    {START, "Nf3 ", READ_UNREADABLE, nullptr},
    {START, "e4=", READ_UNREADABLE, nullptr},
    {START, "", READ_UNREADABLE, nullptr},
    {START, "--", READ_UNREADABLE, nullptr},
    {START, "nf3", READ_UNREADABLE, nullptr},
    {START, "O-O-", READ_UNREADABLE, nullptr},
    {START, "Nf3+++++++++++++++a", READ_UNREADABLE, nullptr},
    {PROMOTION, "e8", READ_UNREADABLE, nullptr},
    {PROMOTION, std::string_view("e8=Q\0", 5), READ_UNREADABLE, nullptr},
    {START, "e5", READ_NO_PIECE, nullptr},
    {START, "O-O", READ_NO_PIECE, nullptr},
    {PINNED_KNIGHT, "Nfd2", READ_NO_PIECE, nullptr},
    {TWO_KNIGHTS, "Nd2", READ_AMBIGUOUS, nullptr},
    {"4k3/8/8/8/8/8/8/R3K2R w Q - 0 1", "O-O", READ_NO_CASTLE_RIGHT, nullptr},
    {"4k3/8/8/8/8/8/6b1/R3K2R w KQ - 0 1", "O-O", READ_CASTLE_ATTACKED, nullptr},
    // Taking en passant takes two pawns off the rank of the king.
    {"8/8/8/KPp5/8/8/8/7k w - c6 0 1", "bxc6", READ_PLAYED, "b5c6"},
    {"8/8/8/KPp4r/8/8/8/7k w - c6 0 1", "bxc6", READ_NO_PIECE, nullptr},
    {"8/8/8/K1pP3r/8/8/8/7k w - c6 0 1", "dxc6", READ_NO_PIECE, nullptr},
};

TEST(PlaySanMove, WholeTextIsOneMoveAndSignsAreNotChecked) {
    for (const SanCase& test : sanCases) {
        ReaderRun run;
        prepare(run, test.setup);
        const Position before = run.position;
        EXPECT_EQ(test.outcome, playSanMove(run.position, run.reader, test.text)) << test.text;
        if (test.move) {
            EXPECT_TRUE(afterMove(before, test.move) == run.position) << test.text;
        } else {
            EXPECT_TRUE(before == run.position) << test.text << " changed the position";
        }
    }
}

// The candidates of the text's move, as a sorted list of from-squares.
std::vector<Square> candidates(const MoveReader& reader) {
    std::vector<Square> from(reader.candidateFrom,
                             reader.candidateFrom + std::min(reader.candidateCount, 16));
    std::sort(from.begin(), from.end());
    return from;
}

// Finding the fitting moves from the text alone gives the same moves as
// generating the named kind's moves and matching them, for every kind,
// destination and from part that the parser can give, in random games.
TEST(FindFittingMoves, AgreesWithTheGeneratedMovesInRandomGames) {
    std::mt19937 random(20261207);
    long compared = 0;
    for (int game = 0; game < 8; ++game) {
        Position position;
        setupStartPosition(position);
        for (int ply = 0; ply < 100; ++ply) {
            const bool white = position.sideToMove == WHITE;
            for (int kind = PAWN; kind <= KING; ++kind) {
                for (int to = 0; to < 0x78; ++to) {
                    if (!onBoard(to)) continue;
                    if (kind == PAWN && (white ? to < 0x20 : to > 0x57)) continue;
                    std::vector<std::uint8_t> specials = {MOVE_NORMAL};
                    if (kind == PAWN && to == position.epSquare) specials = {MOVE_EN_PASSANT};
                    if (kind == PAWN && rankOf(to) == (white ? 7 : 0))
                        specials = {KNIGHT, BISHOP, ROOK, QUEEN};
                    std::vector<Square> froms = {NO_SQUARE};
                    for (int i = 0; i < 8; ++i) {
                        froms.push_back(static_cast<Square>(0x80 + i));
                        froms.push_back(static_cast<Square>(0x08 + 16 * i));
                    }
                    for (const PieceEntry& entry : position.pieceList[position.sideToMove])
                        froms.push_back(entry.square);
                    for (std::uint8_t special : specials) {
                        for (Square from : froms) {
                            MoveReader generated;
                            generated.currentMove = ParsedMove{from, static_cast<Square>(to),
                                                               special, position.board[to].piece,
                                                               static_cast<std::int8_t>(kind)};
                            MoveReader direct = generated;
                            generateMovesOf(position, generated.moveList,
                                            static_cast<PieceKind>(kind), static_cast<Square>(to));
                            const int count = findMatchingMoves(position, generated);
                            ASSERT_EQ(count, findFittingMoves(position, direct))
                                << moveName(Move{from, static_cast<Square>(to), special, 0});
                            ASSERT_EQ(candidates(generated), candidates(direct));
                            ++compared;
                        }
                    }
                }
            }
            MoveList list;
            generateMoves(position, list);
            std::vector<Move> legal;
            for (int index = 0; index < list.moveCount; ++index) {
                const Move move = list.moves[index];
                if (move.special == MOVE_CASTLE) continue;
                makeMove(position, move);
                if (!isInCheck(position, position.sideToMove)) legal.push_back(move);
                unmakeMove(position, move);
            }
            if (legal.empty()) break;
            const Move move = legal[random() % legal.size()];
            commitMove(position, move, static_cast<PieceKind>(position.board[move.from].piece));
        }
    }
    EXPECT_GT(compared, 300000);
}

// The text of a move in the long form, which fits it alone: "Ng1f3", "e7e8Q".
std::string longText(const Position& position, const Move& move) {
    std::string text;
    const int kind = position.board[move.from].piece;
    if (kind != PAWN) text += PIECE_LETTERS[kind - 1];
    for (Square square : {move.from, move.to}) {
        text += static_cast<char>('a' + fileOf(square));
        text += static_cast<char>('1' + rankOf(square));
    }
    if (move.special >= KNIGHT && move.special <= QUEEN) text += PIECE_LETTERS[move.special - 1];
    return text;
}

// Games of PGN moves keep knowing whether the side to move is in check, and
// with that knowledge every move is played when it is legal and refused when
// it leaves the king attacked, as without it.
TEST(PlaySanMove, KnowsTheCheckAfterEveryMoveOfRandomGames) {
    std::mt19937 random(7);
    int inCheck = 0;
    for (int game = 0; game < 40; ++game) {
        Position position;
        setupStartPosition(position);
        MoveReader reader;
        for (int ply = 0; ply < 150; ++ply) {
            MoveList list;
            generateMoves(position, list);
            std::vector<std::string> legal;
            for (int index = 0; index < list.moveCount; ++index) {
                const Move move = list.moves[index];
                if (move.special == MOVE_CASTLE) continue;
                makeMove(position, move);
                const bool safe = !isInCheck(position, position.sideToMove);
                unmakeMove(position, move);
                const std::string text = longText(position, move);
                for (bool known : {true, false}) {
                    Position trial = position;
                    MoveReader trialReader = reader;
                    if (!known) trialReader.checkPly = -1;
                    ASSERT_EQ(safe ? READ_PLAYED : READ_NO_PIECE,
                              playSanMove(trial, trialReader, text))
                        << text << " after ply " << ply << " of game " << game;
                }
                if (safe) legal.push_back(text);
            }
            if (legal.empty()) break;
            ASSERT_EQ(READ_PLAYED, playSanMove(position, reader, legal[random() % legal.size()]));
            ASSERT_EQ(position.plyCount, reader.checkPly);
            ASSERT_EQ(isInCheck(position, position.sideToMove), reader.inCheck)
                << "ply " << ply << " of game " << game;
            inCheck += reader.inCheck;
        }
    }
    EXPECT_GT(inCheck, 100);
}

TEST(ReadSquare, CompleteAndPartialSquares) {
    struct Case {
        const char* text;
        Square square;
        int length;
    };
    const Case cases[] = {
        {"e4", 0x34, 2}, {"e", 0x84, 1},  {"4", 0x38, 1},  {"x", 0x88, 0}, {"a1", 0x00, 2},
        {"h8", 0x77, 2}, {"i4", 0x88, 0}, {"h9", 0x87, 1}, {"0", 0x88, 0}, {"", 0x88, 0},
    };
    for (const Case& test : cases) {
        const char* text = test.text;
        EXPECT_EQ(test.square, readSquare(text)) << test.text;
        EXPECT_EQ(test.length, text - test.text) << test.text;
    }
}

TEST(PieceKindOfLetter, UpperCaseLettersOnly) {
    const char letters[] = "PNBRQK";
    for (int kind = PAWN; kind <= KING; ++kind)
        EXPECT_EQ(kind, pieceKindOfLetter(letters[kind - 1]));
    for (char other : {'n', 'k', 'O', 'x', '\0', '1', static_cast<char>(0xC4)}) {
        EXPECT_EQ(EMPTY, pieceKindOfLetter(other)) << int(other);
    }
}

TEST(ParseMove, FillsTheMoveWithPartialFromSquares) {
    Position position;
    setupStartPosition(position);
    MoveReader reader;
    EXPECT_EQ(4, parseMove(position, reader, "Ngf3"));
    EXPECT_EQ(0x86, reader.currentMove.from);
    EXPECT_EQ(0x25, reader.currentMove.to);
    EXPECT_EQ(KNIGHT, reader.currentMove.piece);
    EXPECT_EQ(4, parseMove(position, reader, "N1f3"));
    EXPECT_EQ(0x08, reader.currentMove.from);
    EXPECT_EQ(2, parseMove(position, reader, "e4"));
    EXPECT_EQ(NO_SQUARE, reader.currentMove.from);
    EXPECT_EQ(PAWN, reader.currentMove.piece);
    EXPECT_EQ(MOVE_NORMAL, reader.currentMove.special);
    // The captured kind comes from the board, whatever the text says.
    EXPECT_EQ(4, parseMove(position, reader, "Bxe7"));
    EXPECT_EQ(PAWN, reader.currentMove.captured);
    EXPECT_EQ(3, parseMove(position, reader, "O-O"));
    EXPECT_EQ(0x04, reader.currentMove.from);
    EXPECT_EQ(0x06, reader.currentMove.to);
    EXPECT_EQ(MOVE_CASTLE, reader.currentMove.special);
    EXPECT_EQ(KING, reader.currentMove.piece);
    EXPECT_LT(parseMove(position, reader, "Qe"), 0);
}

TEST(FindMatchingMoves, CountsEveryLegalFitAndKeepsTheTextsFromSquare) {
    Position position;
    ASSERT_TRUE(setupFen(position, "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1"));
    MoveReader reader;
    ASSERT_EQ(3, parseMove(position, reader, "Nd2"));
    generateMoves(position, reader.moveList);
    EXPECT_EQ(2, findMatchingMoves(position, reader));
    EXPECT_EQ(0x01, reader.candidateFrom[0]);  // move-list order: the b-file first
    EXPECT_EQ(0x25, reader.candidateFrom[1]);
    EXPECT_EQ(NO_SQUARE, reader.currentMove.from);
    Position unchanged;
    ASSERT_TRUE(setupFen(unchanged, "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1"));
    EXPECT_TRUE(unchanged == position);
}

TEST(ReportMoveError, WithoutTextOnlyTheFirstLine) {
    ReaderRun run;
    run.frame.lineCounter = 123;
    EXPECT_THROW(reportMoveError(run.frame, moveErrorMessage(0), nullptr), RunEnd);
    EXPECT_EQ("Move Error on line 123! -- Can't find piece to move\n", run.console);
}

}  // namespace
