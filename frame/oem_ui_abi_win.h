// The printer-driver UI plug-in interfaces and structures that the MinGW-w64 headers lack,
// written from their documented layouts. Sizes and offsets are checked at compile time for
// both the 32-bit and the 64-bit build.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <winspool.h>
#include <compstui.h>
#include <winddiui.h>

#include <cstddef>

namespace krv {

// {ABCE80D7-9F46-11D1-882A-00C04FB961EC}: the class every UI plug-in answers to.
inline constexpr GUID kClsidOemUi = {
    0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};
// {C6A7A9D0-774C-11D1-947F-00A0C90640B8}
inline constexpr GUID kIidPrintOemUi = {
    0xC6A7A9D0, 0x774C, 0x11D1, {0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// {92B05D50-78BC-11D1-9480-00A0C90640B8}
inline constexpr GUID kIidPrintOemDriverUi = {
    0x92B05D50, 0x78BC, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};

// GetInfo modes
constexpr DWORD OEMGI_GETSIGNATURE = 1;
constexpr DWORD OEMGI_GETINTERFACEVERSION = 2;
constexpr DWORD OEMGI_GETVERSION = 3;
constexpr DWORD OEMGI_GETPUBLISHERINFO = 4;
// DevMode modes
constexpr DWORD OEMDM_SIZE = 1;
constexpr DWORD OEMDM_DEFAULT = 2;
constexpr DWORD OEMDM_CONVERT = 3;
constexpr DWORD OEMDM_MERGE = 4;
// CommonUIProp modes
constexpr DWORD OEMCUIP_DOCPROP = 1;
constexpr DWORD OEMCUIP_PRNPROP = 2;
// QueryColorProfile
constexpr ULONG QCP_DEVICEPROFILE = 0;
constexpr FLONG QCP_PROFILEDISK = 2;

struct OEMUIPROCS;

struct OEMUIOBJ {
    DWORD cbSize;
    OEMUIPROCS* pOemUIProcs;
};

struct OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    DEVMODEW* pPublicDMIn;
    DEVMODEW* pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
};

struct OEMCUIPPARAM;
typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM, OEMCUIPPARAM*);

struct OEMCUIPPARAM {
    DWORD cbSize;
    OEMUIOBJ* poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    DEVMODEW* pPublicDM;
    PVOID pOEMDM;
    DWORD dwFlags;
    POPTITEM pDrvOptItems;
    DWORD cDrvOptItems;
    POPTITEM pOEMOptItems;
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
};

struct OEMUIPSPARAM {
    DWORD cbSize;
    OEMUIOBJ* poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    DEVMODEW* pPublicDM;
    PVOID pOEMDM;
    PVOID pOEMUserData;
    DWORD dwFlags;
    PVOID pOemEntry;
};

// The driver's helper interface, received through PublishDriverInterface.
struct IPrintOemDriverUI : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput,
                                                          DWORD cbSize, PDWORD pcbNeeded,
                                                          PDWORD pdwOptionsReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE hPrinter, PCSTR pFeature,
                                                                PCSTR pOption) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem,
                                                         DWORD dwPreviousSelection,
                                                         DWORD dwMode) = 0;
};

// The plug-in's interface: the two common slots (GetInfo, DevMode) first, then the UI slots.
// No other virtual may be added: the host calls through this exact 17-slot table.
struct IPrintOemUI : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                              PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, OEMDMPARAM* pOemDMParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode, OEMCUIPPARAM* pOemCUIPParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                             LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                           LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevQueryPrintEx(OEMUIOBJ* poemuiobj, PVOID pDQPInfo,
                                                      DEVMODEW* pPublicDM, PVOID pOEMDM) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeviceCapabilities(OEMUIOBJ* poemuiobj, HANDLE hPrinter,
                                                         PWSTR pDeviceName, WORD wCapability,
                                                         PVOID pOutput, DEVMODEW* pPublicDM,
                                                         PVOID pOEMDM, DWORD dwOld,
                                                         DWORD* dwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR pPrinterName, INT iDriverEvent,
                                                   DWORD dwFlags, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE DriverEvent(DWORD dwDriverEvent, DWORD dwLevel,
                                                  LPBYTE pDriverInfo, LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, OEMUIOBJ* poemuiobj,
                                                        DEVMODEW* pPublicDM, PVOID pOEMDM,
                                                        ULONG ulQueryMode, VOID* pvProfileData,
                                                        ULONG* pcbProfileData,
                                                        FLONG* pflProfileData) = 0;
    virtual HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam,
                                                           LPARAM lParam) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap,
                                                          PWSTR pwstrCartridges) = 0;
};

// ---- layout checks (x86 / x64)
constexpr bool kIs64 = sizeof(void*) == 8;
static_assert(sizeof(OEMUIOBJ) == (kIs64 ? 16 : 8));
static_assert(sizeof(OEMDMPARAM) == (kIs64 ? 72 : 36));
static_assert(offsetof(OEMDMPARAM, pPublicDMIn) == (kIs64 ? 32 : 16));
static_assert(offsetof(OEMDMPARAM, pOEMDMOut) == (kIs64 ? 56 : 28));
static_assert(offsetof(OEMDMPARAM, cbBufSize) == (kIs64 ? 64 : 32));
static_assert(sizeof(OEMCUIPPARAM) == (kIs64 ? 120 : 60));
static_assert(offsetof(OEMCUIPPARAM, pPublicDM) == (kIs64 ? 48 : 24));
static_assert(offsetof(OEMCUIPPARAM, dwFlags) == (kIs64 ? 64 : 32));
static_assert(offsetof(OEMCUIPPARAM, pDrvOptItems) == (kIs64 ? 72 : 36));
static_assert(offsetof(OEMCUIPPARAM, cOEMOptItems) == (kIs64 ? 96 : 48));
static_assert(offsetof(OEMCUIPPARAM, OEMCUIPCallback) == (kIs64 ? 112 : 56));
static_assert(sizeof(OEMUIPSPARAM) == (kIs64 ? 88 : 44));
static_assert(offsetof(OEMUIPSPARAM, pOEMDM) == (kIs64 ? 56 : 28));
static_assert(offsetof(OEMUIPSPARAM, pOEMUserData) == (kIs64 ? 64 : 32));
static_assert(offsetof(OEMUIPSPARAM, dwFlags) == (kIs64 ? 72 : 36));
static_assert(offsetof(OEMUIPSPARAM, pOemEntry) == (kIs64 ? 80 : 40));
static_assert(sizeof(OPTITEM) == (kIs64 ? 88 : 52));
static_assert(sizeof(PROPSHEETUI_INFO) == (kIs64 ? 48 : 28));
static_assert(sizeof(PROPSHEETPAGEW) == (kIs64 ? 96 : 52));

}  // namespace krv
