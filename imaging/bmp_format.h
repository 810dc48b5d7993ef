// The three bitmap forms the program reads and writes (24-bit, 8-bit with a palette, 1-bit),
// their headers, strides and pixel offsets; the one reader of bitmap files held in memory that
// every part of the program uses; and the logo work bitmaps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
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

// The file header and the first 40 bytes of the information header, which every information
// header read here begins with. False when fewer than 54 bytes are given.
bool ParseBmpHeaders(std::span<const uint8_t> bytes, BmpHeaders* out);
void StoreBmpHeaders(const BmpHeaders& headers, uint8_t* out54);

// The offset of the pixel data of the 24-, 8- and 1-bit forms with a 40-byte information
// header and a whole palette (54, 1078, 62): where the work bitmaps keep it, and where a file
// whose own data offset makes no sense is read. 0 for any other bit count.
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

// ---- reading a bitmap file held in memory

// Information header sizes read: 40 bytes, and the longer headers that today's painting
// programs write (52, 56, 108, 124 bytes), which begin with the same 40 bytes.
bool IsKnownInfoHeaderSize(uint32_t size);

enum class BitmapStatus {
    Ok,
    NotBitmap,    // shorter than its headers, or not "BM"
    Unsupported,  // another depth than 1, 8 or 24, compressed, or an unknown information header
    Malformed,    // sizes, or a place of the pixels, that no such file can have
};

// An uncompressed 1-, 8- or 24-bit bitmap read through its headers. The pixels are taken from
// the header's data offset when it lies past the headers and the palette they announce and
// the file holds the rows there; otherwise from the offset of the form (PixelOffsetOf), which
// only a 40-byte information header leaves room for. Rows are addressed bottom-up whatever
// their order in the file.
struct BitmapView {
    BmpHeaders headers;  // as stored: the height is negative for top-down rows
    uint32_t width = 0;
    uint32_t height = 0;  // number of rows
    bool topDown = false;
    uint64_t stride = 0;
    uint64_t dataOffset = 0;           // where the rows are read from
    std::span<const uint8_t> palette;  // 4-byte entries (blue, green, red, 0); 1- and 8-bit
    std::span<const uint8_t> data;     // the row bytes the file holds, at most stride x height

    size_t PaletteEntries() const { return palette.size() / 4; }
    bool HoldsEveryRow() const { return data.size() == stride * height; }
    // How many bytes of stored row y (0 = the bottom row) the file holds: 0 to stride.
    uint64_t RowBytesHeld(uint32_t y) const;
    // Stored row y; its first RowBytesHeld(y) bytes are valid.
    const uint8_t* Row(uint32_t y) const;
};

// Reads `file` (the whole file, or as much of it as BitmapBytesToRead asks for).
BitmapStatus ReadBitmap(std::span<const uint8_t> file, BitmapView* out);

// How many bytes of a file of `fileSize` bytes whose first bytes are `head` a reader needs:
// the headers, palette and rows, never more than the file holds.
uint64_t BitmapBytesToRead(std::span<const uint8_t> head, uint64_t fileSize);

// ---- writing the plain 24-bit form: a 40-byte information header and bottom-up rows of blue,
// green and red from offset 54

// What a file's first bytes (its headers) say about its way to that form: not a "BM" file at
// all, already in the form (whatever its other fields) so that it can be taken as it stands,
// or to be read (ReadBitmap) and written anew.
enum class PlainRgb24Route { NotBitmap, AsItStands, Rewrite };
PlainRgb24Route RouteToPlainRgb24(std::span<const uint8_t> head);
// True when every row `bitmap` promises is there and its plain 24-bit form fits a file.
bool CanWritePlainRgb24(const BitmapView& bitmap);

// Where a writer's bytes go; false when they cannot be taken, which ends the writing.
using ByteWriter = std::function<bool(const uint8_t* data, size_t size)>;

// Writes the plain 24-bit form of `bitmap` (CanWritePlainRgb24) through `write`: the headers,
// then one row at a time, bottom row first. The headers keep the source's fields as read but
// for the information header size, a positive height, 24 bits, the file size and the pixel
// offset, and (for a palette source) an image size of 0. Palette pixels take their entry's
// blue, green and red (an entry the file lacks is white for 1 bit, black for 8 bits) and rows
// are padded with 0xFF bytes (1 bit) or zeros (8 bits); a 24-bit row is taken whole, its
// padding included. False as soon as `write` fails.
bool WritePlainRgb24(const BitmapView& bitmap, const ByteWriter& write);

// The plain 24-bit file of `width` x `height` pixels given bottom row first, `step` bytes a
// pixel (blue, green, red, and a fourth byte that is dropped when `step` is 4), rows padded
// with zeros. Planes 1, image size 0 and every further field 0.
Bytes PlainRgb24File(std::span<const uint8_t> pixels, uint32_t width, uint32_t height, size_t step);

// A file image of a work bitmap of the given size: headers, palette, and zeroed rows that the
// caller fills in place (rows start at 1078 for grey, at 62 for monochrome).
Bytes MakeGreyWorkBitmap(int32_t width, int32_t height);
Bytes MakeMonoWorkBitmap(int32_t width, int32_t height);
// The same for a 24-bit bitmap (rows from 54): the canonical form decoded pictures take.
Bytes MakeRgb24Bitmap(int32_t width, int32_t height);

// A work bitmap path beside a logo source, as the tests keep theirs (the page and the tool
// keep their work bitmaps in a folder of their own, LogoWorkFolder): the last four characters
// (the extension) replaced by "Temp.bmp". A path of fewer than four characters simply gets
// "Temp.bmp" appended, so the work file can never be the source itself.
std::u16string LogoWorkFile(std::u16string_view sourcePath);

}  // namespace krv
