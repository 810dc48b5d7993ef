// The three bitmap forms the logo feature reads and writes, their headers, strides and fixed
// pixel offsets, and the work bitmaps kept beside each logo source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace krv {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kBmpType = 0x4D42;    // "BM"
constexpr size_t kBmpHeadersSize = 54;   // file header 14 + information header 40
constexpr size_t kMonoHeadersSize = 62;  // the headers and the two palette entries

// The largest picture the logo page admits.
constexpr int32_t kMaxLogoWidth = 1024;
constexpr int32_t kMaxLogoHeight = 768;

struct BmpHeaders {
    uint16_t type = 0;
    uint32_t fileSize = 0;
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t colorsUsed = 0;
    uint32_t colorsImportant = 0;
};

// False when fewer than 54 bytes are given.
bool ParseBmpHeaders(std::span<const uint8_t> bytes, BmpHeaders* out);
void StoreBmpHeaders(const BmpHeaders& headers, uint8_t* out54);

// The fixed offset of the pixel data of the 24-, 8- and 1-bit forms (54, 1078, 62); the
// header's own data-offset field is never used. 0 for any other bit count.
uint32_t PixelOffsetOf(uint16_t bitCount);
// Row stride in bytes of a form, computed wide enough for any 32-bit width.
uint64_t RowStrideOf(uint16_t bitCount, uint64_t width);
inline uint64_t Stride24(uint64_t width) {
    return (3 * width + 3) / 4 * 4;
}
inline uint64_t Stride8(uint64_t width) {
    return (width + 3) / 4 * 4;
}
inline uint64_t Stride1(uint64_t width) {
    return (width + 31) / 32 * 4;
}

// True when pixel data of this many bytes fits a bitmap file at all (its sizes are 32-bit
// fields). Anything larger is refused before a buffer is sized, on every build.
inline bool FitsBitmapFile(uint64_t pixelBytes) {
    return pixelBytes <= 0xFFFFFFFFull - 1078;
}

// A file image of a work bitmap of the given size: headers, palette, and zeroed rows that the
// caller fills in place (rows start at 1078 for grey, at 62 for monochrome).
Bytes MakeGreyWorkBitmap(int32_t width, int32_t height);
Bytes MakeMonoWorkBitmap(int32_t width, int32_t height);
// The same for a 24-bit bitmap (rows from 54): the canonical form decoded pictures take.
Bytes MakeRgb24Bitmap(int32_t width, int32_t height);

// The work bitmap path of a logo source: the last four characters (the extension) replaced by
// "Temp.bmp". A path of fewer than four characters simply gets "Temp.bmp" appended, so the
// work file can never be the source itself.
std::string LogoWorkFile(const std::string& sourcePath);

}  // namespace krv
