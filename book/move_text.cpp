#include "book/move_text.h"

#include <cstdio>

#include "chess/attack.h"

void checkAndPlayMove(Frame& frame, Position& position, MoveReader& reader,
                      const char* textCursor) {
    switch (playParsedMove(position, reader)) {
        case READ_NO_CASTLE_RIGHT:
            fatalError(frame, "Illegal attempt to Castle");
        case READ_CASTLE_ATTACKED:
            fatalError(frame, "Can't Castle through an attacked square");
        case READ_NO_PIECE:
        case READ_AMBIGUOUS:
            reportMoveError(frame, moveErrorMessage(reader.candidateCount), textCursor);
        default:
            break;
    }
}

void playMoveText(Frame& frame, Position& position, MoveReader& reader, const char*& textCursor) {
    const int consumed = parseMove(position, reader, textCursor);
    if (consumed < 0) reportMoveError(frame, moveErrorMessage(1), textCursor);
    const char* after = textCursor + consumed;
    checkAndPlayMove(frame, position, reader, textCursor);
    // A check sign belongs to the move only when the move gives check; any
    // other is left in the text, where it will fail as the next move.
    if ((*after == '+' || *after == '#') && isInCheck(position, position.sideToMove)) ++after;
    textCursor = after;
}

const char* moveErrorMessage(int candidateCount) {
    if (candidateCount == 0) return "Can't find piece to move\n";
    if (candidateCount > 1) return "More than one piece can move\n";
    return "Illegal move\n";
}

void reportMoveError(Frame& frame, const char* message, const char* textCursor) {
    if (frame.output.stream) std::fflush(frame.output.stream);
    sayf(frame, "Move Error on line %d! -- ", frame.lineCounter);
    say(frame, message);
    if (textCursor) sayf(frame, "========>%s\n", textCursor);
    endRun(frame, 1);
}
