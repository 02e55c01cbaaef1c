#include "frame/guard.h"

#include <exception>
#include <new>

int runGuarded(const char* program, std::FILE* errors, const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        std::fprintf(errors, "%s: out of memory\n", program);
    } catch (const std::exception& failure) {
        std::fprintf(errors, "%s: %s\n", program, failure.what());
    }
    std::fflush(stdout);
    return 1;
}
