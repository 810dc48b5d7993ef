// The layout page with the host's own paper-size option items behind it: the combo mirrors
// them, a choice goes back into every paper-size item and the host is told; the text-as-image
// radios follow the watermark, rotation and zoom locks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "docpages/layout_rules.h"
#include "res/layout_page_ids.h"
#include "tests/win/support/docpages_helpers.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

constexpr int kDuplexPage = 0, kLayoutPage = 1;

const std::vector<std::wstring> kSizes = {L"A4", L"Letter", L"80 x 297 mm", L"B5"};

struct LayoutPage : testing::Test {
    // A host with one paper-size item (current size "Letter") between two others.
    LayoutPage() {
        options.Add(DMPUB_ORIENTATION, {L"Portrait", L"Landscape"}, 0);
        options.Add(DMPUB_FORMNAME, kSizes, 1);
        options.Add(DMPUB_COPIES_COLLATE, {L"1"}, 0);
    }
    HWND Open() {
        options.Link();
        sheet.commonUi.pDrvOptItems = options.Items();
        sheet.commonUi.cDrvOptItems = options.Count();
        sheet.commonUi.poemuiobj = &uiObject;
        sheet.documentContext.driverUi = &driverUi;
        sheet.Open();
        return sheet.Page(kLayoutPage);
    }
    std::u16string StoredName() const { return PaperSizeName(sheet.record); }
    HostOptionItems options;
    OEMUIOBJ uiObject = {sizeof(OEMUIOBJ), nullptr};
    RecordingDriverUi driverUi;
    Sheet sheet{Sheet::Kind::Document};
};

TEST_F(LayoutPage, ListsTheHostsSizesAndShowsItsCurrentOne) {
    HWND page = Open();
    ASSERT_EQ(ComboCount(page, IDC_LAYOUT_PAPER_SIZE_LIST), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ComboText(page, IDC_LAYOUT_PAPER_SIZE_LIST, i), kSizes[i]);
    EXPECT_EQ(ComboSelection(page, IDC_LAYOUT_PAPER_SIZE_LIST), 1);
    EXPECT_TRUE(driverUi.updates.empty()) << "showing the page pushes nothing";
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED), 0);
}

TEST_F(LayoutPage, ChoosingASizePushesItIntoEveryPaperSizeItemAndTellsTheHost) {
    options.Add(DMPUB_FORMNAME, kSizes, 0);  // a second paper-size item
    HWND page = Open();
    ASSERT_EQ(ComboCount(page, IDC_LAYOUT_PAPER_SIZE_LIST), 8)
        << "both items' sizes, one after the other";
    SelectCombo(page, IDC_LAYOUT_PAPER_SIZE_LIST, 6);  // "80 x 297 mm" of the second item
    // Each item gets the size's index among its own sizes, never an index past them.
    EXPECT_EQ(options.Item(1).Sel, 2);
    EXPECT_EQ(options.Item(3).Sel, 2);
    EXPECT_TRUE(options.Item(1).Flags & OPTIF_CHANGED);
    EXPECT_TRUE(options.Item(3).Flags & OPTIF_CHANGED);
    EXPECT_EQ(options.Item(0).Sel, 0);
    EXPECT_FALSE(options.Item(0).Flags & OPTIF_CHANGED) << "other items are left alone";
    ASSERT_EQ(driverUi.updates.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const auto& update = driverUi.updates[i];
        EXPECT_EQ(update.item, &options.Item(i == 0 ? 1 : 3));
        EXPECT_EQ(update.pci, &uiObject);
        EXPECT_EQ(update.sel, 2);
        EXPECT_TRUE(update.flags & OPTIF_CHANGED);
        EXPECT_EQ(update.previous, 0u);
        EXPECT_EQ(update.mode, 1u) << "document properties";
    }
    EXPECT_EQ(StoredName(), u"80 x 297 mm");
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 1);
}

TEST_F(LayoutPage, LongSizeNamesAreStoredAsTheirFirst31Characters) {
    const std::wstring longName = L"Custom Paper-123456789012345678901234567";  // 40
    ASSERT_EQ(longName.size(), 40u);
    options = HostOptionItems();
    options.Add(DMPUB_FORMNAME, {L"A4", longName}, 0);
    HWND page = Open();
    std::memset(sheet.record.paperSizeName, 0xFF, sizeof sheet.record.paperSizeName);
    SelectCombo(page, IDC_LAYOUT_PAPER_SIZE_LIST, 1);
    EXPECT_EQ(StoredName(), std::u16string(longName.begin(), longName.begin() + 31));
    for (size_t i = 31; i < 32; ++i)
        EXPECT_EQ(sheet.record.paperSizeName[i], 0) << "the rest of the field is cleared";
}

