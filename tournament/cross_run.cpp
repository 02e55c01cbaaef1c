#include "tournament/cross_run.h"

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>

#include "frame/platform.h"
#include "pgn/pgn_reader.h"
#include "tournament/cross_block.h"
#include "tournament/event_rounds.h"
#include "tournament/tournament.h"
#include "tournament/trf_reader.h"

namespace {

constexpr const char* USAGE =
    "usage: tescross [-s | -g] [-b LIST] FILE...\n"
    "Writes the cross table of every event in PGN games and TRF files, as\n"
    "cross blocks for tesweb, on standard output; - reads standard input.\n"
    "  -s       every event as a Swiss table\n"
    "  -g       every event as an all-play-all grid\n"
    "           (neither: a grid when there are at most rounds + 1 players)\n"
    "  -b LIST  the tie-breaks, e.g. BH/C1,BH,SB (BH SB PS ARO with /C1 /C2,\n"
    "           BH SB with /M1 /M2, TPR DE WIN WON BPG BWG KS)\n";

constexpr const char* SWISS_DEFAULT = "BH/C1,BH,SB";

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
        {"Round", &GameTags::round},
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

// "cannot read file" with the reason in the system's words; `error` is the
// errno value of the failed open or read (0: none known).
void cannotRead(CrossRun& run, const std::string& name, int error) {
    std::string reason = fileErrorText(name == "-" ? std::string() : name, error);
    std::fprintf(run.err, "tescross: %s: cannot read file: %s\n", name.c_str(), reason.c_str());
    run.status = 1;
}

void message(CrossRun& run, const std::string& text) {
    std::fprintf(run.err, "tescross: %s\n", text.c_str());
    run.status = 1;
}

// The reader's faults of a game and the text before it.
void reportFaults(CrossRun& run, const PgnReader& reader, const PgnGame& game) {
    for (const PgnFault& fault : game.faults) {
        message(run, reader.name + ":" + pgnFaultMessage(fault));
    }
}

std::string eventMessage(const Event& event, const std::string& what) {
    return "event \"" + shortened(event.name) + "\": " + what;
}

// Reads what is left of a stream after `text`, which holds its start.
bool readRest(std::FILE* stream, std::string& text) {
    char chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0;) {
        text.append(chunk, got);
    }
    return !std::ferror(stream);
}

// Reads the start of a stream until it tells a TRF file from a PGN file.
// A start of nothing but blanks and line ends that fills the most it may
// hold is a PGN file's: no TRF file begins so.
bool readStart(std::FILE* stream, std::string& start) {
    constexpr std::size_t MAX_BLANK_START = std::size_t{1} << 20;
    char chunk[4096];
    while (!trfDecidable(start) && start.size() < MAX_BLANK_START) {
        std::size_t got = std::fread(chunk, 1, sizeof chunk, stream);
        if (got == 0) break;
        start.append(chunk, got);
    }
    return !std::ferror(stream);
}

// A PGN file whose start has been read: the reader begins with that start
// and goes on with the stream, so a pipe is read once and held a game at a
// time.
void readPgnStream(CrossRun& run, PgnReader& reader, std::FILE* stream, const std::string& name,
                   const std::string& start) {
    openPgnStreamAfter(reader, stream, name, start);
    readGames(run, reader);
    closePgn(reader);
}

void readFile(CrossRun& run, PgnReader& reader, const std::string& name) {
    std::FILE* stream = nullptr;
    errno = 0;
    if (name == "-") {
        setBinaryMode(stdin);
        stream = stdin;
    } else if (!isDirectory(name)) {
        stream = std::fopen(name.c_str(), "rb");
    }
    if (!stream) {
        cannotRead(run, name, errno);
        return;
    }
    std::string start;
    if (!readStart(stream, start)) {
        cannotRead(run, name, errno);
    } else if (looksLikeTrf(start)) {
        if (readRest(stream, start)) {
            readTrfEvent(run, name, start);
        } else {
            cannotRead(run, name, errno);
        }
    } else {
        readPgnStream(run, reader, stream, name, start);
    }
    if (stream != stdin) std::fclose(stream);
}

