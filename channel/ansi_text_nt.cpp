#include <windows.h>

#include <cstdlib>
#include <optional>

#include "channel/ansi_text.h"

namespace krv {

namespace {

// CP_ACP unless the tool chose another code page.
UINT& CodePage() {
    static UINT page = CP_ACP;
    return page;
}
std::string& ShownName() {
    static std::string name = "ACP";
    return name;
}

// The Windows number of a code page as people write it; nothing when unknown.
std::optional<UINT> CodePageNumber(const std::string& name) {
    static const struct {
        const char* name;
        UINT number;
    } kNames[] = {{"ACP", CP_ACP},    {"GBK", 936},         {"GB2312", 936}, {"GB18030", 54936},
                  {"UTF-8", CP_UTF8}, {"UTF8", CP_UTF8},    {"BIG5", 950},   {"SHIFT_JIS", 932},
                  {"ASCII", 20127},   {"ISO-8859-1", 28591}};
    std::string upper;
    for (const char c : name)
        upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    for (const auto& n : kNames)
        if (upper == n.name) return n.number;
    const std::string digits = upper.rfind("CP", 0) == 0 ? upper.substr(2) : upper;
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const auto number = static_cast<UINT>(std::strtoul(digits.c_str(), nullptr, 10));
    if (!IsValidCodePage(number)) return std::nullopt;
    return number;
}

}  // namespace

bool SetAnsiCodePage(const std::string& name) {
    const std::optional<UINT> number = CodePageNumber(name);
    if (!number) return false;
    // A code page the system lists but cannot convert to is no use (Wine has no GB18030).
    char a = 0;
    if (*number != CP_ACP && WideCharToMultiByte(*number, 0, L"A", 1, &a, 1, nullptr, nullptr) != 1)
        return false;
    CodePage() = *number;
    ShownName() = name;
    return true;
}

std::string AnsiCodePageName() {
    return ShownName();
}

size_t FindUnencodable(std::u16string_view text) {
    const UINT page = CodePage();
    for (size_t i = 0; i < text.size();) {
        const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        const int units = pair ? 2 : 1;
        const auto* w = reinterpret_cast<const wchar_t*>(text.data() + i);
        char buffer[16];
        BOOL usedDefault = FALSE;
        // UTF-8 and GB18030 hold every character and take no default character (UTF-8 can
        // refuse a lone surrogate; not every system takes that flag for GB18030).
        const bool holdsAll = page == CP_UTF8 || page == 54936;
        const DWORD flags = page == CP_UTF8 ? WC_ERR_INVALID_CHARS
                            : holdsAll      ? 0
                                            : WC_NO_BEST_FIT_CHARS;
        const int n = WideCharToMultiByte(page, flags, w, units, buffer, sizeof buffer, nullptr,
                                          holdsAll ? nullptr : &usedDefault);
        if (n <= 0 || usedDefault) return i;
        i += units;
    }
    return std::u16string_view::npos;
}

std::string ToAnsi(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* w = reinterpret_cast<const wchar_t*>(text.data());
    const int n = static_cast<int>(text.size());
    const UINT page = CodePage();
    const int size = WideCharToMultiByte(page, 0, w, n, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0) WideCharToMultiByte(page, 0, w, n, out.data(), size, nullptr, nullptr);
    return out;
}

std::u16string FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n = static_cast<int>(bytes.size());
    const UINT page = CodePage();
    const int size = MultiByteToWideChar(page, 0, bytes.data(), n, nullptr, 0);
    std::u16string out(size > 0 ? size : 0, u'\0');
    if (size > 0)
        MultiByteToWideChar(page, 0, bytes.data(), n, reinterpret_cast<wchar_t*>(out.data()), size);
    return out;
}

}  // namespace krv
