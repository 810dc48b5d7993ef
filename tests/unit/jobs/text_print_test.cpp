#include <gtest/gtest.h>

#include "jobs/text_print.h"

namespace krv {
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

}  // namespace
}  // namespace krv
