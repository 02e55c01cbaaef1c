#include "frame/guard.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "tests/support/file_text.h"

namespace {

TEST(RunGuarded, AnEscapingExceptionIsOneMessageAndStatusOne) {
    struct Case {
        std::function<int()> body;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {[] { return 0; }, 0, ""},
        {[] { return 1; }, 1, ""},
        {[]() -> int { throw std::bad_alloc(); }, 1, "tool: out of memory\n"},
        {[]() -> int { throw std::length_error("vector too long"); }, 1, "tool: vector too long\n"},
    };
    for (const Case& c : cases) {
        std::FILE* errors = std::tmpfile();
        ASSERT_NE(nullptr, errors);
        EXPECT_EQ(c.status, runGuarded("tool", errors, c.body)) << c.message;
        EXPECT_EQ(c.message, streamText(errors));
        std::fclose(errors);
    }
}

}  // namespace
