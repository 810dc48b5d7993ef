#include "channel/ansi_text.h"

#include <gtest/gtest.h>

#include <random>

namespace krv {
namespace {

TEST(AnsiText, StrictUtf8) {
    struct Case {
        const char* bytes;
        bool valid;
    } cases[] = {
        {"plain", true},
        {"\xE6\x94\xB6\xF0\x9F\x98\x80", true},  // a CJK character and U+1F600
        {"\xC0\xAF", false},                     // overlong "/"
        {"\xE0\x80\xAF", false},                 // overlong, three bytes
        {"\xED\xA0\x80", false},                 // a surrogate
        {"\xF4\x90\x80\x80", false},             // past U+10FFFF
        {"\xE6\x94", false},                     // cut short
        {"\x80", false},                         // a stray continuation byte
        {"\xFF\xFE\xC3(", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
}

// Any bytes survive the trip through UTF-16 and back; valid UTF-8 becomes its own characters.
TEST(AnsiText, PathsKeepTheirBytes) {
    std::mt19937 random(11);
    for (int i = 0; i < 500; ++i) {
        std::string path(1 + random() % 24, '\0');
        for (char& c : path)
            c = static_cast<char>(random() % 2 ? 0x80 + random() % 0x80 : random() % 0x80);
        ASSERT_EQ(Utf16ToPath(PathToUtf16(path)), path);
    }
    EXPECT_EQ(PathToUtf16("\xE6\xA0\x87\xB1\xEA"), (std::u16string{u'\u6807', 0xDCB1, 0xDCEA}));
    EXPECT_EQ(Utf16ToUtf8(PathToUtf16("\xB1")), "\xEF\xBF\xBD");  // as text: the replacement
}

TEST(AnsiText, CodePagesByNameAndNumberAndWhatTheyCannotHold) {
    ASSERT_TRUE(SetAnsiCodePage("CP437"));
    EXPECT_EQ(AnsiCodePageName(), "CP437");
    EXPECT_EQ(FindUnencodable(u"caf\u00E9 \u20AC"), 5u);  // the euro sign
    EXPECT_EQ(ToAnsi(u"\u00E9"), "\x82");
    ASSERT_TRUE(SetAnsiCodePage("1252"));
    EXPECT_EQ(FindUnencodable(u"caf\u00E9 \u20AC"), std::u16string::npos);
    EXPECT_FALSE(SetAnsiCodePage(""));
    EXPECT_FALSE(SetAnsiCodePage("NOPE"));
    EXPECT_FALSE(SetAnsiCodePage("GBK//TRANSLIT"));
    EXPECT_EQ(AnsiCodePageName(), "1252");  // a refused name changes nothing
    ASSERT_TRUE(SetAnsiCodePage("936"));
    EXPECT_EQ(ToAnsi(u"\u6536"), "\xCA\xD5");
    // A character outside the basic plane is one character, at its first unit.
    EXPECT_EQ(FindUnencodable(u"\u6536\U0001F600"), 1u);
    ASSERT_TRUE(SetAnsiCodePage("GBK"));
}

}  // namespace
}  // namespace krv
