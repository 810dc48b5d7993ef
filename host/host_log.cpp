#include "host/host_log.h"

#include <cwchar>

#include "host/host_files.h"

namespace krv::host {

namespace {

void WriteAll(HANDLE handle, const std::string& text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD n = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
}

}  // namespace

bool HostLog::Open(const std::wstring& path) {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return file_ != INVALID_HANDLE_VALUE;
}

HostLog::~HostLog() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

void HostLog::Line(const std::wstring& text) {
    Line(Utf8(text));
}

void HostLog::Line(const std::string& utf8) {
    const std::string line = utf8 + "\n";
    WriteAll(file_, line);
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), "krv857host: " + line);
}

HostLog& Log() {
    static HostLog log;
    return log;
}

std::wstring Hex(unsigned long long value) {
    wchar_t text[24];
    std::swprintf(text, 24, L"0x%llX", value);
    return text;
}

}  // namespace krv::host
