// The operations page and its event-action dialog driven as a user drives them: the dialog
// opens modally from each moment's button, a handler reads and sets its controls and presses
// its buttons, and the record and the sheet show what was stored.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "res/event_action_dialog_ids.h"
#include "res/operations_page_ids.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

constexpr int kOperationsPage = 3;

void PostClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// "1D " repeated: a command text of `count` bytes.
std::wstring CommandOfBytes(int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += L"1D ";
    return text;
}

struct OperationsPage : testing::Test {
    HWND Open() {
        sheet.Open();
        return sheet.Page(kOperationsPage);
    }
    // Clicks a moment's button; `drive` runs on the dialog once it is shown and must end by
    // posting "确认" or "取消". A message box is answered with OK after `onMessage` ran.
    void EditMoment(HWND page, int button, const std::function<void(HWND)>& drive,
                    const std::function<void()>& onMessage = nullptr) {
        ModalWatcher watcher;
        HWND dialog = nullptr;
        watcher.handler = [&](HWND window) {
            if (dialog) {
                if (onMessage) onMessage();
                return false;
            }
            dialog = window;
            drive(window);
            return true;
        };
        Click(page, button);
        seen = watcher.seen;
    }
    Sheet sheet{Sheet::Kind::Document};
    std::vector<ModalSeen> seen;
};

TEST_F(OperationsPage, DuplexModeLocksCommandsEverywhereAndTheCutAtTheStarts) {
    struct Case {
        int button;
        const wchar_t* title;
        bool cutLocked;
        int cashDrawer, cutter;
        bool feedToCut;
    } cases[] = {
        {IDC_OPERATIONS_START_OF_DOCUMENT, L"文档开始", true, 12, 0, false},
        {IDC_OPERATIONS_START_OF_PAGE, L"页开始", true, 0, 0, false},
        {IDC_OPERATIONS_END_OF_PAGE, L"页结束", false, 0, 1, true},
        {IDC_OPERATIONS_END_OF_DOCUMENT, L"文档结束", false, 0, 0, false},
    };
    HWND page = Open();  // a fresh record: duplex mode 1
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button);
        EditMoment(page, c.button, [&](HWND dialog) {
            EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_SEND_COMMAND));
            EXPECT_FALSE(IsChecked(dialog, IDC_EVENT_SEND_COMMAND));
            EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_COMMAND_TEXT));
            EXPECT_EQ(ItemText(dialog, IDC_EVENT_COMMAND_TEXT), L"");
            EXPECT_EQ(IsEnabled(dialog, IDC_EVENT_CUTTER_LIST), !c.cutLocked);
            EXPECT_EQ(IsEnabled(dialog, IDC_EVENT_FEED_TO_CUT), !c.cutLocked);
            EXPECT_EQ(ComboSelection(dialog, IDC_EVENT_CUTTER_LIST), c.cutter);
            EXPECT_EQ(IsChecked(dialog, IDC_EVENT_FEED_TO_CUT), c.feedToCut);
            EXPECT_EQ(ComboSelection(dialog, IDC_EVENT_CASH_DRAWER_LIST), c.cashDrawer);
            PostClick(dialog, IDCANCEL);
        });
        ASSERT_EQ(seen.size(), 1u) << "the dialog opened";
        EXPECT_EQ(seen[0].caption, c.title);
    }
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED), 0);
}

TEST_F(OperationsPage, ConfirmUnderDuplexModeStoresNoCommandAndNoCutAtTheStart) {
    // A record that holds commands and a cut at the start of the page from single-sided days.
    sheet.record.startOfPage.sendCommand = 1;
    sheet.record.startOfPage.commandLength = 2;
    sheet.record.startOfPage.commandBytes[0] = 0x1D;
    sheet.record.startOfPage.commandBytes[1] = 0x56;
    sheet.record.startOfPage.cutter = 2;
    sheet.record.startOfPage.feedToCutPosition = 1;
    HWND page = Open();
    EditMoment(page, IDC_OPERATIONS_START_OF_PAGE, [&](HWND dialog) { PostClick(dialog, IDOK); });
    const auto& block = sheet.record.startOfPage;
    EXPECT_EQ(block.sendCommand, 0);
    EXPECT_EQ(block.commandLength, 0);
    EXPECT_EQ(block.commandBytes[0], 0);
    EXPECT_EQ(block.cutter, 0);
    EXPECT_EQ(block.feedToCutPosition, 0);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 1);
}

