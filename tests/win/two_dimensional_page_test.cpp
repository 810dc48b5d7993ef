// The two-dimensional code page of the real document sheet, driven with the messages a user's
// typing, choosing and clicking produce: what it shows and enables, what it stores where in the
// record, what it reports to the sheet, and the test print it hands to the spooler.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "jobs/barcode_test_print.h"
#include "docpages/two_dimensional_page_rules.h"
#include "tests/win/support/barcode_pages_helpers.h"
#include "tests/win/support/fake_spooler.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

enum : int {
    kFontList = 1020,
    kTypeList = 1022,
    kPdf417LevelList = 1023,
    kGs1HriList = 1024,
    kIdentifierList = 1025,
    kLanguageList = 1026,
    kModeList = 1027,
    kQrLevelList = 1028,
    kElementWidth = 1047,
    kElementHeight = 1048,
    kColumns = 1049,
    kRows = 1050,
    kGs1ElementWidth = 1051,
    kGs1RowHeight = 1052,
    kSize = 1055,
    kCompositeRowHeight = 1059,
    kCompositeRowHeightUpDown = 1060,
    kSeparatorHeight = 1061,
    kQrModuleWidth = 1071,
    kSegments = 1078,
    kSegmentsUpDown = 1079,
    kSegmentsRange = 1080,
    kStandalone = 1097,
    kComposite = 1098,
    kPrint = 1106,
    kData = 1107,
};

// The PDF417 edits, their up-downs and the PDF417 level list.
constexpr int kPdf417Controls[] = {1047, 1053, 1048, 1054, 1049, 1056, 1050, 1057, 1023};

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
    ASSERT_EQ(ComboCount(page, kFontList), 2);
    EXPECT_EQ(ComboText(page, kFontList, 1), L"2D Code2");
    ASSERT_EQ(ComboCount(page, kTypeList), 6);
    EXPECT_EQ(ComboText(page, kTypeList, 2), L"GS1 DataBar Stacked Omnidirectional");
    EXPECT_EQ(ComboText(page, kTypeList, 5), L"Maxi Code");
    EXPECT_EQ(ComboText(page, kPdf417LevelList, 8), L"纠错等级 8");
    EXPECT_EQ(ComboTexts(page, kTypeList), WideTexts(TwoDimensionalTypeListTexts()));
    const std::pair<int, TwoDimensionalList> lists[] = {
        {kPdf417LevelList, TwoDimensionalList::Pdf417Level},
        {kGs1HriList, TwoDimensionalList::Gs1Hri},
        {kIdentifierList, TwoDimensionalList::ApplicationIdentifiers},
        {kLanguageList, TwoDimensionalList::QrLanguage},
        {kModeList, TwoDimensionalList::QrMode},
        {kQrLevelList, TwoDimensionalList::QrLevel}};
    for (const auto& [id, list] : lists)
        EXPECT_EQ(ComboTexts(page, id), WideTexts(TwoDimensionalListTexts(list))) << id;
    EXPECT_EQ(ItemText(page, 1062), L"[ 1. . 7 ]");
    EXPECT_EQ(ItemText(page, 1063), L"[ 2 . . 25 ]");
    EXPECT_EQ(ItemText(page, 1064), L"[ 1. . 30 ]");
    EXPECT_EQ(ItemText(page, 1065), L"[ 3 . . 90 ]");
    EXPECT_EQ(ItemText(page, kSegmentsRange), L"[ 2 . . 20 ]");
    EXPECT_EQ(ItemText(page, kSize), L"9.5");
    EXPECT_FALSE(IsEnabled(page, kSize));

    const std::pair<int, const wchar_t*> numbers[] = {{kElementWidth, L"3"},
                                                      {kElementHeight, L"3"},
                                                      {kColumns, L"3"},
                                                      {kRows, L"3"},
                                                      {kGs1ElementWidth, L"2"},
                                                      {kGs1RowHeight, L"100"},
                                                      {kCompositeRowHeight, L"2"},
                                                      {kSeparatorHeight, L"2"},
                                                      {kSegments, L"4"},
                                                      {kQrModuleWidth, L"3"}};
    for (const auto& [id, text] : numbers)
        EXPECT_EQ(ItemText(page, id), text) << id;
    const std::pair<int, int> selections[] = {{kPdf417LevelList, 5}, {kGs1HriList, 0},
                                              {kIdentifierList, 1},  {kLanguageList, 0},
                                              {kModeList, 0},        {kQrLevelList, 1}};
    for (const auto& [id, index] : selections)
        EXPECT_EQ(ComboSelection(page, id), index) << id;
    EXPECT_EQ(ComboText(page, kLanguageList, 0), L"中文");
    EXPECT_EQ(ComboText(page, kModeList, 0), L"1");
    EXPECT_EQ(ComboText(page, kQrLevelList, 1), L"M");

    EXPECT_TRUE(IsChecked(page, kStandalone));
    EXPECT_FALSE(IsEnabled(page, kCompositeRowHeight));
    EXPECT_FALSE(IsEnabled(page, kSegments));
    EXPECT_FALSE(IsEnabled(page, kIdentifierList));
    EXPECT_EQ(ItemText(page, kData), L"01234567890123");
    EXPECT_TRUE(IsEnabled(page, kPrint));
    EXPECT_EQ(Changes(), 0) << "showing the record changes nothing";
}

