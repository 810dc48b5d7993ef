// The operations page (IDD_OPERATIONS_PAGE): one button per moment of the job; each opens the
// event-action dialog on that moment's block of the record and stores it back on "确认".
#include "docpages/event_action_dialog_win.h"
#include "docpages/event_action_rules.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/operations_page_ids.h"

namespace krv {

namespace {

// The buttons are the moments 0..3 in order: start of document, start of page, end of page,
// end of document.
static_assert(IDC_OPERATIONS_END_OF_DOCUMENT - IDC_OPERATIONS_START_OF_DOCUMENT == 3);
EventMoment MomentOfButton(int id) {
    return static_cast<EventMoment>(id - IDC_OPERATIONS_START_OF_DOCUMENT);
}

void EditMoment(HWND page, const DocumentSheetContext* context, EventMoment moment) {
    const OemDevmode* record = PageRecord(context);
    if (!record) return;
    SharedEventActionWorkingCopy() = OpenEventMoment(*record, moment);
    if (RunEventActionDialog(page) != IDOK) return;
    // Read afresh: the record is the host's and is not held across the dialog.
    OemDevmode* current = PageRecord(context);
    if (!current || !StoreEventMoment(*current, SharedEventActionWorkingCopy())) return;
    ReportPageChanged(page);
}

INT_PTR OnCommand(HWND page, const DocumentSheetContext* context, int id, int code) {
    if (code != BN_CLICKED || id < IDC_OPERATIONS_START_OF_DOCUMENT ||
        id > IDC_OPERATIONS_END_OF_DOCUMENT)
        return FALSE;
    EditMoment(page, context, MomentOfButton(id));
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK OperationsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        StorePageContext<DocumentSheetContext>(page, lParam);
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