TEST_F(OperationsPage, MoreThan128CommandBytesAreRefusedAndTheDialogStaysOpen) {
    sheet.record.duplexMode = 0;
    HWND page = Open();
    HWND dialog = nullptr;
    bool recordUntouchedAtError = false;
    EditMoment(
        page, IDC_OPERATIONS_START_OF_DOCUMENT,
        [&](HWND d) {
            dialog = d;
            EXPECT_TRUE(IsEnabled(d, IDC_EVENT_SEND_COMMAND));
            Click(d, IDC_EVENT_SEND_COMMAND);
            EXPECT_TRUE(IsEnabled(d, IDC_EVENT_COMMAND_TEXT))
                << "checking \"发送命令\" enables the command field";
            SetText(d, IDC_EVENT_COMMAND_TEXT, CommandOfBytes(129));
            PostClick(d, IDOK);
        },
        [&] {
            recordUntouchedAtError = sheet.record.startOfDocument.commandLength == 0 &&
                                     sheet.record.startOfDocument.sendCommand == 0;
            EXPECT_TRUE(IsWindow(dialog));
            SetText(dialog, IDC_EVENT_COMMAND_TEXT, CommandOfBytes(128));
            PostClick(dialog, IDOK);
        });
    ASSERT_EQ(seen.size(), 2u) << "the dialog and one message box";
    EXPECT_EQ(seen[1].caption, L"错误");
    EXPECT_EQ(seen[1].text, L"指令长度超界！");
    EXPECT_EQ(seen[1].icon, 0u) << "an OK button only";
    EXPECT_TRUE(recordUntouchedAtError);
    const auto& block = sheet.record.startOfDocument;
    EXPECT_EQ(block.sendCommand, 1);
    EXPECT_EQ(block.commandLength, 128);
    EXPECT_EQ(block.commandBytes[0], 0x1D);
    EXPECT_EQ(block.commandBytes[127], 0x1D);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 1);
}

TEST_F(OperationsPage, TypedNumbersAreClampedIntoTheirRanges) {
    struct Case {
        const wchar_t* feed;
        const wchar_t* volume;
        uint8_t storedFeed, storedVolume;
        const wchar_t* shownFeed;
    } cases[] = {
        {L"250", L"999", 100, 255, L"100"},
        {L"100", L"0", 100, 0, L"100"},
        {L"7", L"255", 7, 255, L"7"},
    };
    HWND page = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "feed " << c.storedFeed);
        EditMoment(page, IDC_OPERATIONS_END_OF_DOCUMENT, [&](HWND dialog) {
            SelectCombo(dialog, IDC_EVENT_BUZZER_LIST, 2);
            EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_BUZZER_VOLUME))
                << "a buzzer enables its volume";
            SetText(dialog, IDC_EVENT_FEED_DISTANCE, c.feed);
            SetText(dialog, IDC_EVENT_BUZZER_VOLUME, c.volume);
            EXPECT_EQ(ItemText(dialog, IDC_EVENT_FEED_DISTANCE), c.shownFeed)
                << "the up-down follows, clamped";
            PostClick(dialog, IDOK);
        });
        EXPECT_EQ(sheet.record.endOfDocument.feedDistanceMm, c.storedFeed);
        EXPECT_EQ(sheet.record.endOfDocument.buzzerVolume, c.storedVolume);
        EXPECT_EQ(sheet.record.endOfDocument.buzzer, 2);
    }
}

TEST_F(OperationsPage, CancelAfterChangesLeavesTheRecordAlone) {
    sheet.record.duplexMode = 0;
    HWND page = Open();
    const OemDevmode before = sheet.record;
    EditMoment(page, IDC_OPERATIONS_END_OF_PAGE, [&](HWND dialog) {
        Click(dialog, IDC_EVENT_SEND_COMMAND);
        SetText(dialog, IDC_EVENT_COMMAND_TEXT, L"1D 56 42 00");
        SelectCombo(dialog, IDC_EVENT_CUTTER_LIST, 2);
        SelectCombo(dialog, IDC_EVENT_LOGO_LIST, 3);
        Click(dialog, IDC_EVENT_PROMPTER_CHOICE);
        SetText(dialog, IDC_EVENT_FEED_DISTANCE, L"20");
        PostClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(std::memcmp(&before, &sheet.record, sizeof before), 0);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED), 0);
}

