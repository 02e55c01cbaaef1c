#include "frame/text_file.h"

#include <cstring>

std::FILE* openTextFile(const std::string& path) {
    if (isDirectory(path)) return nullptr;
    return std::fopen(path.c_str(), "rb");
}

void startOfText(std::FILE* stream) {
    std::rewind(stream);
    char head[BYTE_ORDER_MARK_SIZE];
    if (std::fread(head, 1, sizeof head, stream) == sizeof head &&
        std::memcmp(head, BYTE_ORDER_MARK, sizeof head) == 0) {
        return;
    }
    std::rewind(stream);
}
