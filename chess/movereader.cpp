#include "chess/movereader.h"

#include <array>
#include <cassert>
#include <limits>

#include "chess/attack.h"

namespace {

constexpr std::array<std::uint8_t, 128> buildCharClass() {
    std::array<std::uint8_t, 128> table{};
    for (char c = 'a'; c <= 'h'; ++c) table[static_cast<unsigned char>(c)] |= CC_FILE;
    for (char c = '1'; c <= '8'; ++c) table[static_cast<unsigned char>(c)] |= CC_RANK;
    return table;
}

constexpr std::array<std::uint8_t, 128> CHAR_CLASS = buildCharClass();
static_assert(CHAR_CLASS['a'] == CC_FILE && CHAR_CLASS['h'] == CC_FILE && CHAR_CLASS['i'] == 0);
static_assert(CHAR_CLASS['1'] == CC_RANK && CHAR_CLASS['8'] == CC_RANK && CHAR_CLASS['9'] == 0);

// Bytes 0x80..0xFF belong to no class.
bool hasClass(char c, std::uint8_t bits) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < CHAR_CLASS.size() && (CHAR_CLASS[byte] & bits) != 0;
}

// The bits of the from-square that must agree, by what the text gave of it.
int matchMask(Square from) {
    if (from == NO_SQUARE) return 0;
    if (from & 0x80) return 0x07;  // file only
    if (from & 0x08) return 0x70;  // rank only
    return 0x77;
}

// The castling right that a king's destination needs: g-file king side,
// c-file queen side.
std::uint8_t castleRightFor(int side, Square kingTo) {
    if (kingTo & 4) return side == WHITE ? CASTLE_WK : CASTLE_BK;
    return side == WHITE ? CASTLE_WQ : CASTLE_BQ;
}

// A move text read in place: its bytes up to `size`, then 0 bytes, so that
// a text that is no 0-terminated string ends the reading as a 0 byte does.
// A 0-terminated text has no size of its own: the reading never goes past
// its 0 byte.
struct MoveChars {
    const char* text;
    std::size_t size;
    char operator[](std::size_t at) const { return at < size ? text[at] : 0; }
};
constexpr std::size_t ZERO_TERMINATED = std::numeric_limits<std::size_t>::max();

// Castling with the letter O or the digit 0, never mixed: "O-O-O", else
// "O-O".
int parseCastling(const Position& position, ParsedMove& move, MoveChars chars) {
    const Square home = kingHome(position.sideToMove);
    move = ParsedMove{home, NO_SQUARE, MOVE_CASTLE, EMPTY, KING};
    const char o = chars[0];
    if (chars[1] != '-' || chars[2] != o) return -1;
    if (chars[3] == '-' && chars[4] == o) {
        move.to = static_cast<Square>(home - 2);
        return 5;
    }
    move.to = static_cast<Square>(home + 2);
    return 3;
}

Move moveOf(const ParsedMove& parsed) {
    return Move{parsed.from, parsed.to, parsed.special, parsed.captured};
}

}  // namespace

namespace {

// The kind of every byte that is a piece letter, EMPTY for all others.
constexpr std::array<PieceKind, 256> KIND_OF_LETTER = [] {
    std::array<PieceKind, 256> kinds{};
    for (int kind = PAWN; kind <= KING; ++kind) {
        kinds[static_cast<unsigned char>(PIECE_LETTERS[kind - 1])] = static_cast<PieceKind>(kind);
    }
    return kinds;
}();
static_assert(KIND_OF_LETTER['N'] == KNIGHT && KIND_OF_LETTER['n'] == EMPTY);

}  // namespace

PieceKind pieceKindOfLetter(char letter) {
    return KIND_OF_LETTER[static_cast<unsigned char>(letter)];
}

