// The krv857 command-line tool: a thin face over the portable core. Each command lives in its
// own file and registers itself with KRV_TOOL_COMMAND; this header gives them one way to read
// arguments, report refusals and write jobs.
//
// Conventions: job bytes go to `-o FILE` (a device path works the same); a job command prints
// `job "NAME", N bytes` on standard error; input the system refuses exits 1 with the system's
// own message on standard error; usage errors exit 2 with a usage text; `--help` everywhere.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "channel/raw_printer_channel.h"

namespace krv::tool {

// Thrown for a malformed command line: exit 2 with the command's usage text.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Thrown when the system refuses the input: exit 1 with the system's message.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Args {
  public:
    explicit Args(std::vector<std::string> args) : args_(std::move(args)) {}
    // Removes and returns the value of `--name VALUE` (or `-o VALUE`); empty when absent.
    bool TakeOption(const std::string& name, std::string* value);
    std::string TakeOption(const std::string& name, const std::string& fallback);
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
    const char* name;   // e.g. "devmode", "logo"
    const char* usage;  // full usage text, shown for --help and usage errors
    int (*run)(Args& args);
};

void RegisterCommand(const Command& command);

struct Registrar {
    explicit Registrar(const Command& c) { RegisterCommand(c); }
};
#define KRV_TOOL_COMMAND(id, name, usage, fn) \
    static const ::krv::tool::Registrar krvToolRegistrar_##id({name, usage, fn})

// Applies `--codepage NAME` (taken by main for every command) to the ANSI text seam.
void SelectCodePage(const std::string& name);

// Sends `job` to the file or device `path` and prints `job "NAME", N bytes`. Returns the exit
// code: 0 when the whole job went out, 1 when it ended part-way (what was written stays).
int WriteJob(const PrinterJob& job, const std::string& path);

// Reads a whole file; throws Refusal with `message` when it cannot.
std::vector<uint8_t> ReadFile(const std::string& path, const std::string& message);
void WriteFile(const std::string& path, const void* data, size_t size);

}  // namespace krv::tool
