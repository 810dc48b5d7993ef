// The download source file on Windows: opened by its wide path for reading, shared with
// nobody (a file another program holds open cannot be sent half-written), existing only.
#include <windows.h>

#include <string>

#include "jobs/file_download.h"

namespace krv {

namespace {

class NtDownloadFile : public DownloadSourceFile {
  public:
    ~NtDownloadFile() override { Close(); }

    bool Open(std::u16string_view path) override {
        Close();
        const std::u16string name(path);  // terminated for the system call
        handle_ = CreateFileW(reinterpret_cast<const wchar_t*>(name.c_str()), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return handle_ != INVALID_HANDLE_VALUE;
    }

    bool Size(uint64_t* size) override {
        LARGE_INTEGER value{};
        if (handle_ == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle_, &value) ||
            value.QuadPart < 0)
            return false;
        *size = static_cast<uint64_t>(value.QuadPart);
        return true;
    }

    bool SeekToStart() override {
        LARGE_INTEGER zero{};
        return handle_ != INVALID_HANDLE_VALUE &&
               SetFilePointerEx(handle_, zero, nullptr, FILE_BEGIN);
    }

    bool Read(uint8_t* into, size_t length, size_t* got) override {
        *got = 0;
        if (handle_ == INVALID_HANDLE_VALUE) return false;
        // ReadFile takes a 32-bit count; larger files arrive in slices.
        while (*got < length) {
            const size_t left = length - *got;
            const DWORD ask = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
            DWORD n = 0;
            if (!ReadFile(handle_, into + *got, ask, &n, nullptr)) return false;
            if (n == 0) break;
            *got += n;
        }
        return true;
    }

    void Close() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<DownloadSourceFile> MakeSystemDownloadFile() {
    return std::make_unique<NtDownloadFile>();
}

}  // namespace krv
