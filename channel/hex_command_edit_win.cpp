#include "channel/hex_command_edit_win.h"

#include <cwchar>

namespace krv {

namespace {

// The edit class's own procedure, remembered when the first field is attached.
WNDPROC g_previousProcedure = nullptr;

bool KeyDown(int virtualKey) {
    return GetKeyState(virtualKey) < 0;
}

// The dialog moves the focus itself: wParam 1 (Shift held) goes to the previous control.
void MoveFocus(HWND edit) {
    const WPARAM backwards = KeyDown(VK_SHIFT) ? 1 : 0;
    PostMessageW(GetParent(edit), WM_NEXTDLGCTL, backwards, 0);
}

LRESULT PassOn(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!g_previousProcedure) return DefWindowProcW(edit, message, wParam, lParam);
    return CallWindowProcW(g_previousProcedure, edit, message, wParam, lParam);
}

LRESULT OnChar(HWND edit, WPARAM wParam, LPARAM lParam) {
    const auto ch = static_cast<wchar_t>(wParam);
    if (ch == L'\t' || KeyDown(VK_TAB)) {
        MoveFocus(edit);
        return 1;
    }
    if (!HexCommandCharacterPasses(ch, KeyDown(VK_CONTROL))) return 1;
    return PassOn(edit, WM_CHAR, wParam, lParam);
}

}  // namespace

bool HexCommandCharacterPasses(wchar_t ch, bool ctrlDown) {
    if (ch == L'\b' || ch == L'.' || ch == L'-' || ctrlDown) return true;
    return ch != L'\0' && std::wcschr(L"0123456789abcdefABCDEF ", ch) != nullptr;
}

LRESULT CALLBACK HexCommandEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_CHAR:
            return OnChar(edit, wParam, lParam);
        default:
            return PassOn(edit, message, wParam, lParam);
    }
}

bool AttachHexCommandEdit(HWND edit) {
    if (!IsWindow(edit)) return false;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
    // Remembering our own procedure as the previous one would make every message call
    // itself for ever.
    if (current == &HexCommandEditProc) return true;
    const LONG_PTR replaced =
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HexCommandEditProc));
    if (!replaced) return false;
    g_previousProcedure = reinterpret_cast<WNDPROC>(replaced);
    return true;
}

}  // namespace krv
