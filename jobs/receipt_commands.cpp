#include "jobs/receipt_commands.h"

#include <algorithm>

namespace krv {

std::optional<CutMode> CutModeFromName(const std::string& name) {
    if (name == "none") return CutMode::None;
    if (name == "partial") return CutMode::Partial;
    if (name == "full") return CutMode::Full;
    return std::nullopt;
}

Bytes CutCommand(CutMode mode, CutFeed feed) {
    const bool fed = feed == CutFeed::ToCuttingPosition;
    switch (mode) {
        case CutMode::Partial:
            return fed ? Bytes{0x1D, 0x56, 0x42, 0x00} : Bytes{0x1D, 0x56, 0x01};
        case CutMode::Full:
            return fed ? Bytes{0x1D, 0x56, 0x41, 0x00} : Bytes{0x1D, 0x56, 0x00};
        default:
            return {};
    }
}

void AppendPaperFeed(uint32_t dots, Bytes* out) {
    while (dots > 0) {
        const uint32_t n = std::min<uint32_t>(dots, 255);
        out->insert(out->end(), {0x1B, 0x4A, static_cast<uint8_t>(n)});
        dots -= n;
    }
}

Bytes CashDrawerPulse(int drawer, int onMs) {
    const int on = std::clamp(onMs / 2, 1, 255);
    const int off = std::max(on, 50);
    return {0x1B, 0x70, static_cast<uint8_t>(drawer == 2 ? 1 : 0), static_cast<uint8_t>(on),
            static_cast<uint8_t>(off)};
}

}  // namespace krv
