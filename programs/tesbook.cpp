// tesbook: compiles an opening classification text file into the binary
// opening file with which the viewer names the opening of a game.
#include "book/compiler.h"
#include "frame/startup.h"

int main(int argc, char** argv) {
    Frame frame;
    frame.profile = &BOOK_PROFILE;
    Book book;
    ToolHooks hooks;
    hooks.work = [&book](Frame& run) {
        allocateBook(run, book);
        compileBook(run, book);
    };
    return runTool(frame, argc, argv, hooks);
}
