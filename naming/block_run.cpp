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
// bytes from a line where a game begins; the thread that read it frames its
// games, while its bytes are at hand in that core's cache. A framed block
// holds copies of games that the reading thread framed one after the other,
// in a file where no line to cut at was found.
//
// The games of a block are numbered, and their lines counted, from the
// block's start; once the blocks before it are framed, its numbers are
// moved on by theirs (`fixed`; a raw block's as they are named) and the
// text before its first game, which the block before framed, is put in
// front of it. Then it is named.
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
    std::string_view trailing;  // endsFile: the text after the file's last game
    std::vector<PgnFault> trailingFaults;
    bool utf16 = false;
    bool readError = false;
    int error = 0;
    // cut: the text after the block's last game, which is the next block's
    // first game's, with its faults
    std::string carryOut;
    std::vector<PgnFault> carryFaults;
    std::string carried;                  // the text before the first game, from the block before
    std::string_view firstSkipped;        // the text before the first game, once fixed
    std::vector<PgnFault> carriedFaults;  // raw: its faults, from the block before
    std::int64_t lineBase = 0;            // raw: line ends before the block in its file
    int gameBase = 0;                     // raw: games before the block in its file
    std::string readerMessages;  // endsFile: faults of the text after the last game, and why
                                 // the file could not be read (to its end)
    std::uint64_t consumed = 0;  // of the file, up to the block's end (progress)

    bool framed = false;
    bool fixed = false;
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
    block.trailing = {};
    block.trailingFaults.clear();
    block.utf16 = block.readError = false;
    block.error = 0;
    block.carryOut.clear();
    block.carryFaults.clear();
    block.carried.clear();
    block.firstSkipped = {};
    block.carriedFaults.clear();
    block.lineBase = 0;
    block.gameBase = 0;
    block.readerMessages.clear();
    block.consumed = 0;
    block.framed = block.fixed = block.named = false;
    block.result.output.clear();
    block.result.messages.clear();
    block.result.games = 0;
    block.result.clean = true;
    block.lastWritten = false;
    block.failure = nullptr;
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

// Frames the games of a raw block, right after it was read, to count its
// games and lines; they are framed again, one at a time, as they are named
// (a game framed is at hand in the cache for its naming; a block of framed
// games is not). When the block is cut, its bytes are followed by a copy of
// the next block's first line, where a game must begin: that game gives the
// text before it and its faults to the next block, and is not the block's.
void frameBlock(GameBlock& block, PgnGame& game) {
    PgnReader& reader = block.reader;
    openPgnBuffer(reader, *block.file, block.rawFilled, block.startsFile);
    const char* const next = reader.buffer.get() + block.rawSize;
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
            return;
        }
        if (block.gameCount++ == 0) block.firstSkipped = game.skipped;
    }
    if (block.cut) {
        throw std::logic_error(*block.file + ": no game was framed at byte " +
                               std::to_string(block.consumed));
    }
    block.trailing = game.skipped;
    block.trailingFaults = std::move(game.faults);
}

// Where the numbering of the blocks of one file stands: the line ends and
// games before the next block to fix, and the text that block's first game
// has before it.
struct BlockChain {
    std::int64_t lines = 0;
    int games = 0;
    std::string carry;
    std::vector<PgnFault> carryFaults;
};

// A line number as the games and moves give it: `long`, which Windows
// holds in 32 bits; the lines of a file beyond show as the largest number.
long lineNumber(std::int64_t line) {
    return static_cast<long>(std::min<std::int64_t>(line, std::numeric_limits<long>::max()));
}

void moveFaults(std::vector<PgnFault>& faults, std::int64_t lines, int games) {
    for (PgnFault& fault : faults) {
        fault.line = lineNumber(fault.line + lines);
        if (fault.game > 0) fault.game += games;
    }
}

void moveGame(PgnGame& game, std::int64_t lines, int games) {
    game.number += games;
    game.firstLine = lineNumber(game.firstLine + lines);
    game.movetextLine = lineNumber(game.movetextLine + lines);
    moveFaults(game.faults, lines, games);
}

