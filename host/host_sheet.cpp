#include "host/host_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include "host/host_files.h"
#include "host/host_log.h"
#include "host/host_screenshot.h"

namespace krv::host {

namespace {

struct SheetRun {
    const HostOptions* options = nullptr;
    const std::vector<uint8_t>* record = nullptr;
    std::vector<HPROPSHEETPAGE> pages;
    std::vector<int> templates;  // numeric template of each added page; -1 when named
    HWND window = nullptr;
    SheetOutcome outcome;
};

SheetRun* g_run = nullptr;  // the sheet open now; the callbacks check their handle against it

const wchar_t* SheetName(SheetKind kind) {
    return kind == SheetKind::Document ? L"document" : L"printer";
}

LONG_PTR AddPage(SheetRun& run, const PROPSHEETPAGEW* page) {
    if (!page || page->dwSize < PROPSHEETPAGEW_V1_SIZE) {
        Log().Line(L"CPSFUNC_ADD_PROPSHEETPAGEW: no usable page record");
        return 0;
    }
    const int id = IS_INTRESOURCE(page->pszTemplate)
                       ? static_cast<int>(reinterpret_cast<ULONG_PTR>(page->pszTemplate))
                       : -1;
    HPROPSHEETPAGE handle = CreatePropertySheetPageW(page);
    Log().Line(
        L"CPSFUNC_ADD_PROPSHEETPAGEW: template " + std::to_wstring(id) + L" size " +
        std::to_wstring(page->dwSize) + L" flags " + Hex(page->dwFlags) +
        (handle ? L" -> page " + Hex(reinterpret_cast<ULONG_PTR>(handle)) : L" -> not created"));
    if (!handle) return 0;
    run.pages.push_back(handle);
    run.templates.push_back(id);
    return reinterpret_cast<LONG_PTR>(handle);
}

LONG_PTR SetResult(SheetRun& run, LPARAM page, LPARAM result) {
    Log().Line(L"CPSFUNC_SET_RESULT: page " + Hex(static_cast<ULONG_PTR>(page)) + L" result " +
               std::to_wstring(result));
    if (result == CPSUI_OK) {
        run.outcome.applied = true;
        if (run.record) run.outcome.appliedRecord = *run.record;
    }
    return 1;
}

LONG_PTR CALLBACK HostSheetCallback(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
    if (!g_run || sheet != reinterpret_cast<HANDLE>(g_run)) {
        Log().Line(L"host sheet callback with an unknown sheet handle");
        return -1;
    }
    switch (function) {
        case CPSFUNC_ADD_PROPSHEETPAGEW:
            return AddPage(*g_run, reinterpret_cast<const PROPSHEETPAGEW*>(lParam1));
        case CPSFUNC_SET_RESULT:
            return SetResult(*g_run, lParam1, lParam2);
        default:
            Log().Line(L"host sheet callback: function " + std::to_wstring(function) +
                       L" is not provided by this host");
            return 0;
    }
}

// ---- message boxes and dialogs the pages open during a scripted run: logged, answered OK

HHOOK g_hook = nullptr;

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

LRESULT CALLBACK AnswerModals(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && g_run && window != g_run->window) {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wstring(className) == L"#32770") {
            HWND text = GetDlgItem(window, 0xFFFF);
            if (!text) text = GetDlgItem(window, 100);  // Wine's message box text
            Log().Line(L"modal window \"" + TextOf(window) + L"\"" +
                       (text ? L": " + TextOf(text) : L"") + L" -> OK");
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

// ---- the window

void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (g_run && g_run->window && PropSheet_IsDialogMessage(g_run->window, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

bool SheetOpen(const SheetRun& run) {
    return run.window && IsWindow(run.window) && PropSheet_GetCurrentPageHwnd(run.window);
}

HWND ShowPage(SheetRun& run, int index) {
    PropSheet_SetCurSel(run.window, nullptr, index);
    Pump();
    return PropSheet_IndexToHwnd(run.window, index);
}

void ShootPage(SheetRun& run, int index) {
    wchar_t name[64];
    swprintf(name, 64, L"%ls-%d-%d.bmp", SheetName(run.options->sheet), index,
             run.templates[static_cast<size_t>(index)]);
    const std::wstring path = JoinPath(run.options->shotsFolder, name);
    Pump();
    Log().Line((SaveWindowShot(run.window, path) ? L"screenshot " : L"no screenshot: ") + path);
}

void VisitPages(SheetRun& run) {
    const bool shots = !run.options->shotsFolder.empty();
    if (shots) EnsureFolder(run.options->shotsFolder);
    for (int i = 0; i < static_cast<int>(run.pages.size()); ++i) {
        HWND page = ShowPage(run, i);
        Log().Line(L"page " + std::to_wstring(i) + L" (template " +
                   std::to_wstring(run.templates[static_cast<size_t>(i)]) + L") \"" + TextOf(page) +
                   L"\"" + (page ? L"" : L" not shown"));
        if (shots) ShootPage(run, i);
    }
}

void ApplyClicks(SheetRun& run) {
    for (const ScriptedClick& click : run.options->clicks) {
        const std::wstring what = L"click page " + std::to_wstring(click.page) + L" control " +
                                  std::to_wstring(click.control);
        if (click.page >= static_cast<int>(run.pages.size())) {
            Log().Line(what + L": the sheet has no such page");
            continue;
        }
        HWND control = GetDlgItem(ShowPage(run, click.page), click.control);
        if (!control) {
            Log().Line(what + L": the page has no such control");
            continue;
        }
        Log().Line(what + L" \"" + TextOf(control) + L"\"" +
                   (IsWindowEnabled(control) ? L"" : L" (disabled)"));
        SendMessageW(control, BM_CLICK, 0, 0);
        Pump();
    }
}

void RunScript(SheetRun& run) {
    if (run.options->visitAll || !run.options->shotsFolder.empty()) VisitPages(run);
    ApplyClicks(run);
    if (run.options->ending == Ending::User) return;
    const bool ok = run.options->ending == Ending::Ok;
    Log().Line(ok ? L"pressing OK" : L"pressing Cancel");
    PropSheet_PressButton(run.window, ok ? PSBTN_OK : PSBTN_CANCEL);
    Pump();
}

void WaitUntilClosed(SheetRun& run) {
    MSG msg;
    while (SheetOpen(run) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (PropSheet_IsDialogMessage(run.window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring HeaderTitle(IPrintOemUI* ui, const HostOptions& options, PROPSHEETUI_INFO& info) {
    PROPSHEETUI_INFO_HEADER header = {};
    header.cbSize = sizeof header;
    header.hInst = GetModuleHandleW(nullptr);
    info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
    const HRESULT hr = options.sheet == SheetKind::Document
                           ? ui->DocumentPropertySheets(&info, reinterpret_cast<LPARAM>(&header))
                           : ui->DevicePropertySheets(&info, reinterpret_cast<LPARAM>(&header));
    std::wstring title = L"KRV-M857";
    if (SUCCEEDED(hr) && header.pTitle) title.assign(header.pTitle, wcsnlen(header.pTitle, 128));
    Log().Line(L"GET_INFO_HEADER: " + Hex(static_cast<ULONG>(hr)) + L" title \"" + title +
               L"\" result " + std::to_wstring(info.Result));
    return title;
}

HRESULT CallSheet(IPrintOemUI* ui, SheetKind kind, PROPSHEETUI_INFO& info, WORD reason,
                  LPARAM lParam) {
    info.Reason = reason;
    info.Result = 0;
    return kind == SheetKind::Document ? ui->DocumentPropertySheets(&info, lParam)
                                       : ui->DevicePropertySheets(&info, lParam);
}

bool OpenWindow(SheetRun& run, const std::wstring& title) {
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = title.c_str();
    header.nPages = static_cast<UINT>(run.pages.size());
    header.phpage = run.pages.data();
    run.window = reinterpret_cast<HWND>(PropertySheetW(&header));
    Log().Line(run.window ? L"sheet window open" : L"the sheet window could not be created");
    return run.window != nullptr;
}

}  // namespace

SheetOutcome RunSheet(IPrintOemUI* ui, const HostOptions& options, OEMUIPSPARAM* sheetParams,
                      const std::vector<uint8_t>* record) {
    SheetRun run;
    run.options = &options;
    run.record = record;
    g_run = &run;

    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof info;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Flags = PSUIINFO_UNICODE;
    info.hComPropSheet = reinterpret_cast<HANDLE>(&run);
    info.pfnComPropSheet = &HostSheetCallback;
    info.lParamInit = reinterpret_cast<LPARAM>(sheetParams);
    const HRESULT init = CallSheet(ui, options.sheet, info, PROPSHEETUI_REASON_INIT,
                                   reinterpret_cast<LPARAM>(sheetParams));
    Log().Line(std::wstring(SheetName(options.sheet)) + L" sheet INIT: " +
               Hex(static_cast<ULONG>(init)) + L", " + std::to_wstring(run.pages.size()) +
               L" pages");
    const std::wstring title = HeaderTitle(ui, options, info);

    if (SUCCEEDED(init) && !run.pages.empty() && OpenWindow(run, title)) {
        run.outcome.shown = true;
        if (options.ending != Ending::User)
            g_hook = SetWindowsHookExW(WH_CBT, AnswerModals, nullptr, GetCurrentThreadId());
        RunScript(run);
        WaitUntilClosed(run);
        if (g_hook) UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        DestroyWindow(run.window);
        Pump();
    } else {
        for (HPROPSHEETPAGE page : run.pages)
            DestroyPropertySheetPage(page);
    }
    const HRESULT destroyed =
        CallSheet(ui, options.sheet, info, PROPSHEETUI_REASON_DESTROY, run.outcome.applied ? 1 : 0);
    Log().Line(L"DESTROY: " + Hex(static_cast<ULONG>(destroyed)) +
               (run.outcome.applied ? L" (applied)" : L" (nothing applied)"));
    g_run = nullptr;
    return std::move(run.outcome);
}

}  // namespace krv::host
