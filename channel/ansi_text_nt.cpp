#include <windows.h>

#include "channel/ansi_text.h"

namespace krv {

bool SetAnsiCodePage(const std::string& name) {
    return name == "ACP";
}

std::string ToAnsi(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* w = reinterpret_cast<const wchar_t*>(text.data());
    const int n = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, w, n, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0) WideCharToMultiByte(CP_ACP, 0, w, n, out.data(), size, nullptr, nullptr);
    return out;
}

std::u16string FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, nullptr, 0);
    std::u16string out(size > 0 ? size : 0, u'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, reinterpret_cast<wchar_t*>(out.data()),
                            size);
    return out;
}

}  // namespace krv
