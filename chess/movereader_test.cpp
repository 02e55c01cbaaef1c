#include "chess/movereader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "chess/attack.h"
#include "tests/support/chess_support.h"

namespace {

using chess_test::afterMove;
using chess_test::moveName;
using chess_test::setupFen;

// A game with its move reader, set up from a FEN or by playing moves from
// the start position.
struct Game {
    Position position;
    MoveReader reader;
};

void prepare(Game& game, const char* setup) {
    if (std::strchr(setup, '/')) {
        ASSERT_TRUE(setupFen(game.position, setup)) << setup;
        return;
    }
    setupStartPosition(game.position);
    std::istringstream moves(setup);
    for (std::string move; moves >> move;) {
        ASSERT_EQ(READ_PLAYED, playSanMove(game.position, game.reader, move)) << setup;
    }
}

constexpr const char* START = "";
constexpr const char* CASTLING = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
constexpr const char* TWO_KNIGHTS = "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1";
constexpr const char* PINNED_KNIGHT = "4k3/8/8/8/4b3/5N2/6K1/1N6 w - - 0 1";
constexpr const char* PROMOTION = "3r4/4P2k/8/8/8/8/8/4K3 w - - 0 1";

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
        Game game;
        prepare(game, test.setup);
        const Position before = game.position;
        EXPECT_EQ(test.outcome, playSanMove(game.position, game.reader, test.text)) << test.text;
        if (test.move) {
            EXPECT_TRUE(afterMove(before, test.move) == game.position) << test.text;
        } else {
            EXPECT_TRUE(before == game.position) << test.text << " changed the position";
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
                            MoveList list;
                            generateMovesOf(position, list, static_cast<PieceKind>(kind),
                                            static_cast<Square>(to));
                            const int count =
                                chess_test::findMatchingMoves(position, generated, list);
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
    MoveList list;
    generateMoves(position, list);
    EXPECT_EQ(2, chess_test::findMatchingMoves(position, reader, list));
    EXPECT_EQ(0x01, reader.candidateFrom[0]);  // move-list order: the b-file first
    EXPECT_EQ(0x25, reader.candidateFrom[1]);
    EXPECT_EQ(NO_SQUARE, reader.currentMove.from);
    Position unchanged;
    ASSERT_TRUE(setupFen(unchanged, "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1"));
    EXPECT_TRUE(unchanged == position);
}

}  // namespace
