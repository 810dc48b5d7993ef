// A receipt job as the printer receives it: reset, the start-of-document actions, each page
// between its start and end actions, the end-of-document actions. Every format the
// application prints (pictures, raster, PDF, text) goes through here, so the actions come in
// the same places whatever was printed. Raw jobs do not: their bytes pass untouched.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/raw_printer_channel.h"
#include "printerapp/receipt_options.h"

namespace krv::app {

// Where a job's bytes go (the printer's device in the application, memory in tests). False
// when they could not all be written; the job then stops.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
    bool Write(const Bytes& bytes) { return Write(bytes.data(), bytes.size()); }
};

class ReceiptDocument {
  public:
    ReceiptDocument(const ReceiptSettings& settings, ByteSink& sink)
        : settings_(settings), sink_(sink) {}

    // 1B 40 (the printer's reset, so nothing an earlier job set remains), then the actions.
    bool Begin();
    // The start-of-page actions, `content`, the end-of-page actions.
    bool Page(const Bytes& content);
    bool End();

  private:
    bool Actions(EventMoment moment);
    const ReceiptSettings& settings_;
    ByteSink& sink_;
};

}  // namespace krv::app
