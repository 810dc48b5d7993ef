// The private-profile seam on Windows: the system's profile functions, and a replace that
// swaps the finished temporary file for the table in one step.
#include <windows.h>

#include <string>
#include <vector>

#include "devpages/control_font_table.h"

namespace krv {

namespace {

// The system calls need terminated wide strings.
std::wstring Wide(std::u16string_view s) {
    return std::wstring(s.begin(), s.end());
}

class NtPrivateProfile : public PrivateProfileSeam {
  public:
    std::u16string ReadString(std::u16string_view path, std::u16string_view section,
                              std::u16string_view key, size_t maxChars) override {
        // Room for one character more than asked, so an over-long value shows as such.
        std::vector<wchar_t> buffer(maxChars + 2, L'\0');
        const DWORD n =
            GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), Wide(path).c_str());
        const size_t length = n < buffer.size() ? n : buffer.size() - 1;
        return std::u16string(buffer.begin(), buffer.begin() + length);
    }

    bool WriteString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) override {
        return WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                          Wide(value).c_str(), Wide(path).c_str()) != FALSE;
    }

    bool Replace(std::u16string_view from, std::u16string_view to) override {
        const std::wstring source = Wide(from);
        // The profile functions may cache a file; flush it before the file moves.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, source.c_str());
        return MoveFileExW(source.c_str(), Wide(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

    bool Remove(std::u16string_view path) override {
        if (DeleteFileW(Wide(path).c_str())) return true;
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
};

}  // namespace

PrivateProfileSeam& SystemPrivateProfile() {
    static NtPrivateProfile profile;
    return profile;
}

std::optional<std::u16string> SystemWindowsDirectory() {
    wchar_t buffer[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::nullopt;
    return std::u16string(buffer, buffer + n);
}

}  // namespace krv
