#include "chess/movegen.h"

#include <cassert>
#include <initializer_list>

#include "chess/attack.h"

namespace {

// Offsets in the order in which they are tried.
constexpr int KNIGHT_STEPS[8] = {-18, 14, -14, 18, -33, 31, -31, 33};
constexpr int KING_STEPS[8] = {-17, -1, 15, -16, 16, -15, 1, 17};
constexpr int BISHOP_LINES[4] = {-17, -15, 17, 15};
constexpr int ROOK_LINES[4] = {-1, -16, 1, 16};
constexpr int QUEEN_LINES[8] = {-17, -15, 17, 15, -1, -16, 1, 16};

inline void append(MoveList& list, Square from, int to, int special, int captured) {
    assert(list.moveCount < MAX_MOVES);
    list.moves[list.moveCount++] =
        Move{from, static_cast<Square>(to), static_cast<std::uint8_t>(special),
             static_cast<std::int8_t>(captured)};
}

template <int N>
void generateSteps(const Position& position, MoveList& list, Square genFrom,
                   const int (&steps)[N]) {
    for (int step : steps) {
        int target = genFrom + step;
        if (onBoard(target)) addMove(position, list, genFrom, static_cast<Square>(target));
    }
}

template <int N>
void generateSlides(const Position& position, MoveList& list, Square genFrom,
                    const int (&lines)[N]) {
    for (int line : lines) {
        for (int target = genFrom + line; onBoard(target); target += line) {
            const BoardCell cell = position.board[target];
            if (cell.piece != EMPTY) {
                if (cell.color != position.sideToMove)
                    append(list, genFrom, target, MOVE_NORMAL, cell.piece);
                break;
            }
            append(list, genFrom, target, MOVE_NORMAL, EMPTY);
        }
    }
}

bool holds(const Position& position, int square, PieceKind kind, int color) {
    const BoardCell cell = position.board[square];
    return cell.piece == kind && cell.color == color;
}

void generateCastling(const Position& position, MoveList& list, Square genFrom) {
    const Square home = kingHome(position.sideToMove);
    if (genFrom != home) return;
    for (int to : {home + 2, home - 2}) {
        if (castlingFits(position, static_cast<Square>(to))) {
            append(list, genFrom, to, MOVE_CASTLE, EMPTY);
        }
    }
}

// Pawn moves of either color: the double step before the single step,
// captures towards the a-file first, then en passant.
void generatePawn(const Position& position, MoveList& list, Square genFrom) {
    const bool white = position.sideToMove == WHITE;
    const int forward = white ? 16 : -16;
    const int startRank = white ? 1 : 6;
    const int lastRank = white ? 7 : 0;
    const BoardCell* board = position.board;
    const int ahead = genFrom + forward;
    assert(onBoard(ahead));  // a pawn never stands on its last rank
    if (rankOf(genFrom) == startRank) {
        if (board[ahead].piece == EMPTY) {
            if (board[ahead + forward].piece == EMPTY)
                append(list, genFrom, ahead + forward, MOVE_NORMAL, EMPTY);
            append(list, genFrom, ahead, MOVE_NORMAL, EMPTY);
        }
    } else if (board[ahead].piece == EMPTY) {
        if (rankOf(ahead) == lastRank) {
            addPromotions(position, list, genFrom, static_cast<Square>(ahead));
        } else {
            append(list, genFrom, ahead, MOVE_NORMAL, EMPTY);
        }
    }
    const int captures[2] = {forward - 1, forward + 1};
    for (int capture : captures) {
        const int target = genFrom + capture;
        if (!onBoard(target)) continue;
        const BoardCell cell = board[target];
        if (cell.piece == EMPTY || cell.color != position.otherSide) continue;
        if (rankOf(target) == lastRank) {
            addPromotions(position, list, genFrom, static_cast<Square>(target));
        } else {
            append(list, genFrom, target, MOVE_NORMAL, cell.piece);
        }
    }
    for (int capture : captures) {
        if (genFrom + capture == position.epSquare) addEnPassant(position, list, genFrom);
    }
}

// Runs the generator of the piece's kind when it belongs to sideToMove and,
// unless `only` is EMPTY, is of that kind.
void generatePiece(const Position& position, MoveList& list, Square genFrom, PieceKind only) {
    const BoardCell cell = position.board[genFrom];
    if (cell.piece == EMPTY || cell.color != position.sideToMove) return;
    if (only != EMPTY && cell.piece != only) return;
    switch (cell.piece) {
        case PAWN:
            generatePawn(position, list, genFrom);
            break;
        case KNIGHT:
            generateSteps(position, list, genFrom, KNIGHT_STEPS);
            break;
        case BISHOP:
            generateSlides(position, list, genFrom, BISHOP_LINES);
            break;
        case ROOK:
            generateSlides(position, list, genFrom, ROOK_LINES);
            break;
        case QUEEN:
            generateSlides(position, list, genFrom, QUEEN_LINES);
            break;
        case KING:
            generateSteps(position, list, genFrom, KING_STEPS);
            generateCastling(position, list, genFrom);
            break;
    }
}

}  // namespace

