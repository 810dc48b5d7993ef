// An 8-bit grey picture held in memory with its top row first: the form in which pictures
// reach the print job builders, whether decoded from a file or received line by line.
#pragma once

#include <cstdint>
#include <vector>

namespace krv {

struct GreyImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;  // width bytes a row, no padding; 0 black, 255 white

    uint8_t* Row(uint32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint8_t* Row(uint32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

}  // namespace krv
