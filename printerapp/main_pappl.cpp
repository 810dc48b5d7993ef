// krv857-printer: a driverless IPP printer application for the KRV-M857 on PAPPL. PAPPL's
// own subcommands (server, add, submit, jobs, status, shutdown, ...) run through its main
// loop; the maintenance subcommands (selftest, logo, topbottom, backside, defaults) are ours.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "channel/ansi_text.h"
#include "files/files.h"
#include "printerapp/app_pappl.h"
#include "printerapp/maintenance_pappl.h"
#include "printerapp/web_pages_pappl.h"
#include "printerapp/web_strings.h"

namespace krv::app {

namespace {

constexpr char kVersion[] = "1.0";
constexpr char kStateFile[] = "krv857-printer.state";
// PAPPL's web pages look up their footer unconditionally: without one every page crashes.
constexpr char kFooterHtml[] = "KRV-M857 Printer Application";

pappl_pr_driver_t kDrivers[] = {
    {kDriverName, kDriverDescription, kDriverDeviceId, nullptr},
};

// The subcommand this process runs: only "server" loads state and listens.
std::string& Subcommand() {
    static std::string name;
    return name;
}

std::string Option(int count, cups_option_t* options, const char* name, const char* fallback) {
    const char* v = cupsGetOption(name, count, options);
    return v ? v : fallback;
}

pappl_loglevel_t LogLevel(const std::string& name) {
    if (name == "debug") return PAPPL_LOGLEVEL_DEBUG;
    if (name == "info") return PAPPL_LOGLEVEL_INFO;
    if (name == "error") return PAPPL_LOGLEVEL_ERROR;
    if (name == "fatal") return PAPPL_LOGLEVEL_FATAL;
    return PAPPL_LOGLEVEL_WARN;
}

// Wakes PAPPL's main loop every second, so that a shutdown request ends the server at once
// instead of after the loop's long sleep.
bool Tick(pappl_system_t*, void*) {
    return true;
}

void PrinterCreated(pappl_printer_t* printer, void*) {
    web::AddWebPages(printer);
    StartStatusMonitor(printer);
}

// Where PAPPL's own main loop keeps a program's state: SNAP_COMMON, /var/lib for root, else the
// user's configuration folder. Empty when there is none.
std::string DefaultStateFile() {
    const std::string name = std::string("/") + kStateFile;
    if (const char* snap = std::getenv("SNAP_COMMON")) return snap + name;
    if (getuid() == 0) return "/var/lib" + name;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) return xdg + name;
    if (const char* home = std::getenv("HOME")) {
        const std::string config = std::string(home) + "/.config";
        mkdir(config.c_str(), 0700);
        return config + name;
    }
    return {};
}

// The web interface's texts: English, and Chinese for browsers asking for any Chinese
// (zh-CN, and zh-TW or zh-HK through PAPPL's fall-back to "zh").
void AddStrings(pappl_system_t* system) {
    papplSystemAddStringsData(system, "/en.strings", "en", StringsData(Language::English).c_str());
    const char* chinese = StringsData(Language::Chinese).c_str();
    papplSystemAddStringsData(system, "/zh-CN.strings", "zh-CN", chinese);
    papplSystemAddStringsData(system, "/zh.strings", "zh", chinese);
}

// The folder beside the state file where the pages keep each printer's logos and uploads.
std::string PagesFolder(const std::string& stateFile) {
    const size_t slash = stateFile.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : stateFile.substr(0, slash);
    return folder + "/krv857-printer";
}

pappl_system_t* CreateSystem(int count, cups_option_t* options, void*) {
    const bool network = Option(count, options, "network", "off") == "on";
    const std::string folder = Option(count, options, "state-folder", "");
    const std::string logFile = Option(count, options, "log-file", "-");
    const int port = std::atoi(Option(count, options, "server-port", "0").c_str());

    // The security page lets the administrator password be set before the network is let in.
    pappl_soptions_t soptions = PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE |
                                PAPPL_SOPTIONS_WEB_LOG | PAPPL_SOPTIONS_WEB_SECURITY |
                                PAPPL_SOPTIONS_NO_TLS;
    if (network) soptions |= PAPPL_SOPTIONS_WEB_REMOTE;

    static std::string spool, state;
    if (!folder.empty()) {
        mkdir(folder.c_str(), 0700);
        spool = folder + "/spool";
        mkdir(spool.c_str(), 0700);
        state = folder + "/" + kStateFile;
    } else {
        state = DefaultStateFile();
    }
    pappl_system_t* system =
        papplSystemCreate(soptions, "KRV-M857 Printer Application", port, "_print,_universal",
                          spool.empty() ? nullptr : spool.c_str(), logFile.c_str(),
                          LogLevel(Option(count, options, "log-level", "warn")), nullptr, false);
    if (!system) return nullptr;

    papplSystemSetFooterHTML(system, kFooterHtml);
    papplSystemSetPrinterDrivers(system, 1, kDrivers, AutoAddCallback, PrinterCreated,
                                 DriverCallback, nullptr);
    AddFilters(system);
    AddStrings(system);
    if (Subcommand() != "server") return system;

    std::string error;
    const std::optional<StatusSettings> status = ReadStatusSettings(
        [&](const char* name) -> std::optional<std::string> {
            const char* v = cupsGetOption(name, count, options);
            return v ? std::optional<std::string>(v) : std::nullopt;
        },
        &error);
    if (!status) {
        std::fprintf(stderr, "krv857-printer: %s\n", error.c_str());
        papplSystemDelete(system);
        return nullptr;
    }
    StartStatus(system, *status);
    web::SetPagesFolder(
        PagesFolder(state.empty() ? Utf16ToPath(TemporaryFolder()) + kStateFile : state));
    if (!state.empty()) {
        papplSystemLoadState(system, state.c_str());
        papplSystemSetSaveCallback(system, reinterpret_cast<pappl_save_cb_t>(papplSystemSaveState),
                                   const_cast<char*>(state.c_str()));
    }
    // PAPPL lets anyone change everything while no password is set: the network waits for one.
    char password[256];
    if (network && !*papplSystemGetPassword(system, password, sizeof password)) {
        std::fprintf(stderr,
                     "krv857-printer: network access needs the administrator password: set it "
                     "on the web interface's security page (http://localhost:PORT/security) "
                     "with network access off, then start again with -o network=on.\n");
        papplSystemDelete(system);
        return nullptr;
    }
    papplSystemAddListeners(system, network ? nullptr : "localhost");
    if (!network) papplSystemSetHostName(system, "localhost");
    papplSystemAddTimerCallback(system, 0, 1, Tick, nullptr);
    return system;
}

// PAPPL prints this instead of its own usage, so it names PAPPL's subcommands as well.
void Usage(void*) {
    std::printf(
        "Usage: krv857-printer SUBCOMMAND [OPTIONS] [FILES]\n"
        "\n"
        "PAPPL's subcommands:\n"
        "  add PRINTER   add a printer (-d PRINTER -m krv857 -v DEVICE-URI)\n"
        "  autoadd       add the USB printers that report the KRV-M857\n"
        "  cancel        cancel jobs (-j JOB-ID, -a for all)\n"
        "  default       show or set the default printer (-d PRINTER)\n"
        "  delete        delete a printer\n"
        "  devices       list the devices (usb:, socket:)\n"
        "  drivers       list the drivers\n"
        "  jobs          list the jobs\n"
        "  modify        change a printer (-o NAME=VALUE sets its defaults)\n"
        "  options       list a printer's job options\n"
        "  pause         pause a printer\n"
        "  printers      list the printers\n"
        "  resume        resume a printer\n"
        "  server        run the server\n"
        "  shutdown      stop the server\n"
        "  status        show the server's, a printer's or a job's status\n"
        "  submit        print files (-o NAME=VALUE for job options)\n"
        "\n"
        "krv857-printer's own subcommands (the printer's maintenance jobs, sent through the\n"
        "printer's queue; 'krv857-printer SUBCOMMAND --help' for each):\n"
        "  selftest      print the printer's self-test page\n"
        "  logo          download or clear the stored logos\n"
        "  topbottom     download the top/bottom message lines\n"
        "  backside      download the back-side characters and logo\n"
        "  defaults      set a printer's defaults from a saved private record\n"
        "\n"
        "Options: -d PRINTER, -j JOB-ID, -m DRIVER, -o NAME=VALUE, -u URI, -v DEVICE-URI\n"
        "Server options: -o server-port=N  -o state-folder=DIR  -o network=on\n"
        "                -o log-file=FILE  -o log-level=debug|info|warn|error\n"
        "                -o status-interval=SECONDS (10)  -o status-timeout=SECONDS (1)\n"
        "                -o drawer-open-level=high|low (high)\n");
}

int RunMainloop(std::vector<std::string> args) {
    static std::string self = "krv857-printer";
    std::vector<char*> argv = {self.data()};
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    Subcommand() = args.empty() ? "" : args[0];
    return papplMainloop(static_cast<int>(argv.size() - 1), argv.data(), kVersion, kFooterHtml, 1,
                         kDrivers, AutoAddCallback, DriverCallback, nullptr, nullptr, CreateSystem,
                         Usage, nullptr);
}

}  // namespace

}  // namespace krv::app

int main(int argc, char* argv[]) {
    using namespace krv::app;
    if (argc > 1) {
        Subcommand() = argv[1];
        if (IsMaintenanceCommand(argv[1])) return RunMaintenance(argc, argv, RunMainloop);
    }
    return papplMainloop(argc, argv, kVersion, kFooterHtml, 1, kDrivers, AutoAddCallback,
                         DriverCallback, nullptr, nullptr, CreateSystem, Usage, nullptr);
}
