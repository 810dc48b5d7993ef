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
bool ControlEnabled(HWND dialog, int id);
void ShowControl(HWND dialog, int id, bool shown);

// The text of a control as UTF-16, reading at most `maxChars` characters.
std::u16string ControlText(HWND dialog, int id, int maxChars);
void SetControlText(HWND dialog, int id, std::u16string_view text);
// A control's text read as a signed decimal number; 0 when it holds none.
int ControlNumber(HWND dialog, int id);
void SetControlNumber(HWND dialog, int id, int value);

// Buttons (check boxes and radios).
void CheckButton(HWND dialog, int id, bool checked);
bool ButtonChecked(HWND dialog, int id);

// Combo boxes. FillComboList empties the list and adds the texts in order; it selects
// nothing, so each caller chooses the selection it needs.
void FillComboList(HWND dialog, int id, std::span<const std::u16string_view> texts);
void FillComboList(HWND dialog, int id, std::span<const std::u16string> texts);
int ComboSelection(HWND dialog, int id);  // CB_ERR (-1) when nothing is selected
void SelectComboEntry(HWND dialog, int id, int index);
// The text of entry `index`; empty when there is no such entry or it is longer than `maxChars`.
std::u16string ComboEntryText(HWND dialog, int id, int index, int maxChars);
// The first entry that begins with `text`, compared without case; -1 when there is none.
int FindComboEntry(HWND dialog, int id, std::u16string_view text);

// List boxes: FillListBox replaces the entries without drawing in between and selects
// `selection` (-1: nothing).
void FillListBox(HWND dialog, int id, std::span<const std::u16string> texts, int selection);
int ListBoxSelection(HWND dialog, int id);  // LB_ERR (-1) when nothing is selected

// Trackbars. The range is set without a redraw for its lower end, so that the control is drawn
// once.
void SetTrackbarRange(HWND dialog, int id, int lo, int hi);
int TrackbarPosition(HWND dialog, int id);
void SetTrackbarPosition(HWND dialog, int id, int position, bool redraw = true);

// Up-down controls (32-bit range and position) and the edits they drive.
void SetUpDownRange(HWND dialog, int id, int lo, int hi);
void SetUpDownPosition(HWND dialog, int id, int value);
int UpDownPosition(HWND dialog, int id);
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

// A number field: an edit with the up-down control that steps it and writes its position
// into it.
struct NumberField {
    int edit;
    int upDown;
};

// The edit takes at most `maxChars` characters, the up-down lo..hi.
void SetUpNumberField(HWND dialog, NumberField field, int lo, int hi, int maxChars);
// The edit's text as typed, read far enough to see any number out of range.
std::u16string NumberFieldText(HWND dialog, NumberField field);
// Puts `value` into the field through its up-down, as the page's own write: the edit's change
// notification that follows finds PageWritingControls active.
void ShowNumber(HWND dialog, NumberField field, int value);

// The user changed the field's text. `clamp` takes the text, stores what it allows and returns
// the value kept, which the field then shows in place of the text. False, with nothing done,
// while the page writes its own controls: that change is the page's, not the user's.
template <typename Clamp>
bool TakeTypedNumber(HWND dialog, NumberField field, Clamp&& clamp) {
    if (PageWritingControls::Active(dialog)) return false;
    ShowNumber(dialog, field, clamp(NumberFieldText(dialog, field)));
    return true;
}

}  // namespace krv
