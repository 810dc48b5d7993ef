#include "channel/winspool_win.h"

#include <winspool.h>

#include <string>

namespace krv {

namespace {

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}
std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

FORM_INFO_1W ToFormInfo(const FormRecord& form, std::wstring& name) {
    name = Wide(form.name);
    FORM_INFO_1W info = {};
    info.Flags = form.flags;
    info.pName = name.data();
    info.Size = {static_cast<LONG>(form.width), static_cast<LONG>(form.height)};
    info.ImageableArea = {form.imageableArea.left, form.imageableArea.top, form.imageableArea.right,
                          form.imageableArea.bottom};
    return info;
}

}  // namespace

bool WinspoolSpooler::StartDocument(std::string_view documentName, std::string_view dataType) {
    std::wstring name = Wide(documentName), type = Wide(dataType);
    DOC_INFO_1W info = {name.data(), nullptr, type.data()};
    return StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&info)) != 0;
}

bool WinspoolSpooler::StartPage() {
    return StartPagePrinter(printer_) != FALSE;
}

bool WinspoolSpooler::Write(const uint8_t* data, uint32_t length, uint32_t* written) {
    DWORD n = 0;
    const BOOL ok = WritePrinter(printer_, const_cast<uint8_t*>(data), length, &n);
    *written = n;
    return ok != FALSE;
}

bool WinspoolSpooler::EndPage() {
    return EndPagePrinter(printer_) != FALSE;
}
bool WinspoolSpooler::EndDocument() {
    return EndDocPrinter(printer_) != FALSE;
}

bool WinspoolForms::Enumerate(std::vector<FormRecord>* out) {
    out->clear();
    DWORD needed = 0, count = 0;
    EnumFormsW(printer_, 1, nullptr, 0, &needed, &count);
    if (needed == 0) return EnumFormsW(printer_, 1, nullptr, 0, &needed, &count) != FALSE;
    std::vector<BYTE> buffer(needed);
    if (!EnumFormsW(printer_, 1, buffer.data(), needed, &needed, &count)) return false;
    const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        FormRecord r;
        r.flags = forms[i].Flags;
        if (forms[i].pName)
            r.name = std::u16string(reinterpret_cast<const char16_t*>(forms[i].pName));
        r.width = static_cast<uint32_t>(forms[i].Size.cx);
        r.height = static_cast<uint32_t>(forms[i].Size.cy);
        r.imageableArea = {forms[i].ImageableArea.left, forms[i].ImageableArea.top,
                           forms[i].ImageableArea.right, forms[i].ImageableArea.bottom};
        out->push_back(std::move(r));
    }
    return true;
}

bool WinspoolForms::Add(const FormRecord& form) {
    std::wstring name;
    FORM_INFO_1W info = ToFormInfo(form, name);
    return AddFormW(printer_, 1, reinterpret_cast<LPBYTE>(&info)) != FALSE;
}

bool WinspoolForms::Set(std::u16string_view formName, const FormRecord& form) {
    std::wstring name, target = Wide(formName);
    FORM_INFO_1W info = ToFormInfo(form, name);
    return SetFormW(printer_, target.data(), 1, reinterpret_cast<LPBYTE>(&info)) != FALSE;
}

bool WinspoolForms::Delete(std::u16string_view formName) {
    std::wstring target = Wide(formName);
    return DeleteFormW(printer_, target.data()) != FALSE;
}

bool SendRawJobToPrinter(HANDLE printer, const PrinterJob& job, SendOptions options) {
    WinspoolSpooler spooler(printer);
    return SendRawJob(spooler, job, options);
}

}  // namespace krv
