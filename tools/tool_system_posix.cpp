// The tool's devices, pipes, standard output and network printers on POSIX systems. Paths are
// the bytes the user gave.
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "files/files.h"
#include "tools/tool_system.h"

namespace krv::tool::sys {

namespace {

std::string ErrorText(int error) {
    return SystemErrorText(error);
}

// Closes `*fd` (leaving -1 there); false with the reason when the close reports an error, as a
// delayed write error can be.
bool Close(int* fd, std::string* error) {
    const int closing = *fd;
    *fd = -1;
    if (close(closing) == 0) return true;
    *error = ErrorText(errno);
    return false;
}

bool WriteAll(int fd, const uint8_t* data, size_t size, std::string* error) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = ErrorText(n < 0 ? errno : EIO);
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A device, a pipe or standard output: written as it goes.
class StreamSink : public Sink {
  public:
    StreamSink(int fd, bool owned) : fd_(fd), owned_(owned) {}
    ~StreamSink() override {
        if (owned_ && fd_ >= 0) close(fd_);
    }
    bool Write(const uint8_t* data, size_t size, std::string* error) override {
        return WriteAll(fd_, data, size, error);
    }
    bool Finish(std::string* error) override { return !owned_ || Close(&fd_, error); }

  private:
    int fd_;
    bool owned_;
};

class SocketSink : public Sink {
  public:
    SocketSink(int fd, int timeoutMs) : fd_(fd), timeoutMs_(timeoutMs) {}
    ~SocketSink() override {
        if (fd_ >= 0) close(fd_);
    }
    bool Write(const uint8_t* data, size_t size, std::string* error) override {
        while (size > 0) {
            const ssize_t n = send(fd_, data, size, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!Wait(POLLOUT, error)) return false;
                continue;
            }
            if (n <= 0) {
                *error = ErrorText(n < 0 ? errno : EIO);
                return false;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }
    bool Finish(std::string* error) override {
        // The end of the job: the printer sees the connection's end after the last byte.
        shutdown(fd_, SHUT_WR);
        return Close(&fd_, error);
    }

  private:
    bool Wait(short events, std::string* error) {
        pollfd p{fd_, events, 0};
        const int n = poll(&p, 1, timeoutMs_);
        if (n > 0) return true;
        *error = n == 0 ? "the printer took no data for " + std::to_string(timeoutMs_ / 1000) +
                              " s (timed out)"
                        : ErrorText(errno);
        return false;
    }
    int fd_;
    int timeoutMs_;
};

// Connects to one address within the timeout; the socket (non-blocking) or -1 with the reason.
int Connect(const addrinfo* a, int timeoutMs, std::string* error) {
    const int fd =
        socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
        *error = ErrorText(errno);
        return -1;
    }
    int result = connect(fd, a->ai_addr, a->ai_addrlen);
    if (result != 0 && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        const int ready = poll(&p, 1, timeoutMs);
        int soError = 0;
        socklen_t length = sizeof soError;
        if (ready == 0) {
            *error = "no answer within " + std::to_string(timeoutMs / 1000) + " s (timed out)";
        } else if (ready < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length) != 0) {
            *error = ErrorText(errno);
        } else if (soError != 0) {
            *error = ErrorText(soError);
        } else {
            result = 0;
        }
    } else if (result != 0) {
        *error = ErrorText(errno);
    }
    if (result == 0) return fd;
    close(fd);
    return -1;
}

}  // namespace

void PrepareProcess() {
    std::signal(SIGPIPE, SIG_IGN);
}

std::unique_ptr<Sink> OpenDeviceSink(const std::string& path, std::string* error) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = ErrorText(errno);
        return nullptr;
    }
    return std::make_unique<StreamSink>(fd, true);
}

std::unique_ptr<Sink> OpenStandardOutput(std::string*) {
    return std::make_unique<StreamSink>(STDOUT_FILENO, false);
}

std::unique_ptr<Sink> OpenSocketSink(const std::string& host, const std::string& port,
                                     int timeoutMs, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int r = getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (r != 0) {
        *error = gai_strerror(r);
        return nullptr;
    }
    int fd = -1;
    for (const addrinfo* a = found; a && fd < 0; a = a->ai_next)
        fd = Connect(a, timeoutMs, error);
    freeaddrinfo(found);
    if (fd < 0) return nullptr;
    return std::make_unique<SocketSink>(fd, timeoutMs);
}

}  // namespace krv::tool::sys
