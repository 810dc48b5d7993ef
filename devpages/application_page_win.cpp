// The application page (IDD_APPLICATION_PAGE): the self-test print and the user paper sizes, which
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
#include "res/application_page_ids.h"

namespace krv {

namespace {

// The name read back from the name edit when a size is set.
constexpr int kTypedNameChars = 255;

constexpr NumberField kWidthField = {IDC_APPLICATION_PAPER_WIDTH,
                                     IDC_APPLICATION_PAPER_WIDTH_UPDOWN};
constexpr NumberField kHeightField = {IDC_APPLICATION_PAPER_HEIGHT,
                                      IDC_APPLICATION_PAPER_HEIGHT_UPDOWN};

// The forms of the sheet's printer and the paper-size rules over them, kept while the page lives.
struct ApplicationPage : PrinterPage {
    ApplicationPage(HWND window, const PrinterSheetContext* sheetContext)
        : PrinterPage(window, sheetContext), forms(Printer()), paper(forms) {}
    WinspoolForms forms;
    PaperFormsPage paper;
};

// Limits, up-down ranges and the range texts, which replace the template's outdated ones.
void SetSizeControls(HWND dialog) {
    SetUpNumberField(dialog, kWidthField, kMinFormWidth, kMaxFormWidth, kWidthEditLimit);
    SetUpNumberField(dialog, kHeightField, kMinFormHeight, kMaxFormHeight, kHeightEditLimit);
    LimitText(dialog, IDC_APPLICATION_PAPER_NAME, kFormNameEditLimit);
    SetControlText(dialog, IDC_APPLICATION_PAPER_WIDTH_RANGE, kWidthRangeText);
    SetControlText(dialog, IDC_APPLICATION_PAPER_HEIGHT_RANGE, kHeightRangeText);
}

void ShowList(HWND dialog, const PaperFormsView& view) {
    FillListBox(dialog, IDC_APPLICATION_PAPER_LIST, view.entries, view.selection);
}

void ShowDeleteButton(HWND dialog, const PaperFormsView& view) {
    EnableControl(dialog, IDC_APPLICATION_DELETE_PAPER, view.deleteEnabled);
}

void ShowSize(HWND dialog, const PaperFormsView& view) {
    SetControlNumber(dialog, kWidthField.edit, static_cast<int>(view.width));
    SetControlNumber(dialog, kHeightField.edit, static_cast<int>(view.height));
}

// The selected entry's name (without the prefix), the delete button and the size.
void ShowSelection(HWND dialog, const PaperFormsView& view) {
    SetControlText(dialog, IDC_APPLICATION_PAPER_NAME, view.nameText);
    ShowDeleteButton(dialog, view);
    ShowSize(dialog, view);
}

void OnInit(ApplicationPage& page) {
    SetSizeControls(page.dialog);
    // Without the forms the page stays empty.
    if (!page.paper.Initialise()) return;
    const auto& view = page.paper.view();
    ShowNumber(page.dialog, kWidthField, static_cast<int>(view.width));
    ShowNumber(page.dialog, kHeightField, static_cast<int>(view.height));
    ShowList(page.dialog, view);
    ShowSelection(page.dialog, view);
}

void OnSelfTest(const ApplicationPage& page) {
    // A failed self-test is not reported to the user.
    SendRawJobToPrinter(page.Printer(), BuildSelfTestJob());
}

void OnListSelection(ApplicationPage& page) {
    page.paper.SelectEntry(ListBoxSelection(page.dialog, IDC_APPLICATION_PAPER_LIST));
    ShowSelection(page.dialog, page.paper.view());
}

void OnNameChanged(ApplicationPage& page) {
    page.paper.NameEdited(ControlText(page.dialog, IDC_APPLICATION_PAPER_NAME, kTypedNameChars));
    ShowDeleteButton(page.dialog, page.paper.view());
}

void OnSetPaperSize(ApplicationPage& page) {
    const int width = ControlNumber(page.dialog, kWidthField.edit);
    const int height = ControlNumber(page.dialog, kHeightField.edit);
    const auto result = page.paper.SetPaperSize(
        width, height, ControlText(page.dialog, IDC_APPLICATION_PAPER_NAME, kTypedNameChars));
    if (result.width.corrected) SetControlText(page.dialog, kWidthField.edit, result.width.text);
    if (result.height.corrected) SetControlText(page.dialog, kHeightField.edit, result.height.text);
    if (!result.ok) {
        std::u16string message(kSetFormFailedMessage), caption(kSetFormFailedCaption);
        MessageBoxW(page.dialog, Wide(message), Wide(caption), MB_OK | MB_ICONERROR);
        return;
    }
    if (!result.created) return;
    ShowList(page.dialog, page.paper.view());
    ShowDeleteButton(page.dialog, page.paper.view());
}

void OnDeletePaperSize(ApplicationPage& page) {
    page.paper.DeleteSelected();
    ShowList(page.dialog, page.paper.view());
    ShowSelection(page.dialog, page.paper.view());
}

INT_PTR OnButton(ApplicationPage& page, int id) {
    switch (id) {
        case IDC_APPLICATION_SELF_TEST:
            OnSelfTest(page);
            return TRUE;
        case IDC_APPLICATION_SET_PAPER:
            OnSetPaperSize(page);
            return TRUE;
        case IDC_APPLICATION_DELETE_PAPER:
            OnDeletePaperSize(page);
            return TRUE;
        case IDC_APPLICATION_CONTROL_FONT:
            OpenControlFontTableDialog(page.dialog);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR OnCommand(ApplicationPage& page, int id, int code) {
    if (id == IDC_APPLICATION_PAPER_LIST && code == LBN_SELCHANGE) {
        OnListSelection(page);
        return TRUE;
    }
    if (id == IDC_APPLICATION_PAPER_NAME && code == EN_CHANGE) {
        OnNameChanged(page);
        return TRUE;
    }
    return code == BN_CLICKED ? OnButton(page, id) : FALSE;
}

}  // namespace

INT_PTR CALLBACK ApplicationPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (ApplicationPage* page = CreatePageState<ApplicationPage>(dialog, lParam)) OnInit(*page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    ApplicationPage* page =
        PageForMessage<ApplicationPage>(dialog, message, wParam, lParam, &result);
    if (!page) return result;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(*page, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return DefaultPageNotify(dialog, reinterpret_cast<const NMHDR*>(lParam), page->context);
        default:
            return FALSE;
    }
}

}  // namespace krv
