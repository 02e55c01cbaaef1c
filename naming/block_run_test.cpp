// Naming on several threads gives what one thread gives, byte for byte, on
// standard output and standard error, with the same status: every mode,
// at 2, 3 and 8 threads, with blocks so small that every game is a block of
// its own and block edges fall everywhere.
#include "naming/block_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "naming/naming_run.h"
#include "tests/support/pgn_support.h"

namespace {

using pgn_test::lichessBook;
using pgn_test::takeWritten;

struct Outcome {
    int status;
    std::string out;
    std::string err;
    bool operator==(const Outcome&) const = default;
};

Outcome run(NamingRun naming, int threads, std::size_t blockSize) {
    naming.threads = threads;
    naming.blockSize = blockSize;
    naming.out = std::tmpfile();
    naming.err = std::tmpfile();
    const int status = nameOpenings(lichessBook(), naming);
    return {status, takeWritten(naming.out), takeWritten(naming.err)};
}

// The runs of every mode over `files`.
std::vector<NamingRun> runsOver(const std::vector<std::string>& files) {
    std::vector<NamingRun> runs(6);
    runs[1].output = NamingOutput::TAGS;
    runs[2].output = NamingOutput::STATISTICS;
    runs[3].output = NamingOutput::GAMES;
    EXPECT_TRUE(parseEcoCodes("B,C00-C49", runs[3].selection.codes));
    runs[3].selection.byCodes = true;
    runs[4].output = NamingOutput::TAGS;
    runs[4].selection.byText = true;
    runs[4].selection.text = "defense";
    runs[5].output = NamingOutput::STATISTICS;
    runs[5].selection = runs[3].selection;
    for (NamingRun& naming : runs) naming.files = files;
    return runs;
}

void expectSameAtAnyThreads(const std::vector<std::string>& files,
                            const std::vector<std::size_t>& blockSizes) {
    for (const NamingRun& naming : runsOver(files)) {
        const Outcome one = run(naming, 1, 1);
        for (int threads : {2, 3, 8}) {
            for (std::size_t blockSize : blockSizes) {
                EXPECT_TRUE(one == run(naming, threads, blockSize))
                    << "output " << static_cast<int>(naming.output) << ", " << threads
                    << " threads, blocks of " << blockSize << " bytes, " << files.front();
            }
        }
    }
}

TEST(NameOnThreads, SameBytesAsOneThreadOnTheSample) {
    expectSameAtAnyThreads({TESSARA_SOURCE_DIR "/data/lichess-2013-01-5000.pgn"},
                           {1, 5000, 100000});
}

// Move errors, games without tags or result, text before the first game and
// after the last, CRLF, a Ctrl-Z byte, the reader's faults, a file that
// cannot be read among others, and every game file of the end-to-end cases.
TEST(NameOnThreads, SameBytesAsOneThreadOnOddFiles) {
    const std::filesystem::path folder = testing::TempDir() + "block_run_test";
    std::filesystem::create_directories(folder);
    const std::string odd = (folder / "odd.pgn").string();
    std::ofstream(odd, std::ios::binary)
        << "% before the first game\n; and a comment\n1. e4 c5 2. Nf3 *\n\n"
           "[Event \"a\"]\r\n[Result \"1-0\"]\r\n\r\n1. e4 e5 2. Ke3 1-0\r\n\r\n"
           "1. d4 d5 2. c4\n\n[Event \"b\"]\n[Result \"1/2\"]\n[WhiteElo \"1500\"]\n"
           "[BlackElo \"1600\"]\n\n1. e4 e6 { a comment } 2. d4 (2. d3) d5 1/2\n"
           "stray text\n[Event \"c\"]\n[FEN \"8/8/8/8/8/8/8/K1k5 w - - 0 1\"]\n\n1. Ka2 *\n"
           "[Event \"d\"]\n[Result \"0-1\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 \x1A a6 "
           "0-1\n\ntrailing\n";
    // The reader's faults: an incomplete tag pair, comments and a variation
    // left open at the next tags and at the end of the file, lone CR line
    // ends, and a UTF-16 file.
    const std::string faults = (folder / "faults.pgn").string();
    std::ofstream(faults, std::ios::binary)
        << "{ open before the first game\r[Event \"a\"]\r[White \"A]\r\r1. e4 { open\r"
           "[Event \"b\"]\r\r1. d4 (1. c4 d5\r[Round]\r[Event \"c\"]\r\r1. e4 e5 2. Ke2 *\r"
           "{ trailing and open\r";
    const std::string wide = (folder / "wide.pgn").string();
    std::ofstream(wide, std::ios::binary) << std::string("\xFF\xFE[\0E\0", 6);
    // Lines where a block might be cut but a game does not begin: tag
    // sections with blank lines in them, one that begins after a marker on
    // its line, a byte-order mark before a tag line, '[' lines in comments.
    const std::string cuts = (folder / "cuts.pgn").string();
    std::ofstream(cuts, std::ios::binary)
        << "[Event \"a\"]\n\n[Site \"s\"]\n\n1. e4 e5 1-0\n\n"
           "1. d4 d5 1-0 [Event \"b\"]\n\n[Site \"t\"]\n\n1. c4 *\n"
           "\xEF\xBB\xBF[Event \"c\"]\n\n[Site \"u\"]\n\n1. Nf3 { a\n[%clk 0:01]\n} 0-1\n\n"
           "[Event \"d\"]\n\n[Event \"e\"]\n\n1. e4 { open\n\n[Event \"f\"]\n\n1. d4 (1. c4\n"
           "[Event \"g\"]\n%[Site \"v\"]\n\n[Site \"w\"]\n1. e3 1/2\n";
    // More than a few blocks' worth without a line to cut at: games without
    // tags, and a game with a long comment before games with tags.
    const std::string tagless = (folder / "tagless.pgn").string();
    const std::string longGame = (folder / "long.pgn").string();
    {
        std::ofstream games(tagless, std::ios::binary);
        std::ofstream longOne(longGame, std::ios::binary);
        longOne << "[Event \"a\"]\n\n1. e4 {" << std::string(40000, 'x') << "} e5 *\n\n";
        for (int i = 0; i < 2000; ++i) {
            games << "1. e4 e5 2. Nf3 Nc6 " << (i % 3 == 0 ? "1-0" : "*") << "\n\n";
            if (i < 300) longOne << "[Event \"" << i << "\"]\n\n1. d4 Nf6 2. Bg5 *\n\n";
        }
    }
    expectSameAtAnyThreads({odd, (folder / "missing.pgn").string(), faults, wide, folder.string(),
                            cuts, tagless, longGame, odd},
                           {1, 64, 5000});

    std::vector<std::string> files;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(TESSARA_SOURCE_DIR "/tests/cases/teseco")) {
        if (entry.path().extension() == ".pgn") files.push_back(entry.path().string());
    }
    ASSERT_GT(files.size(), 10u);
    expectSameAtAnyThreads(files, {1, 200});
}

}  // namespace
