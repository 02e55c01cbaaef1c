// The frame around each tool's own work: banner, program directory, command
// line, file names, the tool's settings step, opening the files, the work
// itself and the end of the run with its exit status.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "frame/io.h"

struct Startup;

// What a tool plugs into the frame. Every hook may be empty.
struct ToolHooks {
    // For a profile that readsConfiguration: finds and reads the settings,
    // before the files are opened.
    std::function<void(Frame&, const Startup&)> readConfiguration;
    std::function<void(Frame&)> work;
};

// The names that the start-up derives from the command line.
struct Startup {
    std::string programDirectory;  // ends with a separator
    std::string configFileName;    // the ".INI" argument, when configNamed
    bool configNamed = false;
    bool haveInput = false;
    std::string inputName;  // the input argument; after checkExtension, cut at its '.'
    std::string extension;  // the input's extension as typed, without the '.'
    std::string sourceDirectory;
    std::string baseName;
    std::string textFileName;
    std::string outputFileName;
};

// Position of the '.' that starts the extension of a path: the first '.'
// after the last directory separator, or npos.
std::size_t extensionDot(const std::string& path);

void findProgramDirectory(Frame& frame, Startup& startup, const char* argument0);
void readCommandLine(Frame& frame, Startup& startup, int argc, char** argv);
void checkExtension(Frame& frame, Startup& startup);
void splitInputName(Frame& frame, Startup& startup);
void openFiles(Frame& frame, Startup& startup);

// Runs the whole tool and gives the exit status; the pause at exit, when
// pauseFlag is set, has happened when it returns.
int runTool(Frame& frame, int argc, char** argv, const ToolHooks& hooks);
