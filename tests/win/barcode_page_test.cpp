// The barcode page of the real document sheet, driven with the messages a user's typing,
// choosing and clicking produce: what it shows, what it stores where in the record, what it
// reports to the sheet, and the test print it hands to the spooler.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "docpages/barcode_page_rules.h"
#include "jobs/barcode_test_print.h"
#include "res/barcode_page_ids.h"
#include "tests/win/support/barcode_pages_helpers.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

// The fifth tab of the document sheet; font records of 36 bytes from byte 596.
class BarcodePage : public CodePageTest<4, 596, 36> {};

TEST_F(BarcodePage, NewPageShowsListsRangesAndRecordZero) {
    Open();
    ASSERT_EQ(ComboCount(page, IDC_BARCODE_FONT_LIST), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ComboText(page, IDC_BARCODE_FONT_LIST, i), L"1D Code" + std::to_wstring(i + 1));
    ASSERT_EQ(ComboCount(page, IDC_BARCODE_TYPE_LIST), 13);
    EXPECT_EQ(ComboText(page, IDC_BARCODE_TYPE_LIST, 4), L"Code39");
    EXPECT_EQ(ComboText(page, IDC_BARCODE_TYPE_LIST, 12), L"GS1 DataBar Expanded");
    EXPECT_EQ(ComboText(page, IDC_BARCODE_HRI_POSITION_LIST, 3), L"在条形码上部和下部");
    EXPECT_EQ(ComboText(page, IDC_BARCODE_GS1_HRI_LIST, 0), L"主数据和辅助数据");
    EXPECT_EQ(ComboText(page, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST, 1), L"是");
    const std::pair<int, std::span<const std::u16string_view>> lists[] = {
        {IDC_BARCODE_TYPE_LIST, BarcodeTypeListTexts()},
        {IDC_BARCODE_HRI_POSITION_LIST, BarcodeHriPositionListTexts()},
        {IDC_BARCODE_GS1_HRI_LIST, Gs1HriListTexts()},
        {IDC_BARCODE_APPLICATION_IDENTIFIER_LIST, ApplicationIdentifierListTexts()}};
    for (const auto& [id, texts] : lists)
        EXPECT_EQ(ComboTexts(page, id), WideTexts(texts)) << id;
    EXPECT_EQ(ItemText(page, IDC_BARCODE_ELEMENT_WIDTH_RANGE), L"[ 2. . 6 ]");
    EXPECT_EQ(ItemText(page, IDC_BARCODE_BAR_HEIGHT_RANGE), L"[ 1 . . 255 ]");

    EXPECT_EQ(ComboSelection(page, IDC_BARCODE_FONT_LIST), 0);
    EXPECT_EQ(ComboSelection(page, IDC_BARCODE_TYPE_LIST), 0);
    const std::pair<int, const wchar_t*> numbers[] = {{IDC_BARCODE_ELEMENT_WIDTH, L"3"},
                                                      {IDC_BARCODE_BAR_HEIGHT, L"163"},
                                                      {IDC_BARCODE_GS1_ELEMENT_WIDTH, L"2"},
                                                      {IDC_BARCODE_GS1_ROW_HEIGHT, L"100"},
                                                      {IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT, L"2"},
                                                      {IDC_BARCODE_GS1_SEPARATOR_HEIGHT, L"1"}};
    for (const auto& [id, text] : numbers)
        EXPECT_EQ(ItemText(page, id), text) << id;
    EXPECT_EQ(ComboSelection(page, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST), 1);
    EXPECT_EQ(ItemText(page, IDC_BARCODE_MILLIMETRES), L" 23.0");
    EXPECT_EQ(ItemText(page, IDC_BARCODE_POINTS), L" 65.0");
    EXPECT_TRUE(IsChecked(page, IDC_BARCODE_HRI_FONT_A));
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_HRI_FONT_A) || IsEnabled(page, IDC_BARCODE_HRI_FONT_B))
        << "no HRI: no HRI font";
    EXPECT_TRUE(IsChecked(page, IDC_BARCODE_STANDALONE));
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT));
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST));
    EXPECT_EQ(ItemText(page, IDC_BARCODE_DATA), L"123456789012");
    EXPECT_TRUE(IsEnabled(page, IDC_BARCODE_PRINT));
    EXPECT_EQ(Changes(), 0) << "showing the record changes nothing";
}