// Which layout an event gets; false when it is left out (with a message).
// Left to choose, a PGN event whose round numbers give a player two games
// in one round has no rounds a Swiss table could show: it gets a grid.
bool chooseGrid(CrossRun& run, const Event& event, bool& grid) {
    bool roundsUnknown = !event.fromTrf && event.roundsUnknown;
    if (run.layout == Layout::SWISS && roundsUnknown) {
        message(run, eventMessage(event,
                                  "left out: a Swiss table needs the round of every game, "
                                  "and a game has no round number"));
        return false;
    }
    grid = run.layout == Layout::GRID ||
           (run.layout == Layout::AUTO &&
            (roundsUnknown || event.players.size() <= std::size_t{event.rounds} + 1));
    if (!grid && run.layout == Layout::AUTO && !event.fromTrf &&
        event.rounds <= MOST_TABLE_ROUNDS) {
        std::vector<SecondGame> secondGames;
        swissRounds(event, secondGames);
        grid = !secondGames.empty();
    }
    return true;
}

std::vector<TieBreak> tieBreaksFor(const CrossRun& run, bool grid) {
    if (run.tieBreaksGiven) return run.tieBreaks;
    std::vector<TieBreak> list;
    std::string unknown;
    if (grid) {
        // A round robin keeps its columns: Sonneborn-Berger, then the wins unseen.
        parseTieBreaks("SB,WIN", list, unknown);
        list[1].shown = false;
    } else {
        parseTieBreaks(SWISS_DEFAULT, list, unknown);
    }
    return list;
}

void reportSecondGames(CrossRun& run, const Event& event, const std::vector<SecondGame>& games) {
    for (const SecondGame& second : games) {
        const CountedGame& game = event.games[second.game];
        const GameOrigin& origin = event.origins[second.game];
        message(run, run.tournaments.files[origin.file] + ":" + std::to_string(origin.line) +
                         ": game " + std::to_string(origin.number) + ": left out: \"" +
                         shortened(*event.players[second.player].name) +
                         "\" already has a game in round " + std::to_string(game.round));
    }
}

// Appends the block of one event; false, with a message, when it is left out.
bool writeEvent(CrossRun& run, const Event& event, std::string& block) {
    bool grid = false;
    if (!chooseGrid(run, event, grid)) return false;
    std::string longLine;
    bool written = false;
    if (grid && !event.fromTrf && !run.tieBreaksGiven) {
        written = writeCrossBlock(event, block, &longLine);
    } else if (grid) {
        TieBreakEvent rounds = event.fromTrf ? trfRounds(event, true) : gridRounds(event);
        written =
            writeGridBlock(event, rankByList(rounds, tieBreaksFor(run, true)), block, &longLine);
    } else if (event.rounds > MOST_TABLE_ROUNDS) {
        longLine = "the column headings";  // more rounds than a line can hold
    } else {
        std::vector<SecondGame> secondGames;
        TieBreakEvent rounds =
            event.fromTrf ? trfRounds(event, false) : swissRounds(event, secondGames);
        reportSecondGames(run, event, secondGames);
        written = writeSwissBlock(event, rankByList(rounds, tieBreaksFor(run, false)),
                                  rounds.rounds, rounds.roundCount, block, &longLine);
    }
    if (!written) {
        message(run, eventMessage(event, "left out: " + longLine + " of its cross table of " +
                                             std::to_string(event.players.size()) +
                                             " players would be longer than the " +
                                             std::to_string(LONGEST_BLOCK_LINE) +
                                             " characters that tesweb reads"));
    }
    return written;
}

