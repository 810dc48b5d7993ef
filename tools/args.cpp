// The command line as the commands read it, and the checks every text argument passes.
#include <cstdio>
#include <cstdlib>

#include "channel/ansi_text.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

// The position of `--name VALUE` or `--name=VALUE` from `from` on, before any "--".
size_t FindOption(const std::vector<std::string>& args, const std::string& name, size_t from) {
    for (size_t i = from; i < args.size(); ++i) {
        if (args[i] == "--") break;
        if (args[i] == name) return i;
        if (name.rfind("--", 0) == 0 && args[i].rfind(name + "=", 0) == 0) return i;
    }
    return args.size();
}

}  // namespace

bool Args::TakeOption(const std::string& name, std::string* value) {
    const size_t i = FindOption(args_, name, 0);
    if (i == args_.size()) return false;
    if (FindOption(args_, name, i + 1) != args_.size())
        throw UsageError(name + " is given more than once");
    if (args_[i] == name) {
        if (i + 1 >= args_.size()) throw UsageError(name + " needs a value");
        *value = args_[i + 1];
        args_.erase(args_.begin() + i, args_.begin() + i + 2);
    } else {
        *value = args_[i].substr(name.size() + 1);
        args_.erase(args_.begin() + i);
    }
    return true;
}

std::string Args::TakeOption(const std::string& name, const std::string& fallback) {
    std::string v;
    return TakeOption(name, &v) ? v : fallback;
}

bool Args::TakeText(const std::string& name, std::u16string* text) {
    std::string value;
    if (!TakeOption(name, &value)) return false;
    if (!IsValidUtf8(value)) throw UsageError(name + ": the text is not valid UTF-8");
    *text = Utf8ToUtf16(value);
    return true;
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

uint8_t TakeAlignment(Args& args, const std::string& fallback) {
    const std::string align = args.TakeOption("--align", fallback);
    if (align == "left") return 0;
    if (align == "centre" || align == "center") return 1;
    if (align == "right") return 2;
    throw UsageError("--align must be left, centre or right");
}

void SelectCodePage(const std::string& name) {
    if (!SetAnsiCodePage(name))
        throw UsageError("unknown code page '" + name + "' (GBK, GB18030, CP437, UTF-8, 936...)");
}

void RequireEncodable(const std::string& subject, const std::u16string& text) {
    const size_t at = FindUnencodable(text);
    if (at == std::u16string::npos) return;
    const bool pair = at + 1 < text.size() && text[at] >= 0xD800 && text[at] < 0xDC00;
    const std::u16string character = text.substr(at, pair ? 2 : 1);
    char32_t cp = character[0];
    if (pair) cp = 0x10000 + ((cp - 0xD800) << 10) + (character[1] - 0xDC00);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    throw Refusal(subject, "the character \"" + Utf16ToUtf8(character) + "\" (" + code +
                               ") cannot be written in the code page " + AnsiCodePageName());
}

}  // namespace krv::tool
