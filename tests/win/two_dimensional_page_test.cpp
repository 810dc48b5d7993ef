// The two-dimensional code page of the real document sheet, driven with the messages a user's
// typing, choosing and clicking produce: what it shows and enables, what it stores where in the
// record, what it reports to the sheet, and the test print it hands to the spooler.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "jobs/barcode_test_print.h"
#include "docpages/two_dimensional_page_rules.h"
#include "res/two_dimensional_page_ids.h"
#include "tests/win/support/barcode_pages_helpers.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

// The PDF417 edits, their up-downs and the PDF417 level list.
constexpr int kPdf417Controls[] = {
    IDC_2D_PDF417_ELEMENT_WIDTH,  IDC_2D_PDF417_ELEMENT_WIDTH_UPDOWN,
    IDC_2D_PDF417_ELEMENT_HEIGHT, IDC_2D_PDF417_ELEMENT_HEIGHT_UPDOWN,
    IDC_2D_PDF417_COLUMNS,        IDC_2D_PDF417_COLUMNS_UPDOWN,
    IDC_2D_PDF417_ROWS,           IDC_2D_PDF417_ROWS_UPDOWN,
    IDC_2D_PDF417_LEVEL_LIST};

// The sixth tab of the document sheet; font records of 24 bytes from byte 884.
class TwoDimensionalPage : public CodePageTest<5, 884, 24> {
  protected:
    bool Pdf417ControlsEnabled(bool expected) const {
        for (int id : kPdf417Controls)
            if (IsEnabled(page, id) != expected) return false;
        return true;
    }
};

TEST_F(TwoDimensionalPage, NewPageShowsRecordZeroCompletely) {
    Open();
    ASSERT_EQ(ComboCount(page, IDC_2D_FONT_LIST), 2);
    EXPECT_EQ(ComboText(page, IDC_2D_FONT_LIST, 1), L"2D Code2");
    ASSERT_EQ(ComboCount(page, IDC_2D_TYPE_LIST), 6);
    EXPECT_EQ(ComboText(page, IDC_2D_TYPE_LIST, 2), L"GS1 DataBar Stacked Omnidirectional");
    EXPECT_EQ(ComboText(page, IDC_2D_TYPE_LIST, 5), L"Maxi Code");
    EXPECT_EQ(ComboText(page, IDC_2D_PDF417_LEVEL_LIST, 8), L"纠错等级 8");
    EXPECT_EQ(ComboTexts(page, IDC_2D_TYPE_LIST), WideTexts(TwoDimensionalTypeListTexts()));
    const std::pair<int, TwoDimensionalList> lists[] = {
        {IDC_2D_PDF417_LEVEL_LIST, TwoDimensionalList::Pdf417Level},
        {IDC_2D_GS1_HRI_LIST, TwoDimensionalList::Gs1Hri},
        {IDC_2D_APPLICATION_IDENTIFIER_LIST, TwoDimensionalList::ApplicationIdentifiers},
        {IDC_2D_QR_LANGUAGE_LIST, TwoDimensionalList::QrLanguage},
        {IDC_2D_QR_MODE_LIST, TwoDimensionalList::QrMode},
        {IDC_2D_QR_LEVEL_LIST, TwoDimensionalList::QrLevel}};
    for (const auto& [id, list] : lists)
        EXPECT_EQ(ComboTexts(page, id), WideTexts(TwoDimensionalListTexts(list))) << id;
    EXPECT_EQ(ItemText(page, IDC_2D_PDF417_ELEMENT_WIDTH_RANGE), L"[ 1. . 7 ]");
    EXPECT_EQ(ItemText(page, IDC_2D_PDF417_ELEMENT_HEIGHT_RANGE), L"[ 2 . . 25 ]");
    EXPECT_EQ(ItemText(page, IDC_2D_PDF417_COLUMNS_RANGE), L"[ 1. . 30 ]");
    EXPECT_EQ(ItemText(page, IDC_2D_PDF417_ROWS_RANGE), L"[ 3 . . 90 ]");
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS_RANGE), L"[ 2 . . 20 ]");
    EXPECT_EQ(ItemText(page, IDC_2D_SIZE), L"9.5");
    EXPECT_FALSE(IsEnabled(page, IDC_2D_SIZE));

    const std::pair<int, const wchar_t*> numbers[] = {{IDC_2D_PDF417_ELEMENT_WIDTH, L"3"},
                                                      {IDC_2D_PDF417_ELEMENT_HEIGHT, L"3"},
                                                      {IDC_2D_PDF417_COLUMNS, L"3"},
                                                      {IDC_2D_PDF417_ROWS, L"3"},
                                                      {IDC_2D_GS1_ELEMENT_WIDTH, L"2"},
                                                      {IDC_2D_GS1_ROW_HEIGHT, L"100"},
                                                      {IDC_2D_GS1_COMPOSITE_ROW_HEIGHT, L"2"},
                                                      {IDC_2D_GS1_SEPARATOR_HEIGHT, L"2"},
                                                      {IDC_2D_SEGMENTS, L"4"},
                                                      {IDC_2D_QR_MODULE_WIDTH, L"3"}};
    for (const auto& [id, text] : numbers)
        EXPECT_EQ(ItemText(page, id), text) << id;
    const std::pair<int, int> selections[] = {{IDC_2D_PDF417_LEVEL_LIST, 5},
                                              {IDC_2D_GS1_HRI_LIST, 0},
                                              {IDC_2D_APPLICATION_IDENTIFIER_LIST, 1},
                                              {IDC_2D_QR_LANGUAGE_LIST, 0},
                                              {IDC_2D_QR_MODE_LIST, 0},
                                              {IDC_2D_QR_LEVEL_LIST, 1}};
    for (const auto& [id, index] : selections)
        EXPECT_EQ(ComboSelection(page, id), index) << id;
    EXPECT_EQ(ComboText(page, IDC_2D_QR_LANGUAGE_LIST, 0), L"中文");
    EXPECT_EQ(ComboText(page, IDC_2D_QR_MODE_LIST, 0), L"1");
    EXPECT_EQ(ComboText(page, IDC_2D_QR_LEVEL_LIST, 1), L"M");

    EXPECT_TRUE(IsChecked(page, IDC_2D_STANDALONE));
    EXPECT_FALSE(IsEnabled(page, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT));
    EXPECT_FALSE(IsEnabled(page, IDC_2D_SEGMENTS));
    EXPECT_FALSE(IsEnabled(page, IDC_2D_APPLICATION_IDENTIFIER_LIST));
    EXPECT_EQ(ItemText(page, IDC_2D_DATA), L"01234567890123");
    EXPECT_TRUE(IsEnabled(page, IDC_2D_PRINT));
    EXPECT_EQ(Changes(), 0) << "showing the record changes nothing";
}

