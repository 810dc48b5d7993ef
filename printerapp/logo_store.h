// The logos a printer keeps for the web interface's logo page: up to nine pictures with their
// halftone method, contrast and brightness, and the mode (black and white or grey) they are
// downloaded in, in a folder of the printer's own so that they stay with it across restarts.
// Everything a row becomes goes through the logo page's own rules and the jobs' builders:
// the checks of a chosen file (CheckRoomForLogo, CheckLogoSource), the conversion into a work
// bitmap (ConvertLogoRow) and the "LOGO", clear and "Pre-image" jobs. A PNG or JPEG is kept as
// its 24-bit bitmap, as the krv857 tool converts one, so the same picture gives the same job.
// Not thread-safe: the pages hold one lock around every use.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "devpages/logo_rows.h"
#include "imaging/grey_image.h"

namespace krv::app {

struct StoredLogo {
    uint32_t id = 0;   // names its files; never reused within the folder
    std::string name;  // the uploaded file's name, for the page
    LogoRowSettings settings;
};

// What adding a picture came to: accepted, or refused with a message for the page (one of
// the logo page's own messages, or an English text key the page translates; `detail` fills
// its "%s").
struct LogoAddResult {
    bool accepted = false;
    std::string message;
    std::string detail;
};

class LogoStore {
  public:
    // `folder` need not exist yet; it is made when the first picture is added.
    explicit LogoStore(std::string folder);

    // Reads the folder's list. A missing or unreadable list is an empty one; rows whose
    // picture is gone are left out.
    void Load();

    size_t Count() const { return rows_.size(); }
    const StoredLogo& At(size_t row) const { return rows_.at(row); }
    LogoMode Mode() const { return mode_; }

    // Checks and keeps an uploaded picture (BMP, PNG or JPEG) as the new last row, with the
    // starting settings of its mode (M3 in black and white, else none).
    LogoAddResult Add(std::string_view name, std::span<const uint8_t> bytes);
    // False (nothing done) for a row that does not exist.
    bool Delete(size_t row);
    // BlackWhite or Grey only; the rows keep their settings.
    bool SetMode(LogoMode mode);
    bool SetSettings(size_t row, const LogoRowSettings& settings);

    // The row as the jobs read it, its work bitmap rewritten now for `mode` and its settings;
    // empty when the picture cannot be converted.
    std::optional<LogoRowFiles> Prepare(size_t row, LogoMode mode) const;
    // "下载全部" of every row in the store's mode.
    LogoJobOutcome DownloadJob() const;
    // "下载反面预定义位图和字符" with the characters and, when `row` is not -1, that row in
    // black and white as the back side's logo (whatever mode the logo page is in).
    LogoJobOutcome BackSideJob(std::u16string text, BackSidePosition position, int row) const;

    // What the printer prints for a row: the row alone downloaded in the store's mode, read
    // back and drawn dot for dot. Empty, with the reason, when it cannot be printed.
    std::optional<GreyImage> Printed(size_t row, std::string* reason) const;
    // The bytes the "下载全部" size check counts now (each row's work bitmap, else its picture).
    int64_t DownloadBytes() const;

  private:
    std::string PicturePath(uint32_t id) const;
    std::string WorkPath(uint32_t id) const;
    bool Save() const;

    std::string folder_;
    std::vector<StoredLogo> rows_;
    LogoMode mode_ = LogoMode::BlackWhite;
    uint32_t nextId_ = 1;
};

}  // namespace krv::app
