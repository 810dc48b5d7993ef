#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channel/ansi_text.h"
#include "docpages/barcode_page_rules.h"
#include "jobs/barcode_test_print.h"

namespace krv {
namespace {

BarcodeFontRecord DefaultFont(int i = 0) {
    OemDevmode r;
    DefaultOemDevmode(&r);
    return r.barcodeFonts[i];
}

TEST(BarcodeSize, DefaultRecordShows23mmAnd65Points) {
    const auto texts = BarcodeSizeDisplay(DefaultFont());
    EXPECT_EQ(texts.millimetres, u" 23.0");
    EXPECT_EQ(texts.points, u" 65.0");
}

TEST(BarcodeSize, SettingBarHeight163AgainSnapsTo162) {
    BarcodeFontRecord f = DefaultFont();
    EXPECT_EQ(StoreBarcodeNumericField(f, BarcodeNumericField::BarHeight, u"163"), 163u);
    EXPECT_EQ(f.fontHeight, 162u);
    const auto texts = BarcodeSizeDisplay(f);
    EXPECT_EQ(texts.millimetres, u" 22.9");
    EXPECT_EQ(texts.points, u" 65.0");
}

struct SnapCase {
    uint32_t barHeight;
    uint8_t hriPosition;
    uint8_t hriFont;
    uint32_t fontHeight;  // stored after the snap
    const char16_t* millimetres;
    const char16_t* points;
};

void PrintTo(const SnapCase& c, std::ostream* os) {
    *os << "bar " << c.barHeight << " HRI " << int(c.hriPosition) << "/" << int(c.hriFont);
}

class FontHeightSnapCases : public testing::TestWithParam<SnapCase> {};

TEST_P(FontHeightSnapCases, StoresTheHalfPointHeight) {
    const SnapCase& c = GetParam();
    BarcodeFontRecord f = DefaultFont();
    f.barHeight = c.barHeight;
    f.hriPosition = c.hriPosition;
    f.hriFont = c.hriFont;
    FontHeightSnap(f);
    EXPECT_EQ(f.fontHeight, c.fontHeight);
    const auto texts = BarcodeSizeDisplay(f);
    EXPECT_EQ(texts.millimetres, c.millimetres);
    EXPECT_EQ(texts.points, c.points);
}

INSTANTIATE_TEST_SUITE_P(
    Heights, FontHeightSnapCases,
    testing::Values(SnapCase{163, 1, 0, 187, u" 26.4", u" 75.0"},  // 74.8 points up to 75.0
                    SnapCase{163, 3, 1, 197, u" 27.8", u" 79.0"},  // 78.8 up to 79.0
                    SnapCase{163, 1, 1, 180, u" 25.4", u" 72.0"},  // exactly 72.0
                    SnapCase{163, 2, 0, 187, u" 26.4", u" 75.0"},
                    SnapCase{163, 3, 0, 211, u" 29.8", u" 84.5"},  // 84.4 up to 84.5
                    SnapCase{1, 0, 0, 1, u"  0.1", u"  0.5"},      // 0.4 is the break itself
                    SnapCase{6, 0, 0, 5, u"  0.7", u"  2.0"},      // 2.4 falls just below it
                    SnapCase{11, 0, 0, 11, u"  1.6", u"  4.5"},    // 4.4 falls just above it
                    SnapCase{4, 0, 0, 3, u"  0.4", u"  1.0"},      // 1.6 down to 1.5
                    SnapCase{0, 0, 0, 2, u"  0.3", u"  1.0"},      // 0 is never stored
                    SnapCase{255, 0, 0, 255, u" 36.0", u"102.0"}));

TEST(BarcodeSize, HalfPointRoundBreaks) {
    const std::vector<std::pair<double, double>> cases = {{0.0, 0.0},
                                                          {0.39, 0.0},
                                                          {0.4, 0.5},
                                                          {0.69, 0.5},
                                                          {0.7, 1.0},
                                                          {0.99, 1.0},
                                                          {65.2, 65.0},
                                                          {74.8, 75.0},
                                                          {6 * 72.0 * kOneOver180, 2.0},
                                                          {11 * 72.0 * kOneOver180, 4.5}};
    for (auto [p, r] : cases)
        EXPECT_EQ(HalfPointRound(p), r) << p;
}

TEST(BarcodeSize, UnknownHriSettingsKeepTheStoredHeight) {
    BarcodeFontRecord f = DefaultFont();
    f.barHeight = 10;
    f.hriPosition = 1;
    f.hriFont = 5;  // neither Font A nor Font B
    FontHeightSnap(f);
    EXPECT_EQ(f.fontHeight, 162u);  // the stored 163, snapped
    f.hriPosition = 4;
    f.hriFont = 0;
    f.fontHeight = 180;
    FontHeightSnap(f);
    EXPECT_EQ(f.fontHeight, 180u);
}

TEST(BarcodeSize, HugeStoredBarHeightSaturates) {
    BarcodeFontRecord f = DefaultFont();
    f.barHeight = std::numeric_limits<uint32_t>::max();
    f.hriPosition = 3;
    FontHeightSnap(f);
    EXPECT_EQ(f.fontHeight, std::numeric_limits<uint32_t>::max());
}

TEST(BarcodeSize, HriChoicesSnap) {
    BarcodeFontRecord f = DefaultFont();
    f.barHeight = 163;
    StoreHriPosition(f, 1);
    EXPECT_EQ(f.hriPosition, 1);
    EXPECT_EQ(f.fontHeight, 187u);
    StoreHriFont(f, 1);
    EXPECT_EQ(f.hriFont, 1);
    EXPECT_EQ(f.fontHeight, 180u);
    StoreHriPosition(f, 0);  // "不打印": the bar height alone, snapped
    EXPECT_EQ(f.fontHeight, 162u);
    StoreHriPosition(f, -1);  // no selection: nothing stored
    EXPECT_EQ(f.hriPosition, 0);
    StoreHriPosition(f, 4);
    EXPECT_EQ(f.hriPosition, 0);
}

struct ClampCase {
    const char16_t* text;
    uint32_t lo, hi, expected;
};

void PrintTo(const ClampCase& c, std::ostream* os) {
    *os << '"' << Utf16ToUtf8(c.text) << "\" in " << c.lo << ".." << c.hi;
}

class ClampFieldTextCases : public testing::TestWithParam<ClampCase> {};

TEST_P(ClampFieldTextCases, ReadsSignedComparesUnsigned) {
    const ClampCase& c = GetParam();
    EXPECT_EQ(ClampFieldText(c.text, c.lo, c.hi), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClampFieldTextCases,
    testing::Values(ClampCase{u"9", 2, 6, 6}, ClampCase{u"0", 2, 6, 2}, ClampCase{u"-", 2, 6, 2},
                    ClampCase{u"", 2, 6, 2}, ClampCase{u"4", 2, 6, 4},
                    ClampCase{u"300", 1, 255, 255}, ClampCase{u"-12", 1, 255, 255},
                    ClampCase{u"-1", 1, 255, 255}, ClampCase{u"abc", 1, 255, 1},
                    ClampCase{u"5x", 1, 255, 1}, ClampCase{u" 17 ", 1, 255, 17},
                    ClampCase{u"+3", 1, 255, 3}, ClampCase{u"99999999999", 1, 255, 255},
                    ClampCase{u"-99999999999", 1, 255, 255}, ClampCase{u"2", 2, 250, 2}));

TEST(BarcodeFields, StoreWithDependentFields) {
    BarcodeFontRecord f = DefaultFont();
    EXPECT_EQ(StoreBarcodeNumericField(f, BarcodeNumericField::ElementWidth, u"9"), 6u);
    EXPECT_EQ(f.elementWidth, 6);
    EXPECT_EQ(f.elementWidthTimes8, 48u);
    StoreBarcodeNumericField(f, BarcodeNumericField::ElementWidth, u"0");
    EXPECT_EQ(f.elementWidthTimes8, 16u);
    EXPECT_EQ(StoreBarcodeNumericField(f, BarcodeNumericField::BarHeight, u"-12"), 255u);
    EXPECT_EQ(f.barHeight, 255u);
    EXPECT_EQ(f.fontHeight, 255u);
    EXPECT_EQ(StoreBarcodeNumericField(f, BarcodeNumericField::Gs1RowHeight, u"251"), 250u);
    EXPECT_EQ(f.gs1RowHeight, 250u);
    EXPECT_EQ(StoreBarcodeNumericField(f, BarcodeNumericField::Gs1CompositeRowHeight, u"0"), 1u);
    EXPECT_EQ(f.gs1CompositeRowHeight, 1u);
    EXPECT_EQ(StoreBarcodeNumericField(f, BarcodeNumericField::Gs1SeparatorHeight, u"11"), 10u);
    EXPECT_EQ(f.gs1SeparatorHeight, 10);
    EXPECT_EQ(StoreBarcodeNumericField(f, BarcodeNumericField::Gs1ElementWidth, u"7"), 6u);
    EXPECT_EQ(BarcodeFieldValue(f, BarcodeNumericField::Gs1ElementWidth), 6u);
}

TEST(BarcodePageTexts, Gs1HriListShowsStoredValueMinusOne) {
    EXPECT_EQ(Gs1HriListIndex(1), 0);
    EXPECT_EQ(Gs1HriListIndex(4), 3);
    EXPECT_EQ(Gs1HriListIndex(0), -1);
    EXPECT_EQ(Gs1HriListIndex(5), -1);
}

// Each type's sample data, put into the field when the type is chosen, must print as is.
TEST(BarcodePageTexts, EverySamplePassesItsOwnRule) {
    BarcodeFontRecord f = DefaultFont();
    for (uint8_t type = 0; type < 13; ++type) {
        f.barcodeType = type;
        EXPECT_EQ(BuildBarcodeTestPrint(f, BarcodeSampleText(type)).status, TestPrintStatus::Built)
            << int(type);
    }
    EXPECT_EQ(BarcodeSampleText(8), u"{A1234");
    EXPECT_EQ(BarcodeSampleText(6), u"A123456789A");
    EXPECT_TRUE(BarcodeSampleText(13).empty());
}

TEST(BarcodePageRules, EnableRules) {
    for (uint8_t type = 0; type < 16; ++type)
        EXPECT_EQ(BarcodeApplicationIdentifiersEnabled(type), type == 12) << int(type);
    EXPECT_FALSE(HriFontButtonsEnabled(0));
    EXPECT_TRUE(HriFontButtonsEnabled(1));
    EXPECT_TRUE(HriFontButtonsEnabled(3));
    EXPECT_FALSE(TestPrintButtonEnabled(u""));
    EXPECT_TRUE(TestPrintButtonEnabled(u" "));
}

TEST(BarcodePageRules, ListStoresIgnoreNoSelection) {
    BarcodeFontRecord f = DefaultFont();
    StoreGs1Hri(f, 3);
    EXPECT_EQ(f.gs1Hri, 4);
    StoreGs1Hri(f, -1);
    EXPECT_EQ(f.gs1Hri, 4);
    StoreApplicationIdentifiers(f, 0);
    EXPECT_EQ(f.gs1UseAi, 0);
    StoreApplicationIdentifiers(f, 2);
    EXPECT_EQ(f.gs1UseAi, 0);
}

}  // namespace
}  // namespace krv