TEST_F(TwoDimensionalPage, EditsLimitTypingAndUpDownsTakeTheFieldRanges) {
    Open();
    struct Case {
        int edit, upDown, limit, lo, hi;
    } cases[] = {
        {IDC_2D_PDF417_ELEMENT_WIDTH, IDC_2D_PDF417_ELEMENT_WIDTH_UPDOWN, 1, 1, 7},
        {IDC_2D_PDF417_ELEMENT_HEIGHT, IDC_2D_PDF417_ELEMENT_HEIGHT_UPDOWN, 2, 2, 25},
        {IDC_2D_PDF417_COLUMNS, IDC_2D_PDF417_COLUMNS_UPDOWN, 2, 1, 30},
        {IDC_2D_PDF417_ROWS, IDC_2D_PDF417_ROWS_UPDOWN, 2, 3, 90},
        {IDC_2D_GS1_ELEMENT_WIDTH, IDC_2D_GS1_ELEMENT_WIDTH_UPDOWN, 1, 1, 6},
        {IDC_2D_GS1_ROW_HEIGHT, IDC_2D_GS1_ROW_HEIGHT_UPDOWN, 3, 2, 250},
        {IDC_2D_GS1_COMPOSITE_ROW_HEIGHT, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN, 1, 1, 10},
        {IDC_2D_GS1_SEPARATOR_HEIGHT, IDC_2D_GS1_SEPARATOR_HEIGHT_UPDOWN, 1, 1, 10},
        {IDC_2D_SEGMENTS, IDC_2D_SEGMENTS_UPDOWN, 1, 2, 20},
        {IDC_2D_QR_MODULE_WIDTH, IDC_2D_QR_MODULE_WIDTH_UPDOWN, 2, 1, 24}};
    for (const Case& c : cases) {
        EXPECT_EQ(EditLimit(page, c.edit), c.limit) << c.edit;
        EXPECT_EQ(UpDownRange(page, c.upDown), std::make_pair(c.lo, c.hi)) << c.upDown;
    }
}

