#include "pgn/pgn_reader.h"

const std::string* PgnGame::tag(std::string_view name) const {
    for (const PgnTag& pair : tags) {
        if (pair.name == name) return &pair.value;
    }
    return nullptr;
}

bool openPgn(PgnReader& reader, const std::string& name) {
    reader.name = name;
    return false;
}

void closePgn(PgnReader&) {}

bool nextGame(PgnReader&, PgnGame&) {
    return false;
}

MovetextCursor movetextOf(const PgnGame&) {
    return {};
}

bool nextMove(MovetextCursor&, std::string_view&, long&) {
    return false;
}
