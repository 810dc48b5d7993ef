// The built plug-in DLL, driven exactly as the printer driver's UI host drives it: loaded by
// name, reached through its two exports, and called through the IPrintOemUI table.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "frame/oem_devmode.h"
#include "frame/oem_ui_abi_win.h"
#include "frame/sheet_context_win.h"

namespace krv {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

class PluginDll : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = LoadLibraryW(L"krv857ui.dll");
        ASSERT_NE(module_, nullptr) << "krv857ui.dll beside the test program";
        getClassObject_ = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
        ASSERT_EQ(canUnloadNow_(), S_OK) << "a previous test left an object alive";
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    IClassFactory* Factory() {
        void* p = nullptr;
        EXPECT_EQ(getClassObject_(kClsidOemUi, IID_IClassFactory, &p), S_OK);
        return static_cast<IClassFactory*>(p);
    }

    IPrintOemUI* Plugin() {
        IClassFactory* factory = Factory();
        void* unknown = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &unknown), S_OK);
        factory->Release();
        void* ui = nullptr;
        EXPECT_EQ(static_cast<IUnknown*>(unknown)->QueryInterface(kIidPrintOemUi, &ui), S_OK);
        static_cast<IUnknown*>(unknown)->Release();
        return static_cast<IPrintOemUI*>(ui);
    }

    HMODULE module_ = nullptr;
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
};

