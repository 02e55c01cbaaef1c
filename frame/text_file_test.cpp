#include "frame/text_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/file_text.h"

namespace {

// Only a whole mark at the very start is skipped; the text is read again
// behind it after reading.
TEST(StartOfText, SkipsAByteOrderMarkAtTheStartOnly) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {"", ""},
        {"\xEF\xBB\xBF", ""},
        {"\xEF\xBB\xBF"
         "B20 Sicilian\n",
         "B20 Sicilian\n"},
        {"\xEF\xBB\xBF\xEF\xBB\xBFx", "\xEF\xBB\xBFx"},
        {"\xEF\xBB", "\xEF\xBB"},
        {"\xEF\xBBx", "\xEF\xBBx"},
        {" \xEF\xBB\xBFx", " \xEF\xBB\xBFx"},
        {"\xEF\xBB\xBF\x1A"
         "after",
         ""},
    };
    for (const Case& c : cases) {
        std::FILE* stream = streamOf(c.bytes);
        ASSERT_NE(nullptr, stream);
        for (int pass = 0; pass < 2; ++pass) {
            startOfText(stream);
            std::string text;
            for (int byte; (byte = readTextByte(stream)) != EOF;) text += static_cast<char>(byte);
            EXPECT_EQ(c.text, text) << testing::PrintToString(c.bytes) << " pass " << pass;
        }
        std::fclose(stream);
    }
}

}  // namespace