TEST_F(BarcodePage, EditsLimitTypingAndUpDownsTakeTheFieldRanges) {
    Open();
    struct Case {
        int edit, upDown, limit, lo, hi;
    } cases[] = {
        {IDC_BARCODE_ELEMENT_WIDTH, IDC_BARCODE_ELEMENT_WIDTH_UPDOWN, 1, 2, 6},
        {IDC_BARCODE_BAR_HEIGHT, IDC_BARCODE_BAR_HEIGHT_UPDOWN, 3, 1, 255},
        {IDC_BARCODE_GS1_ELEMENT_WIDTH, IDC_BARCODE_GS1_ELEMENT_WIDTH_UPDOWN, 1, 1, 6},
        {IDC_BARCODE_GS1_ROW_HEIGHT, IDC_BARCODE_GS1_ROW_HEIGHT_UPDOWN, 3, 2, 250},
        {IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN, 1, 1,
         10},
        {IDC_BARCODE_GS1_SEPARATOR_HEIGHT, IDC_BARCODE_GS1_SEPARATOR_HEIGHT_UPDOWN, 1, 1, 10}};
    for (const Case& c : cases) {
        EXPECT_EQ(EditLimit(page, c.edit), c.limit) << c.edit;
        EXPECT_EQ(UpDownRange(page, c.upDown), std::make_pair(c.lo, c.hi)) << c.upDown;
    }
}

// Each typed text is clamped, stored at its offset and put back into the field, and reported
// once: putting the clamped value back must not store and report a second time.
TEST_F(BarcodePage, TypedNumbersAreClampedStoredAndReportedOnce) {
    Open();
    struct Stores {
        size_t offset, width;
        uint32_t value;
    };
    struct Case {
        int edit;
        const wchar_t* typed;
        const wchar_t* shown;
        std::vector<Stores> stored;
    } cases[] = {
        {IDC_BARCODE_ELEMENT_WIDTH, L"9", L"6", {{1, 1, 6}, {12, 4, 48}}},
        {IDC_BARCODE_ELEMENT_WIDTH, L"0", L"2", {{1, 1, 2}, {12, 4, 16}}},
        {IDC_BARCODE_ELEMENT_WIDTH, L"-", L"2", {{1, 1, 2}, {12, 4, 16}}},
        {IDC_BARCODE_ELEMENT_WIDTH, L"4", L"4", {{1, 1, 4}, {12, 4, 32}}},
        {IDC_BARCODE_BAR_HEIGHT, L"300", L"255", {{4, 4, 255}}},
        {IDC_BARCODE_BAR_HEIGHT, L"-12", L"255", {{4, 4, 255}}},
        {IDC_BARCODE_BAR_HEIGHT, L"", L"1", {{4, 4, 1}, {16, 4, 1}}},
        {IDC_BARCODE_GS1_ELEMENT_WIDTH, L"0", L"1", {{20, 1, 1}}},
        {IDC_BARCODE_GS1_ROW_HEIGHT, L"251", L"250", {{24, 4, 250}}},
        {IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT, L"11", L"10", {{28, 4, 10}}},
        {IDC_BARCODE_GS1_SEPARATOR_HEIGHT, L"x", L"1", {{32, 1, 1}}},
        {IDC_BARCODE_GS1_SEPARATOR_HEIGHT, L"7", L"7", {{32, 1, 7}}},
    };
    for (const Case& c : cases) {
        ForgetSheetMessages();
        SetText(page, c.edit, c.typed);
        EXPECT_EQ(ItemText(page, c.edit), c.shown) << c.edit << " " << c.typed;
        for (const Stores& s : c.stored)
            EXPECT_EQ(Stored(0, s.offset, s.width), s.value) << c.edit << " offset " << s.offset;
        EXPECT_EQ(Changes(), 1) << c.edit << " " << c.typed;
    }
}

