#include <string>

#include <gtest/gtest.h>

#include "files/private_profile.h"

namespace krv {
namespace {

TEST(IniText, NewFileHasTheProfileFunctionsLayout) {
    EXPECT_EQ(ini::Store(u"", u"Character Translation Table", u"41", u"1B 40 "),
              u"[Character Translation Table]\r\n41=1B 40 \r\n");
}

TEST(IniText, UpdatesInPlaceAndAppendsSections) {
    std::u16string t = ini::Store(u"", u"S", u"a", u"1");
    t = ini::Store(t, u"S", u"b", u"2");
    t = ini::Store(t, u"T", u"c", u"3");
    t = ini::Store(t, u"s", u"A", u"  9");  // names ignore case; leading blanks dropped
    EXPECT_EQ(t, u"[S]\r\na=9\r\nb=2\r\n\r\n[T]\r\nc=3\r\n");
}

TEST(IniText, LookupTrimsUnquotesAndIgnoresCase) {
    const std::u16string t =
        u"; note\r\n[Other]\r\n41=no\r\n[character translation table]\n 41 =  1B 40 \r\n"
        u"42=\"7F \"\r\n43=\r\n";
    const auto section = u"Character Translation Table";
    EXPECT_EQ(ini::Lookup(t, section, u"41"), u"1B 40");
    EXPECT_EQ(ini::Lookup(t, section, u"42"), u"7F ");
    EXPECT_EQ(ini::Lookup(t, section, u"43"), u"");
    EXPECT_EQ(ini::Lookup(t, section, u"44"), std::nullopt);
    EXPECT_EQ(ini::Lookup(t, u"Missing", u"41"), std::nullopt);
}

TEST(IniText, Utf16FilesStayUtf16) {
    const std::string bytes = ini::Encode(u"[S]\r\nk=v\r\n", true);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE[\0", 4));
    const auto decoded = ini::Decode(bytes);
    EXPECT_TRUE(decoded.utf16);
    EXPECT_EQ(decoded.text, u"[S]\r\nk=v\r\n");
    EXPECT_FALSE(ini::Decode("[S]\r\n").utf16);
}

}  // namespace
}  // namespace krv
