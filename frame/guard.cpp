#include "frame/guard.h"

void reportEscape(const char* program, std::FILE* errors, const char* message) {
    std::fprintf(errors, "%s: %s\n", program, message);
    std::fflush(stdout);
}