TEST_F(BarcodePage, BarHeightSnapsTheFontHeightAndApplyRefreshesTheSize) {
    Open();
    SetText(page, IDC_BARCODE_BAR_HEIGHT, L"16");
    SetText(page, IDC_BARCODE_BAR_HEIGHT, L"163");
    EXPECT_EQ(Stored(0, 16, 4), 162u) << "163 dots snap to 65 points, stored as 162";
    EXPECT_EQ(ItemText(page, IDC_BARCODE_MILLIMETRES), L" 23.0") << "edits do not refresh the size";
    sheet.PressApply();
    EXPECT_EQ(ItemText(page, IDC_BARCODE_MILLIMETRES), L" 22.9");
    EXPECT_EQ(ItemText(page, IDC_BARCODE_POINTS), L" 65.0");
}

TEST_F(BarcodePage, HriSettingsEnableTheFontButtonsAndSnapTheFontHeight) {
    Open();
    SelectCombo(page, IDC_BARCODE_HRI_POSITION_LIST, 1);
    EXPECT_EQ(Stored(0, 8, 1), 1u);
    EXPECT_TRUE(IsEnabled(page, IDC_BARCODE_HRI_FONT_A) && IsEnabled(page, IDC_BARCODE_HRI_FONT_B));
    EXPECT_EQ(Stored(0, 16, 4), 187u) << "163 + 24 dots of Font A";
    Click(page, IDC_BARCODE_HRI_FONT_B);
    EXPECT_EQ(Stored(0, 9, 1), 1u);
    EXPECT_EQ(Stored(0, 16, 4), 180u) << "163 + 17 dots of Font B, exactly 72 points";
    SelectCombo(page, IDC_BARCODE_HRI_POSITION_LIST, 3);
    EXPECT_EQ(Stored(0, 16, 4), 197u) << "two lines of Font B";
    Click(page, IDC_BARCODE_HRI_FONT_A);
    EXPECT_EQ(Stored(0, 9, 1), 0u);
    SelectCombo(page, IDC_BARCODE_HRI_POSITION_LIST, 0);
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_HRI_FONT_A) ||
                 IsEnabled(page, IDC_BARCODE_HRI_FONT_B));
    EXPECT_EQ(Stored(0, 16, 4), 162u) << "the bars alone, snapped";
    EXPECT_EQ(Changes(), 5);
}

TEST_F(BarcodePage, Gs1ListsStoreTheirValues) {
    Open();
    SelectCombo(page, IDC_BARCODE_GS1_HRI_LIST, 3);
    EXPECT_EQ(Stored(0, 33, 1), 4u) << "entry index + 1";
    SelectCombo(page, IDC_BARCODE_TYPE_LIST, 12);
    SelectCombo(page, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST, 0);
    EXPECT_EQ(Stored(0, 34, 1), 0u);
}

TEST_F(BarcodePage, IdentifierListIsEnabledOnlyForGs1DataBarExpanded) {
    Open();
    for (int type = 0; type < 13; ++type) {
        SelectCombo(page, IDC_BARCODE_TYPE_LIST, type);
        EXPECT_EQ(Stored(0, 0, 1), static_cast<uint32_t>(type));
        EXPECT_EQ(IsEnabled(page, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST), type == 12) << type;
        EXPECT_EQ(
            ItemText(page, IDC_BARCODE_DATA),
            reinterpret_cast<const wchar_t*>(BarcodeSampleText(static_cast<uint8_t>(type)).c_str()))
            << type;
    }
    EXPECT_EQ(ItemText(page, IDC_BARCODE_DATA), L"01234567890123");
}

