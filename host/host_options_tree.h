// The host's own side of the common UI: its option items (the paper size the layout page
// mirrors, and the orientation, which the plug-in must leave alone), the driver object it
// passes as OEMUIOBJ, and the driver helper interface whose DrvUpdateUISetting it logs.
#pragma once

#include "frame/oem_ui_abi_win.h"

#include <string>
#include <vector>

namespace krv::host {

class HostOptionItems {
  public:
    // Paper sizes: the host's fixed list, then the user forms; `current` selects one by name
    // (the first when it is not listed).
    HostOptionItems(std::vector<std::wstring> paperSizes, const std::wstring& current);
    HostOptionItems(const HostOptionItems&) = delete;
    HostOptionItems& operator=(const HostOptionItems&) = delete;

    OPTITEM* Items() { return items_; }
    DWORD Count() const { return 2; }
    bool Owns(const void* item) const;
    const OPTITEM& Paper() const { return items_[0]; }
    // The name of the item's current choice; empty when Sel is out of range.
    static std::wstring Choice(const OPTITEM& item);

  private:
    void Fill(OPTITEM& item, OPTTYPE& type, const wchar_t* name, BYTE pubId,
              std::vector<OPTPARAM>& params, std::vector<std::wstring>& names, LONG sel);
    std::vector<std::wstring> paperNames_, orientationNames_;
    std::vector<OPTPARAM> paperParams_, orientationParams_;
    OPTTYPE paperType_ = {}, orientationType_ = {};
    OPTITEM items_[2] = {};
};

// The fixed paper sizes of the host, before the user forms.
std::vector<std::wstring> HostPaperSizes();

// The driver helper interface the host publishes to the plug-in. It lives as long as the
// host; its reference count is only watched, never used to delete it.
class HostDriverUi final : public IPrintOemDriverUI {
  public:
    HostDriverUi(HostOptionItems* items, OEMUIOBJ* driverObject)
        : items_(items), driverObject_(driverObject) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                  PDWORD) override;
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override;
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID pOptItem,
                                                 DWORD dwPreviousSelection, DWORD dwMode) override;
    LONG References() const { return references_; }

  private:
    HostOptionItems* items_;
    OEMUIOBJ* driverObject_;
    LONG references_ = 1;
};

}  // namespace krv::host