// Each typed text is clamped, stored at its offset and put back into the field. Putting the
// clamped value back must not store and report again: one report per change, except for the
// segments edit, which reacts to every notification it sends.
TEST_F(TwoDimensionalPage, TypedNumbersAreClampedAndStored) {
    Open();
    struct Case {
        int edit;
        const wchar_t* typed;
        const wchar_t* shown;
        size_t offset, width;
        uint32_t stored;
    } cases[] = {
        {IDC_2D_PDF417_ELEMENT_WIDTH, L"9", L"7", 1, 1, 7},
        {IDC_2D_PDF417_COLUMNS, L"99", L"30", 3, 1, 30},
        {IDC_2D_PDF417_ROWS, L"1", L"3", 4, 1, 3},
        {IDC_2D_PDF417_ELEMENT_HEIGHT, L"-5", L"25", 2, 1, 25},
        {IDC_2D_GS1_ELEMENT_WIDTH, L"0", L"1", 6, 1, 1},
        {IDC_2D_GS1_ROW_HEIGHT, L"1", L"2", 8, 4, 2},
        {IDC_2D_GS1_ROW_HEIGHT, L"250", L"250", 8, 4, 250},
        {IDC_2D_GS1_COMPOSITE_ROW_HEIGHT, L"20", L"10", 12, 4, 10},
        {IDC_2D_GS1_SEPARATOR_HEIGHT, L"", L"1", 16, 1, 1},
        {IDC_2D_SEGMENTS, L"1", L"2", 17, 1, 2},
        {IDC_2D_SEGMENTS, L"-3", L"20", 17, 1, 20},
        {IDC_2D_QR_MODULE_WIDTH, L"25", L"24", 20, 1, 24},
    };
    for (const Case& c : cases) {
        ForgetSheetMessages();
        SetText(page, c.edit, c.typed);
        EXPECT_EQ(ItemText(page, c.edit), c.shown) << c.edit << " " << c.typed;
        EXPECT_EQ(Stored(0, c.offset, c.width), c.stored) << c.edit << " " << c.typed;
        if (c.edit == IDC_2D_SEGMENTS)
            EXPECT_GE(Changes(), 1);
        else
            EXPECT_EQ(Changes(), 1) << c.edit << " " << c.typed;
    }
}

TEST_F(TwoDimensionalPage, ValueListsStoreTheirValues) {
    Open();
    struct Case {
        int list, index;
        size_t offset;
        uint32_t stored;
    } cases[] = {{IDC_2D_PDF417_LEVEL_LIST, 8, 5, 8},
                 {IDC_2D_GS1_HRI_LIST, 3, 18, 4},
                 {IDC_2D_APPLICATION_IDENTIFIER_LIST, 0, 19, 0},
                 {IDC_2D_QR_LANGUAGE_LIST, 1, 21, 1},
                 {IDC_2D_QR_MODE_LIST, 1, 22, 2},
                 {IDC_2D_QR_LEVEL_LIST, 3, 23, 3},
                 {IDC_2D_QR_LEVEL_LIST, 0, 23, 0}};
    for (const Case& c : cases) {
        ForgetSheetMessages();
        SelectCombo(page, c.list, c.index);
        EXPECT_EQ(Stored(0, c.offset, 1), c.stored) << c.list;
        EXPECT_EQ(Changes(), 1) << c.list;
    }
}

TEST_F(TwoDimensionalPage, CompositeRaisesTwoSegmentsToFourAndStandaloneAllowsTwoAgain) {
    Open();
    SetText(page, IDC_2D_SEGMENTS, L"2");
    ASSERT_EQ(Stored(0, 17, 1), 2u);
    Click(page, IDC_2D_COMPOSITE);
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS), L"4");
    EXPECT_EQ(Stored(0, 17, 1), 4u);
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS_RANGE), L"[ 4 . . 20 ]");
    EXPECT_EQ(UpDownRange(page, IDC_2D_SEGMENTS_UPDOWN), std::make_pair(4, 20));
    EXPECT_TRUE(IsEnabled(page, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT));
    EXPECT_TRUE(IsEnabled(page, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN));

    Click(page, IDC_2D_STANDALONE);
    EXPECT_EQ(Stored(0, 17, 1), 4u) << "standalone leaves the segments as they are";
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS_RANGE), L"[ 2 . . 20 ]");
    EXPECT_EQ(UpDownRange(page, IDC_2D_SEGMENTS_UPDOWN), std::make_pair(2, 20));
    EXPECT_FALSE(IsEnabled(page, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT));
    SetText(page, IDC_2D_SEGMENTS, L"2");
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS), L"2");
    EXPECT_EQ(Stored(0, 17, 1), 2u);
}

