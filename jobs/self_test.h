// The application page's "自检页" button: the printer's test-print command asking for the
// status print, sent as one RAW job named "SELFTEST".
#pragma once

#include <array>
#include <cstdint>

#include "channel/raw_printer_channel.h"

namespace krv {

inline constexpr char kSelfTestDocumentName[] = "SELFTEST";
inline constexpr std::array<uint8_t, 7> kSelfTestCommand = {0x1D, 0x28, 0x41, 0x02,
                                                            0x00, 0x00, 0x02};

PrinterJob BuildSelfTestJob();
// Sends the job; spooler failures are not reported to the user, only returned.
bool SendSelfTest(SpoolerSeam& spooler);

}  // namespace krv
