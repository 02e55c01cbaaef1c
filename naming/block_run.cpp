#include "naming/block_run.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "naming/game_namer.h"
#include "naming/run_writer.h"
#include "pgn/game_split.h"

namespace {

// The smallest read from a file, whatever the block size.
constexpr std::size_t READ_SIZE = 4096;

// The reads past a block's planned size, in search of a line to cut at
// (mostly found within the next game); what is read past the cut is copied
// into the next block.
constexpr std::size_t CUT_READ_SIZE = 16384;

// How far past its planned size a block of raw bytes may grow, in reads of
// the planned size, while no line to cut at is found (a file of games
// without tags, a game of megabytes); then the rest of the file is framed
// on the reading thread, a game after the other.
constexpr std::size_t CUT_REACH = 8;

// A stretch of consecutive games of one file. A raw block holds the file's
// bytes from a line where a game begins; the thread that read it frames and
// names its games at once, while its bytes are at hand in that core's
// cache. A framed block holds copies of games that the reading thread
// framed one after the other, in a file where no line to cut at was found;
// any thread names them.
//
// The games of a block are named with their game and line numbers counted
// from the block's start, which go into marks; the writer, which counts the
// games and lines of the blocks before, puts the numbers in, and the text
// between the blocks (framed with the block before) with its faults.
struct GameBlock {
    const std::string* file = nullptr;
    bool raw = false;
    PgnReader reader;           // raw: holds the bytes in its buffer, and frames them
    std::size_t rawFilled = 0;  // raw: bytes in the buffer
    std::size_t rawSize = 0;    // raw: the block's own bytes; when `cut`, the next
                                // block's first line follows them
    bool cut = false;           // raw: the next block of the file begins at rawSize

    std::string bytes;              // framed: every game's skipped text and text
    std::vector<std::size_t> ends;  // framed: per game, end of its skipped text, of its text
    std::vector<PgnGame> games;     // framed: the first `gameCount` are the block's
    std::size_t gameCount = 0;      // games in the block
    std::int64_t lines = 0;         // line ends in the block (`cut` or not `endsFile`)
    bool startsFile = false;
    bool endsFile = false;
    std::string_view firstSkipped;  // the text before the first game
    std::string_view trailing;      // endsFile: the text after the file's last game
    std::vector<PgnFault> trailingFaults;
    bool utf16 = false;
    bool readError = false;
    int error = 0;
    // cut: the text after the block's last game, which is the next block's
    // first game's, with its faults
    std::string carryOut;
    std::vector<PgnFault> carryFaults;
    std::uint64_t consumed = 0;  // of the file, up to the block's end (progress)