namespace {

Square readSquareAt(MoveChars chars, std::size_t& at) {
    int file = 8;
    if (hasClass(chars[at], CC_FILE)) file = chars[at++] - 'a';
    if (hasClass(chars[at], CC_RANK)) return static_cast<Square>(file + 16 * (chars[at++] - '1'));
    return static_cast<Square>(file + 0x80);
}

int parseMoveChars(const Position& position, MoveReader& reader, MoveChars chars) {
    ParsedMove& move = reader.currentMove;
    if (chars[0] == 'O' || chars[0] == '0') return parseCastling(position, move, chars);
    std::size_t at = 0;
    move.piece = pieceKindOfLetter(chars[at]);
    if (move.piece != EMPTY) {
        ++at;
    } else {
        move.piece = PAWN;
    }
    move.special = MOVE_NORMAL;
    move.from = NO_SQUARE;
    const Square first = readSquareAt(chars, at);
    if (chars[at] == 'x') ++at;
    const Square second = readSquareAt(chars, at);
    if (second == NO_SQUARE) {
        move.to = first;
    } else {
        move.from = first;
        move.to = second;
    }
    if (!onBoard(move.to)) return -1;
    if (move.piece == PAWN) {
        const bool white = position.sideToMove == WHITE;
        // A pawn never moves to its own first two ranks.
        if (white ? move.to < 0x20 : move.to > 0x57) return -1;
        if (move.to == position.epSquare) move.special = MOVE_EN_PASSANT;
        if (rankOf(move.to) == (white ? 7 : 0)) {
            if (chars[at] == '=') ++at;
            // The promotion letter is taken whatever it is; a line end fails
            // the test below before anything past it is read.
            move.special = static_cast<std::uint8_t>(pieceKindOfLetter(chars[at]));
            if (chars[at] != 0) ++at;
            if (move.special < KNIGHT || move.special > QUEEN) return -1;
        }
    }
    move.captured = position.board[move.to].piece;
    return static_cast<int>(at);
}

}  // namespace

Square readSquare(const char*& text) {
    std::size_t at = 0;
    const Square square = readSquareAt({text, ZERO_TERMINATED}, at);
    text += at;
    return square;
}

int parseMove(const Position& position, MoveReader& reader, const char* text) {
    return parseMoveChars(position, reader, {text, ZERO_TERMINATED});
}

namespace {

// Would the mover's king stand attacked after the move? Worked out on the
// board as it is, without making the move: the from-square counts as
// empty, the destination as taken by the mover (an opponent's piece there
// as gone), and so does the pawn taken en passant.
bool exposesKing(const Position& position, Square from, Square to, std::uint8_t special) {
    const int enemy = position.otherSide;
    const BoardCell* board = position.board;
    const int king = board[from].piece == KING ? to : kingSquare(position, position.sideToMove);
    const int passed = special == MOVE_EN_PASSANT ? passedPawnSquare(from, to) : NO_SQUARE;
    int square = king - PAWN_ATTACK_OFFSET[enemy];
    for (int tries = 0; tries < 2; ++tries, square += 2) {
        if (!onBoard(square) || square == to || square == passed) continue;
        if (board[square].piece == PAWN && board[square].color == enemy) return true;
    }
    for (const PieceEntry& entry : position.pieceList[enemy]) {
        if (entry.kind == EMPTY || entry.kind == PAWN || entry.square == to) continue;
        const AttackEntry& line = attackEntry(king - entry.square);
        if ((ATTACK_BIT[entry.kind] & line.mask) == 0) continue;
        // A knight's jump or a single step cannot be blocked.
        if (line.mask & (ATTACK_BIT[KNIGHT] | ATTACK_BIT[KING])) return true;
        int between = entry.square + line.step;
        while (between != king && (between == from || between == passed ||
                                   (between != to && board[between].piece == EMPTY))) {
            between += line.step;
        }
        if (between == king) return true;
    }
    return false;
}

// For a side that is not in check: is the piece on `from` pinned to its
// king by an opponent's line piece, and does the move take it off that line?
bool leavesPinLine(const Position& position, Square from, Square to) {
    const int king = kingSquare(position, position.sideToMove);
    const AttackEntry& line = attackEntry(from - king);
    if ((line.mask & ATTACK_BIT[QUEEN]) == 0) return false;
    int square = king + line.step;
    for (; square != from; square += line.step) {
        if (square == to || position.board[square].piece != EMPTY) return false;
    }
    for (square += line.step; onBoard(square); square += line.step) {
        if (square == to) return false;
        const BoardCell cell = position.board[square];
        if (cell.piece == EMPTY) continue;
        return cell.color == position.otherSide &&
               (attackEntry(king - square).mask & ATTACK_BIT[cell.piece]) != 0;
    }
    return false;
}

// Adds the from-square when the piece there fits the text's from part and
// the move leaves the mover's king unattacked.
void addIfLegal(Position& position, MoveReader& reader, Square from, std::uint8_t special) {
    const ParsedMove& move = reader.currentMove;
    const int mask = matchMask(move.from);
    if ((from & mask) != (move.from & mask)) return;
    const bool onlyPins = reader.checkPly == position.plyCount && !reader.inCheck &&
                          special != MOVE_EN_PASSANT && position.board[from].piece != KING;
    if (onlyPins ? leavesPinLine(position, from, move.to)
                 : exposesKing(position, from, move.to, special)) {
        return;
    }
    assert(reader.candidateCount < MAX_CANDIDATES);
    if (reader.candidateCount < MAX_CANDIDATES) reader.candidateFrom[reader.candidateCount] = from;
    ++reader.candidateCount;
}

bool ownPawnOn(const Position& position, int square) {
    if (!onBoard(square)) return false;
    const BoardCell cell = position.board[square];
    return cell.piece == PAWN && cell.color == position.sideToMove;
}

// A pawn reaches the destination from at most two squares: straight behind
// it (one or two steps, over empty squares) when it is empty, diagonally
// behind it when it holds an opponent's piece or is the en-passant square.
void findPawnMoves(Position& position, MoveReader& reader) {
    const ParsedMove& move = reader.currentMove;
    const int forward = position.sideToMove == WHITE ? 16 : -16;
    const BoardCell target = position.board[move.to];
    if (move.special == MOVE_EN_PASSANT || target.piece != EMPTY) {
        if (move.special == MOVE_EN_PASSANT && target.piece != EMPTY) return;
        for (int side : {-1, 1}) {
            const int from = move.to - forward + side;
            if (ownPawnOn(position, from)) addIfLegal(position, reader, Square(from), move.special);
        }
        return;
    }
    const int behind = move.to - forward;
    if (!onBoard(behind)) return;
    if (ownPawnOn(position, behind)) {
        addIfLegal(position, reader, Square(behind), move.special);
    } else if (position.board[behind].piece == EMPTY) {
        const int start = behind - forward;
        const int startRank = position.sideToMove == WHITE ? 1 : 6;
        if (ownPawnOn(position, start) && rankOf(start) == startRank) {
            addIfLegal(position, reader, Square(start), move.special);
        }
    }
}

// A piece reaches the destination when the attack table says its kind can
// cover the distance and, for a sliding piece, the squares between are empty.
void findPieceMoves(Position& position, MoveReader& reader) {
    const ParsedMove& move = reader.currentMove;
    const bool slides = move.piece == BISHOP || move.piece == ROOK || move.piece == QUEEN;
    for (const PieceEntry& entry : position.pieceList[position.sideToMove]) {
        if (entry.kind != move.piece) continue;
        const AttackEntry& line = attackEntry(move.to - entry.square);
        if ((line.mask & ATTACK_BIT[move.piece]) == 0) continue;
        if (slides) {
            int square = entry.square + line.step;
            while (square != move.to && position.board[square].piece == EMPTY) square += line.step;
            if (square != move.to) continue;
        }
        addIfLegal(position, reader, entry.square, MOVE_NORMAL);
    }
}

}  // namespace

