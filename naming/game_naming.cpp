#include "naming/game_naming.h"

#include <array>
#include <cstring>

#include "book/packed_board.h"
#include "frame/ascii.h"

namespace {

// The first four fields of FEN: placement, side to move, castling rights
// and en-passant square. The two counters do not change the position.
constexpr std::string_view INITIAL_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

// The FEN's fields up to the en-passant square, single blanks between them.
bool isInitialFen(std::string_view fen) {
    std::string fields;
    std::size_t at = 0;
    for (int field = 0; field < 4; ++field) {
        while (at < fen.size() && fen[at] == ' ') ++at;
        std::size_t end = fen.find(' ', at);
        if (end == std::string_view::npos) end = fen.size();
        if (end == at) return false;
        if (field > 0) fields += ' ';
        fields.append(fen.substr(at, end - at));
        at = end;
    }
    return fields == INITIAL_FEN;
}

constexpr std::size_t HOME_PAWN_MASKS = std::size_t{1} << 16;

// The filter's bit of a home square (rank 2 and 7), 0 for other squares.
constexpr std::array<std::uint16_t, BOARD_CELLS> HOME_BIT = [] {
    std::array<std::uint16_t, BOARD_CELLS> bits{};
    for (int file = 0; file < 8; ++file) {
        bits[0x10 + file] = static_cast<std::uint16_t>(1u << file);
        bits[0x60 + file] = static_cast<std::uint16_t>(1u << (8 + file));
    }
    return bits;
}();

bool hasBit(const std::vector<std::uint64_t>& bits, unsigned index) {
    return (bits[index >> 6] >> (index & 63)) & 1;
}

}  // namespace

void buildHomePawnFilter(const OpeningBook& book, HomePawnFilter& filter) {
    filter.exact.assign(HOME_PAWN_MASKS / 64, 0);
    for (std::int32_t i = 0; i < book.positionCount; ++i) {
        const std::uint8_t* key = book.keys + std::size_t(i) * PACKED_BOARD_SIZE;
        unsigned mask = 0;
        for (int file = 0; file < 8; ++file) {
            if (packedCode(key, packedIndex(makeSquare(file, 1))) == cellCode({PAWN, WHITE})) {
                mask |= 1u << file;
            }
            if (packedCode(key, packedIndex(makeSquare(file, 6))) == cellCode({PAWN, BLACK})) {
                mask |= 1u << (8 + file);
            }
        }
        filter.exact[mask >> 6] |= std::uint64_t{1} << (mask & 63);
    }
    // A mask is reachable when it or one of its subsets is exact: for each
    // bit, every mask with the bit takes over what the mask without it has.
    // The low six bits index within a word, the others pick the word.
    filter.reachable = filter.exact;
    constexpr std::uint64_t withoutBit[6] = {0x5555555555555555, 0x3333333333333333,
                                             0x0F0F0F0F0F0F0F0F, 0x00FF00FF00FF00FF,
                                             0x0000FFFF0000FFFF, 0x00000000FFFFFFFF};
    std::vector<std::uint64_t>& words = filter.reachable;
    for (int bit = 0; bit < 6; ++bit) {
        for (std::uint64_t& word : words) word |= (word & withoutBit[bit]) << (1 << bit);
    }
    for (std::size_t step = 1; step < words.size(); step <<= 1) {
        for (std::size_t word = 0; word < words.size(); ++word) {
            if (word & step) words[word] |= words[word ^ step];
        }
    }
}

unsigned homePawns(const Position& position) {
    unsigned mask = 0;
    for (int file = 0; file < 8; ++file) {
        const BoardCell white = position.board[0x10 + file];
        const BoardCell black = position.board[0x60 + file];
        if (white.piece == PAWN && white.color == WHITE) mask |= 1u << file;
        if (black.piece == PAWN && black.color == BLACK) mask |= 1u << (8 + file);
    }
    return mask;
}

// Writes the code of a square's cell into the key.
void updateKey(std::uint8_t (&key)[PACKED_BOARD_SIZE], const Position& position, int square) {
    setPackedCode(key, packedIndex(square), cellCode(position.board[square]));
}

void startNaming(GameNaming& naming) {
    static const GameNaming initial = [] {
        GameNaming naming;
        setupStartPosition(naming.position);
        packBoard(naming.position, naming.key);
        return naming;
    }();
    naming.position = initial.position;
    std::memcpy(naming.key, initial.key, sizeof naming.key);
    naming.index = -1;
    naming.ply = 0;
    naming.bookReachable = true;
    naming.homeMask = 0xFFFF;
}

MoveOutcome nameMove(const OpeningBook& book, GameNaming& naming, std::string_view text) {
    const MoveOutcome outcome = playSanMove(naming.position, naming.reader, text);
    if (outcome != READ_PLAYED || !naming.bookReachable) return outcome;
    // The squares the move changed: both of its own, the pawn taken en
    // passant and the rook of a castling.
    const ParsedMove& move = naming.reader.currentMove;
    updateKey(naming.key, naming.position, move.from);
    updateKey(naming.key, naming.position, move.to);
    if (move.special == MOVE_EN_PASSANT) {
        updateKey(naming.key, naming.position, passedPawnSquare(move.from, move.to));
    } else if (move.special == MOVE_CASTLE) {
        const RookSquares rook = castleRookSquares(move.to);
        updateKey(naming.key, naming.position, rook.from);
        updateKey(naming.key, naming.position, rook.to);
    }
    if (!naming.filter.exact.empty()) {
        // After any move its from-square is empty, and no pawn can have
        // come onto its destination if that is a home square of its color.
        naming.homeMask &= ~unsigned(HOME_BIT[move.from] | HOME_BIT[move.to]);
        if (!hasBit(naming.filter.reachable, naming.homeMask)) {
            naming.bookReachable = false;
            return outcome;
        }
        if (!hasBit(naming.filter.exact, naming.homeMask)) return outcome;
    }
    const std::int32_t index = findPlacement(book, naming.key);
    if (index >= 0) {
        naming.index = index;
        naming.ply = naming.position.plyCount;
    }
    return outcome;
}

bool isNullMove(std::string_view move) {
    return move == "--" || move == "Z0";
}

bool startsFromInitialPosition(const PgnGame& game) {
    for (const PgnTag& tag : game.tags) {
        // As views, so that the lengths are compared first.
        const std::string_view name = tag.name;
        if (name == "FEN" && !isInitialFen(tag.value)) return false;
        if (name == "Variant" &&
            !(tag.value.size() == 8 && startsWithIgnoringCase(tag.value.c_str(), "standard"))) {
            return false;
        }
    }
    return true;
}

const char* moveFaultText(MoveOutcome outcome) {
    if (outcome == READ_UNREADABLE) return "unreadable move";
    if (outcome == READ_AMBIGUOUS) return "ambiguous move";
    return "illegal move";
}