    // What naming gave, valid once `named`.
    NamingResult result;
    bool lastWritten = false;  // its last game went out
    std::exception_ptr failure;
    bool named = false;
};

void clearBlock(GameBlock& block, const std::string& file) {
    block.file = &file;
    block.raw = block.cut = false;
    block.rawFilled = block.rawSize = 0;
    block.bytes.clear();
    block.ends.clear();
    block.gameCount = 0;
    block.lines = 0;
    block.startsFile = block.endsFile = false;
    block.firstSkipped = {};
    block.trailing = {};
    block.trailingFaults.clear();
    block.utf16 = block.readError = false;
    block.error = 0;
    block.carryOut.clear();
    block.carryFaults.clear();
    block.consumed = 0;
    block.result.output.clear();
    block.result.messages.clear();
    block.result.outputMarks.clear();
    block.result.messageMarks.clear();
    block.result.games = 0;
    block.result.clean = true;
    block.lastWritten = false;
    block.failure = nullptr;
    block.named = false;
}

// Takes a game into the block. The two swap places, so that the reader
// fills a game of an earlier block next, whose tags keep their room: no tag
// is copied.
void takeGame(GameBlock& block, PgnGame& game) {
    if (block.gameCount == block.games.size()) block.games.emplace_back();
    std::swap(block.games[block.gameCount++], game);
}

// Takes the game the reading thread framed into a framed block, with a copy
// of its bytes.
void addGame(GameBlock& block, PgnGame& game) {
    block.bytes.append(game.skipped);
    block.ends.push_back(block.bytes.size());
    block.bytes.append(game.text);
    block.ends.push_back(block.bytes.size());
    takeGame(block, game);
}

// Points the games of a framed block into its own bytes, now that they no
// longer move, and numbers them from the block's start: `games` and `line`
// are where the reader stood at the block's start.
void sealBlock(GameBlock& block, std::string_view trailing, int games, std::int64_t line) {
    std::size_t begin = block.bytes.size();
    block.bytes.append(trailing);
    block.trailing = std::string_view(block.bytes).substr(begin);
    const std::string_view bytes = block.bytes;
    const long lines = static_cast<long>(line - 1);
    begin = 0;
    for (std::size_t i = 0; i < block.gameCount; ++i) {
        PgnGame& game = block.games[i];
        const std::size_t skippedEnd = block.ends[2 * i];
        const std::size_t textEnd = block.ends[2 * i + 1];
        game.skipped = bytes.substr(begin, skippedEnd - begin);
        game.text = bytes.substr(skippedEnd, textEnd - skippedEnd);
        begin = textEnd;
        game.number -= games;
        game.firstLine -= lines;
        game.movetextLine -= lines;
        for (PgnFault& fault : game.faults) {
            fault.line -= lines;
            if (fault.game > 0) fault.game -= games;
        }
    }
    for (PgnFault& fault : block.trailingFaults) fault.line -= lines;
}

// Frames and names the games of a raw block. When the block is cut, its
// bytes are followed by a copy of the next block's first line, where a
// game must begin: that game gives the text before it and its faults to
// the next block, and is not the block's. The text before the first game
// is left to the writer, which knows whether the game before went out.
void nameRawBlock(GameNamer& namer, PgnGame& game, GameBlock& block) {
    PgnReader& reader = block.reader;
    openPgnBuffer(reader, *block.file, block.rawFilled, block.startsFile);
    const char* const next = reader.buffer.get() + block.rawSize;
    FileWalk walk{*block.file, false};
    while (nextGame(reader, game)) {
        if (block.cut && game.text.data() + game.text.size() > next) {
            if (game.text.data() != next) {
                throw std::logic_error(*block.file + ": the games were framed apart at byte " +
                                       std::to_string(block.consumed));
            }
            block.carryOut.assign(game.skipped);
            for (const PgnFault& fault : game.faults) {
                if (fault.game == 0) block.carryFaults.push_back(fault);
            }
            block.lines = game.firstLine - 1;
            block.lastWritten = walk.lastWritten;
            return;
        }
        if (block.gameCount++ == 0) block.firstSkipped = game.skipped;
        nameGame(namer, game, walk, block.result);
    }
    if (block.cut) {
        throw std::logic_error(*block.file + ": no game was framed at byte " +
                               std::to_string(block.consumed));
    }
    block.trailing = game.skipped;
    block.trailingFaults = std::move(game.faults);
    block.lastWritten = walk.lastWritten;
}

// Names the games of a block, with their numbers in marks.
void nameBlock(GameNamer& namer, PgnGame& game, GameBlock& block) {
    if (block.failure) return;
    namer.marksNumbers = true;
    try {
        if (block.raw) {
            nameRawBlock(namer, game, block);
        } else {
            FileWalk walk{*block.file, false};
            for (std::size_t i = 0; i < block.gameCount; ++i) {
                nameGame(namer, block.games[i], walk, block.result);
            }
            if (block.gameCount > 0) block.firstSkipped = block.games[0].skipped;
            block.lastWritten = walk.lastWritten;
        }
    } catch (...) {
        block.failure = std::current_exception();
    }
}

// Where the reading of the files stands. One thread at a time reads.
struct ReadingState {
    std::size_t nextFile = 0;  // in run.files, the next to open
    bool fileOpen = false;
    PgnReader reader;  // the open file's stream, and the framing of its rest
    // The open file's next block, holding the bytes read past the last cut.
    std::unique_ptr<GameBlock> pending;
    std::uint64_t offset = 0;  // of the pending block's first byte in the file
    bool more = true;          // the stream may hold more bytes
    // The rest of the open file is framed by the reading thread, from
    // where the reader stood at the pending block's start.
    bool sequential = false;
    int games = 0;
    std::int64_t line = 1;
    PgnGame game;
};

// The blocks between the reading and the writer, oldest first, and the
// threads that read and name them.
struct BlockPipeline {
    const OpeningBook& book;
    const NamingRun& run;
    std::mutex mutex;
    std::condition_variable changed;  // a block may be read, a block is named, or the run ends
    std::deque<std::unique_ptr<GameBlock>> inFlight;  // in input order
    std::vector<std::unique_ptr<GameBlock>> spare;
    std::vector<std::unique_ptr<GameNamer>> namers;  // [0] is the calling thread's
    std::vector<std::thread> threads;
    ReadingState reading;
    bool readingBusy = false;  // a thread reads
    bool readingDone = false;  // every file is read, or a write failed
    bool closing = false;
};

std::size_t blocksInFlight(const NamingRun& run) {
    return static_cast<std::size_t>(run.threads) + 2;
}

std::unique_ptr<GameBlock> newBlock(BlockPipeline& pipeline, const std::string& file) {
    std::unique_ptr<GameBlock> block;
    {
        std::lock_guard<std::mutex> lock(pipeline.mutex);
        if (!pipeline.spare.empty()) {
            block = std::move(pipeline.spare.back());
            pipeline.spare.pop_back();
        }
    }
    if (!block) block = std::make_unique<GameBlock>();
    clearBlock(*block, file);
    return block;
}

void closeFile(ReadingState& reading) {
    closePgn(reading.reader);
    reading.fileOpen = false;
}

// The next framed block of a file whose rest the reading thread frames.
std::unique_ptr<GameBlock> nextFramedBlock(BlockPipeline& pipeline) {
    ReadingState& reading = pipeline.reading;
    std::unique_ptr<GameBlock> block = std::move(reading.pending);
    PgnReader& reader = reading.reader;
    while (nextGame(reader, reading.game)) {
        addGame(*block, reading.game);
        if (block->bytes.size() >= pipeline.run.blockSize) {
            sealBlock(*block, {}, reading.games, reading.line);
            block->lines = reader.line - reading.line;
            reading.games = reader.games;
            reading.line = reader.line;
            block->consumed = reading.offset + reader.consumed;
            reading.pending = newBlock(pipeline, *block->file);
            return block;
        }
    }
    block->trailingFaults = std::move(reading.game.faults);
    sealBlock(*block, reading.game.skipped, reading.games, reading.line);
    block->endsFile = true;
    block->consumed = reading.offset + reader.consumed;
    block->utf16 = reader.utf16;
    block->readError = reader.readError;
    block->error = reader.error;
    closeFile(reading);
    return block;
}

// Goes on with the rest of the open file on the reading thread, from the
// pending block's start.
void frameRestOfFile(ReadingState& reading) {
    GameBlock& block = *reading.pending;
    PgnReader& reader = reading.reader;
    const bool owns = reader.ownsStream;
    openPgnStreamAfter(reader, reader.stream, *block.file,
                       std::string_view(block.reader.buffer.get(), block.rawFilled));
    reader.ownsStream = owns;
    reader.startChecked = !block.startsFile;
    block.rawFilled = 0;
    block.raw = false;
    reading.sequential = true;
    reading.games = 0;
    reading.line = 1;
}

// Reads up to `wanted` more bytes of the stream into the block; false at
// the end of the stream or when it cannot be read further.
bool readMore(GameBlock& block, std::FILE* stream, std::size_t wanted) {
    char* room = pgnBufferRoom(block.reader, block.rawFilled, block.rawFilled + wanted);
    if (!room) {
        block.readError = true;
        block.error = ENOMEM;
        return false;
    }
    const std::size_t got = std::fread(room + block.rawFilled, 1, wanted, stream);
    block.rawFilled += got;
    if (got == wanted) return true;
    if (std::ferror(stream)) {
        block.readError = true;
        block.error = errno;
    }
    return false;
}

bool startsAsUtf16(const GameBlock& block) {
    const char* bytes = block.reader.buffer.get();
    return block.startsFile && block.rawFilled >= 2 &&
           ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
            (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

// The next raw block of the open file: its planned size and more, up to a
// line where a game begins; the bytes read past it go on to the next block.
// Null when the rest of the file is to be framed by the reading thread.
std::unique_ptr<GameBlock> nextRawBlock(BlockPipeline& pipeline) {
    ReadingState& reading = pipeline.reading;
    GameBlock& block = *reading.pending;
    std::FILE* stream = reading.reader.stream;
    const std::size_t planned = std::max<std::size_t>(pipeline.run.blockSize, 1);
    const std::size_t readSize = std::max(planned, READ_SIZE);
    block.raw = true;
    if (reading.more && block.rawFilled < readSize) {
        reading.more = readMore(block, stream, readSize - block.rawFilled);
    }
    if (startsAsUtf16(block)) {
        block.raw = false;  // refused: nothing of it is read
        block.endsFile = block.utf16 = true;
        closeFile(reading);
        return std::move(reading.pending);
    }
    std::size_t cut = std::string_view::npos;
    std::size_t from = planned;
    while (reading.more) {
        reading.more = readMore(block, stream, std::min(readSize, CUT_READ_SIZE));
        cut = findGameCut(std::string_view(block.reader.buffer.get(), block.rawFilled), from);
        if (cut != std::string_view::npos || !reading.more) break;
        if (block.rawFilled >= planned + CUT_REACH * readSize) {
            frameRestOfFile(reading);
            return nullptr;
        }
    }
    // A read that failed ends the file here, with the error told at its end.
    if (cut == std::string_view::npos || block.readError) {
        block.rawSize = block.rawFilled;
        block.endsFile = true;
        block.consumed = reading.offset + block.rawSize;
        closeFile(reading);
        return std::move(reading.pending);
    }
    // The next block begins with the line at the cut; this one frames a
    // copy of that line after its own bytes.
    std::unique_ptr<GameBlock> next = newBlock(pipeline, *block.file);
    const std::string_view rest(block.reader.buffer.get() + cut, block.rawFilled - cut);
    char* room = pgnBufferRoom(next->reader, 0, std::max(rest.size(), planned) + CUT_READ_SIZE);
    if (!room) throw std::bad_alloc();
    std::memcpy(room, rest.data(), rest.size());
    next->rawFilled = rest.size();
    block.rawSize = cut;
    block.rawFilled = cut + lineLength(rest, 0);
    block.cut = true;
    reading.offset += cut;
    block.consumed = reading.offset;
    std::unique_ptr<GameBlock> taken = std::move(reading.pending);
    reading.pending = std::move(next);
    return taken;
}

// The next block of the files, raw or framed; null when every file is read.
std::unique_ptr<GameBlock> nextBlock(BlockPipeline& pipeline) {
    ReadingState& reading = pipeline.reading;
    const std::vector<std::string>& files = pipeline.run.files;
    if (!reading.fileOpen) {
        if (reading.nextFile == files.size()) return nullptr;
        const std::string& file = files[reading.nextFile++];
        std::unique_ptr<GameBlock> block = newBlock(pipeline, file);
        block->startsFile = true;
        if (!openPgn(reading.reader, file)) {
            block->endsFile = block->readError = true;
            block->error = reading.reader.error;
            return block;
        }
        reading.fileOpen = true;
        reading.sequential = false;
        reading.offset = 0;
        reading.more = true;
        reading.pending = std::move(block);
    }
    if (!reading.sequential) {
        if (std::unique_ptr<GameBlock> block = nextRawBlock(pipeline)) return block;
    }
    return nextFramedBlock(pipeline);
}

// What a thread works with: its namer, and the game it frames into.
struct Worker {
    GameNamer& namer;
    PgnGame game;
};

// Reads the next block and names it on this thread, where its bytes are at
// hand. Called and left with the lock held, which it lets go meanwhile.
void readAndName(BlockPipeline& pipeline, Worker& worker, std::unique_lock<std::mutex>& lock) {
    pipeline.readingBusy = true;
    lock.unlock();
    std::unique_ptr<GameBlock> block;
    std::exception_ptr failure;
    try {
        block = nextBlock(pipeline);
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        if (pipeline.reading.fileOpen) closeFile(pipeline.reading);
        block = std::make_unique<GameBlock>();
        block->failure = failure;
    }
    lock.lock();
    pipeline.readingBusy = false;
    if (!block || failure) pipeline.readingDone = true;
    if (!block) {
        pipeline.changed.notify_all();
        return;
    }
    GameBlock* read = block.get();
    pipeline.inFlight.push_back(std::move(block));
    pipeline.changed.notify_all();  // the next block may be read
    lock.unlock();
    nameBlock(worker.namer, worker.game, *read);
    lock.lock();
    read->named = true;
    pipeline.changed.notify_all();
}

// Reads and names a block, when one may be read; false when none may.
bool doTask(BlockPipeline& pipeline, Worker& worker, std::unique_lock<std::mutex>& lock) {
    if (pipeline.readingBusy || pipeline.readingDone ||
        pipeline.inFlight.size() >= blocksInFlight(pipeline.run)) {
        return false;
    }
    readAndName(pipeline, worker, lock);
    return true;
}

void runWorker(BlockPipeline& pipeline, GameNamer& namer) {
    Worker worker{namer, {}};
    std::unique_lock<std::mutex> lock(pipeline.mutex);
    while (!pipeline.closing) {
        if (!doTask(pipeline, worker, lock)) pipeline.changed.wait(lock);
    }
}

// Ends the threads whichever way the run ends.
struct ThreadsJoiner {
    BlockPipeline& pipeline;
    ~ThreadsJoiner() {
        {
            std::lock_guard<std::mutex> lock(pipeline.mutex);
            pipeline.closing = true;
            pipeline.readingDone = true;
        }
        pipeline.changed.notify_all();
        for (std::thread& thread : pipeline.threads) thread.join();
        if (pipeline.reading.fileOpen) closeFile(pipeline.reading);
    }
};

// The writing side: the status, where the walk through the file of the
// oldest block stands, and the games and lines of the blocks written of
// that file, with the text after the last of them and its faults.
struct BlockWriter {
    RunWriter writer;
    int status = 0;
    bool lastWritten = false;
    std::uint64_t games = 0;
    std::int64_t fileLines = 0;
    int fileGames = 0;
    std::string carry;
    std::vector<PgnFault> carryFaults;
};

void moveFaults(std::vector<PgnFault>& faults, std::int64_t lines, int games) {
    for (PgnFault& fault : faults) {
        fault.line = pgnLineNumber(fault.line + lines);
        if (fault.game > 0) fault.game += games;
    }
}

// `text` with the numbers of its marks put in, counted on from `lines` and
// `games`.
std::string withNumbers(const std::string& text, const std::vector<NumberMark>& marks,
                        std::int64_t lines, int games) {
    std::string whole;
    whole.reserve(text.size() + 8 * marks.size());
    std::size_t from = 0;
    for (const NumberMark& mark : marks) {
        whole.append(text, from, mark.at - from);
        appendNumber(whole, mark.line ? pgnLineNumber(mark.value + lines) : mark.value + games,
                     false, nullptr);
        from = mark.at;
    }
    whole.append(text, from, std::string::npos);
    return whole;
}

// Writes a named block's output and messages in their place.
void writeBlock(BlockWriter& out, const NamingRun& run, GameBlock& block) {
    if (block.failure) std::rethrow_exception(block.failure);
    if (out.writer.writeFailed) return;  // the run ends as soon as a write fails
    const std::string& file = *block.file;
    if (block.startsFile) {
        out.lastWritten = selectsEveryGame(run.selection);
        out.fileLines = 0;
        out.fileGames = 0;
    }
    std::string text;
    std::string messages;
    // The text before the first game, framed with the block before, goes out
    // with that game, or with the file's end when the block has none.
    appendFaults(out.carryFaults, file, messages);
    const bool copies = copiesGames(run);
    if (block.gameCount > 0) {
        if (copies && out.lastWritten) text.append(out.carry).append(block.firstSkipped);
        out.lastWritten = block.lastWritten;
    }
    writeOutput(out.writer, text);
    if (block.result.outputMarks.empty()) {
        writeOutput(out.writer, block.result.output);
    } else {
        text = withNumbers(block.result.output, block.result.outputMarks, out.fileLines,
                           out.fileGames);
        writeOutput(out.writer, text);
    }
    if (block.endsFile && copies && out.lastWritten) {
        if (block.gameCount == 0) text.assign(out.carry);
        text.append(block.trailing);
        writeOutput(out.writer, text);
    }
    messages +=
        withNumbers(block.result.messages, block.result.messageMarks, out.fileLines, out.fileGames);
    if (block.endsFile) {
        moveFaults(block.trailingFaults, out.fileLines, out.fileGames);
        appendFaults(block.trailingFaults, file, messages);
        if (block.utf16) messages.append(utf16FileMessage(file));
        if (block.readError) messages += cannotReadMessage(file, block.error);
    }
    if (!block.result.clean || !messages.empty()) out.status = 1;
    writeMessages(out.writer, messages);
    moveFaults(block.carryFaults, out.fileLines, out.fileGames);
    out.carry = std::move(block.carryOut);
    out.carryFaults = std::move(block.carryFaults);
    out.fileLines += block.lines;
    out.fileGames += static_cast<int>(block.gameCount);
    out.games += block.result.games;
    if (out.writer.progress.enabled) {
        showProgress(out.writer.progress, out.games, block.consumed);
        if (block.endsFile) out.writer.progress.doneBytes += block.consumed;
    }
}

// Writes the blocks in input order as they are named; meanwhile this thread
// reads and names too. Ends when every file is read and written.
void writeBlocks(BlockPipeline& pipeline, BlockWriter& out) {
    Worker worker{*pipeline.namers[0], {}};
    std::unique_lock<std::mutex> lock(pipeline.mutex);
    for (;;) {
        if (!pipeline.inFlight.empty() && pipeline.inFlight.front()->named) {
            std::unique_ptr<GameBlock> block = std::move(pipeline.inFlight.front());
            pipeline.inFlight.pop_front();
            lock.unlock();
            writeBlock(out, pipeline.run, *block);
            lock.lock();
            if (out.writer.writeFailed) pipeline.readingDone = true;
            pipeline.spare.push_back(std::move(block));
            pipeline.changed.notify_all();
        } else if (pipeline.inFlight.empty() && pipeline.readingDone && !pipeline.readingBusy) {
            return;
        } else if (!doTask(pipeline, worker, lock)) {
            pipeline.changed.wait(lock);
        }
    }
}

}  // namespace

int nameOnThreads(const OpeningBook& book, NamingRun& run) {
    BlockPipeline pipeline{book, run, {}, {}, {}, {}, {}, {}, {}, false, false, false};
    for (int i = 0; i < run.threads; ++i) {
        pipeline.namers.push_back(std::make_unique<GameNamer>(GameNamer{book, run, {}, {}, {}}));
        startGameNamer(*pipeline.namers.back());
    }
    BlockWriter out;
    startRunWriter(out.writer, run);
    {
        ThreadsJoiner joiner{pipeline};
        std::string header =
            run.output == NamingOutput::TABLE ? "file\tgame\teco\tply\topening\n" : "";
        writeOutput(out.writer, header);
        for (int i = 1; i < run.threads; ++i) {
            pipeline.threads.emplace_back(runWorker, std::ref(pipeline),
                                          std::ref(*pipeline.namers[static_cast<std::size_t>(i)]));
        }
        writeBlocks(pipeline, out);
    }
    if (run.output == NamingOutput::STATISTICS && !out.writer.writeFailed) {
        OpeningTally tally;
        startTally(tally, book);
        for (const auto& namer : pipeline.namers) addTally(tally, namer->tally);
        std::string table = statisticsTable(tally, book);
        writeOutput(out.writer, table);
    }
    endRunWriter(out.writer);
    return out.writer.writeFailed ? 1 : out.status;
}
