#include "host/host_printer.h"

#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <sstream>

#include "host/host_files.h"
#include "host/host_log.h"
#include "host/import_patch.h"

namespace krv::host {

namespace {

// Explicit limits for what the plug-in hands over and what the forms file holds.
constexpr size_t kMaxJobBytes = 64u << 20;  // a firmware download is far smaller
constexpr size_t kMaxNameChars = 63;
constexpr size_t kMaxForms = 512;
constexpr size_t kMaxFormsFileBytes = 256 * 1024;
constexpr size_t kDumpBytesPerPiece = 4096;

struct Job {
    int number = 0;
    std::wstring documentName, dataType;
    std::vector<std::vector<uint8_t>> pieces;
    size_t total = 0;
    int pages = 0;
};

struct HostPrinterState {
    std::wstring jobsFolder, formsFile;
    std::vector<HostForm> forms;
    std::unique_ptr<Job> job;
    int lastJobNumber = 0;
};

HostPrinterState& State() {
    static HostPrinterState state;
    return state;
}

// A text the plug-in passes, read up to `limit` characters; false when longer or absent.
bool BoundedText(const wchar_t* text, size_t limit, std::wstring* out) {
    if (!text) return false;
    const size_t n = wcsnlen(text, limit + 1);
    if (n > limit) return false;
    out->assign(text, n);
    return true;
}

bool OurPrinter(HANDLE printer) {
    if (printer == HostPrinterHandle()) return true;
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

// ---- jobs

std::wstring SafeFileName(const std::wstring& name) {
    std::wstring out;
    for (wchar_t c : name.substr(0, 40)) {
        const bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                           (c >= L'0' && c <= L'9') || c == L'-' || c == L'_' || c == L'.';
        out += plain ? c : L'_';
    }
    return out.empty() ? L"job" : out;
}

// One more than the highest job number already in the folder, so runs never overwrite.
int NextJobNumber() {
    HostPrinterState& s = State();
    if (s.lastJobNumber == 0) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(JoinPath(s.jobsFolder, L"*.bin").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                s.lastJobNumber = std::max(s.lastJobNumber, _wtoi(found.cFileName));
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    return ++s.lastJobNumber;
}

std::string HexDump(const std::vector<uint8_t>& piece) {
    std::string out;
    char byte[4];
    const size_t shown = std::min(piece.size(), kDumpBytesPerPiece);
    for (size_t i = 0; i < shown; ++i) {
        std::snprintf(byte, sizeof byte, "%02X", piece[i]);
        out += (i % 16 == 0) ? (i ? "\n    " : "    ") : " ";
        out += byte;
    }
    if (shown < piece.size())
        out += "\n    ... (" + std::to_string(piece.size() - shown) + " more)";
    return out;
}

std::string JobText(const Job& job, bool ended) {
    std::ostringstream text;
    text << "job " << job.number << "\n"
         << "document \"" << Utf8(job.documentName) << "\"\n"
         << "data type \"" << Utf8(job.dataType) << "\"\n"
         << "pages " << job.pages << "\n";
    for (size_t i = 0; i < job.pieces.size(); ++i)
        text << "piece " << i + 1 << ": " << job.pieces[i].size() << " bytes\n"
             << HexDump(job.pieces[i]) << "\n";
    text << "total " << job.total << " bytes\n"
         << (ended ? "ended\n" : "not ended: the plug-in never called EndDocPrinter\n");
    return text.str();
}

void RecordJob(const Job& job, bool ended) {
    const HostPrinterState& s = State();
    EnsureFolder(s.jobsFolder);
    wchar_t prefix[16];
    std::swprintf(prefix, 16, L"%03d-", job.number);
    const std::wstring stem = JoinPath(s.jobsFolder, prefix + SafeFileName(job.documentName));
    std::vector<uint8_t> joined;
    joined.reserve(job.total);
    for (const auto& piece : job.pieces)
        joined.insert(joined.end(), piece.begin(), piece.end());
    const bool written = WriteFileBytes(stem + L".bin", joined.data(), joined.size()) &&
                         WriteFileText(stem + L".txt", JobText(job, ended));
    Log().Line(L"job " + std::to_wstring(job.number) + L" \"" + job.documentName + L"\" " +
               job.dataType + L", " + std::to_wstring(job.pieces.size()) + L" pieces, " +
               std::to_wstring(job.total) + L" bytes" + (ended ? L"" : L", not ended") +
               (written ? L" -> " + stem + L".bin" : L"; could not be written"));
}

// ---- forms

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

HostForm* FindForm(const std::wstring& name) {
    for (auto& f : State().forms)
        if (SameName(f.name, name)) return &f;
    return nullptr;
}

void SaveForms() {
    const HostPrinterState& s = State();
    if (!WriteFileText(s.formsFile, FormsText(s.forms)))
        Log().Line(L"forms could not be saved to " + s.formsFile);
}

std::vector<HostForm> BuiltInForms() {
    auto form = [](const wchar_t* name, LONG w, LONG h) {
        return HostForm{FORM_BUILTIN, name, {w, h}, {0, 0, w, h}};
    };
    return {form(L"Letter", 215900, 279400), form(L"A4", 210000, 297000),
            form(L"A5", 148000, 210000), form(L"B5 (JIS)", 182000, 257000)};
}

// A level-1 form from the plug-in; false when its name is missing or too long.
bool ReadForm(LPBYTE data, HostForm* form) {
    const auto* info = reinterpret_cast<const FORM_INFO_1W*>(data);
    if (!info || !BoundedText(info->pName, kMaxNameChars, &form->name) || form->name.empty())
        return false;
    form->flags = info->Flags;
    form->size = info->Size;
    form->area = info->ImageableArea;
    return true;
}

bool SizeOfForms(DWORD* bytes) {
    const auto& forms = State().forms;
    size_t total = forms.size() * sizeof(FORM_INFO_1W);
    for (const auto& f : forms)
        total += (f.name.size() + 1) * sizeof(wchar_t);
    *bytes = static_cast<DWORD>(total);
    return true;
}

void FillForms(LPBYTE buffer) {
    const auto& forms = State().forms;
    auto* infos = reinterpret_cast<FORM_INFO_1W*>(buffer);
    auto* text = reinterpret_cast<wchar_t*>(buffer + forms.size() * sizeof(FORM_INFO_1W));
    for (size_t i = 0; i < forms.size(); ++i) {
        infos[i].Flags = forms[i].flags;
        infos[i].pName = text;
        infos[i].Size = forms[i].size;
        infos[i].ImageableArea = forms[i].area;
        text = std::copy(forms[i].name.begin(), forms[i].name.end(), text);
        *text++ = L'\0';
    }
}

// ---- the functions the DLL's winspool imports are pointed at

DWORD WINAPI HostStartDocPrinterW(HANDLE printer, DWORD level, LPBYTE info) {
    if (!OurPrinter(printer)) return 0;
    const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(info);
    auto job = std::make_unique<Job>();
    if (level != 1 || !doc || !BoundedText(doc->pDocName, 255, &job->documentName)) {
        SetLastError(level != 1 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (doc->pDatatype && !BoundedText(doc->pDatatype, 31, &job->dataType)) {
        SetLastError(ERROR_INVALID_DATATYPE);
        return 0;
    }
    FinishOpenJob();
    job->number = NextJobNumber();
    State().job = std::move(job);
    return static_cast<DWORD>(State().job->number);
}

BOOL WINAPI HostStartPagePrinter(HANDLE printer) {
    if (!OurPrinter(printer)) return FALSE;
    if (State().job) ++State().job->pages;
    return State().job != nullptr;
}

BOOL WINAPI HostWritePrinter(HANDLE printer, LPVOID data, DWORD size, LPDWORD written) {
    if (written) *written = 0;
    if (!OurPrinter(printer)) return FALSE;
    Job* job = State().job.get();
    if (!job || (!data && size)) {
        SetLastError(job ? ERROR_INVALID_PARAMETER : ERROR_SPL_NO_STARTDOC);
        return FALSE;
    }
    if (size > kMaxJobBytes - job->total) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    job->pieces.emplace_back(bytes, bytes + size);
    job->total += size;
    if (written) *written = size;
    return TRUE;
}

BOOL WINAPI HostEndPagePrinter(HANDLE printer) {
    return OurPrinter(printer) && State().job != nullptr;
}

BOOL WINAPI HostEndDocPrinter(HANDLE printer) {
    if (!OurPrinter(printer)) return FALSE;
    if (!State().job) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return FALSE;
    }
    RecordJob(*State().job, true);
    State().job.reset();
    return TRUE;
}

BOOL WINAPI HostEnumFormsW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                           LPDWORD returned) {
    if (!OurPrinter(printer)) return FALSE;
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    DWORD bytes = 0;
    SizeOfForms(&bytes);
    if (needed) *needed = bytes;
    if (returned) *returned = 0;
    if (!buffer || size < bytes) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    FillForms(buffer);
    if (returned) *returned = static_cast<DWORD>(State().forms.size());
    return TRUE;
}

BOOL WINAPI HostAddFormW(HANDLE printer, DWORD level, LPBYTE data) {
    HostForm form;
    if (!OurPrinter(printer)) return FALSE;
    if (level != 1 || !ReadForm(data, &form)) {
        SetLastError(level != 1 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (FindForm(form.name) || State().forms.size() >= kMaxForms) {
        SetLastError(FindForm(form.name) ? ERROR_FILE_EXISTS : ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    form.flags = FORM_USER;
    State().forms.push_back(form);
    Log().Line(L"form added: " + form.name);
    SaveForms();
    return TRUE;
}

// A form the plug-in may change: it exists and is not one of the system's.
HostForm* ChangeableForm(LPWSTR name) {
    std::wstring wanted;
    HostForm* form = BoundedText(name, kMaxNameChars, &wanted) ? FindForm(wanted) : nullptr;
    if (!form || form->flags == FORM_BUILTIN) {
        SetLastError(form ? ERROR_ACCESS_DENIED : ERROR_INVALID_FORM_NAME);
        return nullptr;
    }
    return form;
}

BOOL WINAPI HostSetFormW(HANDLE printer, LPWSTR name, DWORD level, LPBYTE data) {
    HostForm replacement;
    if (!OurPrinter(printer)) return FALSE;
    if (level != 1 || !ReadForm(data, &replacement)) {
        SetLastError(level != 1 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HostForm* form = ChangeableForm(name);
    if (!form) return FALSE;
    form->size = replacement.size;
    form->area = replacement.area;
    Log().Line(L"form set: " + form->name);
    SaveForms();
    return TRUE;
}

BOOL WINAPI HostDeleteFormW(HANDLE printer, LPWSTR name) {
    if (!OurPrinter(printer)) return FALSE;
    HostForm* form = ChangeableForm(name);
    if (!form) return FALSE;
    Log().Line(L"form deleted: " + form->name);
    auto& forms = State().forms;
    forms.erase(forms.begin() + (form - forms.data()));
    SaveForms();
    return TRUE;
}

template <typename F>
void* Address(F* function) {
    return reinterpret_cast<void*>(function);
}

// ---- forms text: one form a line, "flags width height left top right bottom name", tabs

bool ParseNumber(const std::string& field, long long lo, long long hi, long long* value) {
    if (field.empty() || field.size() > 11) return false;
    char* end = nullptr;
    *value = std::strtoll(field.c_str(), &end, 10);
    return *end == '\0' && *value >= lo && *value <= hi;
}

bool ParseFormLine(const std::string& line, HostForm* form) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (int i = 0; i < 7; ++i) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string::npos) return false;
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    long long n[7];
    for (int i = 0; i < 7; ++i)
        if (!ParseNumber(fields[i], i == 0 ? 0 : -0x7FFFFFFFLL, 0x7FFFFFFF, &n[i])) return false;
    form->flags = static_cast<DWORD>(n[0]);
    form->size = {static_cast<LONG>(n[1]), static_cast<LONG>(n[2])};
    form->area = {static_cast<LONG>(n[3]), static_cast<LONG>(n[4]), static_cast<LONG>(n[5]),
                  static_cast<LONG>(n[6])};
    form->name = FromUtf8(line.substr(start));
    return !form->name.empty() && form->name.size() <= kMaxNameChars;
}

}  // namespace

std::vector<HostForm> ParseFormsText(const std::string& text) {
    std::vector<HostForm> forms;
    std::istringstream lines(text);
    std::string line;
    while (forms.size() < kMaxForms && std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        HostForm form;
        if (ParseFormLine(line, &form)) forms.push_back(form);
    }
    return forms;
}

std::string FormsText(const std::vector<HostForm>& forms) {
    std::ostringstream text;
    for (const auto& f : forms)
        text << f.flags << '\t' << f.size.cx << '\t' << f.size.cy << '\t' << f.area.left << '\t'
             << f.area.top << '\t' << f.area.right << '\t' << f.area.bottom << '\t' << Utf8(f.name)
             << '\n';
    return text.str();
}

HANDLE HostPrinterHandle() {
    static int printer;  // its address is the handle: never a real spooler handle
    return reinterpret_cast<HANDLE>(&printer);
}

void SetUpHostPrinter(const std::wstring& jobsFolder, const std::wstring& formsFile) {
    HostPrinterState& s = State();
    s.jobsFolder = jobsFolder;
    s.formsFile = formsFile;
    std::vector<uint8_t> saved;
    if (ReadFileBytes(formsFile, kMaxFormsFileBytes, &saved)) {
        s.forms = ParseFormsText(std::string(saved.begin(), saved.end()));
        Log().Line(L"forms: " + std::to_wstring(s.forms.size()) + L" from " + formsFile);
    } else {
        s.forms = BuiltInForms();
        Log().Line(L"forms: the built-in ones (no " + formsFile + L" yet)");
    }
}

std::vector<std::string> RedirectSpoolerImports(HMODULE dll) {
    const std::vector<ImportReplacement> replacements = {
        {"StartDocPrinterW", Address(&HostStartDocPrinterW)},
        {"StartPagePrinter", Address(&HostStartPagePrinter)},
        {"WritePrinter", Address(&HostWritePrinter)},
        {"EndPagePrinter", Address(&HostEndPagePrinter)},
        {"EndDocPrinter", Address(&HostEndDocPrinter)},
        {"EnumFormsW", Address(&HostEnumFormsW)},
        {"AddFormW", Address(&HostAddFormW)},
        {"SetFormW", Address(&HostSetFormW)},
        {"DeleteFormW", Address(&HostDeleteFormW)},
    };
    return RedirectImports(dll, "winspool.drv", replacements);
}

std::vector<std::wstring> UserFormNames() {
    std::vector<std::wstring> names;
    for (const auto& f : State().forms)
        if (f.flags == FORM_USER) names.push_back(f.name);
    return names;
}

void FinishOpenJob() {
    if (!State().job) return;
    RecordJob(*State().job, false);
    State().job.reset();
}

}  // namespace krv::host
