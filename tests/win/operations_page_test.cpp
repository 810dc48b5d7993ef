// The operations page and its event-action dialog driven as a user drives them: the dialog
// opens modally from each moment's button, a handler reads and sets its controls and presses
// its buttons, and the record and the sheet show what was stored.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

constexpr int kOperationsPage = 3;
constexpr int kStartOfDocument = 1011, kStartOfPage = 1012, kEndOfPage = 1013,
              kEndOfDocument = 1014;
// Controls of the dialog
constexpr int kDefaults = 3, kSendCommand = 1015, kCommand = 1016, kCashDrawerList = 1017,
              kCutterList = 1020, kFeed = 1021, kFeedToCut = 1023, kVolume = 1024,
              kDrawerChoice = 1025, kPrompterChoice = 1026, kBuzzerList = 1027, kLogoList = 1028,
              kAlignLeft = 1029, kAlignCentre = 1030, kAlignRight = 1031, kPrompterList = 1032,
              kBeforeCut = 1033, kAfterCut = 1034, kVolumeUpDown = 1035;

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
        {kStartOfDocument, L"文档开始", true, 12, 0, false},
        {kStartOfPage, L"页开始", true, 0, 0, false},
        {kEndOfPage, L"页结束", false, 0, 1, true},
        {kEndOfDocument, L"文档结束", false, 0, 0, false},
    };
    HWND page = Open();  // a fresh record: duplex mode 1
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button);
        EditMoment(page, c.button, [&](HWND dialog) {
            EXPECT_FALSE(IsEnabled(dialog, kSendCommand));
            EXPECT_FALSE(IsChecked(dialog, kSendCommand));
            EXPECT_FALSE(IsEnabled(dialog, kCommand));
            EXPECT_EQ(ItemText(dialog, kCommand), L"");
            EXPECT_EQ(IsEnabled(dialog, kCutterList), !c.cutLocked);
            EXPECT_EQ(IsEnabled(dialog, kFeedToCut), !c.cutLocked);
            EXPECT_EQ(ComboSelection(dialog, kCutterList), c.cutter);
            EXPECT_EQ(IsChecked(dialog, kFeedToCut), c.feedToCut);
            EXPECT_EQ(ComboSelection(dialog, kCashDrawerList), c.cashDrawer);
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
    EditMoment(page, kStartOfPage, [&](HWND dialog) { PostClick(dialog, IDOK); });
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
        page, kStartOfDocument,
        [&](HWND d) {
            dialog = d;
            EXPECT_TRUE(IsEnabled(d, kSendCommand));
            Click(d, kSendCommand);
            EXPECT_TRUE(IsEnabled(d, kCommand)) << "checking 1015 enables the command field";
            SetText(d, kCommand, CommandOfBytes(129));
            PostClick(d, IDOK);
        },
        [&] {
            recordUntouchedAtError = sheet.record.startOfDocument.commandLength == 0 &&
                                     sheet.record.startOfDocument.sendCommand == 0;
            EXPECT_TRUE(IsWindow(dialog));
            SetText(dialog, kCommand, CommandOfBytes(128));
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
        EditMoment(page, kEndOfDocument, [&](HWND dialog) {
            SelectCombo(dialog, kBuzzerList, 2);
            EXPECT_TRUE(IsEnabled(dialog, kVolume)) << "a buzzer enables its volume";
            SetText(dialog, kFeed, c.feed);
            SetText(dialog, kVolume, c.volume);
            EXPECT_EQ(ItemText(dialog, kFeed), c.shownFeed) << "the up-down follows, clamped";
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
    EditMoment(page, kEndOfPage, [&](HWND dialog) {
        Click(dialog, kSendCommand);
        SetText(dialog, kCommand, L"1D 56 42 00");
        SelectCombo(dialog, kCutterList, 2);
        SelectCombo(dialog, kLogoList, 3);
        Click(dialog, kPrompterChoice);
        SetText(dialog, kFeed, L"20");
        PostClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(std::memcmp(&before, &sheet.record, sizeof before), 0);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED), 0);
}

TEST_F(OperationsPage, ControlsFollowTheirSwitchesAndConfirmReadsThemBack) {
    sheet.record.duplexMode = 0;
    HWND page = Open();
    EditMoment(page, kEndOfPage, [&](HWND dialog) {
        EXPECT_FALSE(IsEnabled(dialog, kCommand)) << "no command stored: field off";
        EXPECT_FALSE(IsEnabled(dialog, kVolume)) << "buzzer off: volume off";
        EXPECT_FALSE(IsEnabled(dialog, kVolumeUpDown));
        EXPECT_FALSE(IsEnabled(dialog, kAlignLeft)) << "no logo: its radios off";
        EXPECT_TRUE(IsChecked(dialog, kDrawerChoice));
        EXPECT_FALSE(IsEnabled(dialog, kPrompterList));
        Click(dialog, kPrompterChoice);
        EXPECT_FALSE(IsEnabled(dialog, kCashDrawerList));
        EXPECT_TRUE(IsEnabled(dialog, kPrompterList));
        SelectCombo(dialog, kPrompterList, 1);
        SelectCombo(dialog, kLogoList, 4);
        for (int id : {kAlignLeft, kAlignCentre, kAlignRight, kBeforeCut, kAfterCut})
            EXPECT_TRUE(IsEnabled(dialog, id)) << id;
        Click(dialog, kAlignRight);
        Click(dialog, kAfterCut);
        Click(dialog, kSendCommand);
        SetText(dialog, kCommand, L"1b 40 a");
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
    EditMoment(page, kEndOfPage, [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, kCommand), L"1B 40 0A ");
        EXPECT_TRUE(IsChecked(dialog, kPrompterChoice));
        EXPECT_TRUE(IsChecked(dialog, kAlignRight));
        EXPECT_TRUE(IsChecked(dialog, kAfterCut));
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
        {0, kEndOfDocument, true, 1, 0},
        {1, kEndOfDocument, false, 0, 0},
        {1, kEndOfPage, true, 1, 0},
        {0, kStartOfDocument, false, 0, 12},
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
            SelectCombo(dialog, kCashDrawerList, 4);
            Click(dialog, kDefaults);
            EXPECT_FALSE(IsEnabled(dialog, kVolume));
            EXPECT_FALSE(IsEnabled(dialog, kAlignLeft));
            EXPECT_TRUE(IsChecked(dialog, kAlignLeft) && IsChecked(dialog, kBeforeCut));
            EXPECT_EQ(ItemText(dialog, kFeed), L"0");
            PostClick(dialog, IDOK);  // the dialog stayed open: confirm the defaults
            return true;
        };
        Click(page, c.button);
        EXPECT_EQ(watcher.seen.size(), 1u);
        const EventActionSettings stored =
            ReadEventBlock(sheet.record, static_cast<EventMoment>(c.button - kStartOfDocument));
        EXPECT_EQ(stored.cutter, c.cutter);
        EXPECT_EQ(stored.feedToCutPosition, c.feedToCut ? 1 : 0);
        EXPECT_EQ(stored.cashDrawer, c.cashDrawer);
        EXPECT_EQ(stored.buzzer, 0);
        EXPECT_EQ(stored.logo, 0);
    }
}

}  // namespace
}  // namespace krv::test
