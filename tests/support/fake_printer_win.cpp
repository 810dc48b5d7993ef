#include "tests/support/fake_printer_win.h"

#include <winspool.h>

#include <cwchar>

#include "channel/ansi_text.h"

namespace krv::test {

namespace {

// Limits of what the printer takes from the plug-in.
constexpr size_t kMaxJobBytes = 64u << 20;  // a firmware download is far smaller
constexpr size_t kMaxDocumentNameChars = 255;
constexpr size_t kMaxDataTypeChars = 31;
constexpr size_t kMaxFormNameChars = 63;
constexpr size_t kMaxForms = 512;

// A text the plug-in passes, read up to `limit` characters; false when longer or absent.
bool BoundedText(const wchar_t* text, size_t limit, std::u16string* out) {
    if (!text) return false;
    const size_t n = wcsnlen(text, limit + 1);
    if (n > limit) return false;
    out->assign(text, text + n);
    return true;
}

BOOL Refuse(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Form names are compared as the spooler compares them: without regard to case.
bool SameName(std::u16string_view a, std::u16string_view b) {
    return CompareStringOrdinal(reinterpret_cast<const wchar_t*>(a.data()), int(a.size()),
                                reinterpret_cast<const wchar_t*>(b.data()), int(b.size()),
                                TRUE) == CSTR_EQUAL;
}

const FormRecord* FindForm(const InMemoryFormStore& forms, std::u16string_view name) {
    for (const FormRecord& form : forms.forms())
        if (SameName(form.name, name)) return &form;
    return nullptr;
}

// A level-1 form from the plug-in; false when its name is missing, empty or too long.
bool ReadForm(LPBYTE data, FormRecord* form) {
    const auto* info = reinterpret_cast<const FORM_INFO_1W*>(data);
    if (!info || !BoundedText(info->pName, kMaxFormNameChars, &form->name) || form->name.empty())
        return false;
    form->flags = info->Flags;
    form->width = static_cast<uint32_t>(info->Size.cx);
    form->height = static_cast<uint32_t>(info->Size.cy);
    form->imageableArea = {info->ImageableArea.left, info->ImageableArea.top,
                           info->ImageableArea.right, info->ImageableArea.bottom};
    return true;
}

size_t BytesOfForms(const std::vector<FormRecord>& forms) {
    size_t total = forms.size() * sizeof(FORM_INFO_1W);
    for (const auto& f : forms)
        total += (f.name.size() + 1) * sizeof(wchar_t);
    return total;
}

// The records first, their names after them, as the spooler lays out its answer.
void FillForms(const std::vector<FormRecord>& forms, LPBYTE buffer) {
    auto* infos = reinterpret_cast<FORM_INFO_1W*>(buffer);
    auto* text = reinterpret_cast<wchar_t*>(buffer + forms.size() * sizeof(FORM_INFO_1W));
    for (size_t i = 0; i < forms.size(); ++i) {
        const FormRecord& f = forms[i];
        infos[i].Flags = f.flags;
        infos[i].pName = text;
        text = std::copy(f.name.begin(), f.name.end(), text);
        *text++ = L'\0';
        infos[i].Size = {static_cast<LONG>(f.width), static_cast<LONG>(f.height)};
        infos[i].ImageableArea = {f.imageableArea.left, f.imageableArea.top, f.imageableArea.right,
                                  f.imageableArea.bottom};
    }
}

}  // namespace

HANDLE FakePrinter::Handle() {
    static int printer;  // its address is the handle: never a real spooler handle
    return reinterpret_cast<HANDLE>(&printer);
}

void FakePrinter::Reset(std::vector<FormRecord> forms) {
    spooler_ = RecordingSpooler();
    forms_ = InMemoryFormStore(std::move(forms));
    job_.reset();
}

void FakePrinter::FinishOpenJob() {
    if (job_) EndJob(false);
}

bool FakePrinter::Ours(HANDLE printer) const {
    if (printer == Handle()) return true;
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

void FakePrinter::EndJob(bool ended) {
    const OpenJob job = *job_;
    job_.reset();
    if (!watcher_) return;
    const std::span<const Bytes> all(spooler_.pieces);
    watcher_->JobDone(
        {job.documentName, job.dataType, all.subspan(job.firstPiece), job.bytes, job.pages}, ended);
}

void FakePrinter::Changed(std::u16string_view change, std::u16string_view name) {
    if (watcher_) watcher_->FormChanged(change, name);
}

DWORD FakePrinter::StartDocument(HANDLE printer, DWORD level, LPBYTE info) {
    if (!Ours(printer)) return 0;
    if (level != 1) return Refuse(ERROR_INVALID_LEVEL);
    const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(info);
    OpenJob job;
    if (!doc || !BoundedText(doc->pDocName, kMaxDocumentNameChars, &job.documentName))
        return Refuse(ERROR_INVALID_PARAMETER);
    if (doc->pDatatype && !BoundedText(doc->pDatatype, kMaxDataTypeChars, &job.dataType))
        return Refuse(ERROR_INVALID_DATATYPE);
    FinishOpenJob();
    if (!spooler_.StartDocument(Utf16ToUtf8(job.documentName), Utf16ToUtf8(job.dataType))) return 0;
    job.firstPiece = spooler_.pieces.size();
    job_ = job;
    return static_cast<DWORD>(spooler_.jobs);
}

BOOL FakePrinter::StartPage(HANDLE printer) {
    if (!Ours(printer)) return FALSE;
    if (!job_) return Refuse(ERROR_SPL_NO_STARTDOC);
    if (!spooler_.StartPage()) return FALSE;
    ++job_->pages;
    return TRUE;
}

BOOL FakePrinter::Write(HANDLE printer, LPVOID data, DWORD size, LPDWORD written) {
    if (written) *written = 0;
    if (!Ours(printer)) return FALSE;
    if (!job_) return Refuse(ERROR_SPL_NO_STARTDOC);
    if (!data && size) return Refuse(ERROR_INVALID_PARAMETER);
    if (size > kMaxJobBytes - job_->bytes) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    uint32_t n = 0;
    const bool ok = spooler_.Write(static_cast<const uint8_t*>(data), size, &n);
    job_->bytes += n;
    if (written) *written = n;
    return ok;
}

BOOL FakePrinter::EndPage(HANDLE printer) {
    if (!Ours(printer)) return FALSE;
    if (!job_) return Refuse(ERROR_SPL_NO_STARTDOC);
    return spooler_.EndPage();
}

BOOL FakePrinter::EndDocument(HANDLE printer) {
    if (!Ours(printer)) return FALSE;
    if (!job_) return Refuse(ERROR_SPL_NO_STARTDOC);
    const bool ended = spooler_.EndDocument();
    EndJob(ended);
    return ended;
}

BOOL FakePrinter::ListForms(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                            LPDWORD returned) {
    if (returned) *returned = 0;
    if (!Ours(printer)) return FALSE;
    if (level != 1) return Refuse(ERROR_INVALID_LEVEL);
    std::vector<FormRecord> forms;
    if (!forms_.Enumerate(&forms)) return FALSE;
    const size_t bytes = BytesOfForms(forms);
    if (needed) *needed = static_cast<DWORD>(bytes);
    if (size < bytes || (!buffer && bytes > 0)) return Refuse(ERROR_INSUFFICIENT_BUFFER);
    FillForms(forms, buffer);
    if (returned) *returned = static_cast<DWORD>(forms.size());
    return TRUE;
}

BOOL FakePrinter::CreateForm(HANDLE printer, DWORD level, LPBYTE data) {
    if (!Ours(printer)) return FALSE;
    if (level != 1) return Refuse(ERROR_INVALID_LEVEL);
    FormRecord form;
    if (!ReadForm(data, &form)) return Refuse(ERROR_INVALID_PARAMETER);
    if (FindForm(forms_, form.name)) return Refuse(ERROR_FILE_EXISTS);
    if (forms_.forms().size() >= kMaxForms) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    form.flags = FORM_USER;
    if (!forms_.Add(form)) return FALSE;
    Changed(u"added", form.name);
    return TRUE;
}

// A form the plug-in may change: it exists and is not one of the system's.
const FormRecord* FakePrinter::ChangeableForm(LPWSTR name) {
    std::u16string wanted;
    const FormRecord* form =
        BoundedText(name, kMaxFormNameChars, &wanted) ? FindForm(forms_, wanted) : nullptr;
    if (!form || form->flags == FORM_BUILTIN) {
        SetLastError(form ? ERROR_ACCESS_DENIED : ERROR_INVALID_FORM_NAME);
        return nullptr;
    }
    return form;
}

BOOL FakePrinter::ChangeForm(HANDLE printer, LPWSTR name, DWORD level, LPBYTE data) {
    if (!Ours(printer)) return FALSE;
    if (level != 1) return Refuse(ERROR_INVALID_LEVEL);
    FormRecord replacement;
    if (!ReadForm(data, &replacement)) return Refuse(ERROR_INVALID_PARAMETER);
    const FormRecord* form = ChangeableForm(name);
    if (!form) return FALSE;
    // The spooler changes the size and the area; the form keeps its name and kind.
    const std::u16string stored = form->name;
    replacement.flags = form->flags;
    if (!forms_.Set(stored, replacement)) return FALSE;
    Changed(u"set", stored);
    return TRUE;
}

BOOL FakePrinter::RemoveForm(HANDLE printer, LPWSTR name) {
    if (!Ours(printer)) return FALSE;
    const FormRecord* form = ChangeableForm(name);
    if (!form) return FALSE;
    const std::u16string stored = form->name;
    if (!forms_.Delete(stored)) return FALSE;
    Changed(u"deleted", stored);
    return TRUE;
}

FakePrinter& ThePrinter() {
    static FakePrinter printer;
    return printer;
}

}  // namespace krv::test

using krv::test::ThePrinter;

// The system's names: a program that links this file calls the fake printer wherever it
// would call winspool.
extern "C" {

DWORD WINAPI StartDocPrinterW(HANDLE printer, DWORD level, LPBYTE info) {
    return ThePrinter().StartDocument(printer, level, info);
}
WINBOOL WINAPI StartPagePrinter(HANDLE printer) {
    return ThePrinter().StartPage(printer);
}
WINBOOL WINAPI WritePrinter(HANDLE printer, LPVOID data, DWORD size, LPDWORD written) {
    return ThePrinter().Write(printer, data, size, written);
}
WINBOOL WINAPI EndPagePrinter(HANDLE printer) {
    return ThePrinter().EndPage(printer);
}
WINBOOL WINAPI EndDocPrinter(HANDLE printer) {
    return ThePrinter().EndDocument(printer);
}
WINBOOL WINAPI EnumFormsW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                          LPDWORD returned) {
    return ThePrinter().ListForms(printer, level, buffer, size, needed, returned);
}
WINBOOL WINAPI AddFormW(HANDLE printer, DWORD level, LPBYTE form) {
    return ThePrinter().CreateForm(printer, level, form);
}
WINBOOL WINAPI SetFormW(HANDLE printer, LPWSTR name, DWORD level, LPBYTE form) {
    return ThePrinter().ChangeForm(printer, name, level, form);
}
WINBOOL WINAPI DeleteFormW(HANDLE printer, LPWSTR name) {
    return ThePrinter().RemoveForm(printer, name);
}

}  // extern "C"

namespace krv::test {

std::vector<std::pair<const char*, void*>> FakeSpoolerFunctions() {
    const auto address = [](auto* function) { return reinterpret_cast<void*>(function); };
    return {
        {"StartDocPrinterW", address(&StartDocPrinterW)},
        {"StartPagePrinter", address(&StartPagePrinter)},
        {"WritePrinter", address(&WritePrinter)},
        {"EndPagePrinter", address(&EndPagePrinter)},
        {"EndDocPrinter", address(&EndDocPrinter)},
        {"EnumFormsW", address(&EnumFormsW)},
        {"AddFormW", address(&AddFormW)},
        {"SetFormW", address(&SetFormW)},
        {"DeleteFormW", address(&DeleteFormW)},
    };
}

}  // namespace krv::test
