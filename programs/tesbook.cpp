// tesbook: compiles an opening classification text file into the binary
// opening file with which the viewer names the opening of a game.
#include "frame/startup.h"

int main(int argc, char** argv) {
    Frame frame;
    frame.profile = &BOOK_PROFILE;
    ToolHooks hooks;
    return runTool(frame, argc, argv, hooks);
}
