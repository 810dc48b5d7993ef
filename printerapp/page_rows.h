// One page of a raster as the driver collects it: the lines PAPPL hands over, cut to the dots
// the printer prints and turned into grey levels, kept in memory until the page ends. Lines
// past the longest page the roll allows are not kept, whatever the raster's header claimed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/grey_image.h"

namespace krv::app {

// 3000 mm of paper at 180 dots per inch: the longest page of the roll media.
inline constexpr uint32_t kMaxPageRows = 21260;

// How the pixels of an incoming line are stored: one byte a pixel, 0 or 255 black.
enum class LineFormat { Grey8, Black8 };

class PageRows {
  public:
    // Lines `sourceWidth` pixels wide; a wider line than `printableWidth` keeps the pixels in
    // its middle (the print head sits in the middle of the paper).
    PageRows(uint32_t sourceWidth, LineFormat format, uint32_t printableWidth,
             uint32_t maxRows = kMaxPageRows);

    // Adds the next line from the `size` bytes at `line`; pixels past them are white. False,
    // and nothing kept, once the page holds maxRows rows (or when memory runs out).
    bool AddLine(const uint8_t* line, size_t size);

    uint32_t height() const { return page_.height; }
    GreyImage Take();

  private:
    LineFormat format_;
    uint32_t offset_;  // source pixel of the first kept pixel
    uint32_t maxRows_;
    GreyImage page_;
    std::vector<uint8_t> inverted_;
};

}  // namespace krv::app
