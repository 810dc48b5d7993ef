// A printer for the plug-in without the spooler: the nine winspool functions it calls (the
// five job calls and the four form calls) over a RecordingSpooler and an InMemoryFormStore,
// with the spooler's own rules for handles, levels, names and sizes. The Windows tests link
// these functions in place of the system's; the development host points the loaded DLL's
// winspool imports at them, records the jobs and keeps the forms between runs.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/in_memory_forms.h"
#include "tests/support/recording_spooler.h"

namespace krv::test {

// One RAW job as the printer received it.
struct FakeJob {
    std::u16string documentName;
    std::u16string dataType;
    std::span<const Bytes> pieces;  // the job's writes, in order
    size_t bytes = 0;
    int pages = 0;
};

// Told what the plug-in did to the printer.
class FakePrinterWatcher {
  public:
    virtual ~FakePrinterWatcher() = default;
    // A job ended; `ended` is false for one left open (a new job started over it, or the
    // printer was finished) or whose end the spooler refused.
    virtual void JobDone(const FakeJob& job, bool ended) = 0;
    // A form was "added", "set" or "deleted" through the form calls.
    virtual void FormChanged(std::u16string_view change, std::u16string_view name) = 0;
};

class FakePrinter {
  public:
    // The one handle the printer answers to; any other is refused as the spooler refuses it.
    static HANDLE Handle();

    RecordingSpooler& spooler() { return spooler_; }
    InMemoryFormStore& forms() { return forms_; }
    void Watch(FakePrinterWatcher* watcher) { watcher_ = watcher; }
    // A new spooler and the given forms; a job left open is forgotten.
    void Reset(std::vector<FormRecord> forms = {});
    // Reports a job the plug-in started but never ended, if any.
    void FinishOpenJob();

    // The winspool calls, with the system's arguments.
    DWORD StartDocument(HANDLE printer, DWORD level, LPBYTE info);
    BOOL StartPage(HANDLE printer);
    BOOL Write(HANDLE printer, LPVOID data, DWORD size, LPDWORD written);
    BOOL EndPage(HANDLE printer);
    BOOL EndDocument(HANDLE printer);
    BOOL ListForms(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned);
    BOOL CreateForm(HANDLE printer, DWORD level, LPBYTE form);
    BOOL ChangeForm(HANDLE printer, LPWSTR name, DWORD level, LPBYTE form);
    BOOL RemoveForm(HANDLE printer, LPWSTR name);

  private:
    struct OpenJob {
        std::u16string documentName, dataType;
        size_t firstPiece = 0;  // the job's first write among the spooler's pieces
        size_t bytes = 0;
        int pages = 0;
    };
    bool Ours(HANDLE printer) const;
    void EndJob(bool ended);
    const FormRecord* ChangeableForm(LPWSTR name);
    void Changed(std::u16string_view change, std::u16string_view name);

    RecordingSpooler spooler_;
    InMemoryFormStore forms_;
    std::optional<OpenJob> job_;
    FakePrinterWatcher* watcher_ = nullptr;
};

// The printer behind the winspool functions of this program.
FakePrinter& ThePrinter();

// The nine winspool functions by the names the plug-in imports them under.
std::vector<std::pair<const char*, void*>> FakeSpoolerFunctions();

// The Windows tests' short names for the printer's parts.
inline RecordingSpooler& Spooler() {
    return ThePrinter().spooler();
}
inline InMemoryFormStore& Forms() {
    return ThePrinter().forms();
}
inline void ResetSpooler() {
    ThePrinter().Reset();
}

}  // namespace krv::test
