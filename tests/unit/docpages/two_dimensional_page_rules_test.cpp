#include <string>

#include <gtest/gtest.h>

#include "docpages/two_dimensional_page_rules.h"

namespace krv {
namespace {

using F = TwoDimensionalNumericField;
using L = TwoDimensionalList;

TwoDimensionalCodeRecord DefaultFont() {
    OemDevmode r;
    DefaultOemDevmode(&r);
    return r.twoDimensionalCodeFonts[0];
}

struct FieldCase {
    F field;
    const char16_t* text;
    uint32_t expected;
};

class TwoDimensionalClamp : public testing::TestWithParam<FieldCase> {};

TEST_P(TwoDimensionalClamp, StoresTheClampedValue) {
    const FieldCase& c = GetParam();
    TwoDimensionalCodeRecord f = DefaultFont();
    EXPECT_EQ(StoreTwoDimensionalNumericField(f, c.field, c.text), c.expected);
    EXPECT_EQ(TwoDimensionalFieldValue(f, c.field), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TwoDimensionalClamp,
    testing::Values(FieldCase{F::Pdf417ElementWidth, u"9", 7},
                    FieldCase{F::Pdf417Columns, u"99", 30}, FieldCase{F::Pdf417Rows, u"1", 3},
                    FieldCase{F::Pdf417ElementHeight, u"-5", 25},
                    FieldCase{F::Gs1ElementWidth, u"0", 1}, FieldCase{F::Gs1RowHeight, u"300", 250},
                    FieldCase{F::Gs1CompositeRowHeight, u"", 1},
                    FieldCase{F::Gs1SeparatorHeight, u"7", 7}, FieldCase{F::Segments, u"1", 2},
                    FieldCase{F::Segments, u"-", 2}, FieldCase{F::QrModuleWidth, u"25", 24}));

TEST(TwoDimensionalLists, NewPageShowsTheQrDefaults) {
    const TwoDimensionalCodeRecord f = DefaultFont();
    auto shown = [&](L list) {
        const int i = TwoDimensionalListIndex(f, list);
        return i < 0 ? std::u16string_view() : TwoDimensionalListTexts(list)[i];
    };
    EXPECT_EQ(TwoDimensionalFieldValue(f, F::QrModuleWidth), 3u);
    EXPECT_EQ(shown(L::QrLanguage), u"中文");
    EXPECT_EQ(shown(L::QrMode), u"1");
    EXPECT_EQ(shown(L::QrLevel), u"M");
    EXPECT_EQ(shown(L::Pdf417Level), u"纠错等级 5");
    EXPECT_EQ(shown(L::Gs1Hri), u"主数据和辅助数据");
    EXPECT_EQ(shown(L::ApplicationIdentifiers), u"是");
}

TEST(TwoDimensionalLists, StoredValues) {
    TwoDimensionalCodeRecord f = DefaultFont();
    StoreTwoDimensionalList(f, L::QrMode, 1);
    EXPECT_EQ(f.qrMode, 2);
    StoreTwoDimensionalList(f, L::Gs1Hri, 3);
    EXPECT_EQ(f.gs1Hri, 4);
    StoreTwoDimensionalList(f, L::Pdf417Level, 8);
    EXPECT_EQ(f.pdf417ErrorLevel, 8);
    StoreTwoDimensionalList(f, L::QrLevel, 3);
    EXPECT_EQ(f.qrErrorLevel, 3);
    StoreTwoDimensionalList(f, L::QrLevel, 4);  // not an entry
    StoreTwoDimensionalList(f, L::QrLevel, -1);
    EXPECT_EQ(f.qrErrorLevel, 3);
    f.qrMode = 0;  // a stored value no entry shows
    EXPECT_EQ(TwoDimensionalListIndex(f, L::QrMode), -1);
    EXPECT_EQ(TwoDimensionalListTexts(L::Pdf417Level).size(), 9u);
    EXPECT_EQ(TwoDimensionalTypeListTexts().size(), 6u);
    EXPECT_EQ(TwoDimensionalTypeListTexts()[3], u"GS1 DataBar Expanded Stacked");
}

TEST(TwoDimensionalEnables, ByType) {
    for (uint8_t type = 0; type < 6; ++type) {
        const auto font = EnablesAfterFontChange(type);
        EXPECT_EQ(font.pdf417, type == 0) << int(type);
        EXPECT_EQ(font.applicationIdentifiers, type == 3) << int(type);
        EXPECT_FALSE(font.segments.has_value()) << "the font list leaves segments alone";
        const auto change = EnablesAfterTypeChange(type);
        EXPECT_EQ(change.pdf417, type == 0);
        EXPECT_EQ(change.applicationIdentifiers, type == 3);
        EXPECT_EQ(change.segments, type == 3);
    }
}

TEST(TwoDimensionalComposite, SegmentsRiseToFour) {
    EXPECT_EQ(SegmentsTextOnComposite(u"2"), u"4");
    EXPECT_EQ(SegmentsTextOnComposite(u"3"), u"4");
    EXPECT_EQ(SegmentsTextOnComposite(u""), u"4");
    EXPECT_EQ(SegmentsTextOnComposite(u"-"), u"4");
    EXPECT_EQ(SegmentsTextOnComposite(u"-7"), u"4");
    EXPECT_FALSE(SegmentsTextOnComposite(u"4"));
    EXPECT_FALSE(SegmentsTextOnComposite(u"9"));
    // Choosing "复合" with segments 2 stores 4 through the segments field; "独立" keeps it.
    TwoDimensionalCodeRecord f = DefaultFont();
    f.gs1Segments = 2;
    const auto text = SegmentsTextOnComposite(u"2");
    ASSERT_TRUE(text);
    StoreTwoDimensionalNumericField(f, F::Segments, *text);
    EXPECT_EQ(f.gs1Segments, 4);
    const auto standalone = SegmentsRangeFor(false);
    EXPECT_EQ(standalone.lo, 2u);
    EXPECT_EQ(standalone.rangeText, u"[ 2 . . 20 ]");
    const auto composite = SegmentsRangeFor(true);
    EXPECT_EQ(composite.lo, 4u);
    EXPECT_EQ(composite.hi, 20u);
    EXPECT_EQ(composite.rangeText, u"[ 4 . . 20 ]");
    EXPECT_EQ(StoreTwoDimensionalNumericField(f, F::Segments, u"2"), 2u);
}

}  // namespace
}  // namespace krv