int findFittingMoves(Position& position, MoveReader& reader) {
    reader.candidateCount = 0;
    const ParsedMove& move = reader.currentMove;
    if (move.special == MOVE_CASTLE) {
        // When none of the king's three squares is attacked (which the
        // caller checks first), no line runs through the squares the
        // castling empties to the king's new square: a castling that fits
        // the board is legal.
        if (castlingFits(position, move.to))
            reader.candidateFrom[reader.candidateCount++] = move.from;
        return reader.candidateCount;
    }
    const BoardCell target = position.board[move.to];
    if (target.piece != EMPTY && target.color == position.sideToMove) return 0;
    if (move.piece == PAWN) {
        findPawnMoves(position, reader);
    } else {
        findPieceMoves(position, reader);
    }
    return reader.candidateCount;
}

MoveOutcome playParsedMove(Position& position, MoveReader& reader) {
    ParsedMove& move = reader.currentMove;
    if (move.special == MOVE_CASTLE) {
        if ((position.castleRights & castleRightFor(position.sideToMove, move.to)) == 0) {
            return READ_NO_CASTLE_RIGHT;
        }
        if (castleThroughAttack(position, move.to)) return READ_CASTLE_ATTACKED;
    }
    findFittingMoves(position, reader);
    if (reader.candidateCount != 1) {
        return reader.candidateCount == 0 ? READ_NO_PIECE : READ_AMBIGUOUS;
    }
    move.from = reader.candidateFrom[0];
    commitMove(position, moveOf(move), static_cast<PieceKind>(move.piece));
    return READ_PLAYED;
}

MoveOutcome playSanMove(Position& position, MoveReader& reader, std::string_view text) {
    // What follows the move must be signs, checked below.
    const int consumed = parseMoveChars(position, reader, {text.data(), text.size()});
    if (consumed <= 0) return READ_UNREADABLE;
    for (std::size_t at = static_cast<std::size_t>(consumed); at < text.size(); ++at) {
        const char sign = text[at];
        if (sign != '+' && sign != '#' && sign != '!' && sign != '?') return READ_UNREADABLE;
    }
    const MoveOutcome outcome = playParsedMove(position, reader);
    if (outcome == READ_PLAYED) {
        reader.inCheck = givesCheck(position, moveOf(reader.currentMove));
        reader.checkPly = position.plyCount;
    }
    return outcome;
}