TEST_F(TwoDimensionalPage, CompositeKeepsSegmentsOfFourAndMore) {
    Open();
    SetText(page, IDC_2D_SEGMENTS, L"7");
    Click(page, IDC_2D_COMPOSITE);
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS), L"7");
    EXPECT_EQ(Stored(0, 17, 1), 7u);
}

// While "复合" is chosen the up-down shows at least 4; the record keeps what the field shows.
TEST_F(TwoDimensionalPage, CompositeStoresTheSegmentsTheFieldShows) {
    Open();
    Click(page, IDC_2D_COMPOSITE);
    SetText(page, IDC_2D_SEGMENTS, L"3");
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS), L"4");
    EXPECT_EQ(Stored(0, 17, 1), 4u);
}

TEST_F(TwoDimensionalPage, FontListRechecksStandaloneWithoutDisablingTheCompositeRowHeight) {
    sheet.record.twoDimensionalCodeFonts[1].gs1Segments = 2;
    Open();
    Click(page, IDC_2D_COMPOSITE);
    const OemDevmode before = sheet.record;
    ForgetSheetMessages();
    SelectCombo(page, IDC_2D_FONT_LIST, 1);
    EXPECT_TRUE(IsChecked(page, IDC_2D_STANDALONE));
    EXPECT_FALSE(IsChecked(page, IDC_2D_COMPOSITE));
    EXPECT_TRUE(IsEnabled(page, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT));
    EXPECT_TRUE(IsEnabled(page, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN));
    // Standalone again: the font's two segments are shown as stored, in the standalone range.
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS), L"2");
    EXPECT_EQ(ItemText(page, IDC_2D_SEGMENTS_RANGE), L"[ 2 . . 20 ]");
    EXPECT_EQ(std::memcmp(&before, &sheet.record, sizeof before), 0)
        << "the font list stores nothing";
    EXPECT_EQ(Changes(), 0);
}

TEST_F(TwoDimensionalPage, TypeChangesEnableTheControlsOfTheType) {
    Open();
    for (int type = 0; type < 6; ++type) {
        SetText(page, IDC_2D_DATA, L"X");
        ForgetSheetMessages();
        SelectCombo(page, IDC_2D_TYPE_LIST, type);
        EXPECT_EQ(Stored(0, 0, 1), static_cast<uint32_t>(type));
        EXPECT_TRUE(Pdf417ControlsEnabled(type == 0)) << type;
        EXPECT_EQ(IsEnabled(page, IDC_2D_APPLICATION_IDENTIFIER_LIST), type == 3) << type;
        EXPECT_EQ(IsEnabled(page, IDC_2D_SEGMENTS), type == 3) << type;
        EXPECT_EQ(IsEnabled(page, IDC_2D_SEGMENTS_UPDOWN), type == 3) << type;
        EXPECT_EQ(ItemText(page, IDC_2D_DATA), L"01234567890123") << type;
        EXPECT_EQ(ItemText(page, IDC_2D_SIZE), L"9.5");
        EXPECT_EQ(Changes(), 1) << type;
    }
}

TEST_F(TwoDimensionalPage, FontChangesEnableByTypeButLeaveTheSegments) {
    sheet.record.twoDimensionalCodeFonts[1].codeType = 3;
    Open();
    SelectCombo(page, IDC_2D_FONT_LIST, 1);
    EXPECT_EQ(ComboSelection(page, IDC_2D_TYPE_LIST), 3);
    EXPECT_TRUE(IsEnabled(page, IDC_2D_APPLICATION_IDENTIFIER_LIST));
    EXPECT_TRUE(Pdf417ControlsEnabled(false));
    EXPECT_FALSE(IsEnabled(page, IDC_2D_SEGMENTS)) << "only a type change enables the segments";
    SelectCombo(page, IDC_2D_FONT_LIST, 0);
    EXPECT_FALSE(IsEnabled(page, IDC_2D_APPLICATION_IDENTIFIER_LIST));
    EXPECT_TRUE(Pdf417ControlsEnabled(true));
}

TEST_F(TwoDimensionalPage, OnlyAChosenFontOrTypeReplacesTypedData) {
    Open();
    SetText(page, IDC_2D_DATA, L"ABC");
    ForgetSheetMessages();
    for (int id : {IDC_2D_FONT_LIST, IDC_2D_TYPE_LIST})
        for (int code : {CBN_SETFOCUS, CBN_DROPDOWN, CBN_KILLFOCUS})
            Notify(id, code);
    EXPECT_EQ(ItemText(page, IDC_2D_DATA), L"ABC");
    EXPECT_EQ(Changes(), 0);
    SelectCombo(page, IDC_2D_FONT_LIST, 1);
    EXPECT_EQ(ItemText(page, IDC_2D_DATA), L"01234567890123");
}

