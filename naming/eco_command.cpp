#include "naming/eco_command.h"

#include <algorithm>
#include <cerrno>
#include <thread>

#include "frame/ascii.h"
#include "frame/platform.h"

const char ECO_USAGE[] =
    "usage: teseco BOOK.ECO                  check the opening file, print its summary\n"
    "       teseco -l BOOK.ECO               list every position of the opening file\n"
    "       teseco BOOK.ECO GAMES.pgn...     name the opening of every game: a table\n"
    "       teseco -t BOOK.ECO GAMES.pgn...  the games again, with ECO and Opening tags\n"
    "       teseco -s BOOK.ECO GAMES.pgn...  how each opening scores: a table\n"
    "       teseco -e CODES BOOK.ECO GAMES.pgn...  games whose ECO code is in CODES\n"
    "       teseco -n TEXT BOOK.ECO GAMES.pgn...   games whose opening name holds TEXT\n"
    "A game file named - is standard input. CODES is a comma-separated list of\n"
    "codes (B20), prefixes (B2, B) and ranges (B20-B99). -e and -n go together\n"
    "and with -t or -s. -j N names on N threads (by default one per core).\n";

namespace {

// The options as given, before they are checked against each other.
struct EcoOptions {
    bool list = false;
    bool tags = false;
    bool statistics = false;
    std::vector<std::string> names;
};

// A number of threads for -j: decimal digits, 1 to MAX_THREADS.
bool readThreads(const std::string& text, int& threads) {
    if (text.empty() || text.size() > 3) return false;
    int number = 0;
    for (char c : text) {
        if (!isDigit(c)) return false;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > MAX_THREADS) return false;
    threads = number;
    return true;
}

// Reads one option, with its value when it takes one; false with `message`
// set for a fault, or empty for -h.
bool readOption(const std::vector<std::string>& args, std::size_t& at, EcoOptions& options,
                GameSelection& selection, int& threads, std::string& message) {
    const std::string& arg = args[at];
    if (arg == "-h") return false;
    if (arg == "-l") {
        options.list = true;
    } else if (arg == "-t") {
        options.tags = true;
    } else if (arg == "-s") {
        options.statistics = true;
    } else if (arg == "-e" || arg == "-n") {
        if (at + 1 == args.size()) {
            message = arg == "-e" ? "-e needs a list of ECO codes" : "-n needs a text";
            return false;
        }
        const std::string& value = args[++at];
        if (arg == "-n") {
            selection.byText = true;
            selection.text = value;
            for (char& c : selection.text) c = lowerAscii(c);
        } else if (parseEcoCodes(value, selection.codes)) {
            selection.byCodes = true;
        } else {
            message = "malformed list of ECO codes \"" + value + "\"";
            return false;
        }
    } else if (arg == "-j") {
        if (at + 1 == args.size() || !readThreads(args[at + 1], threads)) {
            message = "-j needs a number of threads from 1 to " + std::to_string(MAX_THREADS);
            return false;
        }
        ++at;
    } else {
        message = "unknown option \"" + arg + "\"";
        return false;
    }
    return true;
}

// The message for options that do not go together or lack files, or empty.
std::string checkOptions(const EcoOptions& options, const GameSelection& selection) {
    const bool selects = selection.byCodes || selection.byText;
    const char* selector = selection.byCodes ? "-e" : "-n";
    if (options.list && (options.tags || options.statistics || selects)) {
        return std::string("-l and ") +
               (options.tags         ? "-t"
                : options.statistics ? "-s"
                                     : selector) +
               " do not go together";
    }
    if (options.tags && options.statistics) return "-s and -t do not go together";
    if (options.names.empty()) return "no opening file given";
    if (options.list && options.names.size() > 1) return "-l takes no game files";
    if (options.names.size() == 1) {
        if (options.tags) return "-t needs game files";
        if (options.statistics) return "-s needs game files";
        if (selects) return std::string(selector) + " needs game files";
    }
    return {};
}

}  // namespace

bool parseEcoCommand(const std::vector<std::string>& args, EcoCommand& command,
                     std::string& message) {
    command = EcoCommand{};
    message.clear();
    EcoOptions options;
    bool optionsEnded = false;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string& arg = args[at];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.names.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (!readOption(args, at, options, command.selection, command.threads, message)) {
            return false;
        }
    }
    if (args.empty()) return false;
    message = checkOptions(options, command.selection);
    if (!message.empty()) return false;
    command.book = options.names.front();
    command.games.assign(options.names.begin() + 1, options.names.end());
    const bool selects = command.selection.byCodes || command.selection.byText;
    if (options.list)
        command.mode = EcoMode::LIST;
    else if (options.tags)
        command.mode = EcoMode::TAGS;
    else if (options.statistics)
        command.mode = EcoMode::STATISTICS;
    else if (selects)
        command.mode = EcoMode::GAMES;
    else if (!command.games.empty())
        command.mode = EcoMode::TABLE;
    return true;
}

int threadsToUse(const EcoCommand& command) {
    if (command.threads > 0) return command.threads;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, MAX_THREADS));
}

bool openOpeningBook(const std::string& name, OpeningBook& book, std::string& message) {
    std::vector<std::uint8_t> bytes;
    errno = 0;
    if (!readWholeFile(name, bytes)) {
        message = "teseco: " + name + ": cannot read file: " + fileErrorText(name, errno) + "\n";
        return false;
    }
    BookError error;
    if (!loadOpeningBook(std::move(bytes), book, error)) {
        message = "teseco: " + name + ": " + error.what + " at byte " +
                  std::to_string(error.offset) + "\n";
        return false;
    }
    return true;
}

int finishOutput(std::FILE* out, std::FILE* err, int status) {
    if (std::fflush(out) == 0 && !std::ferror(out)) return status;
    if (errno != EPIPE) std::fputs("teseco: cannot write standard output\n", err);
    return 1;
}
