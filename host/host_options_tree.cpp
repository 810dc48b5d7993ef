#include "host/host_options_tree.h"

#include "host/host_log.h"

namespace krv::host {

std::vector<std::wstring> HostPaperSizes() {
    return {L"Letter", L"A4", L"A5", L"B5", L"80mm x 297mm"};
}

HostOptionItems::HostOptionItems(std::vector<std::wstring> paperSizes, const std::wstring& current)
    : paperNames_(std::move(paperSizes)), orientationNames_{L"Portrait", L"Landscape"} {
    LONG sel = 0;
    for (size_t i = 0; i < paperNames_.size(); ++i)
        if (paperNames_[i] == current) sel = static_cast<LONG>(i);
    Fill(items_[0], paperType_, L"Paper Size", DMPUB_FORMNAME, paperParams_, paperNames_, sel);
    Fill(items_[1], orientationType_, L"Orientation", DMPUB_ORIENTATION, orientationParams_,
         orientationNames_, 0);
}

void HostOptionItems::Fill(OPTITEM& item, OPTTYPE& type, const wchar_t* name, BYTE pubId,
                           std::vector<OPTPARAM>& params, std::vector<std::wstring>& names,
                           LONG sel) {
    params.assign(names.size(), OPTPARAM{});
    for (size_t i = 0; i < names.size(); ++i) {
        params[i].cbSize = sizeof(OPTPARAM);
        params[i].pData = names[i].data();
    }
    type.cbSize = sizeof type;
    type.Type = TVOT_LISTBOX;
    type.Count = static_cast<WORD>(params.size());
    type.pOptParam = params.data();
    item.cbSize = sizeof item;
    item.pName = const_cast<LPWSTR>(name);
    item.Sel = sel;
    item.pOptType = &type;
    item.DMPubID = pubId;
}

bool HostOptionItems::Owns(const void* item) const {
    for (const auto& own : items_)
        if (item == &own) return true;
    return false;
}

std::wstring HostOptionItems::Choice(const OPTITEM& item) {
    const OPTTYPE* type = item.pOptType;
    if (!type || item.Sel < 0 || item.Sel >= type->Count || !type->pOptParam[item.Sel].pData)
        return {};
    return type->pOptParam[item.Sel].pData;
}

HRESULT STDMETHODCALLTYPE HostDriverUi::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidPrintOemDriverUi)) {
        *ppv = static_cast<IPrintOemDriverUI*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE HostDriverUi::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE HostDriverUi::Release() {
    return static_cast<ULONG>(InterlockedDecrement(&references_));
}

HRESULT STDMETHODCALLTYPE HostDriverUi::DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                            PDWORD) {
    Log().Line(L"DrvGetDriverSetting: not provided by this host");
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE HostDriverUi::DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) {
    Log().Line(L"DrvUpgradeRegistrySetting: not provided by this host");
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE HostDriverUi::DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD,
                                                           DWORD dwMode) {
    // Only the host's own items are read: the pointer comes from the plug-in.
    if (pci != driverObject_ || !items_->Owns(pOptItem)) {
        Log().Line(L"DrvUpdateUISetting: not one of the host's items (pci " +
                   Hex(reinterpret_cast<ULONG_PTR>(pci)) + L", item " +
                   Hex(reinterpret_cast<ULONG_PTR>(pOptItem)) + L")");
        return E_INVALIDARG;
    }
    const auto* item = static_cast<const OPTITEM*>(pOptItem);
    Log().Line(L"DrvUpdateUISetting: " + std::wstring(item->pName) + L" Sel=" +
               std::to_wstring(item->Sel) + L" \"" + HostOptionItems::Choice(*item) +
               L"\" changed=" + ((item->Flags & OPTIF_CHANGED) ? L"yes" : L"no") + L" mode=" +
               std::to_wstring(dwMode));
    return S_OK;
}

}  // namespace krv::host