void showUsage(std::FILE* err, const char* fault, std::string_view what) {
    if (fault)
        std::fprintf(err, "tescross: %s%.*s\n", fault, static_cast<int>(what.size()), what.data());
    std::fputs(USAGE, err);
}

// Reads the options into `run` and the file names into `files`; false
// after the usage text.
bool readCommandLine(CrossRun& run, int argc, const char* const* argv,
                     std::vector<std::string>& files) {
    bool swiss = false;
    bool grid = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.size() < 2 || argument[0] != '-') {
            files.emplace_back(argument);
        } else if (argument == "-s") {
            swiss = true;
        } else if (argument == "-g") {
            grid = true;
        } else if (argument == "-b") {
            if (i + 1 == argc) {
                showUsage(run.err, "-b needs a list of tie-breaks", "");
                return false;
            }
            std::string unknown;
            if (!parseTieBreaks(argv[++i], run.tieBreaks, unknown)) {
                showUsage(run.err, "unknown tie-break ", "\"" + unknown + "\"");
                return false;
            }
            run.tieBreaksGiven = true;
        } else {
            showUsage(run.err, argument == "-h" ? nullptr : "unknown option ", argument);
            return false;
        }
    }
    if (swiss && grid) {
        showUsage(run.err, "-s and -g exclude each other", "");
        return false;
    }
    if (files.empty()) {
        showUsage(run.err, nullptr, "");
        return false;
    }
    run.layout = swiss ? Layout::SWISS : grid ? Layout::GRID : Layout::AUTO;
    return true;
}

}  // namespace

void readGames(CrossRun& run, PgnReader& reader) {
    auto fileIndex = static_cast<std::uint32_t>(run.tournaments.files.size());
    run.tournaments.files.push_back(reader.name);
    PgnGame game;
    while (nextGame(reader, game)) {
        reportFaults(run, reader, game);
        if (game.tags.empty()) continue;
        GameTags tags = gameTags(game, reader.name);
        tags.fileIndex = fileIndex;
        std::string text = addGame(run.tournaments, tags);
        if (text.empty()) continue;
        message(run, reader.name + ":" + std::to_string(tags.line) + ": game " +
                         std::to_string(tags.number) + ": " + text);
    }
    reportFaults(run, reader, game);
    if (reader.utf16) message(run, reader.name + ": " + UTF16_FILE_MESSAGE);
    if (reader.readError) cannotRead(run, reader.name, reader.error);
}

void readTrfEvent(CrossRun& run, const std::string& name, std::string_view text) {
    Event event;
    std::vector<std::string> messages;
    bool kept = readTrf(text, event, messages);
    for (const std::string& text : messages) message(run, name + ":" + text);
    if (kept && event.players.empty()) {
        message(run, name + ": event left out: no player records (001)");
        kept = false;
    }
    if (!kept) return;
    Tournaments& tournaments = run.tournaments;
    tournaments.events.push_back(std::move(event));
    tournaments.lastEvent = SIZE_MAX;  // a PGN game never joins a TRF event
}

void writeBlocks(CrossRun& run) {
    std::string block;
    bool first = true;
    for (const Event& event : run.tournaments.events) {
        block.clear();
        if (!first) block += '\n';
        if (!writeEvent(run, event, block)) continue;
        if (std::fwrite(block.data(), 1, block.size(), run.out) != block.size()) return;
        first = false;
    }
}

int runTescross(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    CrossRun run;
    run.out = out;
    run.err = err;
    std::vector<std::string> files;
    if (!readCommandLine(run, argc, argv, files)) return 1;
    PgnReader reader;
    for (const std::string& file : files) readFile(run, reader, file);
    writeBlocks(run);
    if (std::fflush(out) != 0 || std::ferror(out)) {
        // A reader that has gone (a closed pipe) ends the run quietly.
        if (errno != EPIPE) std::fputs("tescross: cannot write the output\n", err);
        return 1;
    }
    return run.status;
}
