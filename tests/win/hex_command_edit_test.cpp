// The hex command field: what typing reaches it, that it keeps Enter and Escape from the
// dialog's buttons, and that Tab and Shift+Tab still move the focus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel/hex_command_edit_win.h"
#include "frame/module_win.h"
#include "res/resource_ids.h"
#include "res/event_action_dialog_ids.h"
#include "tests/win/support/docpages_helpers.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

std::vector<int> g_buttonsPressed;

// The event-action template with the field attached, and nothing else behind it: the
// dialog only notes which of its buttons were pressed.
INT_PTR CALLBACK HostDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        AttachHexCommandEdit(GetDlgItem(dialog, IDC_EVENT_COMMAND_TEXT));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        g_buttonsPressed.push_back(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

struct HexCommandEdit : testing::Test {
    void SetUp() override {
        UseTestProgramAsModule();
        g_buttonsPressed.clear();
        dialog = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_EVENT_ACTION_DIALOG),
                                    nullptr, HostDialog, 0);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        edit = GetDlgItem(dialog, IDC_EVENT_COMMAND_TEXT);
        SetFocus(edit);
        PumpMessages();
    }
    void TearDown() override { DestroyWindow(dialog); }
    std::wstring Text() const { return ItemText(dialog, IDC_EVENT_COMMAND_TEXT); }
    void Type(const std::wstring& text) {
        for (wchar_t ch : text)
            TypeCharacter(edit, ch);
    }
    HWND dialog = nullptr;
    HWND edit = nullptr;
};

TEST_F(HexCommandEdit, AsksForEveryKey) {
    EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    EXPECT_NE(SendDlgItemMessageW(dialog, IDC_EVENT_FEED_DISTANCE, WM_GETDLGCODE, 0, 0),
              DLGC_WANTALLKEYS)
        << "other edits keep their own answer";
}

TEST_F(HexCommandEdit, LetsOnlyHexDigitsBlanksDotsDashesAndBackspaceThrough) {
    struct Case {
        std::wstring typed, shown;
    } cases[] = {
        {L"0123456789", L"0123456789"},
        {L"abcdefABCDEF", L"abcdefABCDEF"},
        {L"1D 56", L"1D 56"},
        {L".-", L".-"},
        {L"gGxXzZ!?", L""},
        {L"1g2", L"12"},
        {L"中", L""},
        {L"\r\x1b\n", L""},
        {L"1D5\b", L"1D"},
    };
    for (const Case& c : cases) {
        SetText(dialog, IDC_EVENT_COMMAND_TEXT, L"");
        Type(c.typed);
        EXPECT_EQ(Text(), c.shown) << "typed " << testing::PrintToString(c.typed);
    }
}

TEST_F(HexCommandEdit, CtrlLetsEveryCharacterPassForTheClipboard) {
    {
        HeldModifiers ctrl(false, true);
        Type(L"x");
    }
    EXPECT_EQ(Text(), L"x") << "with Ctrl held the filter steps aside";
    SetText(dialog, IDC_EVENT_COMMAND_TEXT, L"");
    ASSERT_TRUE(OpenClipboard(dialog));
    EmptyClipboard();
    const wchar_t pasted[] = L"zz 1D";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
    memcpy(GlobalLock(memory), pasted, sizeof pasted);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    {
        HeldModifiers ctrl(false, true);
        TypeCharacter(edit, 0x16);  // Ctrl+V
    }
    EXPECT_EQ(Text(), L"zz 1D") << "Ctrl+V pastes whatever the clipboard holds";
    Type(L"z");
    EXPECT_EQ(Text(), L"zz 1D") << "without Ctrl the filter is back";
}

TEST_F(HexCommandEdit, TabMovesForwardAndShiftTabBackward) {
    HWND next = GetNextDlgTabItem(dialog, edit, FALSE);
    HWND previous = GetNextDlgTabItem(dialog, edit, TRUE);
    ASSERT_EQ(next, GetDlgItem(dialog, IDC_EVENT_CASH_DRAWER_CHOICE));
    ASSERT_EQ(previous, GetDlgItem(dialog, IDC_EVENT_SEND_COMMAND));

    PressKey(dialog, edit, VK_TAB);
    EXPECT_EQ(GetFocus(), next);
    EXPECT_EQ(Text(), L"") << "the tab is not typed";

    SetFocus(edit);
    {
        HeldModifiers shift(true, false);
        PressKey(dialog, edit, VK_TAB);
    }
    EXPECT_EQ(GetFocus(), previous);
}

TEST_F(HexCommandEdit, EnterAndEscapeNeitherTypeNorPressButtons) {
    Type(L"1D");
    PressKey(dialog, edit, VK_RETURN);
    PressKey(dialog, edit, VK_ESCAPE);
    EXPECT_TRUE(g_buttonsPressed.empty());
    EXPECT_EQ(Text(), L"1D");
    EXPECT_EQ(GetFocus(), edit);

    // The same keys in an ordinary edit of the dialog do press the buttons.
    HWND feed = GetDlgItem(dialog, IDC_EVENT_FEED_DISTANCE);
    SetFocus(feed);
    PressKey(dialog, feed, VK_RETURN);
    PressKey(dialog, feed, VK_ESCAPE);
    EXPECT_EQ(g_buttonsPressed, (std::vector<int>{IDOK, IDCANCEL}));
}

TEST_F(HexCommandEdit, AttachingTwiceKeepsTheEditWorking) {
    EXPECT_TRUE(AttachHexCommandEdit(edit));
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&HexCommandEditProc));
    Type(L"7g");
    EXPECT_EQ(Text(), L"7") << "no loop through the filter itself";
    EXPECT_FALSE(AttachHexCommandEdit(nullptr));
}

}  // namespace
}  // namespace krv::test