TEST_F(LayoutPage, ApplyPushesTheSizeAndKeepsTheRotation) {
    sheet.record.rotate180 = 1;
    HWND page = Open();
    ASSERT_TRUE(StoredName().empty());
    sheet.PressApply();
    EXPECT_EQ(StoredName(), u"Letter");
    EXPECT_EQ(driverUi.updates.size(), 1u);
    EXPECT_EQ(sheet.record.rotate180, 1) << "neither rotation radio is checked any more";
    EXPECT_GE(sheet.CountSheetMessages(PSM_UNCHANGED, page), 1);
}

// The rotation and zoom controls are set up from the record, then switched off: never shown,
// the 180-degree rotation, zoom printing, the scale and its up-down disabled and unchecked;
// only "Nomal" keeps the record's state.
TEST_F(LayoutPage, HiddenControlsAreSetUpFromTheRecordThenSwitchedOff) {
    for (const uint8_t rotated : {0, 1}) {
        Sheet sheet(Sheet::Kind::Document);
        sheet.record.rotate180 = rotated;
        sheet.record.zoomPrinting = 1;
        sheet.record.zoomScalePercent = 55;
        sheet.Open();
        HWND page = sheet.Page(kLayoutPage);
        for (const int id :
             {IDC_LAYOUT_ROTATE_NORMAL, IDC_LAYOUT_ROTATE_180, IDC_LAYOUT_ZOOM_PRINTING,
              IDC_LAYOUT_ZOOM_SCALE, IDC_LAYOUT_ZOOM_SCALE_UPDOWN})
            EXPECT_FALSE(IsVisible(page, id)) << id;
        for (const int id : {IDC_LAYOUT_ROTATE_180, IDC_LAYOUT_ZOOM_PRINTING, IDC_LAYOUT_ZOOM_SCALE,
                             IDC_LAYOUT_ZOOM_SCALE_UPDOWN})
            EXPECT_FALSE(IsEnabled(page, id)) << id;
        EXPECT_EQ(IsChecked(page, IDC_LAYOUT_ROTATE_NORMAL), rotated == 0);
        EXPECT_FALSE(IsChecked(page, IDC_LAYOUT_ROTATE_180));
        EXPECT_FALSE(IsChecked(page, IDC_LAYOUT_ZOOM_PRINTING));
        EXPECT_EQ(SendDlgItemMessageW(page, IDC_LAYOUT_ZOOM_SCALE, EM_GETLIMITTEXT, 0, 0), 3);
        EXPECT_EQ(SendDlgItemMessageW(page, IDC_LAYOUT_ZOOM_SCALE_UPDOWN, UDM_GETRANGE, 0, 0),
                  MAKELONG(100, 10));
        EXPECT_EQ(LOWORD(SendDlgItemMessageW(page, IDC_LAYOUT_ZOOM_SCALE_UPDOWN, UDM_GETPOS, 0, 0)),
                  55);
        EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED), 0);
    }
}

TEST_F(LayoutPage, TextAsImageRadiosStoreOneAndZero) {
    HWND page = Open();
    Click(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES);
    EXPECT_EQ(sheet.record.printTextAsImage, 1);
    Click(page, IDC_LAYOUT_TEXT_AS_IMAGE_NO);
    EXPECT_EQ(sheet.record.printTextAsImage, 0);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 2);
}

TEST_F(LayoutPage, ActiveWatermarkRotationOrZoomLockTextAsImageOnYes) {
    struct Case {
        uint8_t watermarkMode, rotate180, zoomPrinting;
    } cases[] = {{2, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.watermarkMode) << int(c.rotate180) << int(c.zoomPrinting));
        Sheet sheet(Sheet::Kind::Document);
        sheet.record.printTextAsImage = 0;
        sheet.record.watermarkMode = c.watermarkMode;
        sheet.record.rotate180 = c.rotate180;
        sheet.record.zoomPrinting = c.zoomPrinting;
        sheet.Open();
        HWND page = sheet.Page(kLayoutPage);
        EXPECT_TRUE(IsChecked(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES));
        EXPECT_FALSE(IsChecked(page, IDC_LAYOUT_TEXT_AS_IMAGE_NO));
        EXPECT_FALSE(IsEnabled(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES));
        EXPECT_FALSE(IsEnabled(page, IDC_LAYOUT_TEXT_AS_IMAGE_NO));
        EXPECT_EQ(sheet.record.printTextAsImage, 0) << "showing the lock stores nothing";
    }
}

