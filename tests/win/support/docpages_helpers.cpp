#include "tests/win/support/docpages_helpers.h"

#include <cstring>

namespace krv::test {

HeldModifiers::HeldModifiers(bool shift, bool ctrl) {
    GetKeyboardState(saved_);
    BYTE state[256];
    std::memcpy(state, saved_, sizeof state);
    state[VK_SHIFT] = state[VK_LSHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
}

HeldModifiers::~HeldModifiers() {
    SetKeyboardState(saved_);
}

void TypeCharacter(HWND edit, wchar_t ch) {
    SendMessageW(edit, WM_CHAR, ch, 1);
}

void PumpDialogMessages(HWND dialog) {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

namespace {
void Deliver(HWND dialog, MSG msg) {
    if (!IsDialogMessageW(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    PumpDialogMessages(dialog);
}
}  // namespace

void PressKey(HWND dialog, HWND target, UINT virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    MSG down = {target, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scan << 16)), 0, {}};
    Deliver(dialog, down);
    MSG up = {target, WM_KEYUP, virtualKey, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u),
              0,      {}};
    Deliver(dialog, up);
}

void HostOptionItems::Add(BYTE dmPubId, const std::vector<std::wstring>& names, LONG sel) {
    names_.push_back(names);
    OPTITEM item = {};
    item.cbSize = sizeof item;
    item.DMPubID = dmPubId;
    item.Sel = sel;
    items_.push_back(item);
}

void HostOptionItems::Link() {
    params_.assign(names_.size(), {});
    types_.assign(names_.size(), OPTTYPE{});
    for (size_t i = 0; i < names_.size(); ++i) {
        for (std::wstring& name : names_[i]) {
            OPTPARAM param = {};
            param.cbSize = sizeof param;
            param.pData = name.data();
            params_[i].push_back(param);
        }
        types_[i].cbSize = sizeof(OPTTYPE);
        types_[i].Type = TVOT_LISTBOX;
        types_[i].Count = static_cast<WORD>(params_[i].size());
        types_[i].pOptParam = params_[i].data();
        items_[i].pOptType = &types_[i];
    }
}

HRESULT STDMETHODCALLTYPE RecordingDriverUi::QueryInterface(REFIID, void** out) {
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE RecordingDriverUi::DrvUpdateUISetting(PVOID pci, PVOID item,
                                                                DWORD previous, DWORD mode) {
    auto* option = static_cast<OPTITEM*>(item);
    updates.push_back({pci, option, option->Sel, option->Flags, previous, mode});
    return S_OK;
}

}  // namespace krv::test
