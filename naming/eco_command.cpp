#include "naming/eco_command.h"

#include <cerrno>

const char ECO_USAGE[] =
    "usage: teseco BOOK.ECO                  check the opening file, print its summary\n"
    "       teseco -l BOOK.ECO               list every position of the opening file\n"
    "       teseco BOOK.ECO GAMES.pgn...     name the opening of every game: a table\n"
    "       teseco -t BOOK.ECO GAMES.pgn...  the games again, with ECO and Opening tags\n"
    "A game file named - is standard input.\n";

bool parseEcoCommand(const std::vector<std::string>& args, EcoCommand& command,
                     std::string& message) {
    command = EcoCommand{};
    message.clear();
    bool list = false, tags = false, optionsEnded = false;
    std::vector<std::string> names;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            names.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h") {
            return false;
        } else if (arg == "-l") {
            list = true;
        } else if (arg == "-t") {
            tags = true;
        } else {
            message = "unknown option \"" + arg + "\"";
            return false;
        }
    }
    if (args.empty()) return false;
    if (list && tags)
        message = "-l and -t do not go together";
    else if (names.empty())
        message = "no opening file given";
    else if (list && names.size() > 1)
        message = "-l takes no game files";
    else if (tags && names.size() == 1)
        message = "-t needs game files";
    if (!message.empty()) return false;
    command.book = names.front();
    command.games.assign(names.begin() + 1, names.end());
    if (list)
        command.mode = EcoMode::LIST;
    else if (tags)
        command.mode = EcoMode::TAGS;
    else if (!command.games.empty())
        command.mode = EcoMode::TABLE;
    return true;
}

bool openOpeningBook(const std::string& name, OpeningBook& book, std::string& message) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(name, bytes)) {
        message = "teseco: " + name + ": cannot read file\n";
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
