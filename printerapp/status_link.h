// How the application asks a socket printer for its status: over a connection of its own, with
// short timeouts; and the server's status settings. Portable POSIX: no PAPPL here.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "jobs/printer_status.h"

namespace krv::app {

// A TCP connection of its own to a socket printer, for one status exchange.
class SocketStatusLink : public StatusLink {
  public:
    SocketStatusLink() = default;
    ~SocketStatusLink() override;
    SocketStatusLink(const SocketStatusLink&) = delete;
    SocketStatusLink& operator=(const SocketStatusLink&) = delete;

    // False when no address of `host` accepts a connection on `port` within `timeoutMs`.
    bool Connect(const std::string& host, int port, int timeoutMs);
    bool Send(const uint8_t* data, size_t size) override;
    long Receive(uint8_t* into, size_t capacity, int timeoutMs) override;

  private:
    int fd_ = -1;
};

// How often an idle printer is asked, how long an answer may take, which drawer sensor level
// means open.
struct StatusSettings {
    int intervalMs = 10000;
    int timeoutMs = 1000;
    DrawerOpenLevel drawerOpen = DrawerOpenLevel::High;
};

// The server options "status-interval" and "status-timeout" (seconds, fractions allowed) and
// "drawer-open-level" ("high" or "low"); `option` gives an option's value or nothing. Empty,
// with `error` set, for a value the option does not take.
using ServerOptionLookup = std::function<std::optional<std::string>(const char* name)>;
std::optional<StatusSettings> ReadStatusSettings(const ServerOptionLookup& option,
                                                 std::string* error);

}  // namespace krv::app
