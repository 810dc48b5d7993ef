#include "jobs/event_actions.h"

#include <algorithm>
#include <array>

#include "jobs/receipt_commands.h"

namespace krv {

namespace {

constexpr uint32_t kMaxFeedMm = 100;
constexpr int kPrompterPulseMs = 100;

// The cash-drawer list's pulse lengths, and its beep lengths in units of 100 ms.
constexpr std::array<int, 4> kDrawerPulseMs = {10, 20, 40, 60};
constexpr std::array<uint8_t, 5> kBuzzerLengths = {2, 6, 10, 20, 40};

void Append(Bytes& out, const Bytes& command) {
    out.insert(out.end(), command.begin(), command.end());
}

}  // namespace

uint32_t MillimetresToDots(uint32_t millimetres) {
    return static_cast<uint32_t>((uint64_t{millimetres} * kPrinterDotsPerInch * 10 + 127) / 254);
}

void AppendCashDrawerItem(Bytes& out, uint8_t item) {
    if (item == 0 || item > 12) return;
    const int ms = kDrawerPulseMs[(item - 1) % 4];
    const int drawers = (item - 1) / 4;  // 0: #1, 1: #2, 2: both
    if (drawers != 1) Append(out, CashDrawerPulse(1, ms));
    if (drawers != 0) Append(out, CashDrawerPulse(2, ms));
}

void AppendPrompterPulse(Bytes& out) {
    Append(out, CashDrawerPulse(1, kPrompterPulseMs));
}

void AppendBuzzer(Bytes& out, uint8_t sound) {
    if (sound == 0 || sound > kBuzzerLengths.size()) return;
    out.insert(out.end(),
               {0x1B, 0x28, 0x41, 0x04, 0x00, 0x30, 0x01, 0x01, kBuzzerLengths[sound - 1]});
}

void AppendStoredLogo(Bytes& out, uint8_t logo, uint8_t alignment) {
    if (logo == 0 || logo > 9) return;
    const uint8_t a = alignment <= 2 ? alignment : 0;
    out.insert(out.end(), {0x1B, 0x61, a, 0x1C, 0x70, logo, 0x00, 0x1B, 0x61, 0x00});
}

Bytes BuildEventActions(const EventActionSettings& s) {
    Bytes out;
    if (s.sendCommand) {
        const size_t n = std::min<size_t>(s.commandLength, sizeof s.commandBytes);
        out.insert(out.end(), s.commandBytes, s.commandBytes + n);
    }
    const bool logoAfterCut = s.logoPosition != 0;
    if (!logoAfterCut) AppendStoredLogo(out, s.logo, s.logoAlignment);
    AppendPaperFeed(MillimetresToDots(std::min<uint32_t>(s.feedDistanceMm, kMaxFeedMm)), &out);
    if (s.cutter == 1 || s.cutter == 2)
        Append(out, CutCommand(s.cutter == 1 ? CutMode::Partial : CutMode::Full,
                               s.feedToCutPosition ? CutFeed::ToCuttingPosition : CutFeed::None));
    if (logoAfterCut) AppendStoredLogo(out, s.logo, s.logoAlignment);
    if (s.drawerOrPrompter == 0)
        AppendCashDrawerItem(out, s.cashDrawer);
    else if (s.prompter == 0)
        AppendPrompterPulse(out);
    AppendBuzzer(out, s.buzzer);
    return out;
}

}  // namespace krv
