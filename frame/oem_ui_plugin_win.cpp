#include "frame/oem_ui_plugin_win.h"

#include <cstring>
#include <new>

#include "frame/module_win.h"
#include "frame/oem_devmode.h"
#include "frame/sheet_registration_win.h"

namespace krv {

namespace {

HRESULT FailWith(DWORD error) {
    SetLastError(error);
    return E_FAIL;
}

constexpr wchar_t kProfileName[] = L"OEMPROFILE.icm";
constexpr ULONG kProfileBytes = 32;
static_assert(sizeof kProfileName <= kProfileBytes);

}  // namespace

// ---------------------------------------------------------------- OemUiPlugin

OemUiPlugin::OemUiPlugin() {
    ObjectCreated();
}
OemUiPlugin::~OemUiPlugin() {
    ObjectDestroyed();
}

HRESULT OemUiPlugin::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidPrintOemUi)) {
        *ppv = static_cast<IPrintOemUI*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG OemUiPlugin::AddRef() {
    return InterlockedIncrement(&refCount_);
}

ULONG OemUiPlugin::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count != 0) return count;
    if (driverUi_) {
        driverUi_->Release();
        driverUi_ = nullptr;
    }
    delete this;
    return 0;
}

HRESULT OemUiPlugin::GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
    if (!needed ||
        (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION && mode != OEMGI_GETPUBLISHERINFO))
        return FailWith(ERROR_INVALID_PARAMETER);
    *needed = sizeof(DWORD);
    if (size < sizeof(DWORD) || !buffer) return FailWith(ERROR_INSUFFICIENT_BUFFER);
    if (mode == OEMGI_GETPUBLISHERINFO) {
        *needed = 0;
        return FailWith(ERROR_NOT_SUPPORTED);
    }
    const DWORD value = mode == OEMGI_GETSIGNATURE ? kOemSignature : kOemVersion;
    std::memcpy(buffer, &value, sizeof value);
    return S_OK;
}

HRESULT OemUiPlugin::DevMode(DWORD mode, OEMDMPARAM* param) {
    if (!param || mode < OEMDM_SIZE || mode > OEMDM_MERGE) return FailWith(ERROR_INVALID_PARAMETER);
    // The host owns the storage; an output buffer smaller than the record is never written.
    auto* out =
        param->cbBufSize >= kOemDevmodeSize ? static_cast<OemDevmode*>(param->pOEMDMOut) : nullptr;
    const auto* in = static_cast<const OemDevmode*>(param->pOEMDMIn);
    switch (mode) {
        case OEMDM_SIZE:
            param->cbBufSize = kOemDevmodeSize;
            break;
        case OEMDM_DEFAULT:
            DefaultOemDevmode(out);
            break;
        case OEMDM_CONVERT:
            ConvertOemDevmode(in, out);
            break;
        case OEMDM_MERGE:
            // The output record is validated whether or not there was a record to merge.
            ConvertOemDevmode(in, out);
            ValidateOemDevmode(out);
            break;
    }
    return S_OK;
}

HRESULT OemUiPlugin::PublishDriverInterface(IUnknown* source) {
    if (driverUi_) return S_OK;
    void* helper = nullptr;
    if (source && SUCCEEDED(source->QueryInterface(kIidPrintOemDriverUi, &helper)) && helper) {
        driverUi_ = static_cast<IPrintOemDriverUI*>(helper);
        return S_OK;
    }
    driverUi_ = nullptr;
    return E_FAIL;
}

HRESULT OemUiPlugin::CommonUIProp(DWORD mode, OEMCUIPPARAM* param) {
    documentSheet_.commonUi = param;
    printerSheet_.commonUi = param;
    if (mode == OEMCUIP_DOCPROP) return S_OK;
    if (mode == OEMCUIP_PRNPROP) {
        if (param && !param->pOEMOptItems) param->cOEMOptItems = 0;
        return S_OK;
    }
    return FailWith(ERROR_INVALID_PARAMETER);
}

HRESULT OemUiPlugin::DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    documentSheet_.driverUi = driverUi_;
    return DocumentSheetProcedure(info, lParam, &documentSheet_);
}

HRESULT OemUiPlugin::DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    printerSheet_.driverUi = driverUi_;
    return PrinterSheetProcedure(info, lParam, &printerSheet_);
}

HRESULT OemUiPlugin::DevQueryPrintEx(OEMUIOBJ*, PVOID, DEVMODEW*, PVOID) {
    return E_NOTIMPL;
}
HRESULT OemUiPlugin::DeviceCapabilities(OEMUIOBJ*, HANDLE, PWSTR, WORD, PVOID, DEVMODEW*, PVOID,
                                        DWORD, DWORD*) {
    return E_NOTIMPL;
}
HRESULT OemUiPlugin::UpgradePrinter(DWORD, PBYTE) {
    return E_NOTIMPL;
}
HRESULT OemUiPlugin::PrinterEvent(PWSTR, INT, DWORD, LPARAM) {
    return E_NOTIMPL;
}
HRESULT OemUiPlugin::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) {
    return E_NOTIMPL;
}
HRESULT OemUiPlugin::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return E_NOTIMPL;
}
HRESULT OemUiPlugin::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) {
    return E_NOTIMPL;
}

HRESULT OemUiPlugin::QueryColorProfile(HANDLE, OEMUIOBJ*, DEVMODEW*, PVOID, ULONG queryMode,
                                       VOID* profileData, ULONG* profileDataSize,
                                       FLONG* profileFlags) {
    if (queryMode != QCP_DEVICEPROFILE) return E_FAIL;
    if (!profileDataSize) return FailWith(ERROR_INVALID_PARAMETER);
    if (!profileData || *profileDataSize < kProfileBytes) {
        *profileDataSize = kProfileBytes;
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(profileData, kProfileName, sizeof kProfileName);
    *profileDataSize = kProfileBytes;
    if (profileFlags) *profileFlags = QCP_PROFILEDISK;
    return S_OK;
}

// ---------------------------------------------------------------- OemUiClassFactory

OemUiClassFactory::OemUiClassFactory() {
    ObjectCreated();
}
OemUiClassFactory::~OemUiClassFactory() {
    ObjectDestroyed();
}

HRESULT OemUiClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG OemUiClassFactory::AddRef() {
    return InterlockedIncrement(&refCount_);
}

ULONG OemUiClassFactory::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0) delete this;
    return count;
}

HRESULT OemUiClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* plugin = new (std::nothrow) OemUiPlugin();
    if (!plugin) return E_OUTOFMEMORY;
    const HRESULT hr = plugin->QueryInterface(riid, ppv);
    plugin->Release();
    return hr;
}

HRESULT OemUiClassFactory::LockServer(BOOL lock) {
    if (lock)
        LockModule();
    else
        UnlockModule();
    return S_OK;
}

}  // namespace krv
