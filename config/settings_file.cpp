#include "config/settings_file.h"

#include <cstdio>
#include <memory>
#include <string>

#include "config/config_reader.h"
#include "frame/text_file.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

// The default name is tried in the spellings people use, so that a
// case-sensitive file system finds it as a case-blind one would.
ScopedFile openDefaultConfiguration(const std::string& directory) {
    for (const char* name : {"TESSARA.INI", "Tessara.ini", "tessara.ini"}) {
        if (ScopedFile stream{openTextFile(directory + name)}) return stream;
    }
    return nullptr;
}

}  // namespace

void readSettingsFile(Frame& frame, const Startup& startup, Settings& settings) {
    ScopedFile stream = startup.configNamed ? ScopedFile(openTextFile(startup.configFileName))
                                            : openDefaultConfiguration(startup.sourceDirectory);
    if (stream) {
        say(frame, "Reading INI from source directory...\n\n");
    } else {
        stream = openDefaultConfiguration(startup.programDirectory);
        if (stream && frame.pauseFlag) say(frame, "Reading Tessara.INI from home directory...\n\n");
    }
    if (stream) {
        startOfText(stream.get());
        readConfiguration(frame, stream.get(), settings);
        stream.reset();
        frame.lineCounter = 0;
    }
    say(frame, "Completed reading the INI file.\n\n");
}
