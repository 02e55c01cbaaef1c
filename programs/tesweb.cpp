// tesweb: turns a text file of tournament data into an HTML page of cross
// tables, with the settings of the suite's configuration file.
#include "config/settings_file.h"
#include "frame/startup.h"
#include "transform/transform.h"

int main(int argc, char** argv) {
    Frame frame;
    frame.profile = &WEB_PROFILE;
    Settings settings;
    TransformState transform{frame, settings};
    ToolHooks hooks;
    hooks.readConfiguration = [&settings](Frame& run, const Startup& startup) {
        readSettingsFile(run, startup, settings);
    };
    hooks.work = [&transform](Frame&) { transformText(transform); };
    return runTool(frame, argc, argv, hooks);
}
