// HexCommandEdit: the edit-control subclass that keeps typed command text to hexadecimal
// digits and blanks. The field asks for every key, so Enter and Escape typed into it never
// press the dialog's buttons; Tab and Shift+Tab still move the focus.
#pragma once

#include <windows.h>

namespace krv {

// Replaces the edit's window procedure with the filter, remembering the previous procedure
// in one module-wide slot (each dialog with such a field is modal: one field lives at a
// time). Attaching a field that is already attached changes nothing. False when `edit` is
// not a window or the procedure could not be replaced.
bool AttachHexCommandEdit(HWND edit);

// The filter itself (exposed so tests can see that a field carries it).
LRESULT CALLBACK HexCommandEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

// Whether a typed character reaches the edit: "0123456789abcdefABCDEF ", backspace, "." and
// "-" always; every character while Ctrl is held (clipboard shortcuts).
bool HexCommandCharacterPasses(wchar_t ch, bool ctrlDown);

}  // namespace krv
