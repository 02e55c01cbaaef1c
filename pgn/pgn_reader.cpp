#include "pgn/pgn_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>

#include "frame/platform.h"
#include "pgn/game_framing.h"

namespace {

// Makes room for more bytes and reads them: the bytes not yet delivered move
// to the front of the buffer, which doubles when less than a block is free.
// A buffer that cannot grow ends the reading as a read error does.
void refill(PgnReader& reader) {
    std::size_t kept = reader.filled - reader.next;
    std::size_t block = std::max<std::size_t>(reader.blockSize, 1);
    if (reader.capacity - kept < block) {
        std::size_t capacity = std::max(2 * reader.capacity, kept + 2 * block);
        std::unique_ptr<char[]> grown;
        if (kept + block <= reader.maxBuffer) {
            capacity = std::min(capacity, reader.maxBuffer);
            grown.reset(new (std::nothrow) char[capacity + 1]);
        }
        if (!grown) {
            reader.readError = true;
            reader.error = ENOMEM;
            reader.streamEnded = true;
            return;
        }
        if (kept > 0) std::memcpy(grown.get(), reader.buffer.get() + reader.next, kept);
        reader.buffer = std::move(grown);
        reader.capacity = capacity;
    } else if (reader.next > 0 && kept > 0) {
        std::memmove(reader.buffer.get(), reader.buffer.get() + reader.next, kept);
    }
    reader.next = 0;
    reader.filled = kept;
    // All the room there is: a game larger than the buffer is then scanned
    // again only after each doubling, a bounded number of times per byte.
    std::size_t wanted = reader.capacity - kept;
    std::size_t got = std::fread(reader.buffer.get() + kept, 1, wanted, reader.stream);
    reader.filled += got;
    reader.buffer[reader.filled] = '\n';  // the sentinel that ends the scan of a movetext
    if (got < wanted) {
        reader.streamEnded = true;
        if (std::ferror(reader.stream)) {
            reader.readError = true;
            reader.error = errno;
        }
    }
}

void resetReader(PgnReader& reader) {
    reader.readError = false;
    reader.error = 0;
    reader.consumed = 0;
    reader.filled = 0;
    reader.next = 0;
    reader.line = 1;
    reader.games = 0;
    reader.atLineStart = true;
    reader.streamEnded = false;
    reader.finished = false;
    reader.utf16 = false;
    reader.startChecked = false;
    reader.crFrom = reader.crClearTo = 0;
}

// A file that begins with a UTF-16 byte-order mark (FF FE or FE FF) is
// refused: its text would read as no games at all.
bool startsAsUtf16(PgnReader& reader) {
    reader.startChecked = true;
    while (!reader.streamEnded && reader.filled - reader.next < 2) refill(reader);
    if (reader.filled - reader.next < 2) return false;
    const unsigned char first = static_cast<unsigned char>(reader.buffer[reader.next]);
    const unsigned char second = static_cast<unsigned char>(reader.buffer[reader.next + 1]);
    return (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF);
}

// Line numbers of the faults from the line of the scan's first byte, and
// the game each belongs to.
void numberFaults(std::vector<PgnFault>& faults, std::int64_t firstLine, std::size_t before,
                  int game) {
    for (std::size_t i = 0; i < faults.size(); ++i) {
        faults[i].line = pgnLineNumber(firstLine + faults[i].line);
        faults[i].game = i < before ? 0 : game;
    }
}

// Hands the text after the last game over and ends the file.
void deliverEnd(PgnReader& reader, PgnGame& game, const GameScan& scan) {
    numberFaults(game.faults, reader.line, game.faults.size(), 0);
    game.tags.clear();
    game.skipped = std::string_view(scan.in.data, scan.in.size);
    reader.consumed += scan.in.size;
    reader.next = reader.filled;
    reader.finished = true;
}

// Hands the game the scan found over and moves the reader past it.
void deliverGame(PgnReader& reader, PgnGame& game, const GameScan& scan) {
    const char* data = scan.in.data;
    const GameBounds& bounds = scan.bounds;
    game.tags.resize(scan.tagCount);
    for (PgnTag& tag : game.tags) {  // a game that ends on its tag line: "[A "x"] 1-0 words"
        tag.lineEnd = std::min(tag.lineEnd, bounds.end - bounds.begin);
    }
    game.skipped = std::string_view(data, bounds.begin);
    game.text = std::string_view(data + bounds.begin, bounds.end - bounds.begin);
    game.number = ++reader.games;
    numberFaults(game.faults, reader.line, scan.faultsBefore, game.number);
    const std::int64_t firstLine = reader.line + bounds.linesBefore;
    game.firstLine = pgnLineNumber(firstLine);
    game.movetext = bounds.movetext - bounds.begin;
    game.movetextLine = pgnLineNumber(firstLine + bounds.linesToMovetext);
    reader.line = firstLine + bounds.linesInGame;
    reader.next += bounds.end;
    reader.consumed += bounds.end;
    reader.atLineStart = bounds.endsLine;
}

constexpr const char* FAULT_TEXTS[] = {
    "comment not closed before the next tag pair",
    "comment not closed at the end of the file",
    "variation not closed before the next tag pair",
    "variation not closed at the end of the file",
    "incomplete tag pair",
};
static_assert(std::size(FAULT_TEXTS) ==
                  static_cast<std::size_t>(PgnFaultKind::INCOMPLETE_TAG_PAIR) + 1,
              "one text per kind of fault");

}  // namespace

