// Helpers for the tests of the duplex, layout and operations pages: keys as a user presses
// them, the host's paper-size option items, and a driver helper interface that records what
// the layout page asks of it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "frame/oem_ui_abi_win.h"

namespace krv::test {

// Holds Shift and/or Ctrl down in the thread's keyboard state while it lives.
class HeldModifiers {
  public:
    HeldModifiers(bool shift, bool ctrl);
    ~HeldModifiers();
    HeldModifiers(const HeldModifiers&) = delete;
    HeldModifiers& operator=(const HeldModifiers&) = delete;

  private:
    BYTE saved_[256] = {};
};

// One character typed into `edit` (WM_CHAR, as TranslateMessage delivers it).
void TypeCharacter(HWND edit, wchar_t ch);
// A key pressed and released on `target` inside `dialog`, through the dialog manager as the
// message loop of a dialog delivers it (so default and cancel buttons can react), with the
// characters it produces; then the posted messages run through the dialog manager too.
void PressKey(HWND dialog, HWND target, UINT virtualKey);
// Runs posted messages through IsDialogMessage of `dialog` first, as a dialog's loop does.
void PumpDialogMessages(HWND dialog);

// The host's option items: `items` are built from the lists given (one list per item; the
// DMPubID of each item chosen by the test), with the parameters' names kept alive here.
class HostOptionItems {
  public:
    void Add(BYTE dmPubId, const std::vector<std::wstring>& names, LONG sel);
    OPTITEM* Items() { return items_.data(); }
    DWORD Count() const { return static_cast<DWORD>(items_.size()); }
    OPTITEM& Item(size_t i) { return items_[i]; }
    // Points every item at its type and parameters (call after the last Add).
    void Link();

  private:
    std::vector<std::vector<std::wstring>> names_;
    std::vector<std::vector<OPTPARAM>> params_;
    std::vector<OPTTYPE> types_;
    std::vector<OPTITEM> items_;
};

// IPrintOemDriverUI that records every DrvUpdateUISetting call with the item's state then.
class RecordingDriverUi : public IPrintOemDriverUI {
  public:
    struct Update {
        PVOID pci;
        OPTITEM* item;
        LONG sel;
        DWORD flags;
        DWORD previous;
        DWORD mode;
    };
    std::vector<Update> updates;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                  PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID item, DWORD previous,
                                                 DWORD mode) override;
};

}  // namespace krv::test
