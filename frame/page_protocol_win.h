// The protocol every page of both sheets follows: the context kept as the dialog's user data,
// one state struct per page window, the record and the printer handle reached through the
// context afresh on every message, change and apply reports to the sheet, and the message
// boxes the pages show.
#pragma once

#include <new>

#include "frame/oem_devmode.h"
#include "frame/sheet_context_win.h"

namespace krv {

// WM_INITDIALOG: lParam is the page record; its page parameter is the context address.
template <typename Context>
Context* StorePageContext(HWND page, LPARAM initParam) {
    const auto* record = reinterpret_cast<const PROPSHEETPAGEW*>(initParam);
    auto* context = record ? reinterpret_cast<Context*>(record->lParam) : nullptr;
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
    return context;
}

// The job's private record: context -> sheet parameters -> pOEMDM. Null when the host gave none.
OemDevmode* PageRecord(const DocumentSheetContext* context);
// The printer of the common-UI parameter block; null when the host gave no block.
HANDLE PagePrinter(const DocumentSheetContext* context);
HANDLE PagePrinter(const PrinterSheetContext* context);

// What every page keeps for the life of its window: the window and the context. A page's own
// state struct derives from DocumentPage or PrinterPage and adds what the page needs between
// messages (its destructor gives back what the page holds); it is made at WM_INITDIALOG, found
// again by every later message and deleted at WM_DESTROY, so a page procedure is a short switch
// handing each message to a named handler over that one struct:
//
//     WM_INITDIALOG:  CreatePageState<XPage>, then the page's own initialisation on the state;
//     any other:      PageForMessage<XPage>, then the page's handler of the message.
template <typename SheetContext>
struct SheetPage {
    using Context = SheetContext;
    SheetPage(HWND window, const Context* sheetContext) : dialog(window), context(sheetContext) {}
    SheetPage(const SheetPage&) = delete;
    SheetPage& operator=(const SheetPage&) = delete;

    HANDLE Printer() const { return PagePrinter(context); }

    HWND dialog;
    const Context* context;  // null when the page record carried none
};

struct DocumentPage : SheetPage<DocumentSheetContext> {
    using SheetPage::SheetPage;
    // The job's record, read afresh on every call: it is the host's, not the page's.
    OemDevmode* Record() const { return PageRecord(context); }
};

using PrinterPage = SheetPage<PrinterSheetContext>;

// WM_INITDIALOG: stores the context as the dialog's user data, then makes the page's state over
// it and keeps it with the window. Null when no memory was left (the page stays inert).
template <typename Page>
Page* CreatePageState(HWND dialog, LPARAM initParam) {
    const auto* context = StorePageContext<const typename Page::Context>(dialog, initParam);
    Page* page = new (std::nothrow) Page(dialog, context);
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page));
    return page;
}

// PSM_CHANGED for the page, after every change the page stores.
void ReportPageChanged(HWND page);
// PSN_APPLY: CPSFUNC_SET_RESULT with the page handle and CPSUI_OK, then (document pages)
// PSM_UNCHANGED for the page.
void AcknowledgeApply(HWND page, const DocumentSheetContext* context);
void AcknowledgeApply(HWND page, const PrinterSheetContext* context);

// The default answers of a page to sheet notifications: PSN_APPLY acknowledges and answers
// TRUE, PSN_SETACTIVE and PSN_KILLACTIVE answer TRUE, others FALSE.
template <typename Context>
INT_PTR DefaultPageNotify(HWND page, const NMHDR* header, const Context* context) {
    switch (header->code) {
        case PSN_APPLY:
            AcknowledgeApply(page, context);
            SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        case PSN_SETACTIVE:
        case PSN_KILLACTIVE:
            SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

// WM_SETICON goes to DefWindowProcW and answers FALSE; WM_SYSCOMMAND answers what
// DefWindowProcW answers. Returns true when `message` was one of the two.
bool DefaultPageSystemMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam,
                              INT_PTR* result);

// Every later message: the page's state when the page answers the message itself. Null, with
// *result the answer, when the protocol answers for the page:
// - WM_DESTROY: the state goes with the window, context or not (FALSE); later messages find none;
// - the page has no state or no context: it ignores the message (FALSE);
// - a message every page answers alike (DefaultPageSystemMessage).
template <typename Page>
Page* PageForMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    *result = FALSE;
    auto* page = reinterpret_cast<Page*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (message == WM_DESTROY) {
        SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
        delete page;
        return nullptr;
    }
    if (!page || !page->context) return nullptr;
    if (DefaultPageSystemMessage(dialog, message, wParam, lParam, result)) return nullptr;
    return page;
}

enum class MessageIcon { None, Error, Information };
// Caption "错误" with an OK button (icon as asked).
int ShowPageError(HWND owner, const wchar_t* text, MessageIcon icon = MessageIcon::Error);
// Caption "信息" with the information icon.
int ShowPageInformation(HWND owner, const wchar_t* text);

}  // namespace krv
