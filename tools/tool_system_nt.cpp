// The tool's system calls on Windows: files by their wide paths, winsock for network printers.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <new>

#include "channel/ansi_text.h"
#include "tools/tool_system.h"

namespace krv::tool::sys {

namespace {

std::wstring Wide(const std::string& path) {
    const std::u16string w = Utf8ToUtf16(path);
    return std::wstring(w.begin(), w.end());
}

std::string ErrorText(DWORD error) {
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

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return h != INVALID_HANDLE_VALUE; }
    HANDLE Release() {
        const HANDLE released = h;
        h = INVALID_HANDLE_VALUE;
        return released;
    }
};

bool WriteAll(HANDLE h, const uint8_t* data, size_t size, std::string* error) {
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(h, data, chunk, &written, nullptr) || written == 0) {
            *error = ErrorText(GetLastError());
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// A new file beside the target, moved over it once complete.
class ReplacingFileSink : public Sink {
  public:
    ReplacingFileSink(HANDLE h, std::wstring temporary, std::wstring target)
        : h_(h), temporary_(std::move(temporary)), target_(std::move(target)) {}
    ~ReplacingFileSink() override {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        if (!finished_) DeleteFileW(temporary_.c_str());
    }
    bool Write(const uint8_t* data, size_t size, std::string* error) override {
        return WriteAll(h_, data, size, error);
    }
    bool Finish(std::string* error) override {
        const BOOL closed = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        if (!closed || !MoveFileExW(temporary_.c_str(), target_.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            *error = ErrorText(GetLastError());
            return false;
        }
        finished_ = true;
        return true;
    }

  private:
    HANDLE h_;
    std::wstring temporary_, target_;
    bool finished_ = false;
};

// A device, a pipe or standard output: written as it goes.
class StreamSink : public Sink {
  public:
    StreamSink(HANDLE h, bool owned) : h_(h), owned_(owned) {}
    ~StreamSink() override {
        if (owned_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    bool Write(const uint8_t* data, size_t size, std::string* error) override {
        return WriteAll(h_, data, size, error);
    }
    bool Finish(std::string* error) override {
        if (!owned_) return true;
        const BOOL closed = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        if (!closed) *error = ErrorText(GetLastError());
        return closed;
    }

  private:
    HANDLE h_;
    bool owned_;
};

class SocketSink : public Sink {
  public:
    SocketSink(SOCKET s, int timeoutMs) : s_(s), timeoutMs_(timeoutMs) {}
    ~SocketSink() override {
        if (s_ != INVALID_SOCKET) closesocket(s_);
    }
    bool Write(const uint8_t* data, size_t size, std::string* error) override {
        while (size > 0) {
            const int chunk = size > (1u << 30) ? (1 << 30) : static_cast<int>(size);
            const int n = send(s_, reinterpret_cast<const char*>(data), chunk, 0);
            if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
                if (!WaitWritable(error)) return false;
                continue;
            }
            if (n <= 0) {
                *error = ErrorText(WSAGetLastError());
                return false;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    bool Finish(std::string* error) override {
        shutdown(s_, SD_SEND);
        const int closed = closesocket(s_);
        s_ = INVALID_SOCKET;
        if (closed != 0) *error = ErrorText(WSAGetLastError());
        return closed == 0;
    }

  private:
    bool WaitWritable(std::string* error) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(s_, &writable);
        timeval t{timeoutMs_ / 1000, (timeoutMs_ % 1000) * 1000};
        const int n = select(0, nullptr, &writable, nullptr, &t);
        if (n > 0) return true;
        *error = n == 0 ? "the printer took no data for " + std::to_string(timeoutMs_ / 1000) +
                              " s (timed out)"
                        : ErrorText(WSAGetLastError());
        return false;
    }
    SOCKET s_;
    int timeoutMs_;
};

// Connects to one address within the timeout; the socket (non-blocking) or INVALID_SOCKET.
SOCKET Connect(const addrinfo* a, int timeoutMs, std::string* error) {
    SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == INVALID_SOCKET) {
        *error = ErrorText(WSAGetLastError());
        return s;
    }
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0) return s;
    if (WSAGetLastError() == WSAEWOULDBLOCK) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval t{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        const int n = select(0, nullptr, &writable, &failed, &t);
        int soError = 0;
        int length = sizeof soError;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length);
        if (n > 0 && FD_ISSET(s, &writable) && soError == 0) return s;
        *error = n == 0 ? "no answer within " + std::to_string(timeoutMs / 1000) + " s (timed out)"
                        : ErrorText(soError ? soError : WSAGetLastError());
    } else {
        *error = ErrorText(WSAGetLastError());
    }
    closesocket(s);
    return INVALID_SOCKET;
}

// Opens an existing path for the check of what it is; INVALID_HANDLE_VALUE when it cannot.
HANDLE OpenExisting(const std::wstring& path, DWORD access) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// Refuses a folder, a device or a pipe at `path`; `*exists` says whether anything is there.
bool CheckNoFolderOrDevice(const std::string& path, bool* exists, std::string* error) {
    const std::wstring wide = Wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    *exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!*exists) {
        *error = ErrorText(GetLastError());
        return true;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        *error = "is a folder, not a file";
        return false;
    }
    Handle h(OpenExisting(wide, GENERIC_READ));
    if (h.ok() && GetFileType(h.h) != FILE_TYPE_DISK) {
        *error = "is a device or a pipe, not a regular file";
        return false;
    }
    return true;
}

}  // namespace

void PrepareProcess() {
    // Jobs written to standard output are bytes; no line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
}

std::string LastError() {
    return ErrorText(GetLastError());
}

bool CheckRegularFile(const std::string& path, std::string* error) {
    bool exists = false;
    return CheckNoFolderOrDevice(path, &exists, error) && exists;
}

bool CheckFileTarget(const std::string& path, std::string* error) {
    bool exists = false;
    // An absent target is fine: the core's own open tells why when it cannot be created.
    return CheckNoFolderOrDevice(path, &exists, error);
}

bool ReadRegularFile(const std::string& path, uint64_t limit, Bytes* out, std::string* error) {
    if (!CheckRegularFile(path, error)) return false;
    Handle h(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.ok()) {
        *error = ErrorText(GetLastError());
        return false;
    }
    out->clear();
    try {
        while (out->size() < limit) {
            const size_t at = out->size();
            const DWORD want = static_cast<DWORD>(std::min<uint64_t>(limit - at, 1 << 16));
            out->resize(at + want);
            DWORD got = 0;
            const BOOL read = ReadFile(h.h, out->data() + at, want, &got, nullptr);
            out->resize(at + got);
            if (!read) {
                *error = ErrorText(GetLastError());
                out->clear();
                return false;
            }
            if (got == 0) break;
        }
    } catch (const std::bad_alloc&) {
        *error = "not enough memory to read it";
        out->clear();
        return false;
    }
    return true;
}

std::unique_ptr<Sink> OpenFileSink(const std::string& path, std::string* error) {
    const std::wstring wide = Wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *error = "is a folder";
        return nullptr;
    }
    // A device (LPT1, COM1, a printer's port) or a pipe is written directly.
    Handle existing(OpenExisting(wide, GENERIC_WRITE));
    if (existing.ok() && GetFileType(existing.h) != FILE_TYPE_DISK)
        return std::make_unique<StreamSink>(existing.Release(), true);
    const size_t slash = wide.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : wide.substr(0, slash + 1);
    wchar_t temporary[MAX_PATH + 1];
    if (!GetTempFileNameW(folder.c_str(), L"krv", 0, temporary)) {
        *error = "cannot create a file in " +
                 Utf16ToUtf8(std::u16string(folder.begin(), folder.end())) + ": " +
                 ErrorText(GetLastError());
        return nullptr;
    }
    HANDLE h = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = ErrorText(GetLastError());
        DeleteFileW(temporary);
        return nullptr;
    }
    return std::make_unique<ReplacingFileSink>(h, temporary, wide);
}

std::unique_ptr<Sink> OpenStandardOutput(std::string* error) {
    const HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
    if (h == INVALID_HANDLE_VALUE || h == nullptr) {
        *error = "no standard output";
        return nullptr;
    }
    return std::make_unique<StreamSink>(h, false);
}

std::unique_ptr<Sink> OpenSocketSink(const std::string& host, const std::string& port,
                                     int timeoutMs, std::string* error) {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) {
        *error = "the network is not available";
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int r = getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (r != 0) {
        *error = ErrorText(static_cast<DWORD>(r));
        return nullptr;
    }
    SOCKET s = INVALID_SOCKET;
    for (const addrinfo* a = found; a && s == INVALID_SOCKET; a = a->ai_next)
        s = Connect(a, timeoutMs, error);
    freeaddrinfo(found);
    if (s == INVALID_SOCKET) return nullptr;
    return std::make_unique<SocketSink>(s, timeoutMs);
}

}  // namespace krv::tool::sys
