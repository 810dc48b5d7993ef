#include <array>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "channel/command_text_codec.h"

namespace krv {
namespace {

std::vector<uint8_t> ParseAll(std::u16string_view text) {
    std::vector<uint8_t> out(text.size());  // a text never holds more bytes than characters
    out.resize(CommandTextCodec::Parse(text, out));
    return out;
}

TEST(CommandTextCodec, DigitValueOfEveryCharacterClass) {
    EXPECT_EQ(CommandTextCodec::DigitValue(u'0'), 0);
    EXPECT_EQ(CommandTextCodec::DigitValue(u'9'), 9);
    EXPECT_EQ(CommandTextCodec::DigitValue(u'A'), 10);
    EXPECT_EQ(CommandTextCodec::DigitValue(u'f'), 15);
    for (char16_t ch : {u'G', u'g', u'.', u'-', u' ', u'/', u':', u'@', u'`', u'中'})
        EXPECT_EQ(CommandTextCodec::DigitValue(ch), 0) << static_cast<int>(ch);
}

struct ParseCase {
    std::u16string text;
    std::vector<uint8_t> bytes;
};

class CommandTextParse : public testing::TestWithParam<ParseCase> {};

TEST_P(CommandTextParse, GivesTheBytes) {
    EXPECT_EQ(ParseAll(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CommandTextParse,
    testing::Values(ParseCase{u"1D 56 42 00", {0x1D, 0x56, 0x42, 0x00}},
                    ParseCase{u"1D5642", {0x1D, 0x56, 0x42}},
                    ParseCase{u"1 2 3", {0x01, 0x02, 0x03}}, ParseCase{u"123", {0x12, 0x03}},
                    ParseCase{u"ABC", {0xAB, 0x0C}}, ParseCase{u"1-2", {0x10, 0x02}},
                    ParseCase{u"G1", {0x01}}, ParseCase{u"   ", {}}, ParseCase{u"", {}},
                    ParseCase{u"  ff  a", {0xFF, 0x0A}}, ParseCase{u"1d 5", {0x1D, 0x05}},
                    ParseCase{u"a.", {0xA0}}));

TEST(CommandTextCodec, ParseWritesNoFurtherThanTheCapacityButCountsEveryByte) {
    std::array<uint8_t, 6> area{};
    area.fill(0xEE);
    // Ten bytes of text into a four-byte window of the area: the count says ten, the two
    // bytes after the window stay untouched.
    const size_t n = CommandTextCodec::Parse(u"01 02 03 04 05 06 07 08 09 0A",
                                             std::span<uint8_t>(area.data(), 4));
    EXPECT_EQ(n, 10u);
    EXPECT_EQ(area, (std::array<uint8_t, 6>{1, 2, 3, 4, 0xEE, 0xEE}));
    EXPECT_EQ(CommandTextCodec::Parse(u"1D 56", {}), 2u);
}

TEST(CommandTextCodec, FormatIsTwoUpperCaseDigitsAndABlankPerByte) {
    const uint8_t bytes[] = {0x1D, 0x05, 0xFF};
    EXPECT_EQ(CommandTextCodec::Format(bytes), u"1D 05 FF ");
    EXPECT_EQ(CommandTextCodec::Format({}), u"");
    const uint8_t low[] = {0x00, 0x0A, 0x10};
    EXPECT_EQ(CommandTextCodec::Format(low), u"00 0A 10 ");
}

TEST(CommandTextCodec, ParseOfFormatGivesTheBytesBack) {
    std::vector<uint8_t> every(256);
    for (int i = 0; i < 256; ++i)
        every[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(ParseAll(CommandTextCodec::Format(every)), every);

    std::mt19937 random(857);
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> b(random() % 140);
        for (auto& x : b)
            x = static_cast<uint8_t>(random());
        ASSERT_EQ(ParseAll(CommandTextCodec::Format(b)), b) << "round " << round;
    }
}

}  // namespace
}  // namespace krv