TEST_F(OperationsPage, ControlsFollowTheirSwitchesAndConfirmReadsThemBack) {
    sheet.record.duplexMode = 0;
    HWND page = Open();
    EditMoment(page, IDC_OPERATIONS_END_OF_PAGE, [&](HWND dialog) {
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_COMMAND_TEXT)) << "no command stored: field off";
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_BUZZER_VOLUME)) << "buzzer off: volume off";
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_BUZZER_VOLUME_UPDOWN));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_ALIGN_LEFT)) << "no logo: its radios off";
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_CASH_DRAWER_CHOICE));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_PROMPTER_LIST));
        Click(dialog, IDC_EVENT_PROMPTER_CHOICE);
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_CASH_DRAWER_LIST));
        EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_PROMPTER_LIST));
        SelectCombo(dialog, IDC_EVENT_PROMPTER_LIST, 1);
        SelectCombo(dialog, IDC_EVENT_LOGO_LIST, 4);
        for (int id : {IDC_EVENT_ALIGN_LEFT, IDC_EVENT_ALIGN_CENTRE, IDC_EVENT_ALIGN_RIGHT,
                       IDC_EVENT_BEFORE_CUT, IDC_EVENT_AFTER_CUT})
            EXPECT_TRUE(IsEnabled(dialog, id)) << id;
        Click(dialog, IDC_EVENT_ALIGN_RIGHT);
        Click(dialog, IDC_EVENT_AFTER_CUT);
        Click(dialog, IDC_EVENT_SEND_COMMAND);
        SetText(dialog, IDC_EVENT_COMMAND_TEXT, L"1b 40 a");
        PostClick(dialog, IDOK);
    });
    const auto& block = sheet.record.endOfPage;
    EXPECT_EQ(block.drawerOrPrompter, 1u);
    EXPECT_EQ(block.prompter, 1);
    EXPECT_EQ(block.logo, 4);
    EXPECT_EQ(block.logoAlignment, 2);
    EXPECT_EQ(block.logoPosition, 1);
    EXPECT_EQ(block.sendCommand, 1);
    ASSERT_EQ(block.commandLength, 3);
    EXPECT_EQ(block.commandBytes[0], 0x1B);
    EXPECT_EQ(block.commandBytes[1], 0x40);
    EXPECT_EQ(block.commandBytes[2], 0x0A);
    EXPECT_EQ(block.cutter, 1) << "untouched lists keep their value";

    // Opened again, the dialog shows what was stored.
    EditMoment(page, IDC_OPERATIONS_END_OF_PAGE, [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_EVENT_COMMAND_TEXT), L"1B 40 0A ");
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_PROMPTER_CHOICE));
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_ALIGN_RIGHT));
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_AFTER_CUT));
        PostClick(dialog, IDCANCEL);
    });
}

TEST_F(OperationsPage, DefaultsFollowTheMomentAndTheDuplexMode) {
    struct Case {
        uint8_t duplexMode;
        int button;
        bool feedToCut;
        int cutter, cashDrawer;
    } cases[] = {
        {0, IDC_OPERATIONS_END_OF_DOCUMENT, true, 1, 0},
        {1, IDC_OPERATIONS_END_OF_DOCUMENT, false, 0, 0},
        {1, IDC_OPERATIONS_END_OF_PAGE, true, 1, 0},
        {0, IDC_OPERATIONS_START_OF_DOCUMENT, false, 0, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << int(c.duplexMode) << " button " << c.button);
        Sheet sheet(Sheet::Kind::Document);
        sheet.record.duplexMode = c.duplexMode;
        sheet.record.endOfDocument.buzzer = 3;
        sheet.record.endOfDocument.logo = 2;
        sheet.Open();
        HWND page = sheet.Page(kOperationsPage);
        ModalWatcher watcher;
        watcher.handler = [&](HWND dialog) {
            SelectCombo(dialog, IDC_EVENT_CASH_DRAWER_LIST, 4);
            Click(dialog, IDC_EVENT_DEFAULTS);
            EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_BUZZER_VOLUME));
            EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_ALIGN_LEFT));
            EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_ALIGN_LEFT) &&
                        IsChecked(dialog, IDC_EVENT_BEFORE_CUT));
            EXPECT_EQ(ItemText(dialog, IDC_EVENT_FEED_DISTANCE), L"0");
            PostClick(dialog, IDOK);  // the dialog stayed open: confirm the defaults
            return true;
        };
        Click(page, c.button);
        EXPECT_EQ(watcher.seen.size(), 1u);
        const EventActionSettings stored = ReadEventBlock(
            sheet.record, static_cast<EventMoment>(c.button - IDC_OPERATIONS_START_OF_DOCUMENT));
        EXPECT_EQ(stored.cutter, c.cutter);
        EXPECT_EQ(stored.feedToCutPosition, c.feedToCut ? 1 : 0);
        EXPECT_EQ(stored.cashDrawer, c.cashDrawer);
        EXPECT_EQ(stored.buzzer, 0);
        EXPECT_EQ(stored.logo, 0);
    }
}

}  // namespace
}  // namespace krv::test
