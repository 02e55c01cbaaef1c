#include "pgn/cross_run.h"

#include <string>
#include <string_view>

#include "pgn/cross_block.h"
#include "pgn/pgn_reader.h"
#include "pgn/tournament.h"

namespace {

constexpr const char* USAGE =
    "usage: tescross GAMES.pgn...\n"
    "Writes the cross table of every event in the games, as cross blocks for\n"
    "tesweb, on standard output; - reads standard input.\n";

// The tags a cross table reads, each the first of its name in the game.
GameTags gameTags(const PgnGame& game, std::string_view file) {
    GameTags tags;
    tags.file = file;
    tags.line = game.firstLine;
    tags.number = game.number;
    struct Wanted {
        std::string_view name;
        const std::string* GameTags::*field;
    };
    static constexpr Wanted WANTED[] = {
        {"Event", &GameTags::event},
        {"Site", &GameTags::site},
        {"Date", &GameTags::date},
        {"White", &GameTags::white},
        {"Black", &GameTags::black},
        {"Result", &GameTags::result},
        {"WhiteElo", &GameTags::whiteElo},
        {"BlackElo", &GameTags::blackElo},
        {"WhiteTitle", &GameTags::whiteTitle},
        {"BlackTitle", &GameTags::blackTitle},
        {"WhiteFed", &GameTags::whiteFed},
        {"BlackFed", &GameTags::blackFed},
    };
    for (const PgnTag& tag : game.tags) {
        for (const Wanted& wanted : WANTED) {
            if (tag.name == wanted.name) {
                if (!(tags.*wanted.field)) tags.*wanted.field = &tag.value;
                break;
            }
        }
    }
    return tags;
}

void cannotRead(CrossRun& run, const std::string& name) {
    std::fprintf(run.err, "tescross: %s: cannot read file\n", name.c_str());
    run.status = 1;
}

// The reader's faults of a game and the text before it.
void reportFaults(CrossRun& run, const PgnReader& reader, const PgnGame& game) {
    for (const PgnFault& fault : game.faults) {
        std::fprintf(run.err, "tescross: %s:%s\n", reader.name.c_str(),
                     pgnFaultMessage(fault).c_str());
        run.status = 1;
    }
}

}  // namespace

void readGames(CrossRun& run, PgnReader& reader) {
    PgnGame game;
    while (nextGame(reader, game)) {
        reportFaults(run, reader, game);
        if (game.tags.empty()) continue;
        GameTags tags = gameTags(game, reader.name);
        std::string message = addGame(run.tournaments, tags);
        if (message.empty()) continue;
        std::fprintf(run.err, "tescross: %s:%ld: game %d: %s\n", reader.name.c_str(), tags.line,
                     tags.number, message.c_str());
        run.status = 1;
    }
    reportFaults(run, reader, game);
    if (reader.utf16) {
        std::fprintf(run.err, "tescross: %s: %s\n", reader.name.c_str(), UTF16_FILE_MESSAGE);
        run.status = 1;
    }
    if (reader.readError) cannotRead(run, reader.name);
}

void writeBlocks(CrossRun& run) {
    std::string block;
    bool first = true;
    for (const Event& event : run.tournaments.events) {
        block.clear();
        if (!first) block += '\n';
        if (!writeCrossBlock(event, block)) {
            std::fprintf(run.err,
                         "tescross: event \"%s\": left out: its cross table of %zu players "
                         "would have lines longer than tesweb reads (%zu characters)\n",
                         event.name.c_str(), event.players.size(), LONGEST_BLOCK_LINE);
            run.status = 1;
            continue;
        }
        std::fwrite(block.data(), 1, block.size(), run.out);
        first = false;
    }
}

int runTescross(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    if (argc < 2) {
        std::fputs(USAGE, err);
        return 1;
    }
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.size() > 1 && argument[0] == '-') {
            if (argument != "-h") std::fprintf(err, "tescross: unknown option %s\n", argv[i]);
            std::fputs(USAGE, err);
            return 1;
        }
    }
    CrossRun run;
    run.out = out;
    run.err = err;
    PgnReader reader;
    for (int i = 1; i < argc; ++i) {
        if (!openPgn(reader, argv[i])) {
            cannotRead(run, argv[i]);
            continue;
        }
        readGames(run, reader);
        closePgn(reader);
    }
    writeBlocks(run);
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fputs("tescross: cannot write the output\n", err);
        return 1;
    }
    return run.status;
}
