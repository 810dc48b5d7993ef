#include "tests/win/support/sheet_harness.h"

#include <set>

#include "frame/module_win.h"
#include "frame/sheet_registration_win.h"
#include "tests/support/fake_printer_win.h"

namespace krv::test {

namespace {

HHOOK g_hook = nullptr;
ModalWatcher* g_watcher = nullptr;
std::set<HWND> g_handled;

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

// A message box's text sits in a static control (0xFFFF on Windows, 100 in Wine).
std::wstring MessageText(HWND box) {
    for (int id : {0xFFFF, 100}) {
        HWND item = GetDlgItem(box, id);
        if (item) return WindowText(item);
    }
    return {};
}

UINT MessageIcon(HWND box) {
    // Both systems put the icon in a static of id 0x14 (Windows) / 1088 (Wine).
    for (int id : {0x14, 1088}) {
        HWND item = GetDlgItem(box, id);
        if (!item) continue;
        const HICON icon = reinterpret_cast<HICON>(SendMessageW(item, STM_GETICON, 0, 0));
        // The box is not shown yet when it is activated: look at the icon's own style.
        if (!icon || !(GetWindowLongW(item, GWL_STYLE) & WS_VISIBLE)) return 0;
        if (icon == LoadIconW(nullptr, IDI_HAND)) return MB_ICONERROR;
        if (icon == LoadIconW(nullptr, IDI_ASTERISK)) return MB_ICONINFORMATION;
        return 1;
    }
    return 0;
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_watcher) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        const bool dialog = std::wstring(className) == L"#32770";
        const bool sheet = GetDlgItem(window, 0x3020) != nullptr;  // the sheet's tab control
        if (dialog && !sheet && !g_handled.count(window)) {
            g_handled.insert(window);
            ModalSeen seen{WindowText(window), MessageText(window), MessageIcon(window)};
            g_watcher->seen.push_back(seen);
            if (!(g_watcher->handler && g_watcher->handler(window)))
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

ModalWatcher::ModalWatcher() {
    g_watcher = this;
    g_handled.clear();
    g_hook = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

ModalWatcher::~ModalWatcher() {
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_watcher = nullptr;
}

void UseTestProgramAsModule() {
    static bool done = false;
    if (done) return;
    done = true;
    SetModuleInstance(GetModuleHandleW(nullptr));
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

Sheet::Sheet(Kind k) : kind(k) {
    UseTestProgramAsModule();
    DefaultOemDevmode(&record);
    sheetParams.cbSize = sizeof sheetParams;
    sheetParams.pOEMDM = &record;
    sheetParams.pPrinterName = printerName.data();
    sheetParams.hPrinter = FakePrinter::Handle();
    commonUi.cbSize = sizeof commonUi;
    commonUi.hPrinter = FakePrinter::Handle();
    commonUi.pPrinterName = printerName.data();
    documentContext.commonUi = &commonUi;
    printerContext.commonUi = &commonUi;
}

Sheet::~Sheet() {
    Close();
}

LONG_PTR CALLBACK Sheet::HostCallback(HANDLE handle, UINT function, LPARAM lParam1,
                                      LPARAM lParam2) {
    auto* self = reinterpret_cast<Sheet*>(handle);
    self->hostCalls.push_back({function, lParam1, lParam2});
    if (function == CPSFUNC_ADD_PROPSHEETPAGEW) {
        auto* record = reinterpret_cast<PROPSHEETPAGEW*>(lParam1);
        self->addedTemplates.push_back(
            static_cast<int>(reinterpret_cast<ULONG_PTR>(record->pszTemplate)));
        self->addedFlags.push_back(record->dwFlags);
        HPROPSHEETPAGE page = CreatePropertySheetPageW(record);
        if (!page) return 0;
        self->pages_.push_back(page);
        return static_cast<LONG_PTR>(self->pages_.size());
    }
    if (function == CPSFUNC_SET_RESULT) return 1;
    return 0;
}

LRESULT CALLBACK Sheet::SheetSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
    if (message == PSM_CHANGED || message == PSM_UNCHANGED) {
        auto* self = reinterpret_cast<Sheet*>(data);
        self->sheetMessages.push_back({message, reinterpret_cast<HWND>(wParam)});
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void Sheet::Open() {
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof info;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = reinterpret_cast<HANDLE>(this);
    info.pfnComPropSheet = &Sheet::HostCallback;
    info.lParamInit = reinterpret_cast<LPARAM>(&sheetParams);
    if (kind == Kind::Document)
        DocumentSheetProcedure(&info, 0, &documentContext);
    else
        PrinterSheetProcedure(&info, 0, &printerContext);

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = L"Test sheet";
    header.nPages = static_cast<UINT>(pages_.size());
    header.phpage = pages_.data();
    window = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (window)
        SetWindowSubclass(window, &Sheet::SheetSubclass, 1, reinterpret_cast<DWORD_PTR>(this));
    PumpMessages();
}

HWND Sheet::Page(int index) {
    SendMessageW(window, PSM_SETCURSEL, index, 0);
    PumpMessages();
    return reinterpret_cast<HWND>(SendMessageW(window, PSM_INDEXTOHWND, index, 0));
}

int Sheet::PageCount() const {
    HWND tab = reinterpret_cast<HWND>(SendMessageW(window, PSM_GETTABCONTROL, 0, 0));
    return tab ? static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring Sheet::TabText(int index) const {
    HWND tab = reinterpret_cast<HWND>(SendMessageW(window, PSM_GETTABCONTROL, 0, 0));
    wchar_t text[128] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(tab, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

void Sheet::PressApply() {
    SendMessageW(window, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    PumpMessages();
}

void Sheet::Close() {
    if (window) {
        RemoveWindowSubclass(window, &Sheet::SheetSubclass, 1);
        DestroyWindow(window);
        window = nullptr;
        PumpMessages();
    }
    // The sheet destroyed its pages: opening it again, as a host does with the same plug-in
    // object, adds new ones.
    pages_.clear();
    addedTemplates.clear();
    addedFlags.clear();
}

int Sheet::CountSheetMessages(UINT message, HWND page) const {
    int n = 0;
    for (const auto& m : sheetMessages)
        if (m.message == message && (!page || m.page == page)) ++n;
    return n;
}

void PumpMessages() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

std::wstring ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
bool IsEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
bool IsVisible(HWND dialog, int id) {
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    PumpMessages();
}

void SetText(HWND dialog, int id, const std::wstring& text) {
    SetDlgItemTextW(dialog, id, text.c_str());
    PumpMessages();
}

void SelectCombo(HWND dialog, int id, int index) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    PumpMessages();
}

void PickComboEntry(HWND dialog, int id, int index) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    for (const WORD code : {CBN_SELENDOK, CBN_SELCHANGE})
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(combo));
    PumpMessages();
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

std::wstring ComboText(HWND dialog, int id, int index) {
    const LRESULT length = SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

int ComboCount(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
}

}  // namespace krv::test
