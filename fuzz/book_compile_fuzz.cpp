// Fuzz target: a whole tesbook compile of one ECO text file, from the first
// header to the written opening file. A fatal stop is a proper end of the
// run; what the sanitizers or the checks below see is a finding.
#include <unistd.h>

#include <cstring>
#include <string>

#include "book/compiler.h"
#include "book/opening_file.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/captured_run.h"

namespace {

// The large tables of a compile (name space, opening table, position store
// and list) are obtained once for all runs: mapping megabytes afresh for
// every input would take most of the fuzzer's time. Each run gets a new
// Book with every counter at its start and these tables handed over.
struct LargeTables {
    std::unique_ptr<std::uint8_t[]> nameSpace;
    std::unique_ptr<OpeningInfo[]> openingTable;
    PositionList positions;
};

void lend(LargeTables& tables, Book& book) {
    book.names.nameSpace = std::move(tables.nameSpace);
    book.names.openingTable = std::move(tables.openingTable);
    book.positions = std::move(tables.positions);
    book.positions.positionCount = 0;
    book.positions.distinctCount = 0;
}

void takeBack(LargeTables& tables, Book& book) {
    tables.nameSpace = std::move(book.names.nameSpace);
    tables.openingTable = std::move(book.names.openingTable);
    tables.positions = std::move(book.positions);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::FILE* const output = std::tmpfile();
    FUZZ_CHECK(output != nullptr);
    FUZZ_CHECK(ftruncate(fileno(output), 0) == 0);
    std::rewind(output);

    CapturedRun run(BOOK_PROFILE);
    Frame& frame = run.frame;
    const std::string& console = run.console;
    static LargeTables tables;
    auto book = std::make_unique<Book>();
    if (tables.nameSpace) {
        lend(tables, *book);
    } else {
        allocateBook(frame, *book);
    }
    struct Return {
        LargeTables& tables;
        Book& book;
        ~Return() { takeBack(tables, book); }
    } giveBack{tables, *book};

    MemoryFile input(data, size);
    frame.input = input.get();
    frame.output.stream = output;
    const int status = run.run([&] { compileBook(frame, *book); }) ? 0 : run.status;
    frame.input = nullptr;
    frame.output.stream = nullptr;

    FUZZ_CHECK(!console.empty() && console.back() == '\n');
    if (status != 0) {
        FUZZ_CHECK(status == 1);
        return 0;
    }
    // A complete run wrote the head, a key and a name offset per distinct
    // board, and the name space.
    const PositionList& positions = book->positions;
    FUZZ_CHECK(positions.distinctCount >= 0 && positions.distinctCount <= positions.positionCount);
    FUZZ_CHECK(book->totalMoves == positions.positionCount);
    std::vector<char> file = writtenBytes(output);
    std::size_t expected = OPENING_FILE_HEAD_SIZE +
                           36 * static_cast<std::size_t>(positions.distinctCount) +
                           static_cast<std::size_t>(book->names.nameSpaceUsed);
    FUZZ_CHECK(file.size() == expected);
    FUZZ_CHECK(std::memcmp(file.data(), OPENING_FILE_ID, sizeof OPENING_FILE_ID) == 0);

    // The keys ascend with no two equal, and every name offset names the
    // start of a record: the ECO letter and number with bit 7 set.
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    const std::size_t count = static_cast<std::size_t>(positions.distinctCount);
    const unsigned char* keys = bytes + OPENING_FILE_HEAD_SIZE;
    for (std::size_t i = 1; i < count; ++i) {
        FUZZ_CHECK(std::memcmp(keys + 32 * (i - 1), keys + 32 * i, 32) < 0);
    }
    const unsigned char* offsets = keys + 32 * count;
    const unsigned char* names = offsets + 4 * count;
    const auto nameSpaceSize = static_cast<std::uint32_t>(book->names.nameSpaceUsed);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* at = offsets + 4 * i;
        std::uint32_t offset =
            at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
        FUZZ_CHECK(offset + 2 < nameSpaceSize);
        FUZZ_CHECK((names[offset] & 0x80) != 0 && (names[offset + 1] & 0x80) != 0);
        FUZZ_CHECK(offset == 0 || names[offset - 1] == 0);
    }
    return 0;
}
