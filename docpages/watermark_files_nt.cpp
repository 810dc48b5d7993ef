// The files seam on Windows: kernel32, paths as UTF-16.
#include <windows.h>

#include <utility>

#include "docpages/watermark_files.h"

namespace krv::watermark_files {

namespace {

std::wstring WidePath(std::u16string_view path) {
    return std::wstring(path.begin(), path.end());
}

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

intptr_t FromHandle(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<intptr_t>(handle);
}

}  // namespace

ExclusiveFile ExclusiveFile::OpenForReading(std::u16string_view path) {
    if (path.empty()) return {};
    return ExclusiveFile(FromHandle(CreateFileW(WidePath(path).c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

ExclusiveFile ExclusiveFile::CreateReplacing(std::u16string_view path) {
    if (path.empty()) return {};
    return ExclusiveFile(FromHandle(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

ExclusiveFile ExclusiveFile::CreateNew(std::u16string_view path) {
    if (path.empty()) return {};
    return ExclusiveFile(FromHandle(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

size_t ExclusiveFile::Read(void* data, size_t size) {
    if (!IsOpen()) return 0;
    auto* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        const DWORD ask = size - done > 0x40000000u ? 0x40000000u : DWORD(size - done);
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle_), p + done, ask, &got, nullptr) || got == 0) break;
        done += got;
    }
    return done;
}

bool ExclusiveFile::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    const auto* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const DWORD ask = size - done > 0x40000000u ? 0x40000000u : DWORD(size - done);
        DWORD put = 0;
        if (!WriteFile(AsHandle(handle_), p + done, ask, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

bool ExclusiveFile::SeekTo(uint64_t offset) {
    if (!IsOpen() || offset > uint64_t(INT64_MAX)) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN) != 0;
}

uint64_t ExclusiveFile::Size() {
    LARGE_INTEGER size;
    if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size) || size.QuadPart < 0) return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

void ExclusiveFile::Close() {
    if (!IsOpen()) return;
    CloseHandle(AsHandle(std::exchange(handle_, kNoHandle)));
}

bool MoveReplacing(std::u16string_view from, std::u16string_view to) {
    return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING) !=
           0;
}

bool DeleteFileAt(std::u16string_view path) {
    return DeleteFileW(WidePath(path).c_str()) != 0;
}

bool CreateFolder(std::u16string_view path) {
    const std::wstring wide = WidePath(path);
    if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace krv::watermark_files
