#include "chess/board.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/chess_support.h"

namespace {

using chess_test::invariantFault;
using chess_test::setupFen;

std::string listText(const Position& position, int color) {
    std::string text;
    for (const PieceEntry& entry : position.pieceList[color]) {
        if (entry.kind == EMPTY) continue;
        text += PIECE_LETTERS[entry.kind - 1];
        text += static_cast<char>('a' + fileOf(entry.square));
        text += static_cast<char>('1' + rankOf(entry.square));
        text += ' ';
    }
    return text;
}

TEST(StartPosition, PieceListsHoldKingFirstThenKindsFromH8Down) {
    Position position;
    setupStartPosition(position);
    EXPECT_EQ("Ke1 Qd1 Rh1 Ra1 Bf1 Bc1 Ng1 Nb1 Ph2 Pg2 Pf2 Pe2 Pd2 Pc2 Pb2 Pa2 ",
              listText(position, WHITE));
    EXPECT_EQ("Ke8 Qd8 Rh8 Ra8 Bf8 Bc8 Ng8 Nb8 Ph7 Pg7 Pf7 Pe7 Pd7 Pc7 Pb7 Pa7 ",
              listText(position, BLACK));
    EXPECT_EQ((PieceEntry{KING, 0x04}), position.pieceList[WHITE][0]);
    EXPECT_EQ((PieceEntry{KING, 0x74}), position.pieceList[BLACK][0]);
    EXPECT_EQ((PieceEntry{PAWN, 0x10}), position.pieceList[WHITE][15]);
}

TEST(StartPosition, BoardAndGameState) {
    Position position;
    setupFen(position, "k7/8/8/8/8/8/8/K7 b - e3 0 1");  // leftovers to be cleared
    position.plyCount = 9;
    setupStartPosition(position);
    EXPECT_EQ((BoardCell{ROOK, WHITE}), position.board[0x00]);
    EXPECT_EQ((BoardCell{QUEEN, BLACK}), position.board[0x73]);
    EXPECT_EQ((BoardCell{PAWN, BLACK}), position.board[0x64]);
    EXPECT_EQ((BoardCell{EMPTY, 0}), position.board[0x08]);
    for (int square = 0x20; square < 0x60; ++square) {
        EXPECT_EQ((BoardCell{EMPTY, 0}), position.board[square]) << square;
    }
    EXPECT_EQ(WHITE, position.sideToMove);
    EXPECT_EQ(BLACK, position.otherSide);
    EXPECT_EQ(15, position.castleRights);
    EXPECT_EQ(NO_SQUARE, position.epSquare);
    EXPECT_EQ(0, position.plyCount);
    EXPECT_EQ("", invariantFault(position));
}

TEST(BuildPieceLists, OrdersAnyBoardAndPointsSquaresAtEntries) {
    Position position;
    ASSERT_TRUE(setupFen(position, "4k3/1P6/8/3q4/8/2N5/8/R3K2R b KQ - 0 1"));
    EXPECT_EQ("Ke1 Rh1 Ra1 Nc3 Pb7 ", listText(position, WHITE));
    EXPECT_EQ("Ke8 Qd5 ", listText(position, BLACK));
    EXPECT_EQ(EMPTY, position.pieceList[BLACK][2].kind);
    EXPECT_EQ(EMPTY, position.pieceList[WHITE][5].kind);
    EXPECT_EQ("", invariantFault(position));
}

struct PlyStateCase {
    const char* name;
    Square from, to;
    PieceKind piece;
    int castleRights;
    Square epSquare;
};

constexpr PlyStateCase plyStateCases[] = {
    {"RookLeavesH1", 0x07, 0x17, ROOK, 15 & ~CASTLE_WK, NO_SQUARE},
    {"RookLeavesA1", 0x00, 0x10, ROOK, 15 & ~CASTLE_WQ, NO_SQUARE},
    {"KingLeavesE1", 0x04, 0x14, KING, CASTLE_BK | CASTLE_BQ, NO_SQUARE},
    {"KingLeavesE8", 0x74, 0x64, KING, CASTLE_WK | CASTLE_WQ, NO_SQUARE},
    {"CaptureLandsOnA8", 0x61, 0x70, BISHOP, 15 & ~CASTLE_BQ, NO_SQUARE},
    {"CaptureLandsOnH8", 0x66, 0x77, BISHOP, 15 & ~CASTLE_BK, NO_SQUARE},
    {"QuietMoveElsewhere", 0x06, 0x25, KNIGHT, 15, NO_SQUARE},
    {"WhiteDoubleStep", 0x14, 0x34, PAWN, 15, 0x24},
    {"BlackDoubleStep", 0x64, 0x44, PAWN, 15, 0x54},
    {"SingleStep", 0x14, 0x24, PAWN, 15, NO_SQUARE},
    {"PawnCapture", 0x33, 0x44, PAWN, 15, NO_SQUARE},
    {"RookTwoRanks", 0x17, 0x37, ROOK, 15, NO_SQUARE},
};

TEST(UpdatePlyState, CastlingRightsAndEnPassantSquare) {
    for (const PlyStateCase& test : plyStateCases) {
        Position position;
        setupStartPosition(position);
        position.epSquare = 0x55;  // the last move's, always replaced
        updatePlyState(position, Move{test.from, test.to, MOVE_NORMAL, EMPTY}, test.piece);
        EXPECT_EQ(test.castleRights, position.castleRights) << test.name;
        EXPECT_EQ(test.epSquare, position.epSquare) << test.name;
    }
}

TEST(BoardPrimitives, CaptureKeepsTheEntryAndPutPieceRestoresIt) {
    Position position;
    setupStartPosition(position);
    const Position start = position;
    removePiece(position, 0x64);  // Black's e7 pawn, entry 11
    EXPECT_EQ((BoardCell{EMPTY, 0}), position.board[0x64]);
    EXPECT_EQ((PieceEntry{EMPTY, 0x64}), position.pieceList[BLACK][11]);
    EXPECT_EQ("", invariantFault(position));
    putPiece(position, 0x64, PAWN);  // otherSide is Black
    EXPECT_TRUE(start == position);
}

TEST(BoardPrimitives, TransferAndPromotionKeepTheEntryIndex) {
    Position position;
    setupStartPosition(position);
    transferPiece(position, 0x14, 0x34);  // e2 to e4
    EXPECT_EQ((PieceEntry{PAWN, 0x34}), position.pieceList[WHITE][11]);
    EXPECT_EQ((BoardCell{EMPTY, 0}), position.board[0x14]);
    EXPECT_EQ("", invariantFault(position));
    setPieceKind(position, 0x34, QUEEN);
    EXPECT_EQ((PieceEntry{QUEEN, 0x34}), position.pieceList[WHITE][11]);
    EXPECT_EQ((BoardCell{QUEEN, WHITE}), position.board[0x34]);
    EXPECT_EQ("", invariantFault(position));
}

}  // namespace
