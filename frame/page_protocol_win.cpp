#include "frame/page_protocol_win.h"

namespace krv {

OemDevmode* PageRecord(const DocumentSheetContext* context) {
    if (!context || !context->sheetParams) return nullptr;
    return static_cast<OemDevmode*>(context->sheetParams->pOEMDM);
}

HANDLE PagePrinter(const DocumentSheetContext* context) {
    return context && context->commonUi ? context->commonUi->hPrinter : nullptr;
}

HANDLE PagePrinter(const PrinterSheetContext* context) {
    return context && context->commonUi ? context->commonUi->hPrinter : nullptr;
}

void ReportPageChanged(HWND page) {
    SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void AcknowledgeApply(HWND page, const DocumentSheetContext* context) {
    if (context && context->pfnComPropSheet)
        context->pfnComPropSheet(context->hComPropSheet, CPSFUNC_SET_RESULT,
                                 reinterpret_cast<LPARAM>(context->pageHandle), CPSUI_OK);
    SendMessageW(GetParent(page), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void AcknowledgeApply(HWND, const PrinterSheetContext* context) {
    if (context && context->pfnComPropSheet)
        context->pfnComPropSheet(context->hComPropSheet, CPSFUNC_SET_RESULT,
                                 reinterpret_cast<LPARAM>(context->lastPageHandle), CPSUI_OK);
}

bool DefaultPageSystemMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam,
                              INT_PTR* result) {
    if (message == WM_SETICON) {
        DefWindowProcW(page, message, wParam, lParam);
        *result = FALSE;
        return true;
    }
    if (message == WM_SYSCOMMAND) {
        *result = DefWindowProcW(page, message, wParam, lParam);
        return true;
    }
    return false;
}

int ShowPageError(HWND owner, const wchar_t* text, MessageIcon icon) {
    UINT flags = MB_OK;
    if (icon == MessageIcon::Error) flags |= MB_ICONERROR;
    if (icon == MessageIcon::Information) flags |= MB_ICONINFORMATION;
    return MessageBoxW(owner, text, L"错误", flags);
}

int ShowPageInformation(HWND owner, const wchar_t* text) {
    return MessageBoxW(owner, text, L"信息", MB_OK | MB_ICONINFORMATION);
}

}  // namespace krv