TEST_F(BarcodePage, FontListShowsTheChosenFontWithoutStoring) {
    sheet.record.barcodeFonts[2].barcodeType = 12;
    sheet.record.barcodeFonts[2].hriPosition = 2;
    sheet.record.barcodeFonts[2].hriFont = 1;
    sheet.record.barcodeFonts[2].fontHeight = 180;
    Open();
    const OemDevmode before = sheet.record;
    ForgetSheetMessages();
    SelectCombo(page, IDC_BARCODE_FONT_LIST, 2);
    EXPECT_EQ(ComboSelection(page, IDC_BARCODE_TYPE_LIST), 12);
    EXPECT_TRUE(IsEnabled(page, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST));
    EXPECT_TRUE(IsChecked(page, IDC_BARCODE_HRI_FONT_B) &&
                !IsChecked(page, IDC_BARCODE_HRI_FONT_A));
    EXPECT_TRUE(IsEnabled(page, IDC_BARCODE_HRI_FONT_B));
    EXPECT_EQ(ItemText(page, IDC_BARCODE_MILLIMETRES), L" 25.4");
    EXPECT_EQ(ItemText(page, IDC_BARCODE_POINTS), L" 72.0");
    SelectCombo(page, IDC_BARCODE_FONT_LIST, 7);
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST));
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_HRI_FONT_B));
    EXPECT_EQ(ItemText(page, IDC_BARCODE_DATA), L"{A1234");
    EXPECT_EQ(std::memcmp(&before, &sheet.record, sizeof before), 0);
    EXPECT_EQ(Changes(), 0);
}

TEST_F(BarcodePage, AnyNotificationOfTheFontOrTypeListReplacesTypedData) {
    Open();
    SetText(page, IDC_BARCODE_DATA, L"999");
    ForgetSheetMessages();
    Notify(IDC_BARCODE_TYPE_LIST, CBN_SETFOCUS);
    EXPECT_EQ(ItemText(page, IDC_BARCODE_DATA), L"123456789012");
    EXPECT_EQ(Changes(), 1) << "the type list stores and reports even on focus";

    SelectCombo(page, IDC_BARCODE_FONT_LIST, 7);
    SetText(page, IDC_BARCODE_DATA, L"{B99");
    ForgetSheetMessages();
    Notify(IDC_BARCODE_FONT_LIST, CBN_KILLFOCUS);
    EXPECT_EQ(ItemText(page, IDC_BARCODE_DATA), L"{A1234");
    EXPECT_EQ(Changes(), 0) << "the font list never reports";
}

TEST_F(BarcodePage, CompositeEnablesTheCompositeRowHeightAndTheFontListKeepsIt) {
    Open();
    const OemDevmode before = sheet.record;
    Click(page, IDC_BARCODE_COMPOSITE);
    EXPECT_TRUE(IsEnabled(page, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT));
    EXPECT_TRUE(IsEnabled(page, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN));
    EXPECT_EQ(Changes(), 1);
    SelectCombo(page, IDC_BARCODE_FONT_LIST, 1);
    EXPECT_TRUE(IsChecked(page, IDC_BARCODE_STANDALONE));
    EXPECT_FALSE(IsChecked(page, IDC_BARCODE_COMPOSITE));
    EXPECT_TRUE(IsEnabled(page, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT))
        << "the font list leaves it enabled";
    Click(page, IDC_BARCODE_STANDALONE);
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT));
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN));
    EXPECT_EQ(std::memcmp(&before, &sheet.record, sizeof before), 0) << "the choice is not stored";
}

TEST_F(BarcodePage, PrintButtonNeedsData) {
    Open();
    SetText(page, IDC_BARCODE_DATA, L"");
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_PRINT));
    SetText(page, IDC_BARCODE_DATA, L"1");
    EXPECT_TRUE(IsEnabled(page, IDC_BARCODE_PRINT));
}