TEST_F(LayoutPage, WatermarkSwitchedOffShowsNoAndUnlocksOnReturn) {
    sheet.record.watermarkMode = 2;
    sheet.record.printTextAsImage = 1;
    HWND page = Open();
    ASSERT_FALSE(IsEnabled(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES));
    sheet.Page(kDuplexPage);
    // What the watermark page does when its watermark is switched off.
    sheet.record.watermarkMode = 0;
    sheet.record.printTextAsImage = 0;
    sheet.documentContext.watermarkSwitchedOff = true;
    sheet.Page(kLayoutPage);
    EXPECT_TRUE(IsChecked(page, IDC_LAYOUT_TEXT_AS_IMAGE_NO));
    EXPECT_FALSE(IsChecked(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES));
    EXPECT_TRUE(IsEnabled(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES) &&
                IsEnabled(page, IDC_LAYOUT_TEXT_AS_IMAGE_NO));
    EXPECT_FALSE(sheet.documentContext.watermarkSwitchedOff) << "the flag is consumed";
}

TEST_F(LayoutPage, ActivationFollowsTheHostsOwnChangeOfSize) {
    const std::u16string gone = u"Gone";
    StorePaperSizeName(sheet.record, gone);
    HWND page = Open();
    EXPECT_EQ(ComboSelection(page, IDC_LAYOUT_PAPER_SIZE_LIST), 1)
        << "activation selects the host's size";
    sheet.Page(kDuplexPage);
    options.Item(1).Sel = 3;  // the host's own paper page chose "B5"
    sheet.Page(kLayoutPage);
    EXPECT_EQ(ComboSelection(page, IDC_LAYOUT_PAPER_SIZE_LIST), 3);
    EXPECT_EQ(StoredName(), gone) << "the record changes only by the user's choice or apply";
}

// A size whose name begins another one's: the page shows, and apply keeps, the size the record
// and the host hold, not the longer one listed first.
TEST_F(LayoutPage, TheWholeNameWinsOverALongerOneListedBefore) {
    options = HostOptionItems();
    options.Add(DMPUB_FORMNAME, {L"A4", L"Custom Paper-M857 wide", L"Custom Paper-M857"}, 2);
    StorePaperSizeName(sheet.record, u"Custom Paper-M857");
    HWND page = Open();
    EXPECT_EQ(ComboSelection(page, IDC_LAYOUT_PAPER_SIZE_LIST), 2);
    sheet.Page(kDuplexPage);
    sheet.Page(kLayoutPage);
    EXPECT_EQ(ComboSelection(page, IDC_LAYOUT_PAPER_SIZE_LIST), 2);
    sheet.PressApply();
    EXPECT_EQ(options.Item(0).Sel, 2);
    EXPECT_EQ(StoredName(), u"Custom Paper-M857");
}

TEST_F(LayoutPage, HostWithoutPaperSizesOrWithOddItemsLeavesTheComboUsable) {
    options = HostOptionItems();
    options.Add(DMPUB_FORMNAME, {L"A4", L"B5"}, 7);  // a selection beyond its sizes
    options.Add(DMPUB_FORMNAME, {}, 0);
    HWND page = nullptr;
    {
        options.Link();
        options.Item(1).pOptType = nullptr;  // an item without a type
        sheet.commonUi.pDrvOptItems = options.Items();
        sheet.commonUi.cDrvOptItems = options.Count();
        sheet.documentContext.driverUi = &driverUi;
        sheet.Open();
        page = sheet.Page(kLayoutPage);
    }
    EXPECT_EQ(ComboCount(page, IDC_LAYOUT_PAPER_SIZE_LIST), 2);
    EXPECT_EQ(ComboSelection(page, IDC_LAYOUT_PAPER_SIZE_LIST), -1);
    sheet.PressApply();
    EXPECT_TRUE(driverUi.updates.empty()) << "no size chosen: nothing pushed";
    EXPECT_EQ(options.Item(0).Sel, 7);
    EXPECT_TRUE(StoredName().empty());
}

}  // namespace
}  // namespace krv::test
