// The protocol every page of both sheets follows: the context kept as the dialog's user data,
// the record and the printer handle reached through it afresh on every message, change and
// apply reports to the sheet, and the message boxes the pages show.
#pragma once

#include <string>
#include <string_view>

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

// Every later message: null when nothing was stored (the page then ignores the message).
template <typename Context>
Context* PageContext(HWND page) {
    return reinterpret_cast<Context*>(GetWindowLongPtrW(page, DWLP_USER));
}

// The job's private record: context -> sheet parameters -> pOEMDM. Null when the host gave none.
OemDevmode* PageRecord(const DocumentSheetContext* context);
// The printer of the common-UI parameter block; null when the host gave no block.
HANDLE PagePrinter(const DocumentSheetContext* context);
HANDLE PagePrinter(const PrinterSheetContext* context);

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

enum class MessageIcon { None, Error, Information };
// Caption "错误" with an OK button (icon as asked).
int ShowPageError(HWND owner, const wchar_t* text, MessageIcon icon = MessageIcon::Error);
// Caption "信息" with the information icon.
int ShowPageInformation(HWND owner, const wchar_t* text);

// The page's text of a control as UTF-16, reading at most `maxChars` characters.
std::u16string ControlText(HWND dialog, int id, int maxChars);
void SetControlText(HWND dialog, int id, std::u16string_view text);

}  // namespace krv
