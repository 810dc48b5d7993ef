// The duplex page (IDD_DUPLEX_PAGE): duplex mode, binding edge with its picture, the
// top/bottom message switch, and the download of the four message lines as one RAW job.
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "channel/winspool_win.h"
#include "docpages/duplex_rules.h"
#include "jobs/top_bottom_message.h"
#include "frame/dialog_controls_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/duplex_page_ids.h"

namespace krv {

namespace {

// The duplex page keeps nothing between messages beyond its window and context.
struct DuplexPage : DocumentPage {
    using DocumentPage::DocumentPage;
};

// Exactly one picture; the radios follow the view, and a view without an edge leaves their
// checks as they were (they are disabled then).
void ShowBindingEdge(HWND dialog, const BindingEdgeView& view) {
    ShowControl(dialog, IDC_DUPLEX_LONG_EDGE_PICTURE, view.picture == DuplexPicture::LongEdge);
    ShowControl(dialog, IDC_DUPLEX_SHORT_EDGE_PICTURE, view.picture == DuplexPicture::ShortEdge);
    ShowControl(dialog, IDC_DUPLEX_NO_EDGE_PICTURE, view.picture == DuplexPicture::NoEdge);
    EnableControl(dialog, IDC_DUPLEX_LONG_EDGE, view.radiosEnabled);
    EnableControl(dialog, IDC_DUPLEX_SHORT_EDGE, view.radiosEnabled);
    if (view.longEdgeChecked || view.shortEdgeChecked) {
        CheckButton(dialog, IDC_DUPLEX_LONG_EDGE, view.longEdgeChecked);
        CheckButton(dialog, IDC_DUPLEX_SHORT_EDGE, view.shortEdgeChecked);
    }
}

void OnInit(const DuplexPage& page) {
    FillComboList(page.dialog, IDC_DUPLEX_MODE_LIST, kDuplexModeItems);
    FillComboList(page.dialog, IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST, kTopBottomMessageItems);
    EnableControl(page.dialog, IDC_DUPLEX_DOWNLOAD, false);
    const OemDevmode* record = page.Record();
    if (!record) return;
    SelectComboEntry(page.dialog, IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST,
                     TopBottomMessageSelection(record->topBottomMessage));
    ShowBindingEdge(page.dialog, InitialBindingEdgeView(record->bindingEdge));
    SelectComboEntry(page.dialog, IDC_DUPLEX_MODE_LIST, record->duplexMode);
}

// The lines as the page reads them, lines 0..3 from the first edit on: at most 199 characters
// each.
static_assert(IDC_DUPLEX_BACK_TOP_LINE2 - IDC_DUPLEX_FRONT_BOTTOM_LINE1 + 1 ==
              static_cast<int>(kTopBottomLineCount));
std::array<std::u16string, kTopBottomLineCount> MessageLines(HWND dialog) {
    std::array<std::u16string, kTopBottomLineCount> lines;
    for (size_t n = 0; n < lines.size(); ++n)
        lines[n] = ControlText(dialog, IDC_DUPLEX_FRONT_BOTTOM_LINE1 + static_cast<int>(n),
                               static_cast<int>(kTopBottomLineMaxCharacters));
    return lines;
}

TopBottomLines Views(const std::array<std::u16string, kTopBottomLineCount>& lines) {
    TopBottomLines views;
    for (size_t n = 0; n < lines.size(); ++n)
        views[n] = lines[n];
    return views;
}

void OnMessageLineChanged(const DuplexPage& page, int id) {
    EnableControl(page.dialog, IDC_DUPLEX_DOWNLOAD,
                  TopBottomDownloadEnabled(Views(MessageLines(page.dialog))));
    // Nothing is stored, but the sheet is told of changes to every line except the second
    // front line, as it always was.
    if (id != IDC_DUPLEX_FRONT_BOTTOM_LINE2) ReportPageChanged(page.dialog);
}

// A line too long stops the whole download before any job is opened; a spooler failure is
// silent.
void OnDownload(const DuplexPage& page) {
    const auto lines = MessageLines(page.dialog);
    const TopBottomMessageBuild build = BuildTopBottomMessageJob(Views(lines));
    if (build.status == TopBottomMessageBuild::Status::LineTooLong) {
        ShowPageError(page.dialog, reinterpret_cast<const wchar_t*>(kTopBottomLineTooLongMessage),
                      MessageIcon::None);
        return;
    }
    const HANDLE printer = page.Printer();
    if (build.status == TopBottomMessageBuild::Status::Ready && printer)
        SendRawJobToPrinter(printer, build.job);
}

// Writes the record; true when something was stored.
bool StoreChoice(HWND dialog, OemDevmode& record, int id, int code) {
    if (id == IDC_DUPLEX_MODE_LIST && code == CBN_SELCHANGE) {
        ShowBindingEdge(dialog,
                        SelectDuplexMode(record, ComboSelection(dialog, IDC_DUPLEX_MODE_LIST)));
        return true;
    }
    if ((id == IDC_DUPLEX_SHORT_EDGE || id == IDC_DUPLEX_LONG_EDGE) && code == BN_CLICKED) {
        const uint8_t edge = id == IDC_DUPLEX_SHORT_EDGE ? kBindingShortEdge : kBindingLongEdge;
        ShowBindingEdge(dialog, SelectBindingEdge(record, edge));
        return true;
    }
    if (id == IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST && code == CBN_SELCHANGE) {
        record.topBottomMessage =
            TopBottomMessageValue(ComboSelection(dialog, IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST));
        return true;
    }
    return false;
}

INT_PTR OnCommand(const DuplexPage& page, int id, int code) {
    if (id >= IDC_DUPLEX_FRONT_BOTTOM_LINE1 && id <= IDC_DUPLEX_BACK_TOP_LINE2) {
        if (code == EN_CHANGE) OnMessageLineChanged(page, id);
        return TRUE;
    }
    if (id == IDC_DUPLEX_DOWNLOAD) {
        if (code == BN_CLICKED) OnDownload(page);
        return TRUE;
    }
    OemDevmode* record = page.Record();
    if (record && StoreChoice(page.dialog, *record, id, code)) ReportPageChanged(page.dialog);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK DuplexPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (const DuplexPage* page = CreatePageState<DuplexPage>(dialog, lParam)) OnInit(*page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    const DuplexPage* page = PageForMessage<DuplexPage>(dialog, message, wParam, lParam, &result);
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
