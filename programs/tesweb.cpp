// tesweb: turns a text file of tournament data into an HTML page of cross
// tables, with the settings of the suite's configuration file.
#include "frame/startup.h"

int main(int argc, char** argv) {
    Frame frame;
    frame.profile = &WEB_PROFILE;
    ToolHooks hooks;
    return runTool(frame, argc, argv, hooks);
}
