// tesweb's transform in a captured run, for the unit tests, the fuzz
// targets and the benchmark: one text of cross blocks into a page, with the
// page kept also after a fatal stop has closed it.
#pragma once

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/captured_run.h"
#include "tests/support/file_text.h"
#include "tests/support/scratch_folder.h"
#include "transform/transform.h"

// Transforms the run's input into its output and gives the run's exit
// status. A fatal stop closes both files itself, as in a real run.
inline int transformInput(CapturedRun& run, const Settings& settings) {
    TransformState state{run.frame, settings};
    return run.run([&] { transformText(state); }) ? 0 : run.status;
}

// A transform of texts given as strings; the page is written to a file of
// its own folder and read back.
struct TransformRun : CapturedRun {
    Settings settings;
    TransformState state{frame, settings};
    std::string page;
    ScratchFolder folder;

    TransformRun() : CapturedRun(WEB_PROFILE) {}

    // Transforms `text` and gives the page.
    const std::string& transform(const std::string& text) {
        input(text);
        std::string path = folder / "page.htm";
        frame.output.stream = std::fopen(path.c_str(), "w");
        run([&] { transformText(state); });
        abandonFiles(frame);
        page = fileText(path);
        return page;
    }

    // The page's lines that begin with `start`, each with its line end.
    std::vector<std::string> linesStartingWith(const std::string& start) const {
        std::vector<std::string> lines;
        std::istringstream in(page);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind(start, 0) == 0) lines.push_back(line + "\n");
        }
        return lines;
    }

    // The player rows of the page: rows that are neither event nor header.
    std::vector<std::string> playerRows() const {
        std::vector<std::string> rows;
        for (const std::string& row : linesStartingWith("<TR>")) {
            if (row.rfind("<TR><TD COLSPAN=", 0) != 0) rows.push_back(row);
        }
        return rows;
    }
};

constexpr const char* PAGE_HEAD =
    "<HTML>\n<HEAD>\n<TITLE>Cross</TITLE>\n<LINK REL='stylesheet' HREF=''>\n</HEAD>\n<BODY>\n";
constexpr const char* TABLE_END = "</TABLE></DIV><BR>\n";
constexpr const char* PAGE_END = "</BODY></HTML>\n";