// Moves a block's numbers on by those of the blocks before it (a raw
// block's as its games are named), puts the text before its first game in
// front, and words the messages about the file's end.
void fixBlock(BlockChain& chain, GameBlock& block) {
    block.fixed = true;
    if (block.failure) return;
    if (block.startsFile) chain = {};
    block.lineBase = chain.lines;
    block.gameBase = chain.games;
    if (!block.raw) {
        for (std::size_t i = 0; i < block.gameCount; ++i) {
            moveGame(block.games[i], chain.lines, chain.games);
        }
        if (block.gameCount > 0) block.firstSkipped = block.games[0].skipped;
    }
    moveFaults(block.trailingFaults, chain.lines, chain.games);
    if (!chain.carry.empty() || !chain.carryFaults.empty()) {
        std::vector<PgnFault>& faults = block.gameCount == 0 ? block.trailingFaults
                                        : block.raw          ? block.carriedFaults
                                                             : block.games[0].faults;
        faults.insert(faults.begin(), chain.carryFaults.begin(), chain.carryFaults.end());
        block.carried = std::move(chain.carry);
        std::string_view& before = block.gameCount > 0 ? block.firstSkipped : block.trailing;
        block.carried.append(before);
        before = block.carried;
        if (!block.raw && block.gameCount > 0) block.games[0].skipped = block.carried;
    }
    moveFaults(block.carryFaults, chain.lines, chain.games);
    chain.lines += block.lines;
    chain.games += static_cast<int>(block.gameCount);
    chain.carry = std::move(block.carryOut);
    chain.carryFaults = std::move(block.carryFaults);
    if (block.endsFile) {
        const std::string& file = *block.file;
        appendFaults(block.trailingFaults, file, block.readerMessages);
        if (block.utf16) block.readerMessages.append(utf16FileMessage(file));
        if (block.readError) block.readerMessages += cannotReadMessage(file, block.error);
    }
}