bool castlingFits(const Position& position, Square kingTo) {
    const int home = kingHome(position.sideToMove);
    const RookSquares rook = castleRookSquares(kingTo);
    if (!holds(position, home, KING, position.sideToMove) ||
        !holds(position, rook.from, ROOK, position.sideToMove)) {
        return false;
    }
    const int step = rook.from > home ? 1 : -1;
    for (int square = home + step; square != rook.from; square += step) {
        if (position.board[square].piece != EMPTY) return false;
    }
    return true;
}

void addMove(const Position& position, MoveList& list, Square genFrom, Square target) {
    const BoardCell cell = position.board[target];
    if (cell.piece != EMPTY && cell.color == position.sideToMove) return;
    append(list, genFrom, target, MOVE_NORMAL, cell.piece);
}

void addPromotions(const Position& position, MoveList& list, Square genFrom, Square target) {
    const int captured = position.board[target].piece;
    for (int kind : {QUEEN, ROOK, BISHOP, KNIGHT}) append(list, genFrom, target, kind, captured);
}

void addEnPassant(const Position& position, MoveList& list, Square genFrom) {
    append(list, genFrom, position.epSquare, MOVE_EN_PASSANT, EMPTY);
}

namespace {

// Could a piece of the kind on `from` have a move to `target` at all? A
// pawn stays on its file or the next; the others move as the attack table
// says, the king besides castles.
bool mayReach(PieceKind kind, Square from, Square target) {
    if (kind == KING) return true;
    if (kind == PAWN) {
        int files = (target & 7) - (from & 7);
        return files >= -1 && files <= 1;
    }
    return (attackEntry(target - from).mask & ATTACK_BIT[kind]) != 0;
}

}  // namespace

int generateMovesOf(const Position& position, MoveList& list, PieceKind only, Square target) {
    list.moveCount = 0;
    if (only == EMPTY) {
        // File by file: a1..a8, b1..b8, ..., h8.
        for (int file = 0; file < 8; ++file) {
            for (int square = file; onBoard(square); square += 16) {
                generatePiece(position, list, static_cast<Square>(square), EMPTY);
            }
        }
        return list.moveCount;
    }
    // The pieces of the kind come from the piece list, in its order: the
    // move reader plays only a single fitting move, so the order of the
    // candidates never shows.
    for (const PieceEntry& entry : position.pieceList[position.sideToMove]) {
        if (entry.kind != only) continue;
        if (target != NO_SQUARE && !mayReach(only, entry.square, target)) continue;
        generatePiece(position, list, entry.square, only);
    }
    return list.moveCount;
}

int generateMoves(const Position& position, MoveList& list) {
    return generateMovesOf(position, list, EMPTY);
}

RookSquares castleRookSquares(Square kingTo) {
    const bool kingSide = (kingTo & 4) != 0;
    const int color = rankOf(kingTo) == homeRank(WHITE) ? WHITE : BLACK;
    return {rookHome(color, kingSide), static_cast<Square>(kingSide ? kingTo - 1 : kingTo + 1)};
}

void makeMove(Position& position, Move move) {
    if (move.captured != EMPTY) removePiece(position, move.to);
    transferPiece(position, move.from, move.to);
    switch (move.special) {
        case MOVE_NORMAL:
            break;
        case MOVE_EN_PASSANT:
            removePiece(position, passedPawnSquare(move.from, move.to));
            break;
        case MOVE_CASTLE: {
            const RookSquares rook = castleRookSquares(move.to);
            transferPiece(position, rook.from, rook.to);
            break;
        }
        default:
            setPieceKind(position, move.to, static_cast<PieceKind>(move.special));
            break;
    }
}

void unmakeMove(Position& position, Move move) {
    transferPiece(position, move.to, move.from);
    if (move.captured != EMPTY) putPiece(position, move.to, static_cast<PieceKind>(move.captured));
    switch (move.special) {
        case MOVE_NORMAL:
            break;
        case MOVE_EN_PASSANT:
            putPiece(position, passedPawnSquare(move.from, move.to), PAWN);
            break;
        case MOVE_CASTLE: {
            const RookSquares rook = castleRookSquares(move.to);
            transferPiece(position, rook.to, rook.from);
            break;
        }
        default:
            setPieceKind(position, move.from, PAWN);
            break;
    }
}

void commitMove(Position& position, Move move, PieceKind piece) {
    makeMove(position, move);
    position.plyCount += 1;
    updatePlyState(position, move, piece);
    position.sideToMove ^= 1;
    position.otherSide ^= 1;
}