TEST_F(TwoDimensionalPage, EditsLimitTypingAndUpDownsTakeTheFieldRanges) {
    Open();
    struct Case {
        int edit, upDown, limit, lo, hi;
    } cases[] = {{kElementWidth, 1053, 1, 1, 7},
                 {kElementHeight, 1054, 2, 2, 25},
                 {kColumns, 1056, 2, 1, 30},
                 {kRows, 1057, 2, 3, 90},
                 {kGs1ElementWidth, 1058, 1, 1, 6},
                 {kGs1RowHeight, 1076, 3, 2, 250},
                 {kCompositeRowHeight, 1060, 1, 1, 10},
                 {kSeparatorHeight, 1068, 1, 1, 10},
                 {kSegments, 1079, 1, 2, 20},
                 {kQrModuleWidth, 1072, 2, 1, 24}};
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
        {kElementWidth, L"9", L"7", 1, 1, 7},
        {kColumns, L"99", L"30", 3, 1, 30},
        {kRows, L"1", L"3", 4, 1, 3},
        {kElementHeight, L"-5", L"25", 2, 1, 25},
        {kGs1ElementWidth, L"0", L"1", 6, 1, 1},
        {kGs1RowHeight, L"1", L"2", 8, 4, 2},
        {kGs1RowHeight, L"250", L"250", 8, 4, 250},
        {kCompositeRowHeight, L"20", L"10", 12, 4, 10},
        {kSeparatorHeight, L"", L"1", 16, 1, 1},
        {kSegments, L"1", L"2", 17, 1, 2},
        {kSegments, L"-3", L"20", 17, 1, 20},
        {kQrModuleWidth, L"25", L"24", 20, 1, 24},
    };
    for (const Case& c : cases) {
        ForgetSheetMessages();
        SetText(page, c.edit, c.typed);
        EXPECT_EQ(ItemText(page, c.edit), c.shown) << c.edit << " " << c.typed;
        EXPECT_EQ(Stored(0, c.offset, c.width), c.stored) << c.edit << " " << c.typed;
        if (c.edit == kSegments)
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
    } cases[] = {{kPdf417LevelList, 8, 5, 8}, {kGs1HriList, 3, 18, 4}, {kIdentifierList, 0, 19, 0},
                 {kLanguageList, 1, 21, 1},   {kModeList, 1, 22, 2},   {kQrLevelList, 3, 23, 3},
                 {kQrLevelList, 0, 23, 0}};
    for (const Case& c : cases) {
        ForgetSheetMessages();
        SelectCombo(page, c.list, c.index);
        EXPECT_EQ(Stored(0, c.offset, 1), c.stored) << c.list;
        EXPECT_EQ(Changes(), 1) << c.list;
    }
}

