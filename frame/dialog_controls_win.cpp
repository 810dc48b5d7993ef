#include "frame/dialog_controls_win.h"

#include <commctrl.h>

namespace krv {

void EnableControl(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

void ShowControl(HWND dialog, int id, bool shown) {
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

void CheckButton(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool ButtonChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void FillComboList(HWND dialog, int id, std::span<const std::u16string_view> texts) {
    SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0);
    for (const std::u16string_view text : texts) {
        const std::u16string terminated(text);  // the views need not end in a null
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Wide(terminated)));
    }
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void SelectComboEntry(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void SetUpDownRange(HWND dialog, int id, int lo, int hi) {
    SendDlgItemMessageW(dialog, id, UDM_SETRANGE32, static_cast<WPARAM>(lo),
                        static_cast<LPARAM>(hi));
}

void SetUpDownPosition(HWND dialog, int id, int value) {
    SendDlgItemMessageW(dialog, id, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
}

void LimitText(HWND dialog, int id, int chars) {
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
}

void SetReadOnly(HWND dialog, int id) {
    SendDlgItemMessageW(dialog, id, EM_SETREADONLY, TRUE, 0);
}

namespace {
constexpr wchar_t kWritingProperty[] = L"krv.PageWritingControls.depth";
}  // namespace

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

}  // namespace krv
