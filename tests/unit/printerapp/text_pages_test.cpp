#include <gtest/gtest.h>

#include "printerapp/text_pages.h"

namespace krv::app {
namespace {

using namespace std::literals;

Bytes B(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

TEST(TextPrint, LinesEndInLineFeedsWhateverTheirEnding) {
    EXPECT_EQ(TextPagesInCodePage("a\r\nb\rc\nd", "GBK"), std::vector<Bytes>{B("a\nb\nc\nd\n")});
}

TEST(TextPrint, FormFeedsSplitPagesAndAFinalOneOpensNone) {
    EXPECT_EQ(TextPagesInCodePage("one\ftwo\n\f", "GBK"),
              (std::vector<Bytes>{B("one\n"), B("two\n")}));
    EXPECT_EQ(TextPagesInCodePage("a\f\fb", "GBK"),
              (std::vector<Bytes>{B("a\n"), B(""), B("b\n")}));
    EXPECT_TRUE(TextPagesInCodePage("", "GBK").empty());
}

TEST(TextPrint, ControlCharactersCannotCarryCommands) {
    // ESC @, GS V 0, a C1 control (U+0085) and DEL are dropped; the tab stays.
    EXPECT_EQ(TextPagesInCodePage("\x1b@x\x1dV\x00y\t\xc2\x85z\x7f"sv, "GBK"),
              std::vector<Bytes>{B("@xVy\tz\n")});
}

TEST(TextPrint, ConvertsToTheNamedCodePage) {
    EXPECT_EQ(TextPagesInCodePage("中文", "GBK"), std::vector<Bytes>{B("\xd6\xd0\xce\xc4\n")});
    EXPECT_EQ(TextPagesInCodePage("\xc3\xa9", "CP1252"), std::vector<Bytes>{B("\xe9\n")});
}

TEST(TextPrint, WhatTheCodePageLacksAndBrokenUtf8PrintAsQuestionMarks) {
    EXPECT_EQ(TextPagesInCodePage("a\xf0\x9f\x98\x80"
                                  "b",
                                  "GBK"),
              std::vector<Bytes>{B("a?b\n")});
    EXPECT_EQ(TextPagesInCodePage("a\xff"
                                  "b",
                                  "GBK"),
              std::vector<Bytes>{B("a?b\n")});
}

std::span<const uint8_t> Span(std::string_view s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// A document whose format a client did not name is taken for text only when it reads as text.
TEST(TextPrint, RecognisesUtf8TextOnly) {
    EXPECT_TRUE(LooksLikeText(Span("Total 12.50\r\n\t\x0c")));
    EXPECT_TRUE(LooksLikeText(Span("合计")));
    EXPECT_TRUE(LooksLikeText(Span("合\xe8\xae")));  // a character cut by the end of the header
    EXPECT_FALSE(LooksLikeText(Span("")));
    EXPECT_FALSE(LooksLikeText(Span("\xd6\xd0\xce\xc4")));  // GBK
    EXPECT_FALSE(LooksLikeText(Span("a\x1b@")));
    EXPECT_FALSE(LooksLikeText(Span("a\x00b"sv)));
    EXPECT_FALSE(LooksLikeText(Span("\x89PNG")));
    EXPECT_FALSE(LooksLikeText(Span("\xf5\x80\x80\x80")));  // past U+10FFFF
    EXPECT_FALSE(LooksLikeText(Span("\xc0\xaf")));          // an overlong form
}

}  // namespace
}  // namespace krv::app
