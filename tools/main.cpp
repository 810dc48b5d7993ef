#include <cstdio>
#include <exception>
#include <map>
#include <new>

#include "channel/ansi_text.h"
#include "tools/tool.h"
#include "tools/tool_system.h"

#ifdef _WIN32
#include <cwchar>
#endif

#ifndef KRV_VERSION
#define KRV_VERSION "1.0"
#endif

namespace krv::tool {

namespace {

std::map<std::string, Command>& Commands() {
    static std::map<std::string, Command> commands;
    return commands;
}

void PrintTopUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: krv857 [--codepage NAME] COMMAND [ARGS...]\n"
                 "       krv857 --help | --version\n"
                 "\n"
                 "Jobs for the KRV-M857 receipt printer, and its private record, on the command\n"
                 "line. Text arguments are UTF-8 and reach the printer in the code page (GBK\n"
                 "unless --codepage NAME: GBK, GB18030, CP437, UTF-8, 936, 1252...).\n"
                 "\n"
                 "commands:\n");
    for (const auto& [name, c] : Commands())
        std::fprintf(to, "  %-10s %s\n", name.c_str(), c.summary);
    std::fprintf(to,
                 "\n"
                 "Job commands write the job to -o DST: a file, a device (/dev/usb/lp0), - for\n"
                 "standard output (krv857 print x.png -o - | lp -o raw) or socket://HOST[:PORT]\n"
                 "(a network printer, port 9100). Exit status: 0 done, 1 refused, 2 usage.\n"
                 "'krv857 COMMAND --help' shows a command's usage.\n");
}

// The global options before the command: --codepage, --help, --version. Returns the index of
// the command, or -1 when main is done (with `*exit` set).
int TakeGlobalOptions(const std::vector<std::string>& argv, int* exit) {
    size_t i = 0;
    for (; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (a == "--help" || a == "-h" || a == "help") {
            PrintTopUsage(stdout);
            *exit = kExitDone;
            return -1;
        }
        if (a == "--version") {
            std::printf("krv857 %s\n", KRV_VERSION);
            *exit = kExitDone;
            return -1;
        }
        std::string name;
        if (a == "--codepage") {
            if (i + 1 >= argv.size()) throw UsageError("--codepage needs a value");
            name = argv[++i];
        } else if (a.rfind("--codepage=", 0) == 0) {
            name = a.substr(11);
        } else {
            break;
        }
        SelectCodePage(name);
    }
    if (i == argv.size()) {
        PrintTopUsage(stderr);
        *exit = kExitUsage;
        return -1;
    }
    return static_cast<int>(i);
}

int RunCommand(const Command& command, Args& args) {
    if (args.TakeFlag("--help") || args.TakeFlag("-h")) {
        std::fputs(command.usage, stdout);
        if (command.moreHelp) std::fputs(command.moreHelp().c_str(), stdout);
        return kExitDone;
    }
    try {
        // --codepage may also follow the command.
        std::string codePage;
        if (args.TakeOption("--codepage", &codePage)) SelectCodePage(codePage);
        return command.run(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "krv857 %s: %s\n\n%s", command.name, e.what(), command.usage);
        return kExitUsage;
    }
}

}  // namespace

void RegisterCommand(const Command& command) {
    Commands()[command.name] = command;
}

int Main(const std::vector<std::string>& argv) {
    try {
        sys::PrepareProcess();
        int exit = kExitDone;
        const int at = TakeGlobalOptions(argv, &exit);
        if (at < 0) return exit;
        const auto it = Commands().find(argv[at]);
        if (it == Commands().end()) {
            std::fprintf(stderr, "krv857: unknown command '%s'\n\n", argv[at].c_str());
            PrintTopUsage(stderr);
            return kExitUsage;
        }
        Args args(std::vector<std::string>(argv.begin() + at + 1, argv.end()));
        return RunCommand(it->second, args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "krv857: %s\n", e.what());
        return kExitUsage;
    } catch (const Refusal& e) {
        std::fprintf(stderr, "krv857: %s\n", e.what());
        return kExitRefused;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "krv857: not enough memory\n");
        return kExitRefused;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "krv857: %s\n", e.what());
        return kExitRefused;
    } catch (...) {
        std::fprintf(stderr, "krv857: an unexpected error ended the command\n");
        return kExitRefused;
    }
}

}  // namespace krv::tool

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::u16string w(reinterpret_cast<const char16_t*>(argv[i]));
        args.push_back(krv::Utf16ToUtf8(w));
    }
    return krv::tool::Main(args);
}
#else
int main(int argc, char** argv) {
    return krv::tool::Main(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
