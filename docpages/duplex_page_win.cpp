// The duplex page (template 132): duplex mode, binding edge with its picture, the
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

namespace krv {

namespace {

enum Control : int {
    kDuplexModeList = 1020,
    kDownload = 1036,
    kFirstMessageLine = 1047,  // 1047..1050: message lines 0..3
    kLastMessageLine = 1050,
    kSecondFrontLine = 1048,
    kShortEdge = 1061,
    kTopBottomMessageList = 1110,
    kShortEdgePicture = 1113,
    kLongEdgePicture = 1114,
    kNoEdgePicture = 1115,
    kLongEdge = 1127,
};

// Exactly one picture; the radios follow the view, and a view without an edge leaves their
// checks as they were (they are disabled then).
void ShowBindingEdge(HWND page, const BindingEdgeView& view) {
    ShowControl(page, kLongEdgePicture, view.picture == DuplexPicture::LongEdge);
    ShowControl(page, kShortEdgePicture, view.picture == DuplexPicture::ShortEdge);
    ShowControl(page, kNoEdgePicture, view.picture == DuplexPicture::NoEdge);
    EnableControl(page, kLongEdge, view.radiosEnabled);
    EnableControl(page, kShortEdge, view.radiosEnabled);
    if (view.longEdgeChecked || view.shortEdgeChecked) {
        CheckButton(page, kLongEdge, view.longEdgeChecked);
        CheckButton(page, kShortEdge, view.shortEdgeChecked);
    }
}

void OnInit(HWND page, const DocumentSheetContext* context) {
    FillComboList(page, kDuplexModeList, kDuplexModeItems);
    FillComboList(page, kTopBottomMessageList, kTopBottomMessageItems);
    EnableControl(page, kDownload, false);
    const OemDevmode* record = PageRecord(context);
    if (!record) return;
    SelectComboEntry(page, kTopBottomMessageList,
                     TopBottomMessageSelection(record->topBottomMessage));
    ShowBindingEdge(page, InitialBindingEdgeView(record->bindingEdge));
    SelectComboEntry(page, kDuplexModeList, record->duplexMode);
}

// The lines as the page reads them: at most 199 characters each.
std::array<std::u16string, kTopBottomLineCount> MessageLines(HWND page) {
    std::array<std::u16string, kTopBottomLineCount> lines;
    for (size_t n = 0; n < lines.size(); ++n)
        lines[n] = ControlText(page, kFirstMessageLine + static_cast<int>(n),
                               static_cast<int>(kTopBottomLineMaxCharacters));
    return lines;
}

TopBottomLines Views(const std::array<std::u16string, kTopBottomLineCount>& lines) {
    TopBottomLines views;
    for (size_t n = 0; n < lines.size(); ++n)
        views[n] = lines[n];
    return views;
}

void OnMessageLineChanged(HWND page, int id) {
    EnableControl(page, kDownload, TopBottomDownloadEnabled(Views(MessageLines(page))));
    // Nothing is stored, but the sheet is told of changes to every line except the second
    // front line, as it always was.
    if (id != kSecondFrontLine) ReportPageChanged(page);
}

// A line too long stops the whole download before any job is opened; a spooler failure is
// silent.
void OnDownload(HWND page, const DocumentSheetContext* context) {
    const auto lines = MessageLines(page);
    const TopBottomMessageBuild build = BuildTopBottomMessageJob(Views(lines));
    if (build.status == TopBottomMessageBuild::Status::LineTooLong) {
        ShowPageError(page, reinterpret_cast<const wchar_t*>(kTopBottomLineTooLongMessage),
                      MessageIcon::None);
        return;
    }
    const HANDLE printer = PagePrinter(context);
    if (build.status == TopBottomMessageBuild::Status::Ready && printer)
        SendRawJobToPrinter(printer, build.job);
}

// Writes the record; true when something was stored.
bool StoreChoice(HWND page, OemDevmode& record, int id, int code) {
    if (id == kDuplexModeList && code == CBN_SELCHANGE) {
        ShowBindingEdge(page, SelectDuplexMode(record, ComboSelection(page, kDuplexModeList)));
        return true;
    }
    if ((id == kShortEdge || id == kLongEdge) && code == BN_CLICKED) {
        const uint8_t edge = id == kShortEdge ? kBindingShortEdge : kBindingLongEdge;
        ShowBindingEdge(page, SelectBindingEdge(record, edge));
        return true;
    }
    if (id == kTopBottomMessageList && code == CBN_SELCHANGE) {
        record.topBottomMessage =
            TopBottomMessageValue(ComboSelection(page, kTopBottomMessageList));
        return true;
    }
    return false;
}

INT_PTR OnCommand(HWND page, const DocumentSheetContext* context, int id, int code) {
    if (id >= kFirstMessageLine && id <= kLastMessageLine) {
        if (code == EN_CHANGE) OnMessageLineChanged(page, id);
        return TRUE;
    }
    if (id == kDownload) {
        if (code == BN_CLICKED) OnDownload(page, context);
        return TRUE;
    }
    OemDevmode* record = PageRecord(context);
    if (record && StoreChoice(page, *record, id, code)) ReportPageChanged(page);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK DuplexPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInit(page, StorePageContext<DocumentSheetContext>(page, lParam));
        return TRUE;
    }
    const auto* context = PageContext<DocumentSheetContext>(page);
    if (!context) return FALSE;
    INT_PTR result = FALSE;
    if (DefaultPageSystemMessage(page, message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(page, context, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return DefaultPageNotify(page, reinterpret_cast<const NMHDR*>(lParam), context);
        default:
            return FALSE;
    }
}

}  // namespace krv
