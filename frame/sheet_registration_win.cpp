#include "frame/sheet_registration_win.h"

#include <array>

#include "frame/module_win.h"
#include "frame/page_procedures_win.h"
#include "res/resource_ids.h"

namespace krv {

namespace {

constexpr WORD kReasonInit = PROPSHEETUI_REASON_INIT;
constexpr WORD kReasonGetInfoHeader = PROPSHEETUI_REASON_GET_INFO_HEADER;
constexpr WORD kReasonDestroy = PROPSHEETUI_REASON_DESTROY;
constexpr WORD kReasonSetResult = PROPSHEETUI_REASON_SET_RESULT;
constexpr WORD kReasonGetIcon = PROPSHEETUI_REASON_GET_ICON;
constexpr wchar_t kHeaderTitle[] = L"OEM UI Page";

// Pages by their dialog template, in the order the sheets show them.
struct PageEntry {
    int templateId;
    DLGPROC procedure;
};

constexpr std::array<PageEntry, 7> kDocumentPages = {{
    {IDD_DUPLEX_PAGE, DuplexPageProc},
    {IDD_LAYOUT_PAGE, LayoutPageProc},
    {IDD_WATERMARK_PAGE, WatermarkPageProc},
    {IDD_OPERATIONS_PAGE, OperationsPageProc},
    {IDD_BARCODE_PAGE, BarcodePageProc},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, TwoDimensionalPageProc},
    {IDD_VERSION_PAGE, VersionPageProc},
}};

constexpr std::array<PageEntry, 4> kPrinterPages = {{
    {IDD_APPLICATION_PAGE, ApplicationPageProc},
    {IDD_DOWNLOAD_PAGE, DownloadPageProc},
    {IDD_FONTS_PAGE, FontsPageProc},
    {IDD_VERSION_PAGE, VersionPageProc},
}};

PROPSHEETPAGEW PageRecordFor(const PageEntry& entry, void* context) {
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;  // the third version: 52 bytes on 32-bit
    const HANDLE activation = ModuleActivationContext();
    page.dwFlags = activation != INVALID_HANDLE_VALUE ? PSP_USEFUSIONCONTEXT : 0;
    page.hInstance = ModuleInstance();
    page.pszTemplate = MAKEINTRESOURCEW(entry.templateId);
    page.pfnDlgProc = entry.procedure;
    page.lParam = reinterpret_cast<LPARAM>(context);
    page.hActCtx = activation;
    return page;
}

template <size_t N>
std::array<PROPSHEETPAGEW, N> PageRecords(const std::array<PageEntry, N>& entries, void* context) {
    std::array<PROPSHEETPAGEW, N> records;
    for (size_t i = 0; i < N; ++i)
        records[i] = PageRecordFor(entries[i], context);
    return records;
}

LONG_PTR AddPage(PPROPSHEETUI_INFO info, PROPSHEETPAGEW& page) {
    return info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                 reinterpret_cast<LPARAM>(&page), 0);
}

bool VersionOk(PPROPSHEETUI_INFO info) {
    if (info && info->Version == PROPSHEETUI_INFO_VERSION) return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// The reasons both sheets answer alike. False for initialisation, which each sheet handles.
bool CommonReason(PPROPSHEETUI_INFO info, LPARAM lParam) {
    switch (info->Reason) {
        case kReasonInit:
            return false;
        case kReasonGetInfoHeader: {
            auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
            if (header) header->pTitle = const_cast<LPWSTR>(kHeaderTitle);
            info->Result = 1;
            return true;
        }
        case kReasonDestroy:
            info->Result = 1;
            return true;
        case kReasonSetResult: {
            const auto* result = reinterpret_cast<const SETRESULT_INFO*>(lParam);
            if (result) info->Result = static_cast<ULONG_PTR>(result->Result);
            return true;
        }
        case kReasonGetIcon:
            info->Result = 0;
            return true;
        default:
            info->Result = static_cast<ULONG_PTR>(lParam);
            return true;
    }
}

}  // namespace

HRESULT DocumentSheetProcedure(PPROPSHEETUI_INFO info, LPARAM lParam,
                               DocumentSheetContext* context) {
    if (!VersionOk(info)) return E_FAIL;
    if (CommonReason(info, lParam)) return S_OK;
    auto records = PageRecords(kDocumentPages, context);
    context->hComPropSheet = info->hComPropSheet;
    context->sheetParams = reinterpret_cast<OEMUIPSPARAM*>(info->lParamInit);
    context->pfnComPropSheet = info->pfnComPropSheet;
    context->watermarkSwitchedOff = false;
    LONG_PTR last = 0;
    if (info->pfnComPropSheet)
        for (auto& page : records)
            last = AddPage(info, page);
    info->Result = static_cast<ULONG_PTR>(last);
    return S_OK;
}

HRESULT PrinterSheetProcedure(PPROPSHEETUI_INFO info, LPARAM lParam, PrinterSheetContext* context) {
    if (!VersionOk(info)) return E_FAIL;
    if (CommonReason(info, lParam)) return S_OK;
    auto records = PageRecords(kPrinterPages, context);
    context->hComPropSheet = info->hComPropSheet;
    context->pfnComPropSheet = info->pfnComPropSheet;
    if (info->pfnComPropSheet)
        for (auto& page : records)
            context->lastPageHandle = reinterpret_cast<HANDLE>(AddPage(info, page));
    info->Result = static_cast<ULONG_PTR>(lParam);
    return S_OK;
}

}  // namespace krv
