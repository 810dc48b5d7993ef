#include "channel/raw_printer_channel.h"

namespace krv {

size_t PrinterJob::TotalBytes() const {
    size_t n = 0;
    for (const auto& p : pieces)
        n += p.size();
    return n;
}

Bytes PrinterJob::Joined() const {
    Bytes all;
    all.reserve(TotalBytes());
    for (const auto& p : pieces)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

bool SendRawJob(SpoolerSeam& spooler, std::string_view documentName,
                std::span<const std::span<const uint8_t>> pieces, SendOptions options) {
    if (!spooler.StartDocument(documentName, "RAW")) return false;
    if (!spooler.StartPage()) {
        spooler.EndDocument();
        return false;
    }
    for (const auto& piece : pieces) {
        // WritePrinter takes a 32-bit length; larger pieces go out in slices.
        size_t offset = 0;
        do {
            const size_t left = piece.size() - offset;
            const uint32_t len = left > 0x40000000u ? 0x40000000u : static_cast<uint32_t>(left);
            uint32_t written = 0;
            const bool ok = spooler.Write(piece.data() + offset, len, &written);
            if (!ok || (options.requireAllWritten && written != len)) {
                spooler.EndPage();
                spooler.EndDocument();
                return false;
            }
            offset += len;
        } while (offset < piece.size());
    }
    if (!spooler.EndPage()) {
        spooler.EndDocument();
        return false;
    }
    return spooler.EndDocument();
}

bool SendRawJob(SpoolerSeam& spooler, const PrinterJob& job, SendOptions options) {
    std::vector<std::span<const uint8_t>> spans(job.pieces.begin(), job.pieces.end());
    return SendRawJob(spooler, job.documentName, spans, options);
}

}  // namespace krv
