// The krv857 command-line tool: a thin face over the portable core. Each command lives in its
// own file and registers itself with KRV_TOOL_COMMAND; this header gives them one way to read
// arguments and input files, report refusals and write jobs.
//
// Conventions: exit 0 done, 1 refused, 2 usage; a refusal prints `krv857: SUBJECT: message`
// (SUBJECT a file or an option) on standard error, a usage error the command's usage; no
// exception leaves main. Jobs are built whole before anything is written, then go to `-o DST`:
// a file (written beside it and renamed over it only when complete), a character device, `-`
// (standard output) or `socket://HOST[:PORT]`; a job command then prints
// `job "NAME", N bytes` on standard error. File names are passed on as the bytes they are.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "channel/raw_printer_channel.h"

namespace krv::tool {

inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// Thrown for a malformed command line: exit 2 with the command's usage text.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Thrown when the input is refused: exit 1 with `krv857: SUBJECT: message`.
struct Refusal : std::runtime_error {
    Refusal(const std::string& subject, const std::string& message)
        : std::runtime_error(subject + ": " + message) {}
};

class Args {
  public:
    explicit Args(std::vector<std::string> args) : args_(std::move(args)) {}
    // Removes and returns the value of `--name VALUE` or `--name=VALUE` (or `-o VALUE`);
    // false when absent. An option given twice is a usage error.
    bool TakeOption(const std::string& name, std::string* value);
    std::string TakeOption(const std::string& name, const std::string& fallback);
    // The same for text that goes to the printer: it must be valid UTF-8 (a usage error
    // naming the option otherwise).
    bool TakeText(const std::string& name, std::u16string* text);
    // Removes `--name`; true when it was present.
    bool TakeFlag(const std::string& name);
    // Integer option within [lo, hi]; a usage error otherwise.
    int TakeInt(const std::string& name, int fallback, int lo, int hi);
    // Every remaining argument; an unknown option (starting with '-') is a usage error.
    std::vector<std::string> Positionals();
    // The remaining arguments must be exactly `n` positionals.
    std::vector<std::string> Exactly(size_t n);

  private:
    std::vector<std::string> args_;
};

struct Command {
    const char* name;     // e.g. "devmode", "logo"
    const char* summary;  // one line for `krv857 --help`
    const char* usage;    // full usage text, shown for --help and usage errors
    int (*run)(Args& args);
    std::string (*moreHelp)() = nullptr;  // computed text after the usage, for --help only
};

void RegisterCommand(const Command& command);

struct Registrar {
    explicit Registrar(const Command& c) { RegisterCommand(c); }
};
#define KRV_TOOL_COMMAND(id, name, summary, usage, fn) \
    static const ::krv::tool::Registrar krvToolRegistrar_##id({name, summary, usage, fn})
#define KRV_TOOL_COMMAND_WITH_HELP(id, name, summary, usage, fn, help) \
    static const ::krv::tool::Registrar krvToolRegistrar_##id({name, summary, usage, fn, help})

// `--align left|centre|right` ("center" too) as 0, 1 or 2, the printer's alignment values;
// `fallback` names the one taken when the option is absent.
uint8_t TakeAlignment(Args& args, const std::string& fallback);

// Applies `--codepage NAME` (taken by main for every command) to the ANSI text seam.
void SelectCodePage(const std::string& name);

// Refused naming `subject` when a character of `text` cannot be written in the code page.
void RequireEncodable(const std::string& subject, const std::u16string& text);

// ---- input files

// The most a record file is read: one byte more than a record tells a longer file apart.
inline constexpr uint64_t kRecordReadLimit = 1469;
// Pictures and other sources: far more than any the printer can take.
inline constexpr uint64_t kPictureReadLimit = 256ull << 20;

// Reads an input file, at most `limit` bytes of it. Refused, naming the path and the reason,
// when it is not a regular file (a folder, a pipe, a device) or cannot be read; with
// `pageMessage` (the message the page shows when it cannot open a file) the reason follows it
// as its gloss.
Bytes ReadInputFile(const std::string& path, uint64_t limit, const char* pageMessage = nullptr);
// The same checks without reading, for core functions that open the file themselves.
void RequireRegularFile(const std::string& path);
// A file core functions will write themselves: absent, or a regular file (never a folder, a
// pipe or a device, where the write would fail late or block).
void RequireFileTarget(const std::string& path);

// A stored private record: signature "VKRT", and with `wholeRecord` exactly 1468 bytes
// (otherwise the first 1468 bytes of a record of any size). Refused naming what it is not.
Bytes ReadStoredRecord(const std::string& path, bool wholeRecord);

// ---- output

// Writes `job` whole to `target` (see above) and prints `job "NAME", N bytes`. A failure to
// open, write or close is refused with the system's reason, and no job line is printed; a
// target file is then left as it was.
int WriteJob(const PrinterJob& job, const std::string& target);
// Writes bytes that are not a job (a record) to `target` the same way, silently.
void WriteOutput(const std::string& target, const Bytes& bytes);

}  // namespace krv::tool
