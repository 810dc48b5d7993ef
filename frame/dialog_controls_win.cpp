#include "frame/dialog_controls_win.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace krv {

namespace {

constexpr wchar_t kWritingProperty[] = L"krv.PageWritingControls.depth";
// Enough for any number a user can type or paste into the short numeric edits.
constexpr int kNumberFieldReadChars = 64;

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageW(dialog, id, message, wParam, lParam);
}

}  // namespace

void EnableControl(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

bool ControlEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void ShowControl(HWND dialog, int id, bool shown) {
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

std::u16string ControlText(HWND dialog, int id, int maxChars) {
    std::vector<wchar_t> buffer(static_cast<size_t>(maxChars) + 1, L'\0');
    const UINT n = GetDlgItemTextW(dialog, id, buffer.data(), maxChars + 1);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), n);
}

void SetControlText(HWND dialog, int id, std::u16string_view text) {
    const std::u16string terminated(text);
    SetDlgItemTextW(dialog, id, Wide(terminated));
}

int ControlNumber(HWND dialog, int id) {
    BOOL translated = FALSE;
    return static_cast<int>(GetDlgItemInt(dialog, id, &translated, TRUE));
}

void SetControlNumber(HWND dialog, int id, int value) {
    SetDlgItemInt(dialog, id, static_cast<UINT>(value), TRUE);
}

void CheckButton(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool ButtonChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void FillComboList(HWND dialog, int id, std::span<const std::u16string_view> texts) {
    SendItem(dialog, id, CB_RESETCONTENT);
    for (const std::u16string_view text : texts) {
        const std::u16string terminated(text);  // the views need not end in a null
        SendItem(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(terminated)));
    }
}

void FillComboList(HWND dialog, int id, std::span<const std::u16string> texts) {
    SendItem(dialog, id, CB_RESETCONTENT);
    for (const std::u16string& text : texts)
        SendItem(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(SendItem(dialog, id, CB_GETCURSEL));
}

void SelectComboEntry(HWND dialog, int id, int index) {
    SendItem(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

std::u16string ComboEntryText(HWND dialog, int id, int index, int maxChars) {
    const LRESULT length = SendItem(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (index < 0 || length <= 0 || length > maxChars) return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendItem(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(text.data()));
    if (copied <= 0) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()),
                          static_cast<size_t>(std::min(copied, length)));
}

int FindComboEntry(HWND dialog, int id, std::u16string_view text) {
    const std::u16string terminated(text);
    const LRESULT found = SendItem(dialog, id, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(Wide(terminated)));
    return found == CB_ERR ? -1 : static_cast<int>(found);
}

void FillListBox(HWND dialog, int id, std::span<const std::u16string> texts, int selection) {
    SendItem(dialog, id, WM_SETREDRAW, FALSE);
    SendItem(dialog, id, LB_RESETCONTENT);
    for (const std::u16string& text : texts)
        SendItem(dialog, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
    SendItem(dialog, id, LB_SETCURSEL, static_cast<WPARAM>(selection));
    SendItem(dialog, id, WM_SETREDRAW, TRUE);
    InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE);
}

int ListBoxSelection(HWND dialog, int id) {
    return static_cast<int>(SendItem(dialog, id, LB_GETCURSEL));
}

void SetTrackbarRange(HWND dialog, int id, int lo, int hi) {
    SendItem(dialog, id, TBM_SETRANGEMIN, FALSE, lo);
    SendItem(dialog, id, TBM_SETRANGEMAX, TRUE, hi);
}

int TrackbarPosition(HWND dialog, int id) {
    return static_cast<int>(SendItem(dialog, id, TBM_GETPOS));
}

void SetTrackbarPosition(HWND dialog, int id, int position, bool redraw) {
    SendItem(dialog, id, TBM_SETPOS, redraw ? TRUE : FALSE, position);
}

void SetUpDownRange(HWND dialog, int id, int lo, int hi) {
    SendItem(dialog, id, UDM_SETRANGE32, static_cast<WPARAM>(lo), static_cast<LPARAM>(hi));
}

void SetUpDownPosition(HWND dialog, int id, int value) {
    SendItem(dialog, id, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
}

int UpDownPosition(HWND dialog, int id) {
    return static_cast<int>(SendItem(dialog, id, UDM_GETPOS32));
}

void LimitText(HWND dialog, int id, int chars) {
    SendItem(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(chars));
}

void SetReadOnly(HWND dialog, int id) {
    SendItem(dialog, id, EM_SETREADONLY, TRUE);
}

PageWritingControls::PageWritingControls(HWND dialog) : dialog_(dialog) {
    Adjust(+1);
}

PageWritingControls::~PageWritingControls() {
    Adjust(-1);
}

bool PageWritingControls::Active(HWND dialog) {
    return GetPropW(dialog, kWritingProperty) != nullptr;
}

void PageWritingControls::Adjust(INT_PTR step) {
    const INT_PTR depth = reinterpret_cast<INT_PTR>(GetPropW(dialog_, kWritingProperty)) + step;
    if (depth > 0)
        SetPropW(dialog_, kWritingProperty, reinterpret_cast<HANDLE>(depth));
    else
        RemovePropW(dialog_, kWritingProperty);
}

void SetUpNumberField(HWND dialog, NumberField field, int lo, int hi, int maxChars) {
    LimitText(dialog, field.edit, maxChars);
    SetUpDownRange(dialog, field.upDown, lo, hi);
}

std::u16string NumberFieldText(HWND dialog, NumberField field) {
    return ControlText(dialog, field.edit, kNumberFieldReadChars);
}

void ShowNumber(HWND dialog, NumberField field, int value) {
    PageWritingControls writing(dialog);
    SetUpDownPosition(dialog, field.upDown, value);
}

}  // namespace krv
