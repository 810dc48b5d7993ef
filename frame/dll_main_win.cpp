// The module's entry points.
#include <new>

#include "frame/module_win.h"
#include "frame/oem_ui_plugin_win.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        krv::SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        krv::ReleaseModuleActivationContext();
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (!IsEqualCLSID(rclsid, krv::kClsidOemUi)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) krv::OemUiClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return krv::ModuleCanUnload() ? S_OK : S_FALSE;
}
