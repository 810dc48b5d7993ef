#include <windows.h>

#include <share.h>

#include <cstdio>
#include <string>

#include "imaging/file_io.h"

namespace krv {

namespace {

// UTF-8 to the wide path. Done here with the system call rather than through the text seam
// so the imaging library stays free of other libraries.
std::wstring WidePath(const std::string& path) {
    if (path.empty()) return {};
    const int n = static_cast<int>(path.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.data(), n, nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), n, wide.data(), size);
    return wide;
}

std::string Utf8Path(const wchar_t* wide, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string path(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, path.data(), size, nullptr, nullptr);
    return path;
}

}  // namespace

FilePtr OpenFileForReading(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return nullptr;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    return FilePtr(_wfsopen(wide.c_str(), L"rb", _SH_DENYWR));
}

FilePtr OpenFileForWriting(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return nullptr;
    return FilePtr(_wfopen(wide.c_str(), L"wb"));
}

int64_t OpenFileSize(std::FILE* file) {
    if (!file) return -1;
    const __int64 here = _ftelli64(file);
    if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
    const __int64 size = _ftelli64(file);
    _fseeki64(file, here, SEEK_SET);
    return size;
}

int64_t GetFileSizeByPath(const std::string& path) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return -1;
    // Read access, no sharing, existing file only.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER size;
    const BOOL ok = GetFileSizeEx(file, &size);
    CloseHandle(file);
    return ok ? static_cast<int64_t>(size.QuadPart) : -1;
}

bool DeleteFileByPath(const std::string& path) {
    const std::wstring wide = WidePath(path);
    return !wide.empty() && DeleteFileW(wide.c_str()) != 0;
}

std::string TemporaryFolderPath() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return {};
    return Utf8Path(buffer, static_cast<int>(n));
}

bool CreateNewFolder(const std::string& path) {
    const std::wstring wide = WidePath(path);
    return !wide.empty() && CreateDirectoryW(wide.c_str(), nullptr) != 0;
}

bool RemoveEmptyFolder(const std::string& path) {
    const std::wstring wide = WidePath(path);
    return !wide.empty() && RemoveDirectoryW(wide.c_str()) != 0;
}

}  // namespace krv
