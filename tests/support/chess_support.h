// Test-only helpers for the chess units, their tests and the perft
// benchmark: a position from FEN, a check of the board/piece-list invariant,
// move names, the moves that fit a text found the slow way, and perft built
// from the position's own operations.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "chess/attack.h"
#include "chess/board.h"
#include "chess/movegen.h"
#include "chess/movereader.h"

namespace chess_test {

// Sets up the position of a FEN string (placement, side, castling, en
// passant; the counters are ignored). False for a FEN that this board cannot
// hold: a field missing, not exactly one king per color, more than 16
// pieces of a color, or a pawn on the first or last rank.
inline bool setupFen(Position& position, const char* fen) {
    position = Position{};
    int rank = 7;
    int file = 0;
    int count[2] = {0, 0};
    int kings[2] = {0, 0};
    const char* p = fen;
    for (; *p && *p != ' '; ++p) {
        if (*p == '/') {
            if (file != 8 || rank == 0) return false;
            --rank;
            file = 0;
        } else if (*p >= '1' && *p <= '8') {
            file += *p - '0';
            if (file > 8) return false;
        } else {
            const char* letter = std::strchr("PNBRQKpnbrqk", *p);
            if (!letter || file > 7) return false;
            const int index = static_cast<int>(letter - "PNBRQKpnbrqk");
            const int kind = index % 6 + 1;
            const int color = index / 6;
            if (kind == PAWN && (rank == 0 || rank == 7)) return false;
            if (kind == KING) ++kings[color];
            if (++count[color] > PIECES_PER_COLOR) return false;
            position.board[makeSquare(file, rank)] =
                BoardCell{static_cast<std::int8_t>(kind), static_cast<std::int8_t>(color)};
            ++file;
        }
    }
    if (rank != 0 || file != 8 || kings[0] != 1 || kings[1] != 1 || *p++ != ' ') return false;
    if (*p != 'w' && *p != 'b') return false;
    position.sideToMove = *p++ == 'w' ? WHITE : BLACK;
    position.otherSide = position.sideToMove ^ 1;
    if (*p++ != ' ') return false;
    for (; *p && *p != ' '; ++p) {
        const char* right = std::strchr("KQkq", *p);
        if (right)
            position.castleRights |= static_cast<std::uint8_t>(1 << (right - "KQkq"));
        else if (*p != '-')
            return false;
    }
    if (*p++ != ' ') return false;
    position.epSquare = NO_SQUARE;
    if (p[0] >= 'a' && p[0] <= 'h' && p[1] >= '1' && p[1] <= '8') {
        position.epSquare = makeSquare(p[0] - 'a', p[1] - '1');
    } else if (p[0] != '-') {
        return false;
    }
    buildPieceLists(position);
    return true;
}

// "e2e4", with the promotion letter after it ("g7g8q").
inline std::string moveName(Move move) {
    std::string name = {
        static_cast<char>('a' + fileOf(move.from)), static_cast<char>('1' + rankOf(move.from)),
        static_cast<char>('a' + fileOf(move.to)), static_cast<char>('1' + rankOf(move.to))};
    if (move.special >= KNIGHT && move.special <= QUEEN) name += "nbrq"[move.special - KNIGHT];
    return name;
}

// The position after committing the named pseudo-legal move; a position
// with an empty board, which equals no real one, when there is no such move.
inline Position afterMove(const Position& position, const std::string& name) {
    MoveList list;
    generateMoves(position, list);
    for (int index = 0; index < list.moveCount; ++index) {
        const Move move = list.moves[index];
        if (moveName(move) != name) continue;
        Position after = position;
        commitMove(after, move, static_cast<PieceKind>(position.board[move.from].piece));
        return after;
    }
    return Position{};
}

// The slow way of findFittingMoves, against which it is checked: collects
// the from-squares of the legal moves of a generated list that fit
// reader.currentMove, in the list's order, and gives their count.
inline int findMatchingMoves(Position& position, MoveReader& reader, const MoveList& list) {
    reader.candidateCount = 0;
    const ParsedMove& move = reader.currentMove;
    const Square wanted = move.from;
    // The bits of the from-square that the text gave: none, file, rank or both.
    const int mask = wanted == NO_SQUARE ? 0
                     : (wanted & 0x80)   ? 0x07
                     : (wanted & 0x08)   ? 0x70
                                         : 0x77;
    for (int index = 0; index < list.moveCount; ++index) {
        const Move candidate = list.moves[index];
        if ((candidate.from & mask) != (wanted & mask)) continue;
        if (position.board[candidate.from].piece != move.piece) continue;
        if (Move{candidate.from, move.to, move.special, move.captured} != candidate) continue;
        makeMove(position, candidate);
        if (!isInCheck(position, position.sideToMove)) {
            if (reader.candidateCount < MAX_CANDIDATES) {
                reader.candidateFrom[reader.candidateCount] = candidate.from;
            }
            ++reader.candidateCount;
        }
        unmakeMove(position, candidate);
    }
    return reader.candidateCount;
}

// Empty when board, piece lists and square references agree; otherwise
// what is wrong.
inline std::string invariantFault(const Position& position) {
    if (position.otherSide != (position.sideToMove ^ 1)) return "otherSide is not sideToMove ^ 1";
    for (int color = 0; color < 2; ++color) {
        if (position.pieceList[color][0].kind != KING) return "entry 0 is not the king";
        for (const PieceEntry& entry : position.pieceList[color]) {
            if (entry.kind == EMPTY) continue;
            const BoardCell cell = position.board[entry.square];
            if (!onBoard(entry.square) || cell.piece != entry.kind || cell.color != color) {
                return "entry on " + std::to_string(entry.square) + " disagrees with the board";
            }
        }
    }
    for (int square = 0; square < BOARD_CELLS; ++square) {
        const BoardCell cell = position.board[square];
        if (cell.piece == EMPTY) {
            if (cell.color != 0) return "empty cell " + std::to_string(square) + " has a color";
            continue;
        }
        if (!onBoard(square)) return "off-board cell " + std::to_string(square) + " occupied";
        const int index = position.squareEntry[square];
        const PieceEntry& entry = position.pieceList[index >> 4][index & 15];
        if ((index >> 4) != cell.color || entry.kind != cell.piece || entry.square != square) {
            return "reference of " + std::to_string(square) + " disagrees with the board";
        }
    }
    return {};
}

// The castling right a king's destination needs.
inline bool holdsCastleRight(const Position& position, Square kingTo) {
    const int shift = (position.sideToMove == WHITE ? 0 : 2) + ((kingTo & 4) ? 0 : 1);
    return (position.castleRights >> shift) & 1;
}

// Leaf count of the legal move tree. A move is legal the way the move reader
// decides it: a castling needs its right and unattacked squares, and no move
// may leave the mover's king attacked. Interior moves are played with
// commitMove, around which the game state is saved and restored.
inline std::uint64_t perft(Position& position, int depth) {
    MoveList list;
    generateMoves(position, list);
    std::uint64_t nodes = 0;
    for (int index = 0; index < list.moveCount; ++index) {
        const Move move = list.moves[index];
        if (move.special == MOVE_CASTLE &&
            (!holdsCastleRight(position, move.to) || castleThroughAttack(position, move.to))) {
            continue;
        }
        const auto piece = static_cast<PieceKind>(position.board[move.from].piece);
        makeMove(position, move);
        const bool legal = !isInCheck(position, position.sideToMove);
        unmakeMove(position, move);
        if (!legal) continue;
        if (depth <= 1) {
            ++nodes;
            continue;
        }
        const int sideToMove = position.sideToMove;
        const std::uint8_t castleRights = position.castleRights;
        const Square epSquare = position.epSquare;
        const int plyCount = position.plyCount;
        commitMove(position, move, piece);
        nodes += perft(position, depth - 1);
        position.sideToMove = sideToMove;
        position.otherSide = sideToMove ^ 1;
        position.castleRights = castleRights;
        position.epSquare = epSquare;
        position.plyCount = plyCount;
        unmakeMove(position, move);
    }
    return nodes;
}

}  // namespace chess_test
