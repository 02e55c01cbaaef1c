// Reading the tools' text files (their inputs and configuration files) with
// the same bytes on every platform. The files are opened
// in binary mode and the DOS and Windows rules are applied here: a UTF-8
// byte-order mark at the start is no part of the text, a Ctrl-Z byte ends
// the input, as the Windows C runtime's text mode has it, and the readers
// take "\r\n" as one line end themselves.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "frame/platform.h"

// The byte with which DOS-era editors end a text file.
constexpr int TEXT_END_BYTE = 0x1A;

// The bytes with which Windows editors begin a UTF-8 text.
constexpr char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";
constexpr std::size_t BYTE_ORDER_MARK_SIZE = sizeof BYTE_ORDER_MARK - 1;

// Opens a text file for reading, or gives null (a directory is no file).
// Nothing is read yet, so the stream may still be given a buffer; the first
// read comes after startOfText.
std::FILE* openTextFile(const std::string& path);

// Puts the stream at the first byte of the text: behind a byte-order mark,
// else at the first byte of the file. Also reads a text again from its start.
void startOfText(std::FILE* stream);

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
