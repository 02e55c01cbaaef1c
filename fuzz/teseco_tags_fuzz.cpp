// Fuzz target: naming the games of any bytes in -t mode with a small book
// compiled at start-up. The run must end (status 0 or 1), and the output
// must be the input again once the ECO and Opening tags are taken out of
// both, and the empty lines: a game without tags also gets an empty line
// before its movetext. On two threads, with every game a block of its own,
// the run gives the same bytes and status.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "naming/naming_run.h"
#include "tests/support/pgn_support.h"

namespace {

// Short lines that share their first moves, a transposition, a name with a
// quote and a backslash, and a long line with castling on both sides.
constexpr const char* BOOK_TEXT =
    "B20 Sicilian Defense\n1.e4 c5 1/2\n"
    "B21 Sicilian Defense: Smith-Morra Gambit\n1.e4 c5 2.d4 cxd4 3.c3 1/2\n"
    "C20 King's Pawn Game\n1.e4 e5 1/2\n"
    "C44 King's Knight Opening: \"Quoted\" \\Back\n1.e4 e5 2.Nf3 Nc6 1/2\n"
    "D06 Queen's Gambit\n1.d4 d5 2.c4 1/2\n"
    "A13 English Opening\n1.c4 d5 2.d4 e6 1/2\n"
    "C92 Ruy Lopez: Closed, Zaitsev Variation\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6\n"
    "5. O-O Be7 6. Re1 b5 7. Bb3 d6 8. c3 O-O 9. h3 Bb7 10. d4 Re8 1/2\n";

const OpeningBook& fuzzBook() {
    static const OpeningBook book = [] {
        OpeningBook compiled = pgn_test::compileBookText(BOOK_TEXT);
        FUZZ_CHECK(compiled.positionCount > 0);
        return compiled;
    }();
    return book;
}

// The input goes into a file of this process, since the namer reads files
// by name.
const std::string& inputPath() {
    static const std::string path = [] {
        char name[] = "/tmp/teseco_tags_fuzz_XXXXXX";
        const int descriptor = mkstemp(name);
        FUZZ_CHECK(descriptor >= 0);
        close(descriptor);
        std::atexit([] { std::remove(inputPath().c_str()); });
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* input = std::fopen(inputPath().c_str(), "wb");
    FUZZ_CHECK(input && std::fwrite(data, 1, size, input) == size && std::fclose(input) == 0);
    struct Outcome {
        int status;
        std::vector<char> out;
        std::vector<char> err;
    };
    auto name = [](int threads) {
        NamingRun run;
        run.output = NamingOutput::TAGS;
        run.files = {inputPath()};
        run.threads = threads;
        run.blockSize = 1;
        run.out = std::tmpfile();
        run.err = std::tmpfile();
        FUZZ_CHECK(run.out && run.err);
        const int status = nameOpenings(fuzzBook(), run);
        Outcome outcome{status, writtenBytes(run.out), writtenBytes(run.err)};
        std::fclose(run.out);
        std::fclose(run.err);
        return outcome;
    };
    const Outcome one = name(1);
    FUZZ_CHECK(one.status == 0 || one.status == 1);
    // Two threads, every game a block of its own: the same bytes.
    const Outcome two = name(2);
    FUZZ_CHECK(two.status == one.status && two.out == one.out && two.err == one.err);
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const std::string_view out(one.out.data(), one.out.size());
    if (in.starts_with("\xFF\xFE") || in.starts_with("\xFE\xFF")) {  // refused as UTF-16
        FUZZ_CHECK(one.status == 1 && out.empty());
        return 0;
    }
    FUZZ_CHECK(pgn_test::withoutOpeningTags(in, true) == pgn_test::withoutOpeningTags(out, true));
    return 0;
}
