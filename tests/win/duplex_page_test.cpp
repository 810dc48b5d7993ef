// The duplex page driven as a user drives it: mode, binding edge and picture, the
// top/bottom switch, and the message lines sent as one "TopbottomMessage" job.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "channel/raw_printer_channel.h"
#include "res/duplex_page_ids.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

constexpr int kDuplexPage = 0;

struct DuplexPage : testing::Test {
    void SetUp() override { ResetSpooler(); }
    HWND Open() {
        sheet.Open();
        return sheet.Page(kDuplexPage);
    }
    // Exactly one of the three pictures is shown.
    int ShownPicture(HWND page) const {
        int shown = 0, count = 0;
        for (int id : {IDC_DUPLEX_LONG_EDGE_PICTURE, IDC_DUPLEX_SHORT_EDGE_PICTURE,
                       IDC_DUPLEX_NO_EDGE_PICTURE})
            if (IsVisible(page, id)) shown = id, ++count;
        return count == 1 ? shown : -count;
    }
    Sheet sheet{Sheet::Kind::Document};
};

TEST_F(DuplexPage, FreshRecordShowsSplitModeLongEdgeAndMessagesOff) {
    HWND page = Open();
    const wchar_t* modes[] = {L"单面模式", L"单面拆分双面模式", L"双面模式", L"反面预定义模式",
                              L"单面页模式"};
    ASSERT_EQ(ComboCount(page, IDC_DUPLEX_MODE_LIST), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ComboText(page, IDC_DUPLEX_MODE_LIST, i), modes[i]);
    EXPECT_EQ(ComboSelection(page, IDC_DUPLEX_MODE_LIST), 1);
    EXPECT_TRUE(IsChecked(page, IDC_DUPLEX_LONG_EDGE));
    EXPECT_FALSE(IsChecked(page, IDC_DUPLEX_SHORT_EDGE));
    EXPECT_TRUE(IsEnabled(page, IDC_DUPLEX_LONG_EDGE) && IsEnabled(page, IDC_DUPLEX_SHORT_EDGE));
    EXPECT_EQ(ShownPicture(page), IDC_DUPLEX_LONG_EDGE_PICTURE);
    EXPECT_EQ(ComboText(page, IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST,
                        ComboSelection(page, IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST)),
              L"关");
    EXPECT_FALSE(IsEnabled(page, IDC_DUPLEX_DOWNLOAD)) << "all four lines are empty";
}

TEST_F(DuplexPage, ModesWithoutEdgeStoreEdgeTwoAndTwoSidedModesReturnToLongEdge) {
    HWND page = Open();
    Click(page, IDC_DUPLEX_SHORT_EDGE);
    EXPECT_EQ(sheet.record.bindingEdge, 1);
    EXPECT_EQ(ShownPicture(page), IDC_DUPLEX_SHORT_EDGE_PICTURE);

    SelectCombo(page, IDC_DUPLEX_MODE_LIST, 0);  // "单面模式"
    EXPECT_EQ(sheet.record.duplexMode, 0);
    EXPECT_EQ(sheet.record.bindingEdge, 2);
    EXPECT_FALSE(IsEnabled(page, IDC_DUPLEX_LONG_EDGE));
    EXPECT_FALSE(IsEnabled(page, IDC_DUPLEX_SHORT_EDGE));
    EXPECT_EQ(ShownPicture(page), IDC_DUPLEX_NO_EDGE_PICTURE);

    SelectCombo(page, IDC_DUPLEX_MODE_LIST, 2);  // "双面模式"
    EXPECT_EQ(sheet.record.duplexMode, 2);
    EXPECT_EQ(sheet.record.bindingEdge, 0);
    EXPECT_TRUE(IsChecked(page, IDC_DUPLEX_LONG_EDGE));
    EXPECT_FALSE(IsChecked(page, IDC_DUPLEX_SHORT_EDGE));
    EXPECT_TRUE(IsEnabled(page, IDC_DUPLEX_LONG_EDGE) && IsEnabled(page, IDC_DUPLEX_SHORT_EDGE));
    EXPECT_EQ(ShownPicture(page), IDC_DUPLEX_LONG_EDGE_PICTURE);

    SelectCombo(page, IDC_DUPLEX_MODE_LIST, 4);  // "单面页模式"
    EXPECT_EQ(sheet.record.bindingEdge, 2);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 4);
}

// "开" is stored as 3, the value the printer's function takes; "关" as 0. A stored non-zero
// value opens on "开".
TEST_F(DuplexPage, MessageSwitchStoresThreeForOnAndZeroForOff) {
    HWND page = Open();
    SelectCombo(page, IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST, 1);
    EXPECT_EQ(sheet.record.topBottomMessage, 3);
    SelectCombo(page, IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST, 0);
    EXPECT_EQ(sheet.record.topBottomMessage, 0);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 2);
    sheet.Close();
    sheet.record.topBottomMessage = 1;
    page = Open();
    EXPECT_EQ(ComboSelection(page, IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST), 1);
}

