#include "printerapp/page_rows.h"

#include <algorithm>

namespace krv::app {

PageRows::PageRows(int sourceWidth, LineFormat format, int printableWidth, int maxRows)
    : sourceWidth_(std::max(sourceWidth, 0)),
      format_(format),
      offset_(std::max(0, (sourceWidth_ - std::max(printableWidth, 0)) / 2)),
      width_(std::min(sourceWidth_, std::max(printableWidth, 0))),
      maxRows_(std::max(maxRows, 0)) {}

bool PageRows::AddLine(const uint8_t* line, size_t size) {
    if (height_ >= maxRows_) return false;
    pixels_.resize(pixels_.size() + static_cast<size_t>(width_), 255);
    uint8_t* out = pixels_.data() + static_cast<size_t>(height_) * static_cast<size_t>(width_);
    for (int x = 0; x < width_; ++x) {
        const size_t s = static_cast<size_t>(offset_ + x);
        switch (format_) {
            case LineFormat::Grey8:
                if (s < size) out[x] = line[s];
                break;
            case LineFormat::Black8:
                if (s < size) out[x] = static_cast<uint8_t>(255 - line[s]);
                break;
        }
    }
    ++height_;
    return true;
}

GreyPage CentredIn(GreyPage page, int width) {
    if (page.width >= width || page.height <= 0) return page;
    const size_t w = static_cast<size_t>(width);
    const size_t left = static_cast<size_t>(width - page.width) / 2;
    std::vector<uint8_t> pixels(w * static_cast<size_t>(page.height), 255);
    for (size_t y = 0; y < static_cast<size_t>(page.height); ++y)
        std::copy_n(page.pixels.data() + y * static_cast<size_t>(page.width), page.width,
                    pixels.data() + y * w + left);
    return {std::move(pixels), width, page.height};
}

GreyPage PageRows::Take() {
    GreyPage page{std::move(pixels_), width_, height_};
    pixels_.clear();
    height_ = 0;
    return page;
}

}  // namespace krv::app
