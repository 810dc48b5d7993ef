// Paper handling commands every receipt job may end with: feeding, cutting and the cash
// drawer pulse. Shared by the faces that print receipts (the tool's `print`, the printer
// application's pages and per-job actions).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "channel/raw_printer_channel.h"

namespace krv {

enum class CutMode { None, Partial, Full };
// "none", "partial", "full".
std::optional<CutMode> CutModeFromName(const std::string& name);

// Feed to the cutting position and cut: 1D 56 42 00 (partial, one point left uncut, as the
// barcode test prints end) or 1D 56 41 00 (full); nothing for None. CutFeed::None cuts where
// the paper stands instead: 1D 56 01 (partial) or 1D 56 00 (full).
enum class CutFeed { ToCuttingPosition, None };
Bytes CutCommand(CutMode mode, CutFeed feed = CutFeed::ToCuttingPosition);

// Feeds `dots` dot rows (1/180 inch each) without printing: 1B 4A n, repeated for more than
// 255. Nothing for 0.
void AppendPaperFeed(uint32_t dots, Bytes* out);

// A pulse on cash drawer 1 (pin 2) or 2 (pin 5): 1B 70 m t1 t2 with the pulse on for `onMs`
// and off for at least as long and at least 100 ms, in 2 ms units (on time 2..510 ms).
inline constexpr int kDefaultDrawerPulseMs = 60;
Bytes CashDrawerPulse(int drawer, int onMs = kDefaultDrawerPulseMs);

}  // namespace krv
