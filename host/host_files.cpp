#include "host/host_files.h"

#include <utility>

#include "files/files.h"

namespace krv::host {

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                            nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

bool EnsureFolder(const std::wstring& path) {
    if (path.empty()) return false;
    const std::u16string folder(path.begin(), path.end());
    if (KindOfPath(folder) == PathKind::Folder) return true;
    const std::wstring parent = ParentFolder(path);
    if (!parent.empty() && parent != path) EnsureFolder(parent);
    return HaveFolder(folder);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    const wchar_t last = folder.back();
    return last == L'\\' || last == L'/' ? folder + name : folder + L"\\" + name;
}

std::wstring ParentFolder(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash == 0) return {};
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);  // "C:\"
    return path.substr(0, slash);
}

std::wstring HostProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 6; ++attempt) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n > 0 && n < path.size()) {
            path.resize(n);
            return ParentFolder(path);
        }
        path.resize(path.size() * 2);
    }
    return L".";
}

bool ReadFileBytes(const std::wstring& path, size_t limit, std::vector<uint8_t>* out) {
    auto bytes = ReadWholeFile(std::u16string(path.begin(), path.end()), limit);
    out->clear();
    if (!bytes) return false;
    *out = std::move(*bytes);
    return true;
}

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size) {
    return WriteWholeFile(std::u16string(path.begin(), path.end()), data, size);
}

bool WriteFileText(const std::wstring& path, std::string_view text) {
    return WriteFileBytes(path, text.data(), text.size());
}

}  // namespace krv::host
