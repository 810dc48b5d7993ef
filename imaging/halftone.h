// The per-pixel work of the logo converters on rows held in memory: 24-, 8- and 1-bit source
// rows to grey levels, and 24- and 8-bit rows to 1-bit rows by one of the four methods.
// Rows are in stored order (row 0 is the bottom of the picture); the matrices' phase and the
// error-diffusion scan direction follow that order.
#pragma once

#include <cstdint>

namespace krv {

enum class HalftoneMethod : int32_t { None = 0, M3 = 1, M4 = 2, ErrorDiffusion = 3 };

// The shape of a block of rows in memory: `width` x `height` pixels, `stride` bytes per row.
struct RowsView {
    const uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    uint64_t stride = 0;
};
struct MutableRows {
    uint8_t* data = nullptr;
    uint64_t stride = 0;
};

// Sets the bit of every pixel the method declares white (mask 0x80 >> x % 8 of byte x / 8);
// `out` must hold height rows of Stride1(width) bytes, already cleared. Width and height > 0.
void HalftoneRgb24Rows(const RowsView& source, HalftoneMethod method, int contrast, int brightness,
                       MutableRows out);
void HalftoneGrey8Rows(const RowsView& source, HalftoneMethod method, int contrast, int brightness,
                       MutableRows out);

// Grey levels into rows of Stride8(width) bytes; padding bytes are left as they are.
void Rgb24RowsToGrey8(const RowsView& source, int contrast, int brightness, MutableRows out);
void Grey8RowsToGrey8(const RowsView& source, int contrast, int brightness, MutableRows out);
// A set bit becomes AdjustLevel(255), a clear one AdjustLevel(0).
void Mono1RowsToGrey8(const RowsView& source, int contrast, int brightness, MutableRows out);

}  // namespace krv
