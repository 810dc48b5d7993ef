// Thin wrappers over the controls of a dialog or property page, addressed by control id, so
// that every page says what it does to a control rather than which message does it.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

namespace krv {

// UTF-16 text as the wide-character pointer Win32 takes (wchar_t is 16 bits on Windows).
inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

void EnableControl(HWND dialog, int id, bool enabled);
void ShowControl(HWND dialog, int id, bool shown);

// Buttons (check boxes and radios).
void CheckButton(HWND dialog, int id, bool checked);
bool ButtonChecked(HWND dialog, int id);

// Combo boxes. FillComboList empties the list and adds the texts in order; it selects
// nothing, so each caller chooses the selection it needs.
void FillComboList(HWND dialog, int id, std::span<const std::u16string_view> texts);
int ComboSelection(HWND dialog, int id);  // CB_ERR (-1) when nothing is selected
void SelectComboEntry(HWND dialog, int id, int index);

// Up-down controls (32-bit range and position) and the edits they drive.
void SetUpDownRange(HWND dialog, int id, int lo, int hi);
void SetUpDownPosition(HWND dialog, int id, int value);
void LimitText(HWND dialog, int id, int chars);
// An edit the user can read and select from but not change.
void SetReadOnly(HWND dialog, int id);

// While a page writes its own controls (showing a record, or putting a clamped value back
// through an up-down control) their change notifications must not store and report again.
// The depth of such writes is a property of the dialog window (so one name serves every page)
// that exists only while a write is under way; writes may nest.
class PageWritingControls {
  public:
    explicit PageWritingControls(HWND dialog);
    ~PageWritingControls();
    PageWritingControls(const PageWritingControls&) = delete;
    PageWritingControls& operator=(const PageWritingControls&) = delete;

    static bool Active(HWND dialog);

  private:
    void Adjust(INT_PTR step);

    HWND dialog_;
};

}  // namespace krv
