#include "frame/startup.h"

#include <exception>
#include <new>

#include "frame/platform.h"
#include "frame/text_file.h"

namespace {

std::size_t lastSeparator(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isPathSeparator(path[i - 1])) return i - 1;
    }
    return std::string::npos;
}

bool hasSeparator(const std::string& path) {
    return lastSeparator(path) != std::string::npos;
}

std::string upperText(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}

}  // namespace

std::size_t extensionDot(const std::string& path) {
    std::size_t separator = lastSeparator(path);
    std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    return path.find('.', nameStart);
}

void findProgramDirectory(Frame& frame, Startup& startup, const char* argument0) {
    std::string directory = argument0 ? argument0 : "";
    if (!hasSeparator(directory)) directory = modulePath();
    if (!hasSeparator(directory)) {
        std::optional<std::string> current = currentDirectory();
        if (!current) fatalError(frame, "Working DIR too long");
        directory = *current;
        if (directory.empty() || !isPathSeparator(directory.back())) {
            directory += pathSeparator();
        }
    }
    std::size_t separator = lastSeparator(directory);
    if (separator == std::string::npos) showUsage(frame);
    startup.programDirectory = directory.substr(0, separator + 1);
}

void readCommandLine(Frame& frame, Startup& startup, int argc, char** argv) {
    if (argc < 2) showUsage(frame);
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (frame.profile->takesSwitches && !argument.empty() && argument[0] == '-') {
            if (argument.size() > 1 && argument[1] == 'x') frame.pauseFlag = 0;
            continue;
        }
        std::size_t dot = extensionDot(argument);
        if (dot == std::string::npos) {
            if (!frame.profile->bareNameIsInput) continue;
            startup.inputName = argument + ".TXT";
            startup.extension = "TXT";
            startup.haveInput = true;
            continue;
        }
        if (upperText(argument.substr(dot)) == ".INI") {
            startup.configFileName = argument;
            startup.configNamed = true;
            continue;
        }
        startup.inputName = argument;
        startup.extension = argument.substr(dot + 1);
        startup.haveInput = true;
    }
    if (!startup.haveInput) showUsage(frame);
}

void checkExtension(Frame& frame, Startup& startup) {
    std::size_t dot = extensionDot(startup.inputName);
    startup.inputName.resize(dot);
    if (upperText(startup.extension) != "TXT") {
        frame.pauseFlag = 1;
        fatalError(frame, "Unknown File Extension");
    }
}

void splitInputName(Frame& frame, Startup& startup) {
    std::size_t separator = lastSeparator(startup.inputName);
    if (separator == std::string::npos) {
        startup.sourceDirectory.clear();
        startup.baseName = startup.inputName;
    } else {
        startup.sourceDirectory = startup.inputName.substr(0, separator + 1);
        startup.baseName = startup.inputName.substr(separator + 1);
    }
    if (startup.baseName.size() == 8 && startup.baseName[6] == '~') {
        warning(frame, "Filename contains the ~ character!");
    }
}

void openFiles(Frame& frame, Startup& startup) {
    // The input is named NAME.TXT; on a file system that tells case apart
    // the usual spellings are tried before the extension as it was typed.
    startup.textFileName = startup.inputName + ".TXT";
    std::string textPath = startup.textFileName;
    for (const std::string& candidate : {startup.inputName + ".TXT", startup.inputName + ".txt",
                                         startup.inputName + "." + startup.extension}) {
        if (pathExists(candidate)) {
            textPath = candidate;
            break;
        }
    }
    startup.outputFileName = startup.inputName + frame.profile->outputExtension;
    openBuffered(frame, textPath);
    openOutput(frame, startup.outputFileName, frame.profile->outputMode);
}

static void runSteps(Frame& frame, int argc, char** argv, const ToolHooks& hooks) {
    Startup startup;
    say(frame, frame.profile->banner);
    findProgramDirectory(frame, startup, argc > 0 ? argv[0] : nullptr);
    readCommandLine(frame, startup, argc, argv);

    obtainLineBuffer(frame);
    frame.cleanupRegistered = true;

    checkExtension(frame, startup);
    if (frame.profile->readsConfiguration) {
        splitInputName(frame, startup);
        if (hooks.readConfiguration) hooks.readConfiguration(frame, startup);
    }
    openFiles(frame, startup);

    if (frame.pauseFlag) say(frame, frame.profile->workStart);
    if (hooks.work) hooks.work(frame);
    std::fclose(frame.input);
    frame.input = nullptr;
    closeOutput(frame);
    if (frame.pauseFlag) say(frame, frame.profile->workEnd);
}

int runTool(Frame& frame, int argc, char** argv, const ToolHooks& hooks) {
    int status = 0;
    try {
        runSteps(frame, argc, argv, hooks);
    } catch (const RunEnd& end) {
        status = end.status;
    } catch (const std::bad_alloc&) {
        // Whatever else ends the run ends it the same way: the console says
        // why, and the temporary file goes.
        reportFatal(frame, "Out of memory");
        status = 1;
    } catch (const std::exception& failure) {
        reportFatal(frame, failure.what());
        status = 1;
    } catch (...) {
        reportFatal(frame, "Unexpected failure");
        status = 1;
    }
    abandonFiles(frame);
    if (frame.cleanupRegistered) releaseAndPause(frame);
    if (frame.console && !frame.consoleCapture) std::fflush(frame.console);
    return status;
}
