#include "transform/text_line.h"

#include <gtest/gtest.h>

#include "tests/support/captured_run.h"
#include "transform/transform.h"

namespace {

TEST(ReadTextLine, SkipsLeadingBlanksAndControlCharacters) {
    CapturedRun run(WEB_PROFILE);
    TextLine text{run.frame};
    run.input(" \t\x01\x1f cross  \n\xa0x\nlast");
    readTextLine(text);
    EXPECT_STREQ("cross  ", text.lineCursor);
    readTextLine(text);
    EXPECT_STREQ("\xa0x", text.lineCursor);
    readTextLine(text);
    EXPECT_STREQ("last", text.lineCursor);
    EXPECT_FALSE(run.frame.inputAtEnd);
    readTextLine(text);
    EXPECT_STREQ("", text.lineCursor);
    EXPECT_TRUE(run.frame.inputAtEnd);
}

}  // namespace
