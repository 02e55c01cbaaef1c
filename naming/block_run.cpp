#include "naming/block_run.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "naming/game_namer.h"
#include "naming/run_writer.h"

namespace {

// A stretch of consecutive games of one file, as the reader framed them,
// with their bytes copied out of the reader's buffer.
struct GameBlock {
    const std::string* file = nullptr;
    std::string bytes;              // every game's skipped text and text, then `trailing`
    std::vector<PgnGame> games;     // the first `gameCount` are the block's
    std::vector<std::size_t> ends;  // per game: end of its skipped text, end of its text
    std::size_t gameCount = 0;
    bool startsFile = false;
    bool endsFile = false;
    std::string_view trailing;  // endsFile: the text after the file's last game
    // endsFile: the faults of the text after the last game, and why the file
    // could not be read (to its end)
    std::string readerMessages;
    std::uint64_t consumed = 0;  // of the file, up to the block's end (progress)

    // What naming gave, valid once `named`.
    NamingResult result;
    bool lastWritten = false;  // its last game went out
    std::exception_ptr failure;
    bool named = false;
};

void clearBlock(GameBlock& block, const std::string& file) {
    block.file = &file;
    block.bytes.clear();
    block.ends.clear();
    block.gameCount = 0;
    block.startsFile = block.endsFile = false;
    block.trailing = {};
    block.readerMessages.clear();
    block.result.output.clear();
    block.result.messages.clear();
    block.result.games = 0;
    block.result.clean = true;
    block.lastWritten = false;
    block.failure = nullptr;
    block.named = false;
}

// Takes the game the reader delivered into the block. The two swap places,
// so that the reader fills a game of an earlier block next, whose tags keep
// their room: no tag is copied.
void addGame(GameBlock& block, PgnGame& game) {
    block.bytes.append(game.skipped);
    block.ends.push_back(block.bytes.size());
    block.bytes.append(game.text);
    block.ends.push_back(block.bytes.size());
    if (block.gameCount == block.games.size()) block.games.emplace_back();
    std::swap(block.games[block.gameCount++], game);
}

// Points the games' views into the block's own bytes, now that they no
// longer move.
void sealBlock(GameBlock& block, std::string_view trailing) {
    std::size_t begin = block.bytes.size();
    block.bytes.append(trailing);
    block.trailing = std::string_view(block.bytes).substr(begin);
    const std::string_view bytes = block.bytes;
    begin = 0;
    for (std::size_t i = 0; i < block.gameCount; ++i) {
        const std::size_t skippedEnd = block.ends[2 * i];
        const std::size_t textEnd = block.ends[2 * i + 1];
        block.games[i].skipped = bytes.substr(begin, skippedEnd - begin);
        block.games[i].text = bytes.substr(skippedEnd, textEnd - skippedEnd);
        begin = textEnd;
    }
}

// Names the games of a block. The text before its first game is left to
// the writer, which knows whether the game before went out.
void nameBlock(GameNamer& namer, GameBlock& block) {
    try {
        FileWalk walk{*block.file, false};
        for (std::size_t i = 0; i < block.gameCount; ++i) {
            nameGame(namer, block.games[i], walk, block.result);
        }
        block.lastWritten = walk.lastWritten;
    } catch (...) {
        block.failure = std::current_exception();
    }
}

// The blocks between the reader and the writer, oldest first, and the
// threads that name them.
struct BlockPipeline {
    const OpeningBook& book;
    const NamingRun& run;
    std::mutex mutex;
    std::condition_variable workReady;  // a block waits, or the run ends
    std::condition_variable blockNamed;
    std::deque<std::unique_ptr<GameBlock>> inFlight;  // in input order
    std::deque<GameBlock*> waiting;                   // not taken by a thread yet
    std::vector<std::unique_ptr<GameBlock>> spare;
    std::vector<std::unique_ptr<GameNamer>> namers;  // [0] is the calling thread's
    std::vector<std::thread> threads;
    bool closing = false;
};

void runWorker(BlockPipeline& pipeline, GameNamer& namer) {
    std::unique_lock<std::mutex> lock(pipeline.mutex);
    while (true) {
        pipeline.workReady.wait(lock,
                                [&] { return pipeline.closing || !pipeline.waiting.empty(); });
        if (pipeline.closing) return;
        GameBlock* block = pipeline.waiting.front();
        pipeline.waiting.pop_front();
        lock.unlock();
        nameBlock(namer, *block);
        lock.lock();
        block->named = true;
        pipeline.blockNamed.notify_all();
    }
}

// Ends the threads whichever way the run ends.
struct ThreadsJoiner {
    BlockPipeline& pipeline;
    ~ThreadsJoiner() {
        {
            std::lock_guard<std::mutex> lock(pipeline.mutex);
            pipeline.closing = true;
        }
        pipeline.workReady.notify_all();
        for (std::thread& thread : pipeline.threads) thread.join();
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
        if (copies && out.lastWritten) text.append(block.games[0].skipped);
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

// Writes the oldest block once it is named; while it is not, this thread
// names waiting blocks itself.
void writeOldest(BlockPipeline& pipeline, BlockWriter& out) {
    std::unique_lock<std::mutex> lock(pipeline.mutex);
    GameBlock& oldest = *pipeline.inFlight.front();
    while (!oldest.named) {
        if (!pipeline.waiting.empty()) {
            GameBlock* block = pipeline.waiting.front();
            pipeline.waiting.pop_front();
            lock.unlock();
            nameBlock(*pipeline.namers[0], *block);
            lock.lock();
            block->named = true;
        } else {
            pipeline.blockNamed.wait(lock);
        }
    }
    std::unique_ptr<GameBlock> block = std::move(pipeline.inFlight.front());
    pipeline.inFlight.pop_front();
    lock.unlock();
    writeBlock(out, pipeline.run, *block);
    pipeline.spare.push_back(std::move(block));
}

std::size_t blocksInFlight(const NamingRun& run) {
    return static_cast<std::size_t>(run.threads) + 2;
}

// Hands a filled block to the threads, after writing the oldest ones when
// the most blocks allowed are in flight.
void submitBlock(BlockPipeline& pipeline, BlockWriter& out, std::unique_ptr<GameBlock> block) {
    while (pipeline.inFlight.size() >= blocksInFlight(pipeline.run)) writeOldest(pipeline, out);
    {
        std::lock_guard<std::mutex> lock(pipeline.mutex);
        pipeline.waiting.push_back(block.get());
        pipeline.inFlight.push_back(std::move(block));
    }
    pipeline.workReady.notify_one();
}

std::unique_ptr<GameBlock> newBlock(BlockPipeline& pipeline, const std::string& file) {
    std::unique_ptr<GameBlock> block;
    if (pipeline.spare.empty()) {
        block = std::make_unique<GameBlock>();
    } else {
        block = std::move(pipeline.spare.back());
        pipeline.spare.pop_back();
    }
    clearBlock(*block, file);
    return block;
}

// Reads one file into blocks and hands them on, until a write fails.
void readFile(BlockPipeline& pipeline, BlockWriter& out, PgnReader& reader,
              const std::string& file) {
    std::unique_ptr<GameBlock> block = newBlock(pipeline, file);
    block->startsFile = true;
    PgnGame game;
    while (!out.writer.writeFailed && nextGame(reader, game)) {
        addGame(*block, game);
        if (block->bytes.size() >= pipeline.run.blockSize) {
            sealBlock(*block, {});
            block->consumed = reader.consumed;
            submitBlock(pipeline, out, std::move(block));
            block = newBlock(pipeline, file);
        }
    }
    if (out.writer.writeFailed) return;
    sealBlock(*block, game.skipped);
    block->endsFile = true;
    block->consumed = reader.consumed;
    appendFaults(game.faults, file, block->readerMessages);
    if (reader.utf16) block->readerMessages.append(utf16FileMessage(file));
    if (reader.readError) block->readerMessages += cannotReadMessage(file, reader.error);
    submitBlock(pipeline, out, std::move(block));
}

}  // namespace

int nameOnThreads(const OpeningBook& book, NamingRun& run) {
    BlockPipeline pipeline{book, run, {}, {}, {}, {}, {}, {}, {}, {}, false};
    for (int i = 0; i < run.threads; ++i) {
        pipeline.namers.push_back(std::make_unique<GameNamer>(GameNamer{book, run, {}, {}, {}}));
        startGameNamer(*pipeline.namers.back());
    }
    BlockWriter out;
    startRunWriter(out.writer, run);
    {
        ThreadsJoiner joiner{pipeline};
        for (int i = 1; i < run.threads; ++i) {
            pipeline.threads.emplace_back(runWorker, std::ref(pipeline),
                                          std::ref(*pipeline.namers[static_cast<std::size_t>(i)]));
        }
        std::string header =
            run.output == NamingOutput::TABLE ? "file\tgame\teco\tply\topening\n" : "";
        writeOutput(out.writer, header);
        PgnReader reader;
        for (const std::string& file : run.files) {
            if (out.writer.writeFailed) break;
            if (!openPgn(reader, file)) {
                std::unique_ptr<GameBlock> block = newBlock(pipeline, file);
                block->startsFile = block->endsFile = true;
                block->readerMessages = cannotReadMessage(file, reader.error);
                submitBlock(pipeline, out, std::move(block));
                continue;
            }
            readFile(pipeline, out, reader, file);
            closePgn(reader);
        }
        while (!pipeline.inFlight.empty()) writeOldest(pipeline, out);
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
