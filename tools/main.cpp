#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

#include "channel/ansi_text.h"
#include "tools/tool.h"

#ifdef _WIN32
#include <cwchar>
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
                 "\n"
                 "The KRV-M857 plug-in's portable core on the command line. Text arguments are\n"
                 "UTF-8 and reach the printer in the ANSI code page (GBK unless --codepage).\n"
                 "\n"
                 "commands:\n");
    for (const auto& [name, c] : Commands())
        std::fprintf(to, "  %s\n", name.c_str());
    std::fprintf(to, "\n'krv857 COMMAND --help' shows a command's usage.\n");
}

}  // namespace

void RegisterCommand(const Command& command) {
    Commands()[command.name] = command;
}

bool Args::TakeOption(const std::string& name, std::string* value) {
    for (size_t i = 0; i < args_.size(); ++i) {
        if (args_[i] == name) {
            if (i + 1 >= args_.size()) throw UsageError(name + " needs a value");
            *value = args_[i + 1];
            args_.erase(args_.begin() + i, args_.begin() + i + 2);
            return true;
        }
        if (args_[i].rfind(name + "=", 0) == 0 && name.rfind("--", 0) == 0) {
            *value = args_[i].substr(name.size() + 1);
            args_.erase(args_.begin() + i);
            return true;
        }
        if (args_[i] == "--") break;
    }
    return false;
}

std::string Args::TakeOption(const std::string& name, const std::string& fallback) {
    std::string v;
    return TakeOption(name, &v) ? v : fallback;
}

bool Args::TakeFlag(const std::string& name) {
    for (size_t i = 0; i < args_.size(); ++i) {
        if (args_[i] == "--") break;
        if (args_[i] == name) {
            args_.erase(args_.begin() + i);
            return true;
        }
    }
    return false;
}

int Args::TakeInt(const std::string& name, int fallback, int lo, int hi) {
    std::string v;
    if (!TakeOption(name, &v)) return fallback;
    char* end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end != '\0' || n < lo || n > hi)
        throw UsageError(name + " must be a whole number from " + std::to_string(lo) + " to " +
                         std::to_string(hi));
    return static_cast<int>(n);
}

std::vector<std::string> Args::Positionals() {
    std::vector<std::string> out;
    bool literal = false;
    for (const auto& a : args_) {
        if (!literal && a == "--") {
            literal = true;
            continue;
        }
        if (!literal && a.size() > 1 && a[0] == '-') throw UsageError("unknown option " + a);
        out.push_back(a);
    }
    args_.clear();
    return out;
}

std::vector<std::string> Args::Exactly(size_t n) {
    auto p = Positionals();
    if (p.size() != n) throw UsageError("wrong number of arguments");
    return p;
}

void SelectCodePage(const std::string& name) {
    if (!SetAnsiCodePage(name)) throw UsageError("unknown code page " + name);
}

int WriteJob(const PrinterJob& job, const std::string& path) {
    FileSpooler spooler(path);
    const bool ok = SendRawJob(spooler, job);
    std::fprintf(stderr, "job \"%s\", %llu bytes\n", job.documentName.c_str(),
                 static_cast<unsigned long long>(spooler.bytesWritten()));
    if (!ok && spooler.bytesWritten() == 0 && job.TotalBytes() > 0)
        std::fprintf(stderr, "cannot write to %s\n", path.c_str());
    return ok ? 0 : 1;
}

std::vector<uint8_t> ReadFile(const std::string& path, const std::string& message) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Refusal(message);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw Refusal("cannot write " + path);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) throw Refusal("cannot write " + path);
}

int Main(std::vector<std::string> argv) {
    Args global(argv);
    try {
        std::string cp;
        if (global.TakeOption("--codepage", &cp)) SelectCodePage(cp);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "krv857: %s\n", e.what());
        return 2;
    }
    // Re-split: the first remaining argument is the command.
    std::vector<std::string> rest;
    for (size_t i = 0; i < argv.size(); ++i) {
        if (argv[i] == "--codepage" && i + 1 < argv.size()) {
            ++i;
            continue;
        }
        if (argv[i].rfind("--codepage=", 0) == 0) continue;
        rest.push_back(argv[i]);
    }
    if (rest.empty() || rest[0] == "--help" || rest[0] == "-h" || rest[0] == "help") {
        PrintTopUsage(rest.empty() ? stderr : stdout);
        return rest.empty() ? 2 : 0;
    }
    auto it = Commands().find(rest[0]);
    if (it == Commands().end()) {
        std::fprintf(stderr, "krv857: unknown command '%s'\n\n", rest[0].c_str());
        PrintTopUsage(stderr);
        return 2;
    }
    const Command& command = it->second;
    Args args(std::vector<std::string>(rest.begin() + 1, rest.end()));
    if (args.TakeFlag("--help") || args.TakeFlag("-h")) {
        std::fputs(command.usage, stdout);
        return 0;
    }
    try {
        return command.run(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "krv857 %s: %s\n\n%s", command.name, e.what(), command.usage);
        return 2;
    } catch (const Refusal& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
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
