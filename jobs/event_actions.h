// The commands a receipt job sends at its four moments (start and end of the document and of
// each page): one moment's EventActionSettings, as the private record stores them, turned
// into the printer's own commands. The paper feed, cut and cash drawer commands are those of
// receipt_commands.h; the printer application writes the moments around the pages it prints,
// and the README lists every command in a table.
//
// Order within a moment: the free command bytes first (they may set the printer up for what
// follows), a stored logo meant to come before the cut, the paper feed, the cut, a stored logo
// meant to come after it, then the cash drawer or prompter and the buzzer, so that the drawer
// opens and the buzzer sounds once the paper is out.
#pragma once

#include <cstdint>

#include "channel/raw_printer_channel.h"
#include "frame/oem_devmode.h"

namespace krv {

inline constexpr int kPrinterDotsPerInch = 180;

// Millimetres of paper at 180 dots per inch, rounded to the nearest dot.
uint32_t MillimetresToDots(uint32_t millimetres);

// Item 1..12 of the cash-drawer list: drawer #1, #2 or both pulsed for 10, 20, 40 or 60 ms.
// Nothing for 0 or an item past the list.
void AppendCashDrawerItem(Bytes& out, uint8_t item);
// The prompter wired to the drawer connector: one 100 ms pulse on drawer #1's pin.
void AppendPrompterPulse(Bytes& out);
// Sound 1..5 of the buzzer list (200 ms, 600 ms, 1 s, 2 s, 4 s) as one beep of that length
// (1B 28 41 04 00 30 01 01 t, t in 100 ms). Nothing for 0 or a sound past the list.
void AppendBuzzer(Bytes& out, uint8_t sound);
// Stored logo 1..9 printed with alignment 0 left, 1 centre, 2 right (other values: left):
// 1B 61 a, 1C 70 n 00, then 1B 61 00 so the alignment does not outlive the logo.
void AppendStoredLogo(Bytes& out, uint8_t logo, uint8_t alignment);

// Every action of one moment, in the order above. Values outside their lists act as the
// dialog reads them: a non-zero drawerOrPrompter chooses the prompter, which acts when
// `prompter` is 0 ("开启"); a non-zero logoPosition means after the cut; a feed above 100 mm
// is 100 mm; at most 128 command bytes are ever sent. A cut (1 partial, 2 full) is made where
// the paper stands, or after feeding to the cutting position when feedToCutPosition is set.
// The buzzer command has no volume: the record's buzzerVolume is not sent.
Bytes BuildEventActions(const EventActionSettings& settings);

}  // namespace krv
