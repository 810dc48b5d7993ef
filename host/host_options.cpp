#include "host/host_options.h"

#include <cwchar>

namespace krv::host {

const wchar_t kHostUsage[] =
    L"usage: krv857host [--sheet document|printer] [--dll PATH] [--data DIR] [--jobs DIR]\n"
    L"                  [--real-spooler PRINTER] [--visit-all] [--shots DIR]\n"
    L"                  [--click PAGE:ID]... [--ok|--cancel] [--log FILE]\n"
    L"Plays the printer driver's UI host: loads the plug-in, opens the document or printer\n"
    L"sheet, keeps the record (DIR/record.bin) when the sheet closes with OK, and records every\n"
    L"RAW job the plug-in sends (jobs folder) unless --real-spooler names a system printer.\n"
    L"--ok/--cancel close the sheet by themselves after the scripted steps (headless runs).\n";

namespace {

// A non-negative decimal number of at most five digits; -1 otherwise.
int SmallNumber(const std::wstring& text) {
    if (text.empty() || text.size() > 5) return -1;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return -1;
        value = value * 10 + (c - L'0');
    }
    return value;
}

bool ParseClick(const std::wstring& text, ScriptedClick* click) {
    const size_t colon = text.find(L':');
    if (colon == std::wstring::npos) return false;
    click->page = SmallNumber(text.substr(0, colon));
    click->control = SmallNumber(text.substr(colon + 1));
    return click->page >= 0 && click->page < 64 && click->control > 0 && click->control < 65536;
}

bool ParseSheet(const std::wstring& text, SheetKind* sheet) {
    if (text == L"document")
        *sheet = SheetKind::Document;
    else if (text == L"printer")
        *sheet = SheetKind::Printer;
    else
        return false;
    return true;
}

// The option that takes a folder or file value, or null when `name` takes none.
std::wstring* PathOption(const std::wstring& name, HostOptions* o) {
    if (name == L"--dll") return &o->dllPath;
    if (name == L"--data") return &o->dataFolder;
    if (name == L"--jobs") return &o->jobsFolder;
    if (name == L"--shots") return &o->shotsFolder;
    if (name == L"--log") return &o->logPath;
    if (name == L"--real-spooler") return &o->realSpooler;
    return nullptr;
}

bool SetEnding(Ending ending, HostOptions* o, std::wstring* error) {
    if (o->ending != Ending::User && o->ending != ending) {
        *error = L"--ok and --cancel exclude each other";
        return false;
    }
    o->ending = ending;
    return true;
}

}  // namespace

bool ParseHostArguments(const std::vector<std::wstring>& args, HostOptions* o,
                        std::wstring* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& name = args[i];
        const bool hasValue = i + 1 < args.size();
        if (name == L"--visit-all") {
            o->visitAll = true;
        } else if (name == L"--ok" || name == L"--cancel") {
            if (!SetEnding(name == L"--ok" ? Ending::Ok : Ending::Cancel, o, error)) return false;
        } else if (name == L"--sheet" || name == L"--click" || PathOption(name, o)) {
            if (!hasValue || args[i + 1].empty()) {
                *error = name + L" needs a value";
                return false;
            }
            const std::wstring& value = args[++i];
            ScriptedClick click;
            if (name == L"--sheet") {
                if (!ParseSheet(value, &o->sheet)) {
                    *error = L"--sheet is document or printer, not " + value;
                    return false;
                }
            } else if (name == L"--click") {
                if (!ParseClick(value, &click)) {
                    *error = L"--click takes PAGE:ID, not " + value;
                    return false;
                }
                o->clicks.push_back(click);
            } else {
                *PathOption(name, o) = value;
            }
        } else {
            *error = L"unknown argument " + name;
            return false;
        }
    }
    return true;
}

}  // namespace krv::host
