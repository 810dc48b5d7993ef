// One page of a raster as the driver collects it: the lines PAPPL hands over, cut to the dots
// the printer prints and turned into grey levels, kept in memory until the page ends. Lines
// past the longest page the roll allows are not kept, whatever the raster's header claimed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace krv::app {

// Grey rows, top row first, 0 black .. 255 white, `width` bytes a row.
struct GreyPage {
    std::vector<uint8_t> pixels;
    int width = 0;
    int height = 0;
};

// 3000 mm of paper at 180 dots per inch: the longest page of the roll media.
inline constexpr int kMaxPageRows = 21260;

// How the pixels of an incoming line are stored: one byte a pixel, 0 or 255 black.
enum class LineFormat { Grey8, Black8 };

// `page` in the middle of a row `width` dots wide (white either side); a page at least that
// wide is returned as it is.
GreyPage CentredIn(GreyPage page, int width);

class PageRows {
  public:
    // Lines `sourceWidth` pixels wide; a wider line than `printableWidth` keeps the pixels in
    // its middle (the print head sits in the middle of the paper).
    PageRows(int sourceWidth, LineFormat format, int printableWidth, int maxRows = kMaxPageRows);

    // Adds the next line from the `size` bytes at `line`; pixels past them are white. False,
    // and nothing kept, once the page holds maxRows rows.
    bool AddLine(const uint8_t* line, size_t size);

    int width() const { return width_; }
    int height() const { return height_; }
    GreyPage Take();

  private:
    int sourceWidth_;
    LineFormat format_;
    int offset_;  // source pixel of the first kept pixel
    int width_;
    int maxRows_;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace krv::app
