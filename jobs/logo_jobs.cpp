#include "jobs/logo_jobs.h"

#include <algorithm>
#include <optional>

#include "channel/ansi_text.h"
#include "imaging/bmp_format.h"
#include "files/files.h"
#include "imaging/bmp_file.h"
#include "imaging/mono_print.h"

namespace krv {

namespace {

LogoJobOutcome Refuse(const char* message) {
    LogoJobOutcome o;
    o.kind = LogoJobOutcome::Kind::Refused;
    o.message = message;
    return o;
}

LogoJobOutcome StartJob(const char* documentName) {
    LogoJobOutcome o;
    o.kind = LogoJobOutcome::Kind::Job;
    o.job.documentName = documentName;
    return o;
}

uint8_t Low(uint32_t v) {
    return static_cast<uint8_t>(v % 256);
}
uint8_t High(uint32_t v) {
    return static_cast<uint8_t>(v / 256);
}

// One row in black-and-white: the 4-byte header and the column data. False when its file
// cannot be read or has no polarity.
bool AddMonoRow(const LogoRowFiles& row, PrinterJob& job) {
    const auto raster = ReadMonoForPrint(MonoFileOfRow(row), true, kColumnRowMultiple);
    if (!raster) return false;
    ColumnBitImage image = EncodeColumnBitImage(*raster);
    job.Add({Low(image.x), High(image.x), Low(image.y), High(image.y)});
    job.Add(std::move(image.data));
    return true;
}

// One row in grey: the 6-byte header and the plane data of its grey work file.
bool AddGreyRow(const LogoRowFiles& row, PrinterJob& job) {
    auto planes = EncodeGreyPlanes(row.workFile);
    if (!planes) return false;
    job.Add({0x01, 0x00, Low(planes->widthBytes), High(planes->widthBytes),
             Low(planes->heightUnits), High(planes->heightUnits)});
    job.Add(std::move(planes->data));
    return true;
}

// The characters as the printer takes them: the ANSI bytes, then one zero byte per character.
Bytes BackSideText(const std::u16string& text) {
    const std::string ansi = ToAnsi(text);
    Bytes bytes(ansi.begin(), ansi.end());
    bytes.resize(bytes.size() + text.size(), 0);
    return bytes;
}

// The logo piece: the bands, then the unused rest of the band work area (96 zero bytes a band).
Bytes BackSideLogo(const MonoRaster& raster) {
    Bytes piece = EncodeBandBitImage(raster);
    piece.resize(piece.size() + 96ull * BandCount(raster), 0);
    return piece;
}

}  // namespace

std::u16string MonoFileOfRow(const LogoRowFiles& row) {
    const auto h = ReadBmpHeadersFile(row.source);
    if (h && h->type == kBmpType && h->bitCount == 1) return row.source;
    return row.workFile;
}

std::string CheckLogoFilesSize(const std::vector<LogoRowFiles>& rows, const char* sizeFailedMessage,
                               const char* tooLargeMessage) {
    int64_t total = 0;
    for (const auto& row : rows) {
        int64_t size = FileSizeAt(row.workFile);
        if (size < 0) size = FileSizeAt(row.source);
        if (size < 0) return sizeFailedMessage;
        // Every row's size is looked at first; the sum saturates so huge files cannot wrap.
        total = std::min(total + size, kLogoTotalSizeLimit);
    }
    return total >= kLogoTotalSizeLimit ? tooLargeMessage : std::string();
}

LogoJobOutcome BuildLogoDownloadJob(const std::vector<LogoRowFiles>& rows, LogoMode mode) {
    if (rows.empty()) return Refuse(kMsgSelectBitmap);
    if (mode == LogoMode::Original) return {};
    // The list never holds more than nine rows; the count is one byte of the command.
    if (rows.size() > kMaxLogoRows) return {};
    const std::string size = CheckLogoFilesSize(rows, kMsgBitmapSizeFailed, kMsgBitmapsTooLarge);
    if (!size.empty()) return Refuse(size.c_str());

    LogoJobOutcome o = StartJob(kLogoDocumentName);
    const auto n = static_cast<uint8_t>(rows.size());
    o.job.Add({0x1B, 0x40});
    const bool mono = mode == LogoMode::BlackWhite;
    o.job.Add({0x1C, static_cast<uint8_t>(mono ? 0x71 : 0x72), n});
    for (const auto& row : rows) {
        const bool added = mono ? AddMonoRow(row, o.job) : AddGreyRow(row, o.job);
        if (!added) {
            o.endedEarly = true;
            return o;
        }
    }
    o.job.Add({0x0A});
    return o;
}

PrinterJob BuildClearLogosJob() {
    PrinterJob job;
    job.documentName = kClearLogosDocumentName;
    job.Add({0x1C, 0x71, 0x00, 0x00, 0x0A});
    return job;
}

LogoJobOutcome BuildBackSideJob(const BackSideRequest& r) {
    const bool hasText = !r.text.empty();
    // More than 2048 characters can never fit, so longer texts need no conversion to refuse.
    if (r.text.size() > kBackSideTextLimit) return Refuse(kMsgBackSideTextTooLong);
    const Bytes text = BackSideText(r.text);
    if (text.size() > kBackSideTextLimit) return Refuse(kMsgBackSideTextTooLong);

    std::optional<MonoRaster> logo;
    if (r.mode != LogoMode::BlackWhite) {
        if (!hasText) return Refuse(kMsgBackSideNeedsBlackWhite);
    } else if (r.rows.empty()) {
        if (!hasText) return Refuse(kMsgBackSideNothingToSend);
    } else {
        const std::string size =
            CheckLogoFilesSize(r.rows, kMsgBackSideSizeFailed, kMsgBackSideTooLarge);
        if (!size.empty()) return Refuse(size.c_str());
        if (r.selectedRow < 0 || static_cast<size_t>(r.selectedRow) >= r.rows.size())
            return Refuse(kMsgBackSideNothingToSend);
        logo = ReadMonoForPrint(MonoFileOfRow(r.rows[r.selectedRow]), true, kBandRowMultiple);
        if (!logo) return {};
    }

    LogoJobOutcome o = StartJob(kBackSideDocumentName);
    o.job.Add({0x1F, 0x68});
    const auto position = static_cast<uint8_t>(r.position);
    o.job.Add({0x1B, 0x61, static_cast<uint8_t>(position <= 2 ? position : 0)});
    o.job.Add({0x1B, 0x33, 0x18});
    if (hasText) {
        o.job.Add(text);
        o.job.Add({0x0D, 0x0A});
    }
    if (logo) {
        o.job.Add(BackSideLogo(*logo));
        o.job.Add({0x0A});
    }
    o.job.Add({0x1F, 0x68});
    return o;
}

}  // namespace krv
