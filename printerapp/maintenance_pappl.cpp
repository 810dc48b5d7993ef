#include "printerapp/maintenance_pappl.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "printerapp/app_pappl.h"
#include "printerapp/child_process.h"

namespace krv::app {

namespace {

namespace fs = std::filesystem;

constexpr int kToolTimeoutMs = 300000;
constexpr size_t kMaxJobBytes = 64u << 20;

struct ToolCommand {
    const char* name;
    const char* usage;  // the arguments besides the tool's own
};
constexpr ToolCommand kToolCommands[] = {
    {"selftest", "selftest [-d PRINTER]"},
    {"logo",
     "logo download [-d PRINTER] --mode mono|grey [OPTIONS] SRC...\n"
     "       krv857-printer logo clear [-d PRINTER]"},
    {"topbottom", "topbottom [-d PRINTER] [--line0 T] [--line1 T] [--line2 T] [--line3 T]"},
    {"backside", "backside [-d PRINTER] [OPTIONS]"},
};

// The document name of the job each tool command writes.
const char* JobName(const std::vector<std::string>& args) {
    const std::string& c = args[0];
    if (c == "logo") return args.size() > 1 && args[1] == "download" ? "LOGO" : "SELFTEST";
    if (c == "topbottom") return "TopbottomMessage";
    if (c == "backside") return "Pre-image";
    return "SELFTEST";
}

// The krv857 tool installed beside this program, else the one on the PATH.
std::string ToolPath() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path beside = self.parent_path() / "krv857";
        if (access(beside.c_str(), X_OK) == 0) return beside.string();
    }
    return "krv857";
}

// Takes `-d PRINTER` out of `args`; false for a malformed one.
bool TakePrinter(std::vector<std::string>& args, std::string* printer) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "-d") continue;
        if (i + 1 >= args.size()) return false;
        *printer = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i + 2));
        return true;
    }
    return true;
}

std::vector<std::string> PrinterArgs(const std::string& printer) {
    return printer.empty() ? std::vector<std::string>{} : std::vector<std::string>{"-d", printer};
}

int Usage(const char* text, bool error) {
    std::fprintf(error ? stderr : stdout, "usage: krv857-printer %s\n", text);
    return error ? 2 : 0;
}

// Runs the tool to write the job into a temporary file, then submits that file as raw
// printer commands.
int RunToolCommand(const ToolCommand& command, std::vector<std::string> args,
                   MainloopRunner mainloop) {
    std::string printer;
    if (!TakePrinter(args, &printer)) return Usage(command.usage, true);
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            Usage(command.usage, false);
            std::printf(
                "\nThe options are those of 'krv857 %s' (shown below); the job goes to\n"
                "PRINTER (the default printer without -d).\n\n",
                command.name);
            std::fflush(stdout);
            const ProcessResult help =
                RunProcess({ToolPath(), command.name, "--help"}, 1u << 20, kToolTimeoutMs);
            std::fputs(help.output.c_str(), stdout);
            return 0;
        }
        if (a == "-o") {
            std::fprintf(stderr,
                         "krv857-printer %s: the job goes to the printer; -o is not "
                         "taken\n",
                         command.name);
            return 2;
        }
    }
    if (command.name == std::string("logo") &&
        (args.empty() || (args[0] != "download" && args[0] != "clear")))
        return Usage(command.usage, true);

    std::error_code ec;
    std::string temp = (fs::temp_directory_path(ec) / "krv857-printer-job-XXXXXX").string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        std::perror("krv857-printer: cannot create a temporary file");
        return 1;
    }
    close(fd);
    std::vector<std::string> tool = {ToolPath(), command.name};
    tool.insert(tool.end(), args.begin(), args.end());
    tool.insert(tool.end(), {"-o", temp});
    const ProcessResult built = RunProcess(tool, kMaxJobBytes, kToolTimeoutMs);
    std::fputs(built.output.c_str(), stdout);
    std::fputs(built.errors.c_str(), stderr);
    int status = built.started ? built.exitStatus : 1;
    if (!built.started)
        std::fprintf(stderr, "krv857-printer: cannot run %s\n", tool[0].c_str());
    else if (status < 0)
        status = 1;
    if (status == 0) {
        std::vector<std::string> full = {command.name};
        full.insert(full.end(), args.begin(), args.end());
        std::vector<std::string> submit = {"submit"};
        const auto d = PrinterArgs(printer);
        submit.insert(submit.end(), d.begin(), d.end());
        submit.insert(submit.end(), {"-o", std::string("document-format=") + kRawFormat, "-o",
                                     std::string("job-name=") + JobName(full), temp});
        status = mainloop(submit);
    }
    unlink(temp.c_str());
    return status;
}

constexpr char kDefaultsUsage[] = "defaults [-d PRINTER] --record FILE";

int RunDefaults(std::vector<std::string> args, MainloopRunner mainloop) {
    std::string printer, path;
    if (!TakePrinter(args, &printer)) return Usage(kDefaultsUsage, true);
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            Usage(kDefaultsUsage, false);
            std::printf(
                "\nSets the printer's defaults of every moment option (krv-doc-start-*,\n"
                "krv-page-start-*, krv-page-end-*, krv-doc-end-*) as the record's event\n"
                "settings say, as the Windows pages would print them.\n");
            return 0;
        }
        if (args[i] == "--record" && i + 1 < args.size() && path.empty()) {
            path = args[++i];
            continue;
        }
        return Usage(kDefaultsUsage, true);
    }
    if (path.empty()) return Usage(kDefaultsUsage, true);

    std::string error;
    const std::optional<OemDevmode> record = ReadRecordFile(path, &error);
    if (!record) {
        std::fprintf(stderr, "krv857-printer: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    std::vector<std::string> modify = {"modify"};
    const auto d = PrinterArgs(printer);
    modify.insert(modify.end(), d.begin(), d.end());
    for (const auto& [name, value] : OptionValuesFromRecord(*record))
        modify.insert(modify.end(), {"-o", name + "='" + value + "'"});
    return mainloop(modify);
}

}  // namespace

bool IsMaintenanceCommand(const char* name) {
    for (const ToolCommand& c : kToolCommands)
        if (std::strcmp(name, c.name) == 0) return true;
    return std::strcmp(name, "defaults") == 0;
}

int RunMaintenance(int argc, char* argv[], MainloopRunner mainloop) {
    std::vector<std::string> args(argv + 2, argv + argc);
    if (std::strcmp(argv[1], "defaults") == 0) return RunDefaults(std::move(args), mainloop);
    for (const ToolCommand& c : kToolCommands)
        if (std::strcmp(argv[1], c.name) == 0) return RunToolCommand(c, std::move(args), mainloop);
    return 2;
}

}  // namespace krv::app
