#include "chess/movegen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "chess/attack.h"
#include "tests/support/chess_support.h"

namespace {

using chess_test::invariantFault;
using chess_test::moveName;
using chess_test::setupFen;

std::string movesText(const Position& position) {
    MoveList list;
    generateMoves(position, list);
    std::string text;
    for (int index = 0; index < list.moveCount; ++index) {
        if (!text.empty()) text += ' ';
        text += moveName(list.moves[index]);
    }
    return text;
}

std::vector<Move> movesFrom(const Position& position, Square from) {
    MoveList list;
    generateMoves(position, list);
    std::vector<Move> moves;
    for (int index = 0; index < list.moveCount; ++index) {
        if (list.moves[index].from == from) moves.push_back(list.moves[index]);
    }
    return moves;
}

bool generates(const Position& position, Move move) {
    for (const Move& found : movesFrom(position, move.from)) {
        if (found == move) return true;
    }
    return false;
}

Position fromFen(const char* fen) {
    Position position;
    EXPECT_TRUE(setupFen(position, fen)) << fen;
    return position;
}

TEST(GenerateMoves, StartPositionFileByFileDoubleStepFirst) {
    Position position;
    setupStartPosition(position);
    EXPECT_EQ(
        "a2a4 a2a3 b1a3 b1c3 b2b4 b2b3 c2c4 c2c3 d2d4 d2d3 e2e4 e2e3 f2f4 f2f3 g1f3 g1h3 g2g4 "
        "g2g3 h2h4 h2h3",
        movesText(position));
}

TEST(GenerateMoves, BlackPawnsAndKnightsAfterE4) {
    Position position = fromFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    EXPECT_EQ(
        "a7a5 a7a6 b7b5 b7b6 b8a6 b8c6 c7c5 c7c6 d7d5 d7d6 e7e5 e7e6 f7f5 f7f6 g7g5 g7g6 g8f6 "
        "g8h6 h7h5 h7h6",
        movesText(position));
}

TEST(GenerateMoves, BlockedPawnPushes) {
    // b2 with b4 taken: single step only; c2 with c3 taken: nothing.
    Position position = fromFen("4k3/8/8/8/1n6/2n5/1PP5/4K3 w - - 0 1");
    EXPECT_EQ("b2b3 b2c3", moveName(movesFrom(position, 0x11)[0]) + " " +
                               moveName(movesFrom(position, 0x11)[1]));
    EXPECT_EQ(2u, movesFrom(position, 0x11).size());
    EXPECT_TRUE(movesFrom(position, 0x12).empty());
}

TEST(GenerateMoves, PromotionsQueenFirstPushBeforeCapture) {
    Position position = fromFen("4k2r/6P1/8/8/8/8/8/4K3 w - - 0 1");
    const std::vector<Move> expected = {
        {0x66, 0x76, QUEEN, EMPTY},  {0x66, 0x76, ROOK, EMPTY},  {0x66, 0x76, BISHOP, EMPTY},
        {0x66, 0x76, KNIGHT, EMPTY}, {0x66, 0x77, QUEEN, ROOK},  {0x66, 0x77, ROOK, ROOK},
        {0x66, 0x77, BISHOP, ROOK},  {0x66, 0x77, KNIGHT, ROOK},
    };
    EXPECT_EQ(expected, movesFrom(position, 0x66));
}

TEST(GenerateMoves, BlackPromotesOnRankOneTowardsTheAFileFirst) {
    Position position = fromFen("4k3/8/8/8/8/8/3p4/2R1R1K1 b - - 0 1");
    const std::vector<Move> moves = movesFrom(position, 0x13);
    ASSERT_EQ(12u, moves.size());
    EXPECT_EQ((Move{0x13, 0x03, QUEEN, EMPTY}), moves[0]);
    EXPECT_EQ((Move{0x13, 0x02, QUEEN, ROOK}), moves[4]);
    EXPECT_EQ((Move{0x13, 0x04, KNIGHT, ROOK}), moves[11]);
}

TEST(GenerateMoves, SlidersStopAtOwnPiecesAndTakeTheFirstOpposingOne) {
    Position position = fromFen("4k3/8/8/1p6/8/3R2p1/8/3NK3 w - - 0 1");
    EXPECT_EQ("d3c3 d3b3 d3a3 d3d2 d3e3 d3f3 d3g3 d3d4 d3d5 d3d6 d3d7 d3d8", [&] {
        std::string text;
        for (const Move& move : movesFrom(position, 0x23)) {
            text += (text.empty() ? "" : " ") + moveName(move);
        }
        return text;
    }());
    EXPECT_TRUE(generates(position, Move{0x23, 0x26, MOVE_NORMAL, PAWN}));
    EXPECT_TRUE(generates(position, Move{0x23, 0x73, MOVE_NORMAL, EMPTY}));
}

TEST(GenerateMoves, CastlingNeedsOnlyEmptySquaresAndTheRook) {
    // No rights and the king attacked: both castlings are still listed.
    Position position = fromFen("4k3/8/8/8/8/8/4r3/R3K2R w - - 0 1");
    EXPECT_TRUE(generates(position, Move{0x04, 0x06, MOVE_CASTLE, EMPTY}));
    EXPECT_TRUE(generates(position, Move{0x04, 0x02, MOVE_CASTLE, EMPTY}));
    const std::vector<Move> king = movesFrom(position, 0x04);
    EXPECT_EQ((Move{0x04, 0x06, MOVE_CASTLE, EMPTY}), king[king.size() - 2]);

    Position blocked = fromFen("4k3/8/8/8/8/8/8/Rn2K1Nr w - - 0 1");
    EXPECT_FALSE(generates(blocked, Move{0x04, 0x06, MOVE_CASTLE, EMPTY}));  // knight on g1
    EXPECT_FALSE(generates(blocked, Move{0x04, 0x02, MOVE_CASTLE, EMPTY}));  // knight on b1

    Position foreignRook = fromFen("4k3/8/8/8/8/8/8/r3K2r w - - 0 1");
    EXPECT_EQ(5u, movesFrom(foreignRook, 0x04).size());  // plain king steps only

    Position black = fromFen("r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1");
    EXPECT_TRUE(generates(black, Move{0x74, 0x76, MOVE_CASTLE, EMPTY}));
    EXPECT_TRUE(generates(black, Move{0x74, 0x72, MOVE_CASTLE, EMPTY}));
}

TEST(MakeMove, CastlingMovesKingAndRookAndUnmakeRestores) {
    Position position = fromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    const Position before = position;
    struct Case {
        Move move;
        Square king, rook, rookHome;
    };
    const Case cases[] = {
        {{0x04, 0x06, MOVE_CASTLE, EMPTY}, 0x06, 0x05, 0x07},
        {{0x04, 0x02, MOVE_CASTLE, EMPTY}, 0x02, 0x03, 0x00},
    };
    for (const Case& test : cases) {
        makeMove(position, test.move);
        EXPECT_EQ((BoardCell{KING, WHITE}), position.board[test.king]);
        EXPECT_EQ((BoardCell{ROOK, WHITE}), position.board[test.rook]);
        EXPECT_EQ((BoardCell{EMPTY, 0}), position.board[test.rookHome]);
        EXPECT_EQ((BoardCell{EMPTY, 0}), position.board[0x04]);
        EXPECT_EQ(test.king, kingSquare(position, WHITE));
        EXPECT_EQ("", invariantFault(position));
        unmakeMove(position, test.move);
        EXPECT_TRUE(before == position);
    }
}

TEST(MakeMove, EnPassantRemovesThePassedPawnAndUnmakeRestoresItsEntry) {
    Position position;
    setupStartPosition(position);
    commitMove(position, Move{0x14, 0x34, MOVE_NORMAL, EMPTY}, PAWN);  // e2e4
    // A Black pawn on d4 may take e4 en passant.
    transferPiece(position, 0x63, 0x33);
    ASSERT_EQ(0x24, position.epSquare);
    const Move enPassant{0x33, 0x24, MOVE_EN_PASSANT, EMPTY};
    EXPECT_TRUE(generates(position, enPassant));
    const Position before = position;
    const int entry = position.squareEntry[0x34];
    makeMove(position, enPassant);
    EXPECT_EQ((BoardCell{PAWN, BLACK}), position.board[0x24]);
    EXPECT_EQ((BoardCell{EMPTY, 0}), position.board[0x34]);
    EXPECT_EQ((BoardCell{EMPTY, 0}), position.board[0x33]);
    EXPECT_EQ(EMPTY, position.pieceList[WHITE][entry & 15].kind);
    EXPECT_EQ("", invariantFault(position));
    unmakeMove(position, enPassant);
    EXPECT_TRUE(before == position);
}

TEST(MakeMove, CapturesAndCapturePromotionsAreTakenBackExactly) {
    Position position = fromFen("r3k2r/1P6/8/3p4/4P3/8/8/4K3 w kq - 0 1");
    const Position before = position;
    const Move moves[] = {
        {0x34, 0x43, MOVE_NORMAL, PAWN},  // exd5
        {0x61, 0x70, KNIGHT, ROOK},       // bxa8=N
        {0x61, 0x71, QUEEN, EMPTY},       // b8=Q
    };
    for (const Move& move : moves) {
        ASSERT_TRUE(generates(position, move)) << moveName(move);
        makeMove(position, move);
        EXPECT_EQ("", invariantFault(position)) << moveName(move);
        if (move.special != MOVE_NORMAL) {
            EXPECT_EQ(move.special, position.board[move.to].piece);
        }
        unmakeMove(position, move);
        EXPECT_TRUE(before == position) << moveName(move);
    }
}

TEST(CommitMove, CountsThePlyAndPassesTheTurn) {
    Position position;
    setupStartPosition(position);
    commitMove(position, Move{0x06, 0x25, MOVE_NORMAL, EMPTY}, KNIGHT);
    EXPECT_EQ(1, position.plyCount);
    EXPECT_EQ(BLACK, position.sideToMove);
    EXPECT_EQ(WHITE, position.otherSide);
    EXPECT_EQ(NO_SQUARE, position.epSquare);
    commitMove(position, Move{0x64, 0x44, MOVE_NORMAL, EMPTY}, PAWN);
    EXPECT_EQ(2, position.plyCount);
    EXPECT_EQ(0x54, position.epSquare);
    commitMove(position, Move{0x07, 0x06, MOVE_NORMAL, EMPTY}, ROOK);
    EXPECT_EQ(NO_SQUARE, position.epSquare);
    EXPECT_EQ(15 & ~CASTLE_WK, position.castleRights);
}

// Moves in one order whatever order they were generated in.
std::vector<Move> sortedMoves(std::vector<Move> moves) {
    auto key = [](const Move& m) { return std::tuple(m.from, m.to, m.special, m.captured); };
    std::sort(moves.begin(), moves.end(),
              [&](const Move& a, const Move& b) { return key(a) < key(b); });
    return moves;
}

// The moves of one kind's pieces in the whole list.
std::vector<Move> movesOfKind(const Position& position, const MoveList& list, int kind) {
    std::vector<Move> moves;
    for (int index = 0; index < list.moveCount; ++index) {
        if (position.board[list.moves[index].from].piece == kind)
            moves.push_back(list.moves[index]);
    }
    return sortedMoves(moves);
}

std::vector<Move> generatedOf(const Position& position, PieceKind kind) {
    MoveList list;
    generateMovesOf(position, list, kind);
    return sortedMoves(std::vector<Move>(list.moves, list.moves + list.moveCount));
}

// Generation for a target still lists every move of the kind to it.
bool reachedByTargeted(const Position& position, PieceKind kind, Move move) {
    MoveList list;
    generateMovesOf(position, list, kind, move.to);
    for (int index = 0; index < list.moveCount; ++index) {
        if (list.moves[index] == move) return true;
    }
    return false;
}

// Random games: after every trial make, take-back and commit, board and
// piece lists agree, a take-back restores the position exactly, and the
// moves of one kind are those of the whole list.
TEST(MoveInvariant, HoldsThroughRandomGames) {
    std::mt19937 random(20240611);
    int committed = 0;
    for (int game = 0; game < 60; ++game) {
        Position position;
        setupStartPosition(position);
        for (int ply = 0; ply < 120; ++ply) {
            MoveList list;
            generateMoves(position, list);
            for (int kind = PAWN; kind <= KING; ++kind) {
                ASSERT_EQ(movesOfKind(position, list, kind),
                          generatedOf(position, static_cast<PieceKind>(kind)));
                for (const Move& move : movesOfKind(position, list, kind)) {
                    ASSERT_TRUE(reachedByTargeted(position, static_cast<PieceKind>(kind), move))
                        << moveName(move);
                }
            }
            std::vector<Move> legal;
            for (int index = 0; index < list.moveCount; ++index) {
                const Move move = list.moves[index];
                const Position before = position;
                makeMove(position, move);
                ASSERT_EQ("", invariantFault(position)) << moveName(move);
                const bool safe = !isInCheck(position, position.sideToMove);
                unmakeMove(position, move);
                ASSERT_TRUE(before == position) << moveName(move);
                const bool castleOk = move.special != MOVE_CASTLE ||
                                      (chess_test::holdsCastleRight(position, move.to) &&
                                       !castleThroughAttack(position, move.to));
                if (safe && castleOk) legal.push_back(move);
            }
            if (legal.empty()) break;
            const Move move = legal[random() % legal.size()];
            commitMove(position, move, static_cast<PieceKind>(position.board[move.from].piece));
            ASSERT_EQ("", invariantFault(position)) << moveName(move);
            ++committed;
        }
    }
    EXPECT_GT(committed, 1000);
}

TEST(MoveList, RoomForTheMostCrowdedPositions) {
    // Nine queens a side and the rest: far more pseudo-legal moves than an
    // opening ever has.
    Position position = fromFen("QQQQQQQk/QQ6/8/8/8/8/6qq/Kqqqqqqq w - - 0 1");
    MoveList list;
    EXPECT_LE(generateMoves(position, list), MAX_MOVES);
    EXPECT_GT(list.moveCount, 50);
    Position open = fromFen("R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    EXPECT_EQ(218, chess_test::perft(open, 1));  // the most legal moves known
}

}  // namespace