TEST_F(DuplexPage, DownloadIsEnabledWhileAnyLineHoldsText) {
    HWND page = Open();
    const OemDevmode before = sheet.record;
    SetText(page, IDC_DUPLEX_FRONT_BOTTOM_LINE2, L"x");
    EXPECT_TRUE(IsEnabled(page, IDC_DUPLEX_DOWNLOAD));
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED), 0) << "the second front line never reports";
    SetText(page, IDC_DUPLEX_BACK_TOP_LINE2, L"y");
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 1);
    SetText(page, IDC_DUPLEX_FRONT_BOTTOM_LINE2, L"");
    EXPECT_TRUE(IsEnabled(page, IDC_DUPLEX_DOWNLOAD));
    SetText(page, IDC_DUPLEX_BACK_TOP_LINE2, L"");
    EXPECT_FALSE(IsEnabled(page, IDC_DUPLEX_DOWNLOAD));
    EXPECT_EQ(std::memcmp(&before, &sheet.record, sizeof before), 0)
        << "message lines are never stored";
}

TEST_F(DuplexPage, FrontLineOneAbcIsSentExactly) {
    HWND page = Open();
    ModalWatcher watcher;
    SetText(page, IDC_DUPLEX_FRONT_BOTTOM_LINE1, L"ABC");
    Click(page, IDC_DUPLEX_DOWNLOAD);
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(Spooler().documentName, "TopbottomMessage");
    EXPECT_EQ(Spooler().dataType, "RAW");
    EXPECT_EQ(Spooler().jobs, 1);
    EXPECT_EQ(Spooler().Joined(),
              (Bytes{0x1F, 0x65, 0x00, 0x00, 0x41, 0x42, 0x43, 0x00, 0x00, 0x00, 0x00}));
}

TEST_F(DuplexPage, OnlyTheBackLinesAreSentWhenOnlyTheyHoldText) {
    HWND page = Open();
    SetText(page, IDC_DUPLEX_BACK_TOP_LINE1, L"B1");
    SetText(page, IDC_DUPLEX_BACK_TOP_LINE2, L"B2");
    Click(page, IDC_DUPLEX_DOWNLOAD);
    const auto& pieces = Spooler().pieces;
    ASSERT_EQ(pieces.size(), 6u);
    EXPECT_EQ(pieces[0], (Bytes{0x1F, 0x65, 0x02, 0x00}));
    EXPECT_EQ(pieces[3], (Bytes{0x1F, 0x65, 0x03, 0x00}));
    EXPECT_EQ(pieces[1], (Bytes{'B', '1', 0, 0}));
    EXPECT_EQ(pieces[5], (Bytes{0x00}));
}

TEST_F(DuplexPage, LinesUpToFortyEightBytesAreSentLongerOnesRefusedBeforeAnyJob) {
    struct Case {
        std::wstring line;
        bool sent;
    } cases[] = {
        {std::wstring(48, L'A'), true},
        {std::wstring(49, L'A'), false},
        {std::wstring(32, L'中'), true},
        {std::wstring(33, L'中'), false},
    };
    HWND page = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.line.size() << " characters");
        ResetSpooler();
        ModalWatcher watcher;
        SetText(page, IDC_DUPLEX_FRONT_BOTTOM_LINE1, L"ok");
        SetText(page, IDC_DUPLEX_BACK_TOP_LINE2, c.line);
        Click(page, IDC_DUPLEX_DOWNLOAD);
        if (c.sent) {
            EXPECT_TRUE(watcher.seen.empty());
            ASSERT_EQ(Spooler().pieces.size(), 6u);
            EXPECT_EQ(Spooler().pieces[4].size(), 96u) << "text bytes and one zero per character";
        } else {
            ASSERT_EQ(watcher.seen.size(), 1u);
            EXPECT_EQ(watcher.seen[0].caption, L"错误");
            EXPECT_EQ(watcher.seen[0].text, L"字符不得超过48个！");
            EXPECT_EQ(watcher.seen[0].icon, 0u);
            EXPECT_TRUE(Spooler().calls.empty()) << "the good line is not sent either";
        }
    }
}

TEST_F(DuplexPage, SpoolerFailureIsSilent) {
    HWND page = Open();
    ModalWatcher watcher;
    Spooler().FailAt(RecordingSpooler::Call::Write, 1);
    SetText(page, IDC_DUPLEX_FRONT_BOTTOM_LINE1, L"ABC");
    Click(page, IDC_DUPLEX_DOWNLOAD);
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(Spooler().calls.back(), RecordingSpooler::Call::EndDoc) << "the job is still ended";
}

}  // namespace
}  // namespace krv::test
