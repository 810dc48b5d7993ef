// The operations page (IDD_OPERATIONS_PAGE): one button per moment of the job; each opens the
// event-action dialog on that moment's block of the record and stores it back on "确认".
#include "docpages/event_action_dialog_win.h"
#include "docpages/event_action_rules.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/operations_page_ids.h"

namespace krv {

namespace {

// The operations page keeps nothing between messages beyond its window and context.
struct OperationsPage : DocumentPage {
    using DocumentPage::DocumentPage;
};

// The buttons are the moments 0..3 in order: start of document, start of page, end of page,
// end of document.
static_assert(IDC_OPERATIONS_END_OF_DOCUMENT - IDC_OPERATIONS_START_OF_DOCUMENT == 3);
EventMoment MomentOfButton(int id) {
    return static_cast<EventMoment>(id - IDC_OPERATIONS_START_OF_DOCUMENT);
}

// The page's window and context are taken by value: the page's state is not held across the
// modal dialog.
void EditMoment(HWND dialog, const DocumentSheetContext* context, EventMoment moment) {
    const OemDevmode* record = PageRecord(context);
    if (!record) return;
    SharedEventActionWorkingCopy() = OpenEventMoment(*record, moment);
    if (RunEventActionDialog(dialog) != IDOK) return;
    // Read afresh: the record is the host's and is not held across the dialog.
    OemDevmode* current = PageRecord(context);
    if (!current || !StoreEventMoment(*current, SharedEventActionWorkingCopy())) return;
    ReportPageChanged(dialog);
}

INT_PTR OnCommand(const OperationsPage& page, int id, int code) {
    if (code != BN_CLICKED || id < IDC_OPERATIONS_START_OF_DOCUMENT ||
        id > IDC_OPERATIONS_END_OF_DOCUMENT)
        return FALSE;
    EditMoment(page.dialog, page.context, MomentOfButton(id));
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK OperationsPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CreatePageState<OperationsPage>(dialog, lParam);
        return TRUE;
    }
    INT_PTR result = FALSE;
    const OperationsPage* page =
        PageForMessage<OperationsPage>(dialog, message, wParam, lParam, &result);
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