TEST_F(TwoDimensionalPage, PrintButtonNeedsData) {
    Open();
    SetText(page, IDC_2D_DATA, L"");
    EXPECT_FALSE(IsEnabled(page, IDC_2D_PRINT));
    SetText(page, IDC_2D_DATA, L"1");
    EXPECT_TRUE(IsEnabled(page, IDC_2D_PRINT));
}

TEST_F(TwoDimensionalPage, PrintSendsTheJobOfTheSelectedFont) {
    const Bytes trailer = Hex({0x0A, 0x1D, 0x56, 0x42, 0x00});
    const Bytes data = Ascii("01234567890123");
    struct Case {
        int type;
        Bytes expected;
    } cases[] = {
        {0, Concat({Hex({0x0A, 0x0A, 0x1D, 0x70, 0x01, 0x01, 0x03, 0x03, 0x03, 0x03, 0x1D, 0x71,
                         0x05, 0x1D, 0x6B, 0x0A}),
                    data, Hex({0x00}), trailer})},
        {4, Concat({Hex({0x0A, 0x0A, 0x1D, 0x6F, 0x00, 0x03, 0x00, 0x01, 0x1D, 0x6B, 0x0B, 0x4D,
                         0x41, 0x2C}),
                    data, Hex({0x00}), trailer})},
    };
    Open();
    ModalWatcher watcher;
    for (const Case& c : cases) {
        SelectCombo(page, IDC_2D_TYPE_LIST, c.type);
        ResetSpooler();
        Click(page, IDC_2D_PRINT);
        EXPECT_EQ(Spooler().documentName, "2Dcode");
        EXPECT_EQ(Spooler().Joined(), c.expected) << "type " << c.type;
        const TestPrintBuild build =
            BuildTestPrint(sheet.record, BarcodePageKind::TwoDimensional, 0, u"01234567890123");
        EXPECT_EQ(Spooler().pieces, build.job.pieces) << "type " << c.type;
    }
    EXPECT_TRUE(watcher.seen.empty());
}

// The field's text reaches the printer in the ANSI code page (936 under the test's Wine).
TEST_F(TwoDimensionalPage, ChineseDataIsSentInTheAnsiCodePage) {
    Open();
    SetText(page, IDC_2D_DATA, L"中文");
    Click(page, IDC_2D_PRINT);
    const Bytes joined = Spooler().Joined();
    const Bytes gbk = Hex({0xD6, 0xD0, 0xCE, 0xC4, 0x00});
    ASSERT_GE(joined.size(), gbk.size() + 5);
    EXPECT_TRUE(std::equal(gbk.begin(), gbk.end(), joined.end() - 5 - gbk.size()));
}

TEST_F(TwoDimensionalPage, RefusedDataShowsTheMessageAndSendsNothing) {
    Open();
    SelectCombo(page, IDC_2D_TYPE_LIST, 5);  // Maxi Code takes at most 84 bytes
    ModalWatcher watcher;
    SetText(page, IDC_2D_DATA, std::wstring(85, L'A'));
    Click(page, IDC_2D_PRINT);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, L"错误");
    EXPECT_EQ(watcher.seen[0].text, L" 条码数据错误！");
    EXPECT_EQ(watcher.seen[0].icon, 0u);
    EXPECT_TRUE(Spooler().calls.empty());
    SetText(page, IDC_2D_DATA, std::wstring(84, L'A'));
    Click(page, IDC_2D_PRINT);
    EXPECT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(Spooler().jobs, 1);
}

TEST_F(TwoDimensionalPage, WithoutPrinterThePrintButtonStaysDisabledAndSendsNothing) {
    sheet.documentContext.commonUi = nullptr;
    Open();
    EXPECT_FALSE(IsEnabled(page, IDC_2D_PRINT));
    SelectCombo(page, IDC_2D_FONT_LIST, 1);
    EXPECT_FALSE(IsEnabled(page, IDC_2D_PRINT));
    ModalWatcher watcher;
    SetText(page, IDC_2D_DATA, L"");
    SetText(page, IDC_2D_DATA, L"x");
    Notify(IDC_2D_PRINT, BN_CLICKED);
    EXPECT_TRUE(Spooler().calls.empty());
    EXPECT_TRUE(watcher.seen.empty());
}

}  // namespace
}  // namespace krv::test
