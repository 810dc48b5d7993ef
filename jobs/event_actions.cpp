#include "jobs/event_actions.h"

#include <algorithm>
#include <array>

namespace krv {

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kFs = 0x1C;
constexpr uint8_t kGs = 0x1D;

constexpr uint32_t kMaxFeedMm = 100;
constexpr uint8_t kDrawerOffTime = 50;  // x 2 ms

// Pulse on time of the list's 10, 20, 40 and 60 ms, in units of 2 ms.
constexpr std::array<uint8_t, 4> kDrawerOnTimes = {5, 10, 20, 30};
// Beep lengths of the buzzer list's sounds 1..5, in units of 100 ms.
constexpr std::array<uint8_t, 5> kBuzzerLengths = {2, 6, 10, 20, 40};

void AppendPulse(Bytes& out, uint8_t pin, uint8_t onTime) {
    out.insert(out.end(), {kEsc, 0x70, pin, onTime, kDrawerOffTime});
}

}  // namespace

uint32_t MillimetresToDots(uint32_t millimetres) {
    return static_cast<uint32_t>((uint64_t{millimetres} * kPrinterDotsPerInch * 10 + 127) / 254);
}

void AppendFeedDots(Bytes& out, uint32_t dots) {
    while (dots > 0) {
        const auto n = static_cast<uint8_t>(std::min<uint32_t>(dots, 255));
        out.insert(out.end(), {kEsc, 0x4A, n});
        dots -= n;
    }
}

void AppendCashDrawerPulse(Bytes& out, uint8_t item) {
    if (item == 0 || item > 12) return;
    const uint8_t onTime = kDrawerOnTimes[(item - 1) % 4];
    const int drawers = (item - 1) / 4;  // 0: #1, 1: #2, 2: both
    if (drawers != 1) AppendPulse(out, 0, onTime);
    if (drawers != 0) AppendPulse(out, 1, onTime);
}

void AppendPrompterPulse(Bytes& out) {
    AppendPulse(out, 0, 50);
}

void AppendBuzzer(Bytes& out, uint8_t sound) {
    if (sound == 0 || sound > kBuzzerLengths.size()) return;
    out.insert(out.end(),
               {kEsc, 0x28, 0x41, 0x04, 0x00, 0x30, 0x01, 0x01, kBuzzerLengths[sound - 1]});
}

void AppendCut(Bytes& out, uint8_t cutter, bool feedToCutPosition) {
    if (cutter != 1 && cutter != 2) return;
    const bool partial = cutter == 1;
    if (feedToCutPosition)
        out.insert(out.end(), {kGs, 0x56, static_cast<uint8_t>(partial ? 0x42 : 0x41), 0x00});
    else
        out.insert(out.end(), {kGs, 0x56, static_cast<uint8_t>(partial ? 0x01 : 0x00)});
}

void AppendStoredLogo(Bytes& out, uint8_t logo, uint8_t alignment) {
    if (logo == 0 || logo > 9) return;
    const uint8_t a = alignment <= 2 ? alignment : 0;
    out.insert(out.end(), {kEsc, 0x61, a, kFs, 0x70, logo, 0x00, kEsc, 0x61, 0x00});
}

Bytes BuildEventActions(const EventActionSettings& s) {
    Bytes out;
    if (s.sendCommand) {
        const size_t n = std::min<size_t>(s.commandLength, sizeof s.commandBytes);
        out.insert(out.end(), s.commandBytes, s.commandBytes + n);
    }
    const bool logoAfterCut = s.logoPosition != 0;
    if (!logoAfterCut) AppendStoredLogo(out, s.logo, s.logoAlignment);
    AppendFeedDots(out, MillimetresToDots(std::min<uint32_t>(s.feedDistanceMm, kMaxFeedMm)));
    AppendCut(out, s.cutter, s.feedToCutPosition != 0);
    if (logoAfterCut) AppendStoredLogo(out, s.logo, s.logoAlignment);
    if (s.drawerOrPrompter == 0)
        AppendCashDrawerPulse(out, s.cashDrawer);
    else if (s.prompter == 0)
        AppendPrompterPulse(out);
    AppendBuzzer(out, s.buzzer);
    return out;
}

}  // namespace krv
