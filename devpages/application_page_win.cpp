// The application page (template 114): the self-test print and the user paper sizes, which
// are the spooler forms of the printer's server. The rules are PaperFormsPage's; this file
// copies its view into the controls and hands it the user's clicks.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "channel/winspool_win.h"
#include "devpages/control_font_dialogs_win.h"
#include "devpages/paper_forms.h"
#include "jobs/self_test.h"
#include "frame/dialog_controls_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"

namespace krv {

namespace {

enum ControlId : int {
    kControlFontButton = 1045,
    kSetPaperButton = 1046,
    kWidthEdit = 1047,
    kHeightEdit = 1048,
    kDeletePaperButton = 1049,
    kNameEdit = 1052,
    kWidthUpDown = 1053,
    kHeightUpDown = 1054,
    kWidthRange = 1057,
    kHeightRange = 1058,
    kSelfTestButton = 1036,
    kPaperList = 1094,
};

// The name read back from edit 1052 when a size is set.
constexpr int kTypedNameChars = 255;

// Per-page state: the forms of the sheet's printer and the paper-size rules over them.
struct ApplicationPageState {
    explicit ApplicationPageState(HANDLE printer) : forms(printer), paper(forms) {}
    WinspoolForms forms;
    PaperFormsPage paper;
};

ApplicationPageState* State(HWND page) {
    return reinterpret_cast<ApplicationPageState*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

LRESULT SendItem(HWND page, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageW(page, id, message, wParam, lParam);
}

// Limits, up-down ranges and the range texts, which replace the template's outdated ones.
void SetSizeControls(HWND page) {
    LimitText(page, kWidthEdit, kWidthEditLimit);
    LimitText(page, kHeightEdit, kHeightEditLimit);
    LimitText(page, kNameEdit, kFormNameEditLimit);
    SetUpDownRange(page, kWidthUpDown, kMinFormWidth, kMaxFormWidth);
    SetUpDownRange(page, kHeightUpDown, kMinFormHeight, kMaxFormHeight);
    SetControlText(page, kWidthRange, kWidthRangeText);
    SetControlText(page, kHeightRange, kHeightRangeText);
}

void ShowList(HWND page, const PaperFormsView& view) {
    SendItem(page, kPaperList, WM_SETREDRAW, FALSE);
    SendItem(page, kPaperList, LB_RESETCONTENT);
    for (const auto& entry : view.entries)
        SendItem(page, kPaperList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    SendItem(page, kPaperList, LB_SETCURSEL, static_cast<WPARAM>(view.selection));
    SendItem(page, kPaperList, WM_SETREDRAW, TRUE);
    InvalidateRect(GetDlgItem(page, kPaperList), nullptr, TRUE);
}

void ShowDeleteButton(HWND page, const PaperFormsView& view) {
    EnableControl(page, kDeletePaperButton, view.deleteEnabled);
}

void ShowSize(HWND page, const PaperFormsView& view) {
    SetDlgItemInt(page, kWidthEdit, view.width, FALSE);
    SetDlgItemInt(page, kHeightEdit, view.height, FALSE);
}

// The selected entry's name (without the prefix), the delete button and the size.
void ShowSelection(HWND page, const PaperFormsView& view) {
    SetControlText(page, kNameEdit, view.nameText);
    ShowDeleteButton(page, view);
    ShowSize(page, view);
}

BOOL OnInitDialog(HWND page, LPARAM lParam) {
    const auto* context = StorePageContext<PrinterSheetContext>(page, lParam);
    auto* state = new ApplicationPageState(PagePrinter(context));
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    SetSizeControls(page);
    // Without the forms the page stays empty.
    if (!state->paper.Initialise()) return TRUE;
    const auto& view = state->paper.view();
    SetUpDownPosition(page, kWidthUpDown, static_cast<int>(view.width));
    SetUpDownPosition(page, kHeightUpDown, static_cast<int>(view.height));
    ShowList(page, view);
    ShowSelection(page, view);
    return TRUE;
}

void OnDestroy(HWND page) {
    delete State(page);
    SetWindowLongPtrW(page, GWLP_USERDATA, 0);
}

void OnSelfTest(HWND page) {
    // A failed self-test is not reported to the user.
    SendRawJobToPrinter(PagePrinter(PageContext<PrinterSheetContext>(page)), BuildSelfTestJob());
}

void OnListSelection(HWND page, ApplicationPageState& state) {
    const auto index = static_cast<int>(SendItem(page, kPaperList, LB_GETCURSEL));
    state.paper.SelectEntry(index);
    ShowSelection(page, state.paper.view());
}

void OnNameChanged(HWND page, ApplicationPageState& state) {
    state.paper.NameEdited(ControlText(page, kNameEdit, kTypedNameChars));
    ShowDeleteButton(page, state.paper.view());
}

int TypedNumber(HWND page, int id) {
    BOOL ok = FALSE;
    return static_cast<int>(GetDlgItemInt(page, id, &ok, TRUE));
}

void OnSetPaperSize(HWND page, ApplicationPageState& state) {
    const int width = TypedNumber(page, kWidthEdit);
    const int height = TypedNumber(page, kHeightEdit);
    const auto result =
        state.paper.SetPaperSize(width, height, ControlText(page, kNameEdit, kTypedNameChars));
    if (result.width.corrected) SetControlText(page, kWidthEdit, result.width.text);
    if (result.height.corrected) SetControlText(page, kHeightEdit, result.height.text);
    if (!result.ok) {
        std::u16string message(kSetFormFailedMessage), caption(kSetFormFailedCaption);
        MessageBoxW(page, Wide(message), Wide(caption), MB_OK | MB_ICONERROR);
        return;
    }
    if (!result.created) return;
    ShowList(page, state.paper.view());
    ShowDeleteButton(page, state.paper.view());
}

void OnDeletePaperSize(HWND page, ApplicationPageState& state) {
    state.paper.DeleteSelected();
    ShowList(page, state.paper.view());
    ShowSelection(page, state.paper.view());
}

BOOL OnCommand(HWND page, WPARAM wParam) {
    auto* state = State(page);
    if (!state) return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == kPaperList && code == LBN_SELCHANGE) {
        OnListSelection(page, *state);
    } else if (id == kNameEdit && code == EN_CHANGE) {
        OnNameChanged(page, *state);
    } else if (code == BN_CLICKED) {
        switch (id) {
            case kSelfTestButton:
                OnSelfTest(page);
                break;
            case kSetPaperButton:
                OnSetPaperSize(page, *state);
                break;
            case kDeletePaperButton:
                OnDeletePaperSize(page, *state);
                break;
            case kControlFontButton:
                OpenControlFontTableDialog(page);
                break;
            default:
                return FALSE;
        }
    } else {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK ApplicationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(page, lParam);
    // The state goes with the window even when the page never received its context.
    if (message == WM_DESTROY) {
        OnDestroy(page);
        return FALSE;
    }
    const auto* context = PageContext<PrinterSheetContext>(page);
    if (!context) return FALSE;
    INT_PTR result = FALSE;
    if (DefaultPageSystemMessage(page, message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(page, wParam);
        case WM_NOTIFY:
            return DefaultPageNotify(page, reinterpret_cast<const NMHDR*>(lParam), context);
        default:
            return FALSE;
    }
}

}  // namespace krv
