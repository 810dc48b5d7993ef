// The four top/bottom message lines of the duplex page as one RAW job: the printer prints
// lines 0 and 1 at the bottom of the front side and lines 2 and 3 at the top of the back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "channel/raw_printer_channel.h"

namespace krv {

inline constexpr char kTopBottomMessageDocument[] = "TopbottomMessage";
inline constexpr size_t kTopBottomLineCount = 4;
// The page reads each line into a 200-unit buffer: at most 199 characters reach the builder.
inline constexpr size_t kTopBottomLineMaxCharacters = 199;
// The printer takes 96 bytes of converted text per line (48 single-byte or 32 double-byte
// characters, each with its zero byte); the count is compared rounded down to even.
inline constexpr size_t kTopBottomLineMaxBytes = 96;
inline constexpr char16_t kTopBottomLineTooLongMessage[] = u"字符不得超过48个！";

using TopBottomLines = std::array<std::u16string_view, kTopBottomLineCount>;

// The bytes of one line after the 4-byte header: the line's ANSI bytes, then one 0x00 per
// UTF-16 unit of the line. The line ends at its first zero unit and after 199 units, as
// the page's buffer holds it.
Bytes TopBottomLineText(std::u16string_view line);

// "下载" is enabled exactly while at least one line holds text.
bool TopBottomDownloadEnabled(const TopBottomLines& lines);

struct TopBottomMessageBuild {
    enum class Status {
        Ready,          // `job` holds the lines to send
        NothingToSend,  // all four lines are empty: no job at all
        LineTooLong,    // `line` is too long: show kTopBottomLineTooLongMessage, send nothing
    };
    Status status = Status::NothingToSend;
    int line = -1;
    PrinterJob job;
};

// Every line is checked before anything is built, so one long line stops the whole
// download. Each non-empty line n gives three pieces: 1F 65 n 00, its text bytes, 00.
TopBottomMessageBuild BuildTopBottomMessageJob(const TopBottomLines& lines);

}  // namespace krv
