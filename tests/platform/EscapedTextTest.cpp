#include "platform/EscapedText.h"

#include <gtest/gtest.h>

namespace tracebay::platform {
namespace {

TEST(EscapedText, ControlCharactersAndStrayBytesAreWrittenOutAndTheRestStays) {
    const struct {
        std::string text;
        std::string printed;
    } cases[] = {
        {"01.01.03 KAVLO, QM1102D \\ ~", "01.01.03 KAVLO, QM1102D \\ ~"},
        {"50\xc2\xb5s \xe2\x82\xac \xf0\x9f\x94\x8c", "50\xc2\xb5s \xe2\x82\xac \xf0\x9f\x94\x8c"},
        {"01.01.03\x1b[2J\x1b]0;owned\a", "01.01.03\\x1b[2J\\x1b]0;owned\\x07"},
        {std::string("a\0b\tc\r\n\x7f", 8), "a\\x00b\\x09c\\x0d\\x0a\\x7f"},
        {"\xc2\x9b[2J", "\\xc2\\x9b[2J"},                        // C1 introducer in UTF-8
        {"\x9b[2J \xff \xc0\xaf", "\\x9b[2J \\xff \\xc0\\xaf"},  // stray and overlong bytes
        {"\xe2\x82", "\\xe2\\x82"},                              // cut short at the end
        {"\xed\xa0\x80 \xf4\x90\x80\x80", "\\xed\\xa0\\x80 \\xf4\\x90\\x80\\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(escapeControls(c.text), c.printed) << c.printed;
}

}  // namespace
}  // namespace tracebay::platform