TEST_F(TwoDimensionalPage, CompositeRaisesTwoSegmentsToFourAndStandaloneAllowsTwoAgain) {
    Open();
    SetText(page, kSegments, L"2");
    ASSERT_EQ(Stored(0, 17, 1), 2u);
    Click(page, kComposite);
    EXPECT_EQ(ItemText(page, kSegments), L"4");
    EXPECT_EQ(Stored(0, 17, 1), 4u);
    EXPECT_EQ(ItemText(page, kSegmentsRange), L"[ 4 . . 20 ]");
    EXPECT_EQ(UpDownRange(page, kSegmentsUpDown), std::make_pair(4, 20));
    EXPECT_TRUE(IsEnabled(page, kCompositeRowHeight));
    EXPECT_TRUE(IsEnabled(page, kCompositeRowHeightUpDown));

    Click(page, kStandalone);
    EXPECT_EQ(Stored(0, 17, 1), 4u) << "standalone leaves the segments as they are";
    EXPECT_EQ(ItemText(page, kSegmentsRange), L"[ 2 . . 20 ]");
    EXPECT_EQ(UpDownRange(page, kSegmentsUpDown), std::make_pair(2, 20));
    EXPECT_FALSE(IsEnabled(page, kCompositeRowHeight));
    SetText(page, kSegments, L"2");
    EXPECT_EQ(ItemText(page, kSegments), L"2");
    EXPECT_EQ(Stored(0, 17, 1), 2u);
}

TEST_F(TwoDimensionalPage, CompositeKeepsSegmentsOfFourAndMore) {
    Open();
    SetText(page, kSegments, L"7");
    Click(page, kComposite);
    EXPECT_EQ(ItemText(page, kSegments), L"7");
    EXPECT_EQ(Stored(0, 17, 1), 7u);
}

// While "复合" is chosen the up-down shows at least 4; the record keeps what the field shows.
TEST_F(TwoDimensionalPage, CompositeStoresTheSegmentsTheFieldShows) {
    Open();
    Click(page, kComposite);
    SetText(page, kSegments, L"3");
    EXPECT_EQ(ItemText(page, kSegments), L"4");
    EXPECT_EQ(Stored(0, 17, 1), 4u);
}

TEST_F(TwoDimensionalPage, FontListRechecksStandaloneWithoutDisablingTheCompositeRowHeight) {
    sheet.record.twoDimensionalCodeFonts[1].gs1Segments = 2;
    Open();
    Click(page, kComposite);
    const OemDevmode before = sheet.record;
    ForgetSheetMessages();
    SelectCombo(page, kFontList, 1);
    EXPECT_TRUE(IsChecked(page, kStandalone));
    EXPECT_FALSE(IsChecked(page, kComposite));
    EXPECT_TRUE(IsEnabled(page, kCompositeRowHeight));
    EXPECT_TRUE(IsEnabled(page, kCompositeRowHeightUpDown));
    // Standalone again: the font's two segments are shown as stored, in the standalone range.
    EXPECT_EQ(ItemText(page, kSegments), L"2");
    EXPECT_EQ(ItemText(page, kSegmentsRange), L"[ 2 . . 20 ]");
    EXPECT_EQ(std::memcmp(&before, &sheet.record, sizeof before), 0)
        << "the font list stores nothing";
    EXPECT_EQ(Changes(), 0);
}

TEST_F(TwoDimensionalPage, TypeChangesEnableTheControlsOfTheType) {
    Open();
    for (int type = 0; type < 6; ++type) {
        SetText(page, kData, L"X");
        ForgetSheetMessages();
        SelectCombo(page, kTypeList, type);
        EXPECT_EQ(Stored(0, 0, 1), static_cast<uint32_t>(type));
        EXPECT_TRUE(Pdf417ControlsEnabled(type == 0)) << type;
        EXPECT_EQ(IsEnabled(page, kIdentifierList), type == 3) << type;
        EXPECT_EQ(IsEnabled(page, kSegments), type == 3) << type;
        EXPECT_EQ(IsEnabled(page, kSegmentsUpDown), type == 3) << type;
        EXPECT_EQ(ItemText(page, kData), L"01234567890123") << type;
        EXPECT_EQ(ItemText(page, kSize), L"9.5");
        EXPECT_EQ(Changes(), 1) << type;
    }
}

