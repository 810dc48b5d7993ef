#include "tests/win/support/fake_spooler.h"

#include <windows.h>
#include <winspool.h>

#include <memory>
#include <string>

namespace krv::test {

namespace {
std::unique_ptr<RecordingSpooler> g_spooler = std::make_unique<RecordingSpooler>();
std::unique_ptr<InMemoryFormStore> g_forms = std::make_unique<InMemoryFormStore>();
}  // namespace

// A level-1 form record as the plug-in handed it over.
FormRecord FromInfo(const FORM_INFO_1W* info) {
    FormRecord r;
    r.flags = info->Flags;
    if (info->pName) r.name = reinterpret_cast<const char16_t*>(info->pName);
    r.width = static_cast<uint32_t>(info->Size.cx);
    r.height = static_cast<uint32_t>(info->Size.cy);
    r.imageableArea = {info->ImageableArea.left, info->ImageableArea.top, info->ImageableArea.right,
                       info->ImageableArea.bottom};
    return r;
}

RecordingSpooler& Spooler() {
    return *g_spooler;
}
InMemoryFormStore& Forms() {
    return *g_forms;
}
void ResetSpooler() {
    g_spooler = std::make_unique<RecordingSpooler>();
    g_forms = std::make_unique<InMemoryFormStore>();
}

}  // namespace krv::test

using krv::test::Forms;
using krv::test::FromInfo;
using krv::test::Spooler;

extern "C" {

DWORD WINAPI StartDocPrinterW(HANDLE, DWORD level, LPBYTE info) {
    if (level != 1 || !info) return 0;
    const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(info);
    std::string name, type;
    for (const wchar_t* p = doc->pDocName; p && *p; ++p)
        name += static_cast<char>(*p);
    for (const wchar_t* p = doc->pDatatype; p && *p; ++p)
        type += static_cast<char>(*p);
    return Spooler().StartDocument(name, type) ? 1 : 0;
}

WINBOOL WINAPI StartPagePrinter(HANDLE) {
    return Spooler().StartPage();
}

WINBOOL WINAPI WritePrinter(HANDLE, LPVOID data, DWORD size, LPDWORD written) {
    uint32_t n = 0;
    const bool ok = Spooler().Write(static_cast<const uint8_t*>(data), size, &n);
    if (written) *written = n;
    return ok;
}

WINBOOL WINAPI EndPagePrinter(HANDLE) {
    return Spooler().EndPage();
}
WINBOOL WINAPI EndDocPrinter(HANDLE) {
    return Spooler().EndDocument();
}

WINBOOL WINAPI EnumFormsW(HANDLE, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                          LPDWORD returned) {
    std::vector<krv::FormRecord> forms;
    if (level != 1 || !Forms().Enumerate(&forms)) return FALSE;
    DWORD bytes = static_cast<DWORD>(forms.size() * sizeof(FORM_INFO_1W));
    for (const auto& f : forms)
        bytes += static_cast<DWORD>((f.name.size() + 1) * sizeof(wchar_t));
    if (needed) *needed = bytes;
    if (size < bytes || (!buffer && bytes > 0)) {
        if (returned) *returned = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* infos = reinterpret_cast<FORM_INFO_1W*>(buffer);
    auto* text = reinterpret_cast<wchar_t*>(buffer + forms.size() * sizeof(FORM_INFO_1W));
    for (size_t i = 0; i < forms.size(); ++i) {
        const auto& f = forms[i];
        infos[i].Flags = f.flags;
        infos[i].pName = text;
        for (char16_t c : f.name)
            *text++ = c;
        *text++ = L'\0';
        infos[i].Size = {static_cast<LONG>(f.width), static_cast<LONG>(f.height)};
        infos[i].ImageableArea = {f.imageableArea.left, f.imageableArea.top, f.imageableArea.right,
                                  f.imageableArea.bottom};
    }
    if (returned) *returned = static_cast<DWORD>(forms.size());
    return TRUE;
}

WINBOOL WINAPI AddFormW(HANDLE, DWORD level, LPBYTE form) {
    return level == 1 && form && Forms().Add(FromInfo(reinterpret_cast<const FORM_INFO_1W*>(form)));
}

WINBOOL WINAPI SetFormW(HANDLE, LPWSTR name, DWORD level, LPBYTE form) {
    return level == 1 && form && name &&
           Forms().Set(reinterpret_cast<const char16_t*>(name),
                       FromInfo(reinterpret_cast<const FORM_INFO_1W*>(form)));
}

WINBOOL WINAPI DeleteFormW(HANDLE, LPWSTR name) {
    return name && Forms().Delete(reinterpret_cast<const char16_t*>(name));
}

}  // extern "C"
