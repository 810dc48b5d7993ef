// The development host's command line: which sheet to open, where the plug-in and the data
// folder are, and the scripted steps of a headless run.
#pragma once

#include <string>
#include <vector>

namespace krv::host {

enum class SheetKind { Document, Printer };
enum class Ending { User, Ok, Cancel };  // User: the person at the screen closes the sheet

struct ScriptedClick {
    int page = 0;     // index of the page in the sheet
    int control = 0;  // dialog control id on that page
};

struct HostOptions {
    SheetKind sheet = SheetKind::Document;
    std::wstring dllPath;  // empty: krv857ui.dll beside the host
    std::wstring dataFolder = L"out\\host";
    std::wstring jobsFolder;   // empty: "jobs" beside the data folder
    std::wstring shotsFolder;  // empty: no screenshots
    std::wstring logPath;      // empty: host.log in the data folder
    std::wstring realSpooler;  // printer name: use the system spooler, leave the DLL alone
    bool visitAll = false;
    std::vector<ScriptedClick> clicks;
    Ending ending = Ending::User;
};

// Parses the arguments after the program name. False with `error` set for a malformed line.
bool ParseHostArguments(const std::vector<std::wstring>& args, HostOptions* options,
                        std::wstring* error);

extern const wchar_t kHostUsage[];

}  // namespace krv::host
