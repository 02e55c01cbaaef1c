// Reading the tools' text files (the ECO text, the tournament text,
// TESSARA.INI) with the same bytes on every platform. The files are opened
// in binary mode and the DOS rules are applied here: a Ctrl-Z byte ends the
// input, as the Windows C runtime's text mode has it, and the readers take
// "\r\n" as one line end themselves.
#pragma once

#include <cstdio>
#include <string>

#include "frame/platform.h"

// The byte with which DOS-era editors end a text file.
constexpr int TEXT_END_BYTE = 0x1A;

// Opens a text file for reading, or gives null (a directory is no file).
std::FILE* openTextFile(const std::string& path);

// The next byte of a text file, or EOF at its end. A Ctrl-Z byte is the end:
// it is put back unread, so every later read stops there as well.
inline int readTextByte(std::FILE* stream) {
    int c = readByte(stream);
    if (c == TEXT_END_BYTE) {
        std::ungetc(c, stream);
        return EOF;
    }
    return c;
}