// Names the games of a block, a raw block's as it frames them again. The
// text before its first game is left to the writer, which knows whether
// the game before went out.
void nameBlock(GameNamer& namer, PgnGame& game, GameBlock& block) {
    if (block.failure) return;
    try {
        FileWalk walk{*block.file, false};
        if (!block.raw) {
            for (std::size_t i = 0; i < block.gameCount; ++i) {
                nameGame(namer, block.games[i], walk, block.result);
            }
        } else {
            PgnReader& reader = block.reader;
            openPgnBuffer(reader, *block.file, block.rawFilled, block.startsFile);
            for (std::size_t i = 0; i < block.gameCount; ++i) {
                if (!nextGame(reader, game)) throw std::logic_error("a block's game went missing");
                moveGame(game, block.lineBase, block.gameBase);
                if (i == 0) {
                    game.faults.insert(game.faults.begin(), block.carriedFaults.begin(),
                                       block.carriedFaults.end());
                    game.skipped = block.firstSkipped;
                }
                nameGame(namer, game, walk, block.result);
            }
        }
        block.lastWritten = walk.lastWritten;
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
// threads that read, frame and name them.
struct BlockPipeline {
    const OpeningBook& book;
    const NamingRun& run;
    std::mutex mutex;
    std::condition_variable changed;  // a task waits, a block is named, or the run ends
    std::deque<std::unique_ptr<GameBlock>> inFlight;  // in input order
    std::size_t unfixed = 0;                          // in inFlight, the first not fixed
    BlockChain chain;
    std::deque<GameBlock*> toName;  // fixed blocks no thread names yet
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

// Fixes the blocks whose blocks before are all framed and hands them to
// naming. With the lock held.
void fixFramedBlocks(BlockPipeline& pipeline) {
    while (pipeline.unfixed < pipeline.inFlight.size() &&
           pipeline.inFlight[pipeline.unfixed]->framed) {
        GameBlock& block = *pipeline.inFlight[pipeline.unfixed++];
        fixBlock(pipeline.chain, block);
        if (block.failure) {
            block.named = true;
        } else {
            pipeline.toName.push_back(&block);
        }
    }
    pipeline.changed.notify_all();
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
    if (cut == std::string_view::npos) {
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

// Names a fixed block that waits, the first that this thread framed if
// any. With the lock held, which it lets go while naming.
void nameWaitingBlock(BlockPipeline& pipeline, Worker& worker, std::unique_lock<std::mutex>& lock,
                      const GameBlock* framed) {
    auto taken = pipeline.toName.begin();
    if (framed) {
        auto own = std::find(pipeline.toName.begin(), pipeline.toName.end(), framed);
        if (own != pipeline.toName.end()) taken = own;
    }
    GameBlock* block = *taken;
    pipeline.toName.erase(taken);
    lock.unlock();
    nameBlock(worker.namer, worker.game, *block);
    lock.lock();
    block->named = true;
    pipeline.changed.notify_all();
}

// Reads the next block and frames it on this thread, where its bytes are
// at hand. With the lock held, which it lets go meanwhile; gives the block
// to name next (the one just framed), or null.
const GameBlock* readAndFrame(BlockPipeline& pipeline, Worker& worker,
                              std::unique_lock<std::mutex>& lock) {
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
    if (!block) {
        pipeline.readingDone = true;
        pipeline.changed.notify_all();
        return nullptr;
    }
    if (failure) pipeline.readingDone = true;
    GameBlock* read = block.get();
    pipeline.inFlight.push_back(std::move(block));
    if (read->raw && !read->failure) {
        lock.unlock();
        try {
            frameBlock(*read, worker.game);
        } catch (...) {
            read->failure = std::current_exception();
        }
        lock.lock();
    }
    read->framed = true;
    fixFramedBlocks(pipeline);
    return read;
}

// Does one task, naming first, then reading; false when none is there.
// Called and left with the lock held.
bool doTask(BlockPipeline& pipeline, Worker& worker, std::unique_lock<std::mutex>& lock) {
    if (!pipeline.toName.empty()) {
        nameWaitingBlock(pipeline, worker, lock, nullptr);
        return true;
    }
    if (!pipeline.readingBusy && !pipeline.readingDone &&
        pipeline.inFlight.size() < blocksInFlight(pipeline.run)) {
        const GameBlock* framed = readAndFrame(pipeline, worker, lock);
        if (framed && !pipeline.toName.empty()) nameWaitingBlock(pipeline, worker, lock, framed);
        return true;
    }
    return false;
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

// The writing side: the status and where the walk through the file of the
// oldest block stands.
struct BlockWriter {
    RunWriter writer;
    int status = 0;
    bool lastWritten = false;
    std::uint64_t games = 0;
};

// Writes a named block's output and messages in their place.
void writeBlock(BlockWriter& out, const NamingRun& run, GameBlock& block) {
    if (block.failure) std::rethrow_exception(block.failure);
    if (out.writer.writeFailed) return;  // the run ends as soon as a write fails
    std::string text;
    const bool copies = copiesGames(run);
    if (block.startsFile) out.lastWritten = selectsEveryGame(run.selection);
    if (block.gameCount > 0) {
        if (copies && out.lastWritten) text.append(block.firstSkipped);
        out.lastWritten = block.lastWritten;
    }
    writeOutput(out.writer, text);
    writeOutput(out.writer, block.result.output);
    if (block.endsFile && copies && out.lastWritten) {
        text.assign(block.trailing);
        writeOutput(out.writer, text);
    }
    if (!block.result.clean || !block.readerMessages.empty()) out.status = 1;
    writeMessages(out.writer, block.result.messages);
    writeMessages(out.writer, block.readerMessages);
    out.games += block.result.games;
    if (out.writer.progress.enabled) {
        showProgress(out.writer.progress, out.games, block.consumed);
        if (block.endsFile) out.writer.progress.doneBytes += block.consumed;
    }
}

// Writes the blocks in input order as they are named; meanwhile this thread
// reads, frames and names too. Ends when every file is read and written.
void writeBlocks(BlockPipeline& pipeline, BlockWriter& out) {
    Worker worker{*pipeline.namers[0], {}};
    std::unique_lock<std::mutex> lock(pipeline.mutex);
    for (;;) {
        if (!pipeline.inFlight.empty() && pipeline.inFlight.front()->named) {
            std::unique_ptr<GameBlock> block = std::move(pipeline.inFlight.front());
            pipeline.inFlight.pop_front();
            --pipeline.unfixed;
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
    BlockPipeline pipeline{book, run, {}, {}, {}, 0, {}, {}, {}, {}, {}, {}, false, false, false};
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
