#include "jobs/printer_status.h"

#include <chrono>

namespace krv {

namespace {

constexpr uint8_t kAnswerMask = 0x93;  // bits 0, 1, 4 and 7 are fixed in every answer
constexpr uint8_t kAnswerBits = 0x12;

bool Bit(uint8_t value, int bit) {
    return (value >> bit) & 1;
}

}  // namespace

bool StatusAnswers::Feed(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size && !complete(); ++i)
        if ((data[i] & kAnswerMask) == kAnswerBits) answers_[count_++] = data[i];
    return complete();
}

PrinterStatus StatusAnswers::status() const {
    const uint8_t printer = answers_[0], offline = answers_[1], error = answers_[2],
                  paper = answers_[3];
    PrinterStatus s;
    s.drawerSensorHigh = Bit(printer, 2);
    s.offline = Bit(printer, 3);
    s.coverOpen = Bit(offline, 2);
    s.feedButton = Bit(offline, 3);
    s.paperEnd = Bit(offline, 5) || Bit(paper, 5) || Bit(paper, 6);
    s.paperNearEnd = Bit(paper, 2) || Bit(paper, 3);
    s.cutterError = Bit(error, 3);
    s.otherError =
        Bit(error, 2) || Bit(error, 5) || Bit(error, 6) || (Bit(offline, 6) && !Bit(error, 3));
    return s;
}

StatusReport ReportStatus(const std::optional<PrinterStatus>& status, DrawerOpenLevel openLevel) {
    if (!status) return {kReasonOffline, DrawerState::Unknown};
    const PrinterStatus& s = *status;
    StatusReport r;
    if (s.paperEnd) r.reasons |= kReasonMediaEmpty;
    if (s.paperNearEnd && !s.paperEnd) r.reasons |= kReasonMediaLow;
    if (s.coverOpen) r.reasons |= kReasonCoverOpen;
    if (s.cutterError) r.reasons |= kReasonMediaJam;
    if (s.otherError) r.reasons |= kReasonOther;
    const unsigned explained =
        kReasonMediaEmpty | kReasonCoverOpen | kReasonMediaJam | kReasonOther;
    if (s.offline && !s.feedButton && !(r.reasons & explained)) r.reasons |= kReasonOffline;
    r.drawer = s.drawerSensorHigh == (openLevel == DrawerOpenLevel::High) ? DrawerState::Open
                                                                          : DrawerState::Closed;
    return r;
}

const char* DrawerKeyword(DrawerState state) {
    switch (state) {
        case DrawerState::Closed:
            return "closed";
        case DrawerState::Open:
            return "open";
        case DrawerState::Unknown:
            break;
    }
    return "unknown";
}

std::optional<PrinterStatus> QueryPrinterStatus(StatusLink& link, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!link.Send(kStatusRequests.data(), kStatusRequests.size())) return std::nullopt;
    StatusAnswers answers;
    uint8_t buffer[64];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return std::nullopt;
        const long n = link.Receive(buffer, sizeof buffer, static_cast<int>(left.count()));
        if (n < 0) return std::nullopt;
        if (answers.Feed(buffer, static_cast<size_t>(n))) return answers.status();
    }
}

}  // namespace krv
