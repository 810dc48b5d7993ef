// The file layer on Windows: kernel32, paths as UTF-16.
#include <windows.h>

#include <utility>
#include <vector>

#include "channel/ansi_text.h"
#include "files/files.h"
#include "files/files_body.h"
#include "files/private_profile.h"

namespace krv {

namespace {

using files_body::SetError;
using files_body::SystemError;

std::wstring WidePath(std::u16string_view path) {
    return std::wstring(path.begin(), path.end());
}

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

intptr_t FromHandle(HANDLE handle) {
    if (handle != INVALID_HANDLE_VALUE) return reinterpret_cast<intptr_t>(handle);
    SetError(SystemError());
    return -1;
}

// ReadFile and WriteFile take 32-bit counts; larger buffers go in slices.
DWORD Slice(size_t left) {
    return left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
}

// The system's profile functions, and a replace that swaps the finished temporary file for
// the table in one step.
class SystemProfile : public PrivateProfileSeam {
  public:
    std::u16string ReadString(std::u16string_view path, std::u16string_view section,
                              std::u16string_view key, size_t maxChars) override {
        // Room for one character more than asked, so an over-long value shows as such.
        std::vector<wchar_t> buffer(maxChars + 2, L'\0');
        const DWORD n = GetPrivateProfileStringW(
            WidePath(section).c_str(), WidePath(key).c_str(), L"", buffer.data(),
            static_cast<DWORD>(buffer.size()), WidePath(path).c_str());
        const size_t length = n < buffer.size() ? n : buffer.size() - 1;
        return std::u16string(buffer.begin(), buffer.begin() + length);
    }

    bool WriteString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) override {
        return WritePrivateProfileStringW(WidePath(section).c_str(), WidePath(key).c_str(),
                                          WidePath(value).c_str(), WidePath(path).c_str()) != FALSE;
    }

    bool Replace(std::u16string_view from, std::u16string_view to) override {
        // The profile functions may cache a file; flush it before the file moves.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, WidePath(from).c_str());
        return MoveReplacing(from, to);
    }

    bool Remove(std::u16string_view path) override {
        if (DeleteFileW(WidePath(path).c_str())) return true;
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
};

}  // namespace

namespace files_body {

std::string SystemError() {
    return SystemErrorText(static_cast<int>(GetLastError()));
}

std::u16string FollowFileLink(std::u16string_view path) {
    return std::u16string(path);
}

}  // namespace files_body

std::string SystemErrorText(int code) {
    const auto error = static_cast<DWORD>(code);
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message(text, text + n);
    LocalFree(text);
    while (!message.empty() && (message.back() == u'\r' || message.back() == u'\n' ||
                                message.back() == u'.' || message.back() == u' '))
        message.pop_back();
    if (message.empty()) return "system error " + std::to_string(error);
    return Utf16ToUtf8(message);
}

PathKind KindOfPath(std::u16string_view path, std::string* what) {
    const std::wstring wide = WidePath(path);
    const auto say = [&](std::string words) {
        if (what) *what = std::move(words);
    };
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    const std::string missing = attributes == INVALID_FILE_ATTRIBUTES ? SystemError() : "";
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        say("is a folder, not a file");
        return PathKind::Folder;
    }
    // A device (NUL, LPT1, COM1, a printer's port) or a pipe is told apart by what it opens
    // as; opened for no access, so that a device that only takes data is found too.
    const HANDLE h = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(h);
        CloseHandle(h);
        if (type != FILE_TYPE_DISK) {
            say("is a device or a pipe, not a regular file");
            return PathKind::Device;
        }
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) return PathKind::File;
    say(missing);
    return PathKind::Missing;
}

File File::OpenForReading(std::u16string_view path, Sharing sharing) {
    if (path.empty()) return {};
    const DWORD share = sharing == Sharing::Readers ? FILE_SHARE_READ : 0;
    File file(FromHandle(CreateFileW(WidePath(path).c_str(), GENERIC_READ, share, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (file.IsOpen() && GetFileType(AsHandle(file.handle_)) != FILE_TYPE_DISK) {
        SetError("is a device or a pipe, not a regular file");
        file.Close();
    }
    return file;
}

File File::CreateNew(std::u16string_view path) {
    if (path.empty()) return {};
    return File(FromHandle(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

size_t File::Read(void* data, size_t size) {
    if (!IsOpen()) return 0;
    auto* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle_), p + done, Slice(size - done), &got, nullptr)) {
            Fail();
            break;
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

bool File::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    const auto* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        DWORD put = 0;
        if (!WriteFile(AsHandle(handle_), p + done, Slice(size - done), &put, nullptr) || put == 0)
            return Fail();
        done += put;
    }
    return true;
}

bool File::SeekTo(uint64_t offset) {
    if (!IsOpen() || offset > uint64_t(INT64_MAX)) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN)) return true;
    return Fail();
}

std::optional<uint64_t> File::Size() {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size) || size.QuadPart < 0) {
        SetError(SystemError());
        return std::nullopt;
    }
    return static_cast<uint64_t>(size.QuadPart);
}

bool File::Close() {
    if (!IsOpen()) return true;
    if (CloseHandle(AsHandle(std::exchange(handle_, kNoHandle)))) return true;
    SetError(SystemError());
    return false;
}

bool MoveReplacing(std::u16string_view from, std::u16string_view to) {
    if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    SetError(SystemError());
    return false;
}

bool DeleteFileAt(std::u16string_view path) {
    if (DeleteFileW(WidePath(path).c_str())) return true;
    SetError(SystemError());
    return false;
}

bool MakeFolder(std::u16string_view path) {
    if (CreateDirectoryW(WidePath(path).c_str(), nullptr)) return true;
    SetError(SystemError());
    return false;
}

bool HaveFolder(std::u16string_view path) {
    return MakeFolder(path) || KindOfPath(path) == PathKind::Folder;
}

bool RemoveEmptyFolder(std::u16string_view path) {
    if (RemoveDirectoryW(WidePath(path).c_str())) return true;
    SetError(SystemError());
    return false;
}

std::u16string TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    return std::u16string(buffer, buffer + n);
}

std::optional<std::u16string> WindowsFolder() {
    wchar_t buffer[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::nullopt;
    return std::u16string(buffer, buffer + n);
}

PrivateProfileSeam& SystemPrivateProfile() {
    static SystemProfile profile;
    return profile;
}

}  // namespace krv