TEST_F(PluginDll, RefusedClassAndInterfacesLeaveNothingAlive) {
    const GUID other = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject_(other, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(getClassObject_(kClsidOemUi, other, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_OK);

    IClassFactory* factory = Factory();
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a held class factory keeps the module";
    int outer = 0;  // any non-null outer object asks for aggregation
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(&outer), IID_IUnknown, &p),
              CLASS_E_NOAGGREGATION);
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, other, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(PluginDll, UnloadWaitsForObjectsAndLocks) {
    IPrintOemUI* plugin = Plugin();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    IClassFactory* factory = Factory();
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(plugin->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "the server lock still holds";
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(PluginDll, GetInfoSizesAndLastErrors) {
    IPrintOemUI* plugin = Plugin();
    struct Case {
        DWORD mode, size;
        bool withBuffer;
        HRESULT hr;
        DWORD lastError, needed, value;
    } cases[] = {
        {OEMGI_GETSIGNATURE, 3, true, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0},
        {OEMGI_GETSIGNATURE, 4, true, S_OK, 0, 4, 0x564B5254},
        {OEMGI_GETSIGNATURE, 4, false, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0},
        {OEMGI_GETVERSION, 64, true, S_OK, 0, 4, 1},
        {OEMGI_GETINTERFACEVERSION, 64, true, E_FAIL, ERROR_INVALID_PARAMETER, 99, 0},
        {OEMGI_GETPUBLISHERINFO, 64, true, E_FAIL, ERROR_NOT_SUPPORTED, 0, 0},
        {7, 64, true, E_FAIL, ERROR_INVALID_PARAMETER, 99, 0},
    };
    for (const auto& c : cases) {
        DWORD buffer[16] = {};
        DWORD needed = 99;
        SetLastError(0);
        const HRESULT hr =
            plugin->GetInfo(c.mode, c.withBuffer ? buffer : nullptr, c.size, &needed);
        EXPECT_EQ(hr, c.hr) << "mode " << c.mode << " size " << c.size;
        if (hr != S_OK) {
            EXPECT_EQ(GetLastError(), c.lastError) << "mode " << c.mode;
        }
        EXPECT_EQ(needed, c.needed) << "mode " << c.mode;
        if (hr == S_OK) {
            EXPECT_EQ(buffer[0], c.value);
        }
    }
    SetLastError(0);
    DWORD buffer = 0;
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &buffer, 4, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    plugin->Release();
}

TEST_F(PluginDll, DevModeSizesDefaultsConvertsAndMerges) {
    IPrintOemUI* plugin = Plugin();
    SetLastError(0);
    EXPECT_EQ(plugin->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    OEMDMPARAM param = {};
    param.cbSize = sizeof param;
    SetLastError(0);
    EXPECT_EQ(plugin->DevMode(5, &param), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    ASSERT_EQ(plugin->DevMode(OEMDM_SIZE, &param), S_OK);
    ASSERT_EQ(param.cbBufSize, 1468u);

    OemDevmode out, in;
    std::memset(&out, 0xCC, sizeof out);
    param.pOEMDMOut = &out;
    ASSERT_EQ(plugin->DevMode(OEMDM_DEFAULT, &param), S_OK);
    const uint8_t header[12] = {0xBC, 0x05, 0, 0, 0x54, 0x52, 0x4B, 0x56, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&out, header, 12), 0);
    EXPECT_EQ(out.duplexMode, 1);

    std::memcpy(&in, &out, sizeof in);
    in.jobLimitValue = 101;
    in.duplexMode = 3;
    param.pOEMDMIn = &in;
    ASSERT_EQ(plugin->DevMode(OEMDM_CONVERT, &param), S_OK);
    EXPECT_EQ(out.jobLimitValue, 101) << "convert alone does not validate";
    EXPECT_EQ(out.duplexMode, 3);
    ASSERT_EQ(plugin->DevMode(OEMDM_MERGE, &param), S_OK);
    EXPECT_EQ(out.jobLimitValue, 0);

    // Without an input record the output record is validated all the same.
    out.jobLimitValue = 150;
    out.header.dwVersion = 7;
    param.pOEMDMIn = nullptr;
    ASSERT_EQ(plugin->DevMode(OEMDM_MERGE, &param), S_OK);
    EXPECT_EQ(out.jobLimitValue, 0);
    EXPECT_EQ(out.header.dwVersion, 1u);
    EXPECT_EQ(out.duplexMode, 3) << "and nothing else changes";

    // Convert into an absent record fails inside, yet the operation answers success.
    param.pOEMDMOut = nullptr;
    EXPECT_EQ(plugin->DevMode(OEMDM_CONVERT, &param), S_OK);
    plugin->Release();
}

// A driver object that counts how often it is asked for its helper interface.
class FakeDriver : public IPrintOemDriverUI {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        ++queries;
        if (answer && IsEqualIID(riid, kIidPrintOemDriverUi)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                  PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID, PVOID, DWORD, DWORD) override {
        return S_OK;
    }
    bool answer = true;
    int queries = 0;
    LONG refs = 1;
};

TEST_F(PluginDll, PublishDriverInterfaceQueriesOnceAndReleasesAtTheEnd) {
    IPrintOemUI* plugin = Plugin();
    FakeDriver refusing;
    refusing.answer = false;
    EXPECT_EQ(plugin->PublishDriverInterface(&refusing), E_FAIL);
    FakeDriver driver;
    EXPECT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
    EXPECT_EQ(driver.queries, 1);
    EXPECT_EQ(driver.refs, 2);
    EXPECT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
    EXPECT_EQ(driver.queries, 1) << "a held helper is not asked for again";
    plugin->Release();
    EXPECT_EQ(driver.refs, 1) << "the final release gives the helper back";
}

TEST_F(PluginDll, QueryColorProfileNeedsThirtyTwoBytes) {
    IPrintOemUI* plugin = Plugin();
    wchar_t profile[32] = {};
    ULONG size = 31;
    FLONG flags = 0;
    SetLastError(0);
    EXPECT_EQ(plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE,
                                        profile, &size, &flags),
              E_FAIL);
    EXPECT_EQ(size, 32u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(profile[0], L'\0');
    EXPECT_EQ(plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE,
                                        profile, &size, &flags),
              S_OK);
    EXPECT_STREQ(profile, L"OEMPROFILE.icm");
    EXPECT_EQ(flags, 2u);
    ULONG other = 64;
    wchar_t untouched[32] = {L'x', 0};
    EXPECT_EQ(
        plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 1, untouched, &other, &flags),
        E_FAIL);
    EXPECT_EQ(other, 64u);
    EXPECT_EQ(untouched[0], L'x');
    plugin->Release();
}

TEST_F(PluginDll, UnsupportedOperationsAnswerNotImplemented) {
    IPrintOemUI* plugin = Plugin();
    EXPECT_EQ(plugin->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0,
                                         nullptr),
              E_NOTIMPL);
    EXPECT_EQ(plugin->UpgradePrinter(1, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->PrinterEvent(nullptr, 1, 0, 0), E_NOTIMPL);
    EXPECT_EQ(plugin->DriverEvent(1, 1, nullptr, 0), E_NOTIMPL);
    EXPECT_EQ(plugin->FontInstallerDlgProc(nullptr, 0, 0, 0), E_NOTIMPL);
    EXPECT_EQ(plugin->UpdateExternalFonts(nullptr, nullptr, nullptr), E_NOTIMPL);
    plugin->Release();
}

// The host's sheet callback: records every page added and answers a handle per page.
struct SheetRecorder {
    static LONG_PTR CALLBACK Callback(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
        auto* self = reinterpret_cast<SheetRecorder*>(sheet);
        if (function == CPSFUNC_ADD_PROPSHEETPAGEW) {
            const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
            self->templates.push_back(
                static_cast<int>(reinterpret_cast<ULONG_PTR>(page->pszTemplate)));
            self->pages.push_back(*page);
            self->secondArguments.push_back(lParam2);
            return 100 + static_cast<LONG_PTR>(self->templates.size());
        }
        return 0;
    }
    std::vector<int> templates;
    std::vector<PROPSHEETPAGEW> pages;
    std::vector<LPARAM> secondArguments;
};

PROPSHEETUI_INFO SheetInfo(SheetRecorder* recorder, WORD reason, LPARAM init) {
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof info;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = reason;
    info.hComPropSheet = reinterpret_cast<HANDLE>(recorder);
    info.pfnComPropSheet = &SheetRecorder::Callback;
    info.lParamInit = init;
    return info;
}

TEST_F(PluginDll, SheetsAddTheirPagesInOrderWithTheContextAsParameter) {
    IPrintOemUI* plugin = Plugin();
    OEMCUIPPARAM common = {};
    common.cbSize = sizeof common;
    common.hPrinter = reinterpret_cast<HANDLE>(0x1234);
    SetLastError(0);
    EXPECT_EQ(plugin->CommonUIProp(3, &common), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    SheetRecorder document;
    OEMUIPSPARAM sheetParams = {};
    auto info =
        SheetInfo(&document, PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&sheetParams));
    ASSERT_EQ(plugin->DocumentPropertySheets(&info, 0), S_OK);
    EXPECT_EQ(document.templates, (std::vector<int>{132, 128, 131, 103, 117, 118, 105}));
    EXPECT_EQ(info.Result, 107u) << "the result of the last addition";
    const auto* context = reinterpret_cast<const DocumentSheetContext*>(document.pages[0].lParam);
    for (const auto& page : document.pages) {
        EXPECT_EQ(page.dwSize, sizeof(PROPSHEETPAGEW));
        EXPECT_EQ(page.hInstance, module_);
        EXPECT_EQ(page.lParam, document.pages[0].lParam);
        EXPECT_EQ(page.dwFlags, static_cast<DWORD>(PSP_USEFUSIONCONTEXT))
            << "the DLL has a manifest";
        EXPECT_NE(page.hActCtx, INVALID_HANDLE_VALUE);
    }
    for (LPARAM second : document.secondArguments)
        EXPECT_EQ(second, 0);
    // Mode 3 failed, yet the block was stored first, in both contexts.
    EXPECT_EQ(context->commonUi, &common);
    EXPECT_EQ(context->sheetParams, &sheetParams);

    SheetRecorder printer;
    info = SheetInfo(&printer, PROPSHEETUI_REASON_INIT, 0);
    ASSERT_EQ(plugin->DevicePropertySheets(&info, 77), S_OK);
    EXPECT_EQ(printer.templates, (std::vector<int>{114, 113, 119, 105}));
    EXPECT_EQ(info.Result, 77u);
    const auto* printerContext =
        reinterpret_cast<const PrinterSheetContext*>(printer.pages[0].lParam);
    EXPECT_EQ(printerContext->commonUi, &common);
    EXPECT_EQ(printerContext->lastPageHandle, reinterpret_cast<HANDLE>(104));

    common.pOEMOptItems = nullptr;
    common.cOEMOptItems = 5;
    EXPECT_EQ(plugin->CommonUIProp(OEMCUIP_PRNPROP, &common), S_OK);
    EXPECT_EQ(common.cOEMOptItems, 0u);
    plugin->Release();
}

TEST_F(PluginDll, SheetReasonsOtherThanInit) {
    IPrintOemUI* plugin = Plugin();
    SheetRecorder recorder;
    PROPSHEETUI_INFO_HEADER header = {};
    auto info = SheetInfo(&recorder, PROPSHEETUI_REASON_GET_INFO_HEADER, 0);
    ASSERT_EQ(plugin->DocumentPropertySheets(&info, reinterpret_cast<LPARAM>(&header)), S_OK);
    EXPECT_STREQ(header.pTitle, L"OEM UI Page");
    EXPECT_EQ(info.Result, 1u);

    SETRESULT_INFO setResult = {};
    setResult.Result = 42;
    info = SheetInfo(&recorder, PROPSHEETUI_REASON_SET_RESULT, 0);
    ASSERT_EQ(plugin->DevicePropertySheets(&info, reinterpret_cast<LPARAM>(&setResult)), S_OK);
    EXPECT_EQ(info.Result, 42u);

    info = SheetInfo(&recorder, 7, 0);
    ASSERT_EQ(plugin->DocumentPropertySheets(&info, 0x5151), S_OK);
    EXPECT_EQ(info.Result, 0x5151u);
    info = SheetInfo(&recorder, PROPSHEETUI_REASON_GET_ICON, 0);
    info.Result = 9;
    ASSERT_EQ(plugin->DocumentPropertySheets(&info, 0), S_OK);
    EXPECT_EQ(info.Result, 0u);

    info = SheetInfo(&recorder, PROPSHEETUI_REASON_INIT, 0);
    info.Version = 0x0101;
    SetLastError(0);
    EXPECT_EQ(plugin->DocumentPropertySheets(&info, 0), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(plugin->DevicePropertySheets(nullptr, 0), E_FAIL);
    EXPECT_TRUE(recorder.templates.empty());
    plugin->Release();
}

}  // namespace
}  // namespace krv
