#include "host/host_printer.h"

#include <winspool.h>

#include <cstdio>
#include <sstream>

#include "channel/ansi_text.h"
#include "host/host_files.h"
#include "host/host_log.h"
#include "host/import_patch.h"
#include "tests/support/fake_printer_win.h"

namespace krv::host {

namespace {

using test::FakeJob;
using test::ThePrinter;

// Explicit limits for what the forms file holds.
constexpr size_t kMaxNameChars = 63;
constexpr size_t kMaxForms = 512;
constexpr size_t kMaxFormsFileBytes = 256 * 1024;
constexpr size_t kDumpBytesPerPiece = 4096;

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
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

std::string JobText(int number, const FakeJob& job, bool ended) {
    std::ostringstream text;
    text << "job " << number << "\n"
         << "document \"" << Utf16ToUtf8(job.documentName) << "\"\n"
         << "data type \"" << Utf16ToUtf8(job.dataType) << "\"\n"
         << "pages " << job.pages << "\n";
    for (size_t i = 0; i < job.pieces.size(); ++i)
        text << "piece " << i + 1 << ": " << job.pieces[i].size() << " bytes\n"
             << HexDump(job.pieces[i]) << "\n";
    text << "total " << job.bytes << " bytes\n"
         << (ended ? "ended\n" : "not ended: the plug-in never called EndDocPrinter\n");
    return text.str();
}

std::vector<FormRecord> BuiltInForms() {
    auto form = [](const char16_t* name, uint32_t w, uint32_t h) {
        FormRecord f = WholeSheetForm(name, w, h);
        f.flags = FORM_BUILTIN;
        return f;
    };
    return {form(u"Letter", 215900, 279400), form(u"A4", 210000, 297000),
            form(u"A5", 148000, 210000), form(u"B5 (JIS)", 182000, 257000)};
}

// Files every job the printer received in the jobs folder, and saves the forms after every
// change.
class HostPrinter : public test::FakePrinterWatcher {
  public:
    void SetUp(const std::wstring& jobsFolder, const std::wstring& formsFile) {
        jobsFolder_ = jobsFolder;
        formsFile_ = formsFile;
    }

    void JobDone(const FakeJob& job, bool ended) override {
        const int number = NextJobNumber();
        EnsureFolder(jobsFolder_);
        wchar_t prefix[16];
        std::swprintf(prefix, 16, L"%03d-", number);
        const std::wstring stem =
            JoinPath(jobsFolder_, prefix + SafeFileName(Wide(job.documentName)));
        std::vector<uint8_t> joined;
        joined.reserve(job.bytes);
        for (const auto& piece : job.pieces)
            joined.insert(joined.end(), piece.begin(), piece.end());
        const bool written = WriteFileBytes(stem + L".bin", joined.data(), joined.size()) &&
                             WriteFileText(stem + L".txt", JobText(number, job, ended));
        Log().Line(L"job " + std::to_wstring(number) + L" \"" + Wide(job.documentName) + L"\" " +
                   Wide(job.dataType) + L", " + std::to_wstring(job.pieces.size()) + L" pieces, " +
                   std::to_wstring(job.bytes) + L" bytes" + (ended ? L"" : L", not ended") +
                   (written ? L" -> " + stem + L".bin" : L"; could not be written"));
    }

    void FormChanged(std::u16string_view change, std::u16string_view name) override {
        Log().Line(L"form " + Wide(change) + L": " + Wide(name));
        if (!WriteFileText(formsFile_, FormsText(ThePrinter().forms().forms())))
            Log().Line(L"forms could not be saved to " + formsFile_);
    }

  private:
    // One more than the highest job number already in the folder, so runs never overwrite.
    int NextJobNumber() {
        if (lastJobNumber_ == 0) {
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW(JoinPath(jobsFolder_, L"*.bin").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    lastJobNumber_ = std::max(lastJobNumber_, _wtoi(found.cFileName));
                } while (FindNextFileW(search, &found));
                FindClose(search);
            }
        }
        return ++lastJobNumber_;
    }

    std::wstring jobsFolder_, formsFile_;
    int lastJobNumber_ = 0;
};

HostPrinter& Printer() {
    static HostPrinter printer;
    return printer;
}

// ---- forms text

bool ParseNumber(const std::string& field, long long lo, long long hi, long long* value) {
    if (field.empty() || field.size() > 11) return false;
    char* end = nullptr;
    *value = std::strtoll(field.c_str(), &end, 10);
    return *end == '\0' && *value >= lo && *value <= hi;
}

bool ParseFormLine(const std::string& line, FormRecord* form) {
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
    form->flags = static_cast<uint32_t>(n[0]);
    form->width = static_cast<uint32_t>(n[1]);
    form->height = static_cast<uint32_t>(n[2]);
    form->imageableArea = {static_cast<int32_t>(n[3]), static_cast<int32_t>(n[4]),
                           static_cast<int32_t>(n[5]), static_cast<int32_t>(n[6])};
    form->name = Utf8ToUtf16(line.substr(start));
    return !form->name.empty() && form->name.size() <= kMaxNameChars;
}

}  // namespace

std::vector<FormRecord> ParseFormsText(const std::string& text) {
    std::vector<FormRecord> forms;
    std::istringstream lines(text);
    std::string line;
    while (forms.size() < kMaxForms && std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        FormRecord form;
        if (ParseFormLine(line, &form)) forms.push_back(form);
    }
    return forms;
}

std::string FormsText(const std::vector<FormRecord>& forms) {
    std::ostringstream text;
    for (const auto& f : forms)
        text << f.flags << '\t' << static_cast<LONG>(f.width) << '\t' << static_cast<LONG>(f.height)
             << '\t' << f.imageableArea.left << '\t' << f.imageableArea.top << '\t'
             << f.imageableArea.right << '\t' << f.imageableArea.bottom << '\t'
             << Utf16ToUtf8(f.name) << '\n';
    return text.str();
}

HANDLE HostPrinterHandle() {
    return test::FakePrinter::Handle();
}

void SetUpHostPrinter(const std::wstring& jobsFolder, const std::wstring& formsFile) {
    Printer().SetUp(jobsFolder, formsFile);
    ThePrinter().Watch(&Printer());
    std::vector<uint8_t> saved;
    if (ReadFileBytes(formsFile, kMaxFormsFileBytes, &saved)) {
        ThePrinter().Reset(ParseFormsText(std::string(saved.begin(), saved.end())));
        Log().Line(L"forms: " + std::to_wstring(ThePrinter().forms().forms().size()) + L" from " +
                   formsFile);
    } else {
        ThePrinter().Reset(BuiltInForms());
        Log().Line(L"forms: the built-in ones (no " + formsFile + L" yet)");
    }
}

std::vector<std::string> RedirectSpoolerImports(HMODULE dll) {
    std::vector<ImportReplacement> replacements;
    for (const auto& [name, address] : test::FakeSpoolerFunctions())
        replacements.push_back({name, address});
    return RedirectImports(dll, "winspool.drv", replacements);
}

std::vector<std::wstring> UserFormNames() {
    std::vector<std::wstring> names;
    for (const auto& f : ThePrinter().forms().forms())
        if (f.flags == FORM_USER) names.push_back(Wide(f.name));
    return names;
}

void FinishOpenJob() {
    ThePrinter().FinishOpenJob();
}

}  // namespace krv::host