const std::string* PgnGame::tag(std::string_view name) const {
    for (const PgnTag& pair : tags) {
        if (pair.name == name) return &pair.value;
    }
    return nullptr;
}

bool openPgn(PgnReader& reader, const std::string& name) {
    if (name == "-") {
        setBinaryMode(stdin);
        openPgnStream(reader, stdin, name);
        return true;
    }
    reader.error = 0;
    if (isDirectory(name)) return false;
    std::FILE* stream = std::fopen(name.c_str(), "rb");
    if (!stream) {
        reader.error = errno;
        return false;
    }
    openPgnStream(reader, stream, name);
    reader.ownsStream = true;
    return true;
}

void openPgnStream(PgnReader& reader, std::FILE* stream, const std::string& name) {
    reader.name = name;
    reader.stream = stream;
    reader.ownsStream = false;
    resetReader(reader);
}

void openPgnStreamAfter(PgnReader& reader, std::FILE* stream, const std::string& name,
                        std::string_view start) {
    openPgnStream(reader, stream, name);
    const std::size_t block = std::max<std::size_t>(reader.blockSize, 1);
    if (reader.capacity < start.size() + block) {
        reader.capacity = start.size() + 2 * block;
        reader.buffer.reset(new char[reader.capacity + 1]);
    }
    std::memcpy(reader.buffer.get(), start.data(), start.size());
    reader.filled = start.size();
    reader.buffer[reader.filled] = '\n';  // the scan's sentinel, as after a read
}

char* pgnBufferRoom(PgnReader& reader, std::size_t keep, std::size_t size) {
    if (!reader.buffer || reader.capacity < size) {
        const std::size_t capacity = std::max(size, 2 * reader.capacity);
        std::unique_ptr<char[]> grown(new (std::nothrow) char[capacity + 1]);
        if (!grown) return nullptr;
        if (keep > 0) std::memcpy(grown.get(), reader.buffer.get(), keep);
        reader.buffer = std::move(grown);
        reader.capacity = capacity;
    }
    return reader.buffer.get();
}

void openPgnBuffer(PgnReader& reader, const std::string& name, std::size_t size, bool fileStart) {
    openPgnStream(reader, nullptr, name);
    if (!pgnBufferRoom(reader, size, size)) throw std::bad_alloc();  // room was made before
    reader.filled = size;
    reader.buffer[reader.filled] = '\n';  // the scan's sentinel, as after a read
    reader.streamEnded = true;
    reader.startChecked = !fileStart;
}

void closePgn(PgnReader& reader) {
    if (reader.stream && reader.ownsStream) std::fclose(reader.stream);
    reader.stream = nullptr;
    reader.ownsStream = false;
}

bool nextGame(PgnReader& reader, PgnGame& game) {
    game.text = {};
    game.skipped = {};
    game.faults.clear();
    if (reader.finished) return false;
    if (!reader.startChecked && startsAsUtf16(reader)) {
        reader.utf16 = true;
        reader.finished = true;
        return false;
    }
    GameScan scan{};
    scan.tags = &game.tags;
    scan.faults = &game.faults;
    ScanResult result;
    for (;;) {
        scan.in = {reader.buffer.get() + reader.next, reader.filled - reader.next,
                   reader.streamEnded, reader.atLineStart};
        if (reader.crClearTo > reader.next) {
            scan.in.crFrom = std::max(reader.crFrom, reader.next) - reader.next;
            scan.in.crClearTo = reader.crClearTo - reader.next;
        }
        scan.bounds = {};
        scan.tagCount = 0;
        game.faults.clear();
        if (!reader.buffer) scan.in.data = "\n";
        result = scanGame(scan);
        if (result != ScanResult::NEED_MORE) break;
        refill(reader);
        reader.crFrom = reader.crClearTo = 0;  // the bytes have moved
    }
    reader.crFrom = reader.next + scan.in.crFrom;
    reader.crClearTo = reader.next + scan.in.crClearTo;
    if (result == ScanResult::NO_GAME) {
        deliverEnd(reader, game, scan);
        return false;
    }
    deliverGame(reader, game, scan);
    return true;
}

MovetextCursor movetextOf(const PgnGame& game) {
    return movetextCursor(game.text, game.movetext, game.movetextLine);
}

std::string pgnFaultMessage(const PgnFault& fault) {
    std::string message = std::to_string(fault.line) + ": ";
    if (fault.game > 0) message += "game " + std::to_string(fault.game) + ": ";
    return message + pgnFaultText(fault.kind);
}

long pgnLineNumber(std::int64_t line) {
    return static_cast<long>(std::min<std::int64_t>(line, std::numeric_limits<long>::max()));
}

const char* pgnFaultText(PgnFaultKind kind) {
    return FAULT_TEXTS[static_cast<int>(kind)];
}
