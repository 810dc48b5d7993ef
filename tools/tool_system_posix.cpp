// The tool's system calls on POSIX systems. Paths are the bytes the user gave.
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <new>

#include "tools/tool_system.h"

namespace krv::tool::sys {

namespace {

std::string ErrorText(int error) {
    return std::strerror(error);
}

// What a path that is not a regular file is, in words.
std::string NotAFile(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISFIFO(mode)) return "is a pipe, not a regular file";
    if (S_ISCHR(mode)) return "is a character device, not a regular file";
    if (S_ISBLK(mode)) return "is a block device, not a regular file";
    if (S_ISSOCK(mode)) return "is a socket, not a regular file";
    return "is not a regular file";
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

// A new file beside the target, renamed over it once complete.
class ReplacingFileSink : public Sink {
  public:
    ReplacingFileSink(int fd, std::string temporary, std::string target, mode_t mode)
        : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)), mode_(mode) {}
    ~ReplacingFileSink() override {
        if (fd_ >= 0) close(fd_);
        if (!finished_) unlink(temporary_.c_str());
    }
    bool Write(const uint8_t* data, size_t size, std::string* error) override {
        return WriteAll(fd_, data, size, error);
    }
    bool Finish(std::string* error) override {
        fchmod(fd_, mode_);
        if (!Close(&fd_, error)) return false;
        if (rename(temporary_.c_str(), target_.c_str()) != 0) {
            *error = ErrorText(errno);
            return false;
        }
        finished_ = true;
        return true;
    }

  private:
    int fd_;
    std::string temporary_, target_;
    mode_t mode_;
    bool finished_ = false;
};

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

std::unique_ptr<Sink> OpenReplacing(const std::string& path, const struct stat* existing,
                                    std::string* error) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string temporary = folder + (slash == std::string::npos ? "/" : "") + ".krv857-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *error = "cannot create a file in " + folder + ": " + ErrorText(errno);
        return nullptr;
    }
    // A new file gets the permissions any new file gets; a replaced one keeps its own.
    mode_t mode = existing ? existing->st_mode & 07777 : 0;
    if (!existing) {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    return std::make_unique<ReplacingFileSink>(fd, std::move(temporary), path, mode);
}

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

std::string LastError() {
    return ErrorText(errno);
}

bool CheckRegularFile(const std::string& path, std::string* error) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        *error = ErrorText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = NotAFile(st.st_mode);
        return false;
    }
    return true;
}

bool CheckFileTarget(const std::string& path, std::string* error) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return true;
        *error = ErrorText(errno);
        return false;
    }
    if (S_ISREG(st.st_mode)) return true;
    *error = NotAFile(st.st_mode);
    return false;
}

bool ReadRegularFile(const std::string& path, uint64_t limit, Bytes* out, std::string* error) {
    if (!CheckRegularFile(path, error)) return false;
    // Non-blocking: should the path have become a pipe since, opening it does not wait.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = fd < 0 ? ErrorText(errno) : NotAFile(st.st_mode);
        if (fd >= 0) close(fd);
        return false;
    }
    out->clear();
    bool ok = true;
    try {
        out->reserve(static_cast<size_t>(std::min<uint64_t>(limit, st.st_size)));
        while (out->size() < limit) {
            const size_t at = out->size();
            const size_t want = static_cast<size_t>(std::min<uint64_t>(limit - at, 1 << 16));
            out->resize(at + want);
            const ssize_t n = read(fd, out->data() + at, want);
            out->resize(at + (n > 0 ? static_cast<size_t>(n) : 0));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                *error = ErrorText(errno);
                ok = false;
            }
            if (n <= 0) break;
        }
    } catch (const std::bad_alloc&) {
        *error = "not enough memory to read it";
        ok = false;
    }
    close(fd);
    if (!ok) out->clear();
    return ok;
}

std::unique_ptr<Sink> OpenFileSink(const std::string& path, std::string* error) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            *error = ErrorText(errno);
            return nullptr;
        }
        return OpenReplacing(path, nullptr, error);
    }
    if (S_ISREG(st.st_mode)) {
        // A link to a file is followed: the file it names is replaced, the link stays.
        char* real = realpath(path.c_str(), nullptr);
        const std::string target = real ? real : path;
        std::free(real);
        return OpenReplacing(target, &st, error);
    }
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) {
        const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            *error = ErrorText(errno);
            return nullptr;
        }
        return std::make_unique<StreamSink>(fd, true);
    }
    *error = S_ISDIR(st.st_mode) ? std::string("is a folder") : NotAFile(st.st_mode);
    return nullptr;
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
