#include "host/host_plugin.h"

#include <algorithm>
#include <cstring>

#include "host/host_log.h"

namespace krv::host {

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

bool Succeeded(const wchar_t* step, HRESULT hr) {
    Log().Line(std::wstring(step) + L": " + Hex(static_cast<ULONG>(hr)));
    return SUCCEEDED(hr);
}

std::wstring SignatureText(DWORD signature) {
    std::wstring text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const wchar_t c = static_cast<wchar_t>((signature >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : L'.';
    }
    return text;
}

}  // namespace

PluginModule::~PluginModule() {
    Unload();
}

bool PluginModule::Load(const std::wstring& path, void (*beforeCreate)(HMODULE)) {
    module_ = LoadLibraryW(path.c_str());
    if (!module_) {
        Log().Line(L"cannot load the plug-in " + path + L" (error " +
                   std::to_wstring(GetLastError()) + L")");
        return false;
    }
    Log().Line(L"plug-in loaded: " + path);
    if (beforeCreate) beforeCreate(module_);
    return true;
}

bool PluginModule::Create() {
    const auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    if (!getClassObject) {
        Log().Line(L"the plug-in exports no DllGetClassObject");
        return false;
    }
    void* factory = nullptr;
    if (!Succeeded(L"DllGetClassObject",
                   getClassObject(kClsidOemUi, IID_IClassFactory, &factory)) ||
        !factory)
        return false;
    void* unknown = nullptr;
    const HRESULT created =
        static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, IID_IUnknown, &unknown);
    static_cast<IClassFactory*>(factory)->Release();
    if (!Succeeded(L"CreateInstance(IUnknown)", created) || !unknown) return false;
    void* ui = nullptr;
    const HRESULT asked = static_cast<IUnknown*>(unknown)->QueryInterface(kIidPrintOemUi, &ui);
    static_cast<IUnknown*>(unknown)->Release();
    if (!Succeeded(L"QueryInterface(IPrintOemUI)", asked) || !ui) return false;
    ui_ = static_cast<IPrintOemUI*>(ui);
    return true;
}

bool PluginModule::Identify() {
    DWORD signature = 0, version = 0, needed = 0;
    if (!Succeeded(L"GetInfo(signature)",
                   ui_->GetInfo(OEMGI_GETSIGNATURE, &signature, sizeof signature, &needed)))
        return false;
    Log().Line(L"signature " + Hex(signature) + L" \"" + SignatureText(signature) + L"\"");
    if (Succeeded(L"GetInfo(version)",
                  ui_->GetInfo(OEMGI_GETVERSION, &version, sizeof version, &needed)))
        Log().Line(L"version " + std::to_wstring(version));
    return true;
}

void PluginModule::Unload() {
    if (ui_) {
        const ULONG left = ui_->Release();
        Log().Line(L"plug-in object released, count " + std::to_wstring(left));
        ui_ = nullptr;
    }
    if (module_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

std::vector<uint8_t> MergeInput(const std::vector<uint8_t>& stored, size_t recordSize) {
    std::vector<uint8_t> input(std::max(recordSize, sizeof(DWORD)), 0);
    const size_t kept = std::min(stored.size(), input.size());
    std::copy_n(stored.begin(), kept, input.begin());
    DWORD claimed = 0;
    std::memcpy(&claimed, input.data(), sizeof claimed);
    if (claimed > kept) {
        const DWORD actual = static_cast<DWORD>(kept);
        std::memcpy(input.data(), &actual, sizeof actual);
    }
    return input;
}

bool BuildRecord(IPrintOemUI* ui, OEMDMPARAM param, const std::vector<uint8_t>& stored,
                 std::vector<uint8_t>* record) {
    param.cbSize = sizeof param;
    if (!Succeeded(L"DevMode(size)", ui->DevMode(OEMDM_SIZE, &param))) return false;
    Log().Line(L"private record size " + std::to_wstring(param.cbBufSize));
    if (param.cbBufSize < sizeof(DWORD) * 3 || param.cbBufSize > kMaxPrivateRecord) {
        Log().Line(L"refused: a private record must hold its 12-byte header and stay within " +
                   std::to_wstring(kMaxPrivateRecord) + L" bytes");
        return false;
    }
    record->assign(param.cbBufSize, 0);
    param.pOEMDMOut = record->data();
    if (!Succeeded(L"DevMode(default)", ui->DevMode(OEMDM_DEFAULT, &param))) return false;
    if (stored.empty()) {
        Log().Line(L"no stored record: the defaults stand");
        return true;
    }
    std::vector<uint8_t> input = MergeInput(stored, record->size());
    param.pOEMDMIn = input.data();
    Log().Line(L"merging the stored record (" + std::to_wstring(stored.size()) + L" bytes)");
    return Succeeded(L"DevMode(merge)", ui->DevMode(OEMDM_MERGE, &param));
}

}  // namespace krv::host
