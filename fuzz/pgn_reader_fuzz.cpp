// Fuzz target: the PGN reader over any bytes. Every game and every move is
// read, once in large blocks and once in blocks of a few bytes; both reads
// must agree, and the skipped texts and the games must give back the input
// byte for byte.
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "pgn/pgn_reader.h"

namespace {

// The line ends in a game's text: LFs and lone CRs.
long lineCount(const PgnGame& game) {
    long count = 0;
    const std::string_view text = game.text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++count;
    }
    return count;
}

// Everything the reader tells about the input, checking its promises on the
// way; the bytes it gave back go to `again`.
std::string readAll(const std::uint8_t* data, std::size_t size, std::size_t blockSize,
                    std::string& again) {
    MemoryFile input(data, size);
    PgnReader reader;
    reader.blockSize = blockSize;
    openPgnStream(reader, input.get(), "fuzz");
    PgnGame game;
    std::string seen;
    long line = 1;
    int number = 0;
    while (nextGame(reader, game)) {
        FUZZ_CHECK(game.number == ++number);
        FUZZ_CHECK(!game.text.empty());
        FUZZ_CHECK(game.firstLine >= line && game.movetextLine >= game.firstLine);
        FUZZ_CHECK(game.movetext <= game.text.size());
        for (const PgnFault& fault : game.faults) {
            FUZZ_CHECK(fault.line >= line && fault.line <= game.firstLine + 0L + lineCount(game));
            FUZZ_CHECK(fault.game == 0 || fault.game == game.number);
            seen += pgnFaultMessage(fault) + ";";
        }
        for (const PgnTag& tag : game.tags) {
            FUZZ_CHECK(tag.lineBegin <= tag.pairBegin && tag.pairBegin < tag.pairEnd);
            FUZZ_CHECK(tag.pairEnd <= tag.lineEnd && tag.pairEnd <= game.movetext);
            FUZZ_CHECK(tag.lineEnd <= game.text.size());
            FUZZ_CHECK(game.text[tag.pairBegin] == '[');
            seen.append(tag.name).append("=").append(tag.value).append(";");
        }
        again.append(game.skipped).append(game.text);
        line = game.firstLine;
        seen += "game " + std::to_string(game.firstLine) + " " + std::to_string(game.text.size()) +
                " " + std::to_string(game.movetextLine) + ":";
        MovetextCursor cursor = movetextOf(game);
        std::string_view move;
        long moveLine = 0, lastLine = game.movetextLine;
        while (nextMove(cursor, move, moveLine)) {
            FUZZ_CHECK(!move.empty() && moveLine >= lastLine);
            FUZZ_CHECK(move.data() >= game.text.data() &&
                       move.data() + move.size() <= game.text.data() + game.text.size());
            lastLine = moveLine;
            seen.append(" ").append(move);
        }
        seen += "\n";
    }
    again.append(game.skipped);
    for (const PgnFault& fault : game.faults) seen += pgnFaultMessage(fault) + ";";
    FUZZ_CHECK(!nextGame(reader, game) && game.skipped.empty());
    FUZZ_CHECK(!reader.readError && reader.consumed == (reader.utf16 ? 0 : size));
    if (reader.utf16) again.assign(reinterpret_cast<const char*>(data), size);
    closePgn(reader);
    return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string whole, pieces;
    std::string seen = readAll(data, size, std::size_t{1} << 16, whole);  // one read
    FUZZ_CHECK(whole == std::string_view(reinterpret_cast<const char*>(data), size));
    std::size_t blockSize = 1 + (size == 0 ? 0 : data[0] % 16);
    FUZZ_CHECK(readAll(data, size, blockSize, pieces) == seen);
    FUZZ_CHECK(pieces == whole);
    return 0;
}
