// The COM side of the plug-in: the class factory and the plug-in object with every
// IPrintOemUI operation.
#pragma once

#include "frame/sheet_context_win.h"

namespace krv {

class OemUiPlugin final : public IPrintOemUI {
  public:
    OemUiPlugin();
    ~OemUiPlugin();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IPrintOemUI
    HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override;
    HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, OEMDMPARAM* param) override;
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* source) override;
    HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD mode, OEMCUIPPARAM* param) override;
    HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO info,
                                                     LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DevQueryPrintEx(OEMUIOBJ*, PVOID, DEVMODEW*, PVOID) override;
    HRESULT STDMETHODCALLTYPE DeviceCapabilities(OEMUIOBJ*, HANDLE, PWSTR, WORD, PVOID, DEVMODEW*,
                                                 PVOID, DWORD, DWORD*) override;
    HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD, PBYTE) override;
    HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR, INT, DWORD, LPARAM) override;
    HRESULT STDMETHODCALLTYPE DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) override;
    HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE printer, OEMUIOBJ* uiObject,
                                                DEVMODEW* publicDevmode, PVOID privateDevmode,
                                                ULONG queryMode, VOID* profileData,
                                                ULONG* profileDataSize,
                                                FLONG* profileFlags) override;
    HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) override;
    HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE, HANDLE, PWSTR) override;

  private:
    LONG refCount_ = 1;
    IPrintOemDriverUI* driverUi_ = nullptr;  // owned reference
    PrinterSheetContext printerSheet_;
    DocumentSheetContext documentSheet_;
};

class OemUiClassFactory final : public IClassFactory {
  public:
    OemUiClassFactory();
    ~OemUiClassFactory();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    LONG refCount_ = 1;
};

}  // namespace krv
