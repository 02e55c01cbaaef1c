#include "frame/text_file.h"

std::FILE* openTextFile(const std::string& path) {
    if (isDirectory(path)) return nullptr;
    return std::fopen(path.c_str(), "rb");
}
