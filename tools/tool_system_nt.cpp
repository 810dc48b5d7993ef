// The tool's devices, pipes, standard output and network printers on Windows: devices by their
// wide paths, winsock for network printers.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <new>

#include "channel/ansi_text.h"
#include "files/files.h"
#include "tools/tool_system.h"

namespace krv::tool::sys {

namespace {

std::wstring Wide(const std::string& path) {
    const std::u16string w = Utf8ToUtf16(path);
    return std::wstring(w.begin(), w.end());
}

std::string ErrorText(DWORD error) {
    return SystemErrorText(static_cast<int>(error));
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

}  // namespace

void PrepareProcess() {
    // Jobs written to standard output are bytes; no line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
}

std::unique_ptr<Sink> OpenDeviceSink(const std::string& path, std::string* error) {
    Handle h(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr));
    if (!h.ok()) {
        *error = ErrorText(GetLastError());
        return nullptr;
    }
    return std::make_unique<StreamSink>(h.Release(), true);
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
