#include "printerapp/page_rows.h"

#include <algorithm>

#include "jobs/picture_print.h"

namespace krv::app {

PageRows::PageRows(uint32_t sourceWidth, LineFormat format, uint32_t printableWidth,
                   uint32_t maxRows)
    : format_(format),
      offset_(sourceWidth > printableWidth ? (sourceWidth - printableWidth) / 2 : 0),
      maxRows_(maxRows) {
    page_.width = std::min(sourceWidth, printableWidth);
}

bool PageRows::AddLine(const uint8_t* line, size_t size) {
    if (page_.height >= maxRows_) return false;
    const uint8_t* kept = line + std::min<size_t>(offset_, size);
    const size_t length = std::min<size_t>(size > offset_ ? size - offset_ : 0, page_.width);
    if (format_ == LineFormat::Black8) {
        inverted_.resize(length);
        std::transform(kept, kept + length, inverted_.begin(),
                       [](uint8_t black) { return static_cast<uint8_t>(255 - black); });
        kept = inverted_.data();
    }
    return AppendGreyRow(&page_, kept, length);
}

GreyImage PageRows::Take() {
    GreyImage page;
    page.width = page_.width;
    std::swap(page, page_);
    return page;
}

}  // namespace krv::app
