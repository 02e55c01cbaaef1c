#include "naming/naming_run.h"

#include "naming/block_run.h"
#include "naming/game_namer.h"
#include "naming/run_writer.h"

namespace {

constexpr std::size_t OUTPUT_FLUSH_SIZE = std::size_t{1} << 18;

// Names every game of one open file on this thread; false when a game had
// a move error or the file could not be read to its end.
bool nameFile(GameNamer& namer, RunWriter& writer, PgnReader& reader, const std::string& file,
              NamingResult& result) {
    result.clean = true;
    FileWalk walk{file, selectsEveryGame(namer.run.selection)};
    PgnGame game;
    while (nextGame(reader, game)) {
        nameGame(namer, game, walk, result);
        writeMessages(writer, result.messages);
        if (result.output.size() >= OUTPUT_FLUSH_SIZE && !writeOutput(writer, result.output)) {
            return false;
        }
        if ((result.games & 1023) == 0 && writer.progress.enabled) {
            showProgress(writer.progress, result.games, reader.consumed);
        }
    }
    if (copiesGames(namer.run) && walk.lastWritten) result.output.append(game.skipped);
    result.clean &= appendFaults(game.faults, file, result.messages);
    if (reader.utf16) {
        result.messages.append(utf16FileMessage(file));
        result.clean = false;
    }
    writeMessages(writer, result.messages);
    writer.progress.doneBytes += reader.consumed;
    if (reader.readError) {
        sayCannotRead(writer, file, reader.error);
        return false;
    }
    return result.clean;
}

// The run on this thread alone, file after file.
int nameOnOneThread(const OpeningBook& book, NamingRun& run) {
    GameNamer namer{book, run, {}, {}, {}};
    startGameNamer(namer);
    RunWriter writer;
    startRunWriter(writer, run);
    NamingResult result;
    if (run.output == NamingOutput::TABLE) result.output = "file\tgame\teco\tply\topening\n";
    int status = 0;
    PgnReader reader;
    for (const std::string& file : run.files) {
        if (!openPgn(reader, file)) {
            sayCannotRead(writer, file, reader.error);
            status = 1;
            continue;
        }
        if (!nameFile(namer, writer, reader, file, result)) status = 1;
        closePgn(reader);
        if (!writeOutput(writer, result.output)) break;
    }
    if (run.output == NamingOutput::STATISTICS && !writer.writeFailed) {
        result.output = statisticsTable(namer.tally, book);
    }
    writeOutput(writer, result.output);
    endRunWriter(writer);
    return writer.writeFailed ? 1 : status;
}

}  // namespace

int nameOpenings(const OpeningBook& book, NamingRun& run) {
    return run.threads > 1 ? nameOnThreads(book, run) : nameOnOneThread(book, run);
}