// The worked jobs: a print sends exactly what the builder makes for the font, byte for byte.
TEST_F(BarcodePage, PrintSendsTheJobOfTheSelectedFont) {
    const Bytes trailer = Hex({0x0A, 0x1D, 0x56, 0x42, 0x00});
    struct Case {
        int font;
        int type;  // -1: the font's default type
        Bytes expected;
    } cases[] = {
        {0, -1,
         Concat({Hex({0x0A, 0x0A, 0x1D, 0x66, 0x00, 0x1D, 0x48, 0x00, 0x1D, 0x77, 0x03, 0x1D, 0x68,
                      0xA3, 0x1D, 0x6B, 0x00}),
                 Ascii("123456789012"), Hex({0x00}), trailer})},
        {7, -1,
         Concat({Hex({0x0A, 0x0A, 0x1D, 0x66, 0x00, 0x1D, 0x48, 0x00, 0x1D, 0x77,
                      0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x49, 0x00, 0x1D, 0x77,
                      0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x49, 0x06}),
                 Ascii("{A1234"), Hex({0x00}), trailer})},
        {0, 9,
         Concat({Hex({0x0A, 0x0A, 0x1D, 0x66, 0x00, 0x1D, 0x48, 0x00, 0x1D, 0x73, 0x01,
                      0x02, 0x64, 0x02, 0x01, 0x02, 0x01, 0x01, 0x1D, 0x6B, 0x0D}),
                 Ascii("01234567890123"), Hex({0x00}), trailer})},
    };
    Open();
    ModalWatcher watcher;
    for (const Case& c : cases) {
        SelectCombo(page, IDC_BARCODE_FONT_LIST, c.font);
        if (c.type >= 0) SelectCombo(page, IDC_BARCODE_TYPE_LIST, c.type);
        ResetSpooler();
        Click(page, IDC_BARCODE_PRINT);
        EXPECT_EQ(Spooler().documentName, "Barcode");
        EXPECT_EQ(Spooler().dataType, "RAW");
        EXPECT_EQ(Spooler().Joined(), c.expected) << "font " << c.font;
        const std::wstring data = ItemText(page, IDC_BARCODE_DATA);
        const TestPrintBuild build = BuildTestPrint(sheet.record, BarcodePageKind::Barcode, c.font,
                                                    std::u16string(data.begin(), data.end()));
        EXPECT_EQ(Spooler().pieces, build.job.pieces) << "font " << c.font;
    }
    EXPECT_TRUE(watcher.seen.empty());
}

TEST_F(BarcodePage, RefusedDataShowsTheMessageAndSendsNothing) {
    Open();
    const OemDevmode before = sheet.record;
    ModalWatcher watcher;
    SetText(page, IDC_BARCODE_DATA, L"12345");  // UPC-A needs 11 or 12 digits
    Click(page, IDC_BARCODE_PRINT);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, L"错误");
    EXPECT_EQ(watcher.seen[0].text, L" 条码数据错误！");
    EXPECT_EQ(watcher.seen[0].icon, 0u);
    EXPECT_TRUE(Spooler().calls.empty());
    EXPECT_EQ(ItemText(page, IDC_BARCODE_DATA), L"12345");
    EXPECT_EQ(std::memcmp(&before, &sheet.record, sizeof before), 0);
}

TEST_F(BarcodePage, SpoolerFailureShowsNothing) {
    Open();
    ModalWatcher watcher;
    Spooler().FailAt(RecordingSpooler::Call::Write, 1);
    Click(page, IDC_BARCODE_PRINT);
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(Spooler().calls.back(), RecordingSpooler::Call::EndDoc) << "the job is still ended";
}

// Without the host's common-UI parameter block there is no printer: the print button stays
// disabled whatever the data, and a click that arrives anyway sends and shows nothing.
TEST_F(BarcodePage, WithoutPrinterThePrintButtonStaysDisabledAndSendsNothing) {
    sheet.documentContext.commonUi = nullptr;
    Open();
    EXPECT_EQ(ItemText(page, IDC_BARCODE_DATA), L"123456789012");
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_PRINT));
    SetText(page, IDC_BARCODE_DATA, L"12345678901");
    EXPECT_FALSE(IsEnabled(page, IDC_BARCODE_PRINT));
    ModalWatcher watcher;
    SetText(page, IDC_BARCODE_DATA,
            L"1");  // refused data would show a message if anything were tried
    Notify(IDC_BARCODE_PRINT, BN_CLICKED);
    EXPECT_TRUE(Spooler().calls.empty());
    EXPECT_TRUE(watcher.seen.empty());
}

}  // namespace
}  // namespace krv::test