TEST_F(TwoDimensionalPage, FontChangesEnableByTypeButLeaveTheSegments) {
    sheet.record.twoDimensionalCodeFonts[1].codeType = 3;
    Open();
    SelectCombo(page, kFontList, 1);
    EXPECT_EQ(ComboSelection(page, kTypeList), 3);
    EXPECT_TRUE(IsEnabled(page, kIdentifierList));
    EXPECT_TRUE(Pdf417ControlsEnabled(false));
    EXPECT_FALSE(IsEnabled(page, kSegments)) << "only a type change enables the segments";
    SelectCombo(page, kFontList, 0);
    EXPECT_FALSE(IsEnabled(page, kIdentifierList));
    EXPECT_TRUE(Pdf417ControlsEnabled(true));
}

TEST_F(TwoDimensionalPage, OnlyAChosenFontOrTypeReplacesTypedData) {
    Open();
    SetText(page, kData, L"ABC");
    ForgetSheetMessages();
    for (int id : {kFontList, kTypeList})
        for (int code : {CBN_SETFOCUS, CBN_DROPDOWN, CBN_KILLFOCUS})
            Notify(id, code);
    EXPECT_EQ(ItemText(page, kData), L"ABC");
    EXPECT_EQ(Changes(), 0);
    SelectCombo(page, kFontList, 1);
    EXPECT_EQ(ItemText(page, kData), L"01234567890123");
}

TEST_F(TwoDimensionalPage, PrintButtonNeedsData) {
    Open();
    SetText(page, kData, L"");
    EXPECT_FALSE(IsEnabled(page, kPrint));
    SetText(page, kData, L"1");
    EXPECT_TRUE(IsEnabled(page, kPrint));
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
        SelectCombo(page, kTypeList, c.type);
        ResetSpooler();
        Click(page, kPrint);
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
    SetText(page, kData, L"中文");
    Click(page, kPrint);
    const Bytes joined = Spooler().Joined();
    const Bytes gbk = Hex({0xD6, 0xD0, 0xCE, 0xC4, 0x00});
    ASSERT_GE(joined.size(), gbk.size() + 5);
    EXPECT_TRUE(std::equal(gbk.begin(), gbk.end(), joined.end() - 5 - gbk.size()));
}

TEST_F(TwoDimensionalPage, RefusedDataShowsTheMessageAndSendsNothing) {
    Open();
    SelectCombo(page, kTypeList, 5);  // Maxi Code takes at most 84 bytes
    ModalWatcher watcher;
    SetText(page, kData, std::wstring(85, L'A'));
    Click(page, kPrint);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, L"错误");
    EXPECT_EQ(watcher.seen[0].text, L" 条码数据错误！");
    EXPECT_EQ(watcher.seen[0].icon, 0u);
    EXPECT_TRUE(Spooler().calls.empty());
    SetText(page, kData, std::wstring(84, L'A'));
    Click(page, kPrint);
    EXPECT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(Spooler().jobs, 1);
}

TEST_F(TwoDimensionalPage, WithoutPrinterThePrintButtonStaysDisabledAndSendsNothing) {
    sheet.documentContext.commonUi = nullptr;
    Open();
    EXPECT_FALSE(IsEnabled(page, kPrint));
    SelectCombo(page, kFontList, 1);
    EXPECT_FALSE(IsEnabled(page, kPrint));
    ModalWatcher watcher;
    SetText(page, kData, L"");
    SetText(page, kData, L"x");
    Notify(kPrint, BN_CLICKED);
    EXPECT_TRUE(Spooler().calls.empty());
    EXPECT_TRUE(watcher.seen.empty());
}

}  // namespace
}  // namespace krv::test
