// A transform run for the unit tests: the text is put into a temporary
// input file, the page is written to a temporary file and read back, also
// after a fatal stop has closed it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "transform/transform.h"

struct TransformRun {
    Frame frame;
    Settings settings;
    TransformState state{frame, settings};
    std::string console;
    int status = 0;
    std::string page;

    TransformRun() {
        frame.profile = &WEB_PROFILE;
        obtainLineBuffer(frame);
        frame.consoleCapture = &console;
    }

    // Transforms `text` and gives the page.
    const std::string& transform(const std::string& text) {
        frame.input = std::tmpfile();
        std::fwrite(text.data(), 1, text.size(), frame.input);
        std::rewind(frame.input);
        frame.inputAtEnd = false;
        char path[] = "/tmp/tesweb-page-XXXXXX";
        int descriptor = mkstemp(path);
        EXPECT_GE(descriptor, 0);
        close(descriptor);
        frame.output.stream = std::fopen(path, "w");
        try {
            transformText(state);
        } catch (const RunEnd& end) {
            status = end.status;
        }
        abandonFiles(frame);
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        page = bytes.str();
        std::remove(path);
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
