// 1-bit bitmaps read for printing, and the three raster encodings the printer stores:
// column bit images (stored logos), 24-dot bands (back-side logo) and grey bit planes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "imaging/bmp_format.h"

namespace krv {

// How a 1-bit bitmap's palette maps bits to black and white.
enum class MonoPolarity {
    Normal,    // entry 0 black, entry 1 white: bits are inverted for printing
    Reversed,  // entry 0 white, entry 1 black: bits are used as stored
    None,      // any other palette
};
// From the palette of a 1-bit bitmap (BitmapView::palette); fewer than two entries have none.
MonoPolarity PolarityOf(std::span<const uint8_t> palette);

// Inverts the first (width + 7) / 8 bytes of each row, zeroes the rest of the stride and
// keeps only the picture's bits of the last image byte.
void NormalizeMonoRows(uint8_t* rows, int width, uint64_t stride, int height);

// Rows ready for printing: a set bit is a printed dot. `rows` holds `paddedHeight` rows of
// `stride` bytes; the rows from `height` up (above the picture) are zero.
struct MonoRaster {
    Bytes rows;
    uint32_t width = 0;
    uint32_t stride = 0;
    uint32_t height = 0;
    uint32_t paddedHeight = 0;
};

constexpr int kColumnRowMultiple = 8;
constexpr int kBandRowMultiple = 24;

// Reads an uncompressed 1-bit "BM" bitmap of at most 1024 x 768 pixels, its rows in either
// order. With `testPolarity` a palette without polarity refuses it; without, the polarity is
// taken as Normal. Only the row bytes the file holds and its header's file size announces are
// taken; every dot the file lacks is blank on paper, whatever the polarity.
std::optional<MonoRaster> ReadMonoForPrint(std::span<const uint8_t> file, bool testPolarity,
                                           int rowMultiple);
// The same for the file at `path`.
std::optional<MonoRaster> ReadMonoForPrint(std::u16string_view path, bool testPolarity,
                                           int rowMultiple);

// Stored-logo raster: x bytes wide (8x dots, row padding included), y units of 8 dots high,
// the picture at the bottom of the field; data holds, column after column, y bytes from the
// top (bit 7 the upper dot).
struct ColumnBitImage {
    uint32_t x = 0;
    uint32_t y = 0;
    Bytes data;
};
ColumnBitImage EncodeColumnBitImage(const MonoRaster& raster);

// Back-side raster: bands of 24 dots from the top, each 1B 2A 21 nL nH, 3 bytes per column,
// 0A.
Bytes EncodeBandBitImage(const MonoRaster& raster);
// The number of bands EncodeBandBitImage makes.
uint32_t BandCount(const MonoRaster& raster);
// One of those bands (0 is the top) with its first `columns` columns (at most 8 x stride),
// appended to `out`.
void AppendBandBitImage(const MonoRaster& raster, uint32_t band, uint32_t columns, Bytes* out);
// True when the band has no dot.
bool BandIsBlank(const MonoRaster& raster, uint32_t band);

// Grey stored-logo raster from an 8-bit bitmap: four bit planes of darkness per pixel row,
// top row first. Nothing for a file that is not an uncompressed 8-bit "BM" bitmap holding all
// its rows.
struct GreyPlanes {
    uint32_t widthBytes = 0;   // w8
    uint32_t heightUnits = 0;  // h8
    Bytes data;                // w8 x h8 x 8 bytes
};
std::optional<GreyPlanes> EncodeGreyPlanes(std::span<const uint8_t> file);
std::optional<GreyPlanes> EncodeGreyPlanes(std::u16string_view path);

}  // namespace krv
