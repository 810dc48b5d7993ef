// The printer's real-time status. Four requests of this printer's command family (10 04 n) ask
// for the printer status, the cause of being offline, the cause of an error and the paper roll
// sensor; the printer answers each at once with one byte, even while offline or printing. The
// answers become the reasons a printer reports (paper out, paper low, cover open, ...) and the
// level of the cash drawer's sensor. Portable: the faces own the connection to the printer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace krv {

// Printer status (n 1), offline cause (n 2), error cause (n 3), paper roll sensor (n 4).
inline constexpr std::array<uint8_t, 12> kStatusRequests = {0x10, 0x04, 0x01, 0x10, 0x04, 0x02,
                                                            0x10, 0x04, 0x03, 0x10, 0x04, 0x04};
inline constexpr size_t kStatusAnswerCount = 4;

// What the four answers say.
struct PrinterStatus {
    bool offline = false;     // the printer says it does not print now
    bool feedButton = false;  // ... because paper is being fed with its button
    bool coverOpen = false;
    bool paperEnd = false;  // no paper at the roll sensor, or printing stopped at its end
    bool paperNearEnd = false;
    bool cutterError = false;
    bool otherError = false;        // a mechanical, unrecoverable or self-recovering error
    bool drawerSensorHigh = false;  // pin 3 of the cash drawer connector
};

// Collects the answers from what the printer sends back, in the order they were asked. Bytes
// that cannot be an answer (each has bits 1 and 4 set and bits 0 and 7 clear) are passed over:
// the printer's automatic status blocks and other replies may share the connection.
class StatusAnswers {
  public:
    // True once all four answers are in; later bytes are not looked at.
    bool Feed(const uint8_t* data, size_t size);
    bool complete() const { return count_ == kStatusAnswerCount; }
    PrinterStatus status() const;  // meaningful once complete

  private:
    std::array<uint8_t, kStatusAnswerCount> answers_{};
    size_t count_ = 0;
};

// The reasons a printer reports, as bits. Offline alone also stands for a printer that did not
// answer in time.
enum StatusReason : unsigned {
    kReasonNone = 0,
    kReasonMediaEmpty = 1u << 0,
    kReasonMediaLow = 1u << 1,
    kReasonCoverOpen = 1u << 2,
    kReasonMediaJam = 1u << 3,  // the cutter is stuck
    kReasonOther = 1u << 4,
    kReasonOffline = 1u << 5,
};

enum class DrawerState { Unknown, Closed, Open };
// Which level of the drawer sensor means open: drawers are wired either way.
enum class DrawerOpenLevel { High, Low };

struct StatusReport {
    unsigned reasons = kReasonNone;
    DrawerState drawer = DrawerState::Unknown;
    bool operator==(const StatusReport&) const = default;
};

// What a reading says; no reading (the printer did not answer) is offline, drawer unknown.
// Offline is reported only when no other reason explains it and the paper is not being fed.
StatusReport ReportStatus(const std::optional<PrinterStatus>& status, DrawerOpenLevel openLevel);

// "unknown", "closed", "open".
const char* DrawerKeyword(DrawerState state);

// A two-way connection to the printer for one exchange.
class StatusLink {
  public:
    virtual ~StatusLink() = default;
    virtual bool Send(const uint8_t* data, size_t size) = 0;
    // What the printer sent, waiting at most `timeoutMs` for the first byte: the count read,
    // 0 when nothing came in time, -1 when the connection failed or closed.
    virtual long Receive(uint8_t* into, size_t capacity, int timeoutMs) = 0;
};

// Sends the requests and reads the answers within `timeoutMs` in all (a link that waits longer
// on its own may take longer). Empty when the printer did not answer them all in time.
std::optional<PrinterStatus> QueryPrinterStatus(StatusLink& link, int timeoutMs);

}  // namespace krv
