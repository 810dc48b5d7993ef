#include "printerapp/status_link.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace krv::app {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on `fd`; false on a timeout or an error.
bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    int n;
    while ((n = poll(&p, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    return n > 0 && (p.revents & events);
}

// A non-blocking connection to one address, made within `timeoutMs`; -1 when none was made.
int ConnectTo(const addrinfo& a, int timeoutMs) {
    const int fd = socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
    if (fd < 0) return -1;
    if (connect(fd, a.ai_addr, a.ai_addrlen) == 0) return fd;
    int error = errno;
    if (error == EINPROGRESS && WaitFor(fd, POLLOUT, timeoutMs)) {
        socklen_t size = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) return fd;
    }
    close(fd);
    return -1;
}

// Seconds with fractions, as milliseconds within [lowerMs, upperMs].
std::optional<int> Seconds(const std::string& text, int lowerMs, int upperMs) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !std::isfinite(seconds)) return std::nullopt;
    const double ms = std::round(seconds * 1000);
    if (ms < lowerMs || ms > upperMs) return std::nullopt;
    return static_cast<int>(ms);
}

}  // namespace

SocketStatusLink::~SocketStatusLink() {
    if (fd_ >= 0) close(fd_);
}

bool SocketStatusLink::Connect(const std::string& host, int port, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0) return false;
    for (const addrinfo* a = list; a && fd_ < 0 && MsLeft(deadline) > 0; a = a->ai_next)
        fd_ = ConnectTo(*a, MsLeft(deadline));
    freeaddrinfo(list);
    return fd_ >= 0;
}

bool SocketStatusLink::Send(const uint8_t* data, size_t size) {
    while (fd_ >= 0 && size > 0) {
        const ssize_t n = send(fd_, data, size, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitFor(fd_, POLLOUT, 1000)) return false;
        } else {
            return false;
        }
    }
    return fd_ >= 0;
}

long SocketStatusLink::Receive(uint8_t* into, size_t capacity, int timeoutMs) {
    if (fd_ < 0) return -1;
    if (!WaitFor(fd_, POLLIN, timeoutMs)) return 0;
    const ssize_t n = recv(fd_, into, capacity, 0);
    if (n > 0) return static_cast<long>(n);
    return n < 0 && (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

std::optional<StatusSettings> ReadStatusSettings(const ServerOptionLookup& option,
                                                 std::string* error) {
    StatusSettings s;
    if (const auto v = option("status-interval")) {
        const auto ms = Seconds(*v, 50, 3600 * 1000);
        if (!ms) {
            *error = "status-interval takes seconds from 0.05 to 3600, not \"" + *v + "\"";
            return std::nullopt;
        }
        s.intervalMs = *ms;
    }
    if (const auto v = option("status-timeout")) {
        const auto ms = Seconds(*v, 50, 30 * 1000);
        if (!ms) {
            *error = "status-timeout takes seconds from 0.05 to 30, not \"" + *v + "\"";
            return std::nullopt;
        }
        s.timeoutMs = *ms;
    }
    if (const auto v = option("drawer-open-level")) {
        if (*v != "high" && *v != "low") {
            *error = "drawer-open-level takes high or low, not \"" + *v + "\"";
            return std::nullopt;
        }
        s.drawerOpen = *v == "high" ? DrawerOpenLevel::High : DrawerOpenLevel::Low;
    }
    return s;
}

}  // namespace krv::app
