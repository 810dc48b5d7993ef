// Bitmap files made by the tests: the three forms written byte by byte from the published
// layout (independently of the code under test), the same pictures as painting programs lay
// them out, and bitmaps of any header and palette as such programs write them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/bmp_format.h"
#include "jobs/logo_jobs.h"
#include "tests/common/scratch_folder.h"

namespace krv::test {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Headers of an uncompressed bitmap with `paletteBytes` of palette and `stride` x |height|.
inline Bytes Headers(uint16_t bitCount, int32_t width, int32_t height, uint32_t stride,
                     uint32_t paletteBytes) {
    const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
    const uint32_t offset = 54 + paletteBytes;
    Bytes b(offset + stride * rows, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, offset);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, bitCount);
    Put32(b, 34, stride * rows);
    return b;
}

struct Rgb {
    uint8_t red, green, blue;
};

// Pixel functions take (x, stored row y).
inline Bytes Rgb24File(int w, int h, const std::function<Rgb(int, int)>& pixel) {
    const uint32_t stride = (3 * w + 3) / 4 * 4;
    Bytes b = Headers(24, w, h, stride, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = pixel(x, y);
            uint8_t* p = &b[54 + y * stride + 3 * x];
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    return b;
}

inline Bytes Grey8File(int w, int h, const std::function<uint8_t(int, int)>& level) {
    const uint32_t stride = (w + 3) / 4 * 4;
    Bytes b = Headers(8, w, h, stride, 1024);
    for (int i = 0; i < 256; ++i)
        b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = static_cast<uint8_t>(i);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b[1078 + y * stride + x] = level(x, y);
    return b;
}

// entry0 / entry1: blue, green, red of the two palette entries.
inline Bytes Mono1File(int w, int h, const std::function<bool(int, int)>& bit, Rgb entry0,
                       Rgb entry1) {
    const uint32_t stride = (w + 31) / 32 * 4;
    Bytes b = Headers(1, w, h, stride, 8);
    b[54] = entry0.blue, b[55] = entry0.green, b[56] = entry0.red;
    b[58] = entry1.blue, b[59] = entry1.green, b[60] = entry1.red;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (bit(x, y)) b[62 + y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return b;
}

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// A 1-bit chequerboard, black where x + y is even.
inline Bytes CheckerFile(int w, int h) {
    return Mono1File(
        w, h, [](int x, int y) { return (x + y) % 2 == 0; }, kBlack, kWhite);
}

// A small picture of each depth (1, 8 or 24 bits) with every row different.
inline Bytes SourceOf(int bitCount, int w, int h) {
    switch (bitCount) {
        case 1:
            return Mono1File(
                w, h, [](int x, int y) { return (x ^ y) & 1; }, kBlack, kWhite);
        case 8:
            return Grey8File(w, h, [](int x, int y) { return uint8_t(x + y); });
        default:
            return Rgb24File(w, h, [](int x, int) {
                return Rgb{uint8_t(x), uint8_t(x), uint8_t(x)};
            });
    }
}

// The same picture laid out as today's painting programs also write it. `file` is one of the
// files made above (40-byte information header, whole palette, bottom-up rows).
struct Layout {
    uint32_t infoSize = 40;       // 108 and 124: the fields past 40 bytes filled in
    bool topDown = false;         // rows stored from the top, height negative
    uint32_t paletteEntries = 0;  // non-zero: the palette cut to this many, colours used set
    uint32_t gap = 0;             // bytes between the palette and the pixels
};

inline Bytes Relayout(const Bytes& file, const Layout& layout) {
    auto u32 = [&](size_t at) {
        return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 |
               uint32_t(file[at + 3]) << 24;
    };
    const uint32_t offset = u32(10);
    const int32_t height = static_cast<int32_t>(u32(22));
    Bytes palette(file.begin() + 54, file.begin() + offset);
    if (layout.paletteEntries) palette.resize(4 * layout.paletteEntries);
    const size_t stride = (file.size() - offset) / height;
    Bytes out(file.begin(), file.begin() + 54);
    // Colour masks, the colour space "sRGB", and for 124 bytes the rendering intent: values a
    // reader taking them for palette or pixels would show.
    const uint32_t extra[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, 0x73524742};
    out.resize(14 + layout.infoSize, 0);
    for (size_t i = 0; i < 5 && 54 + 4 * i < out.size(); ++i)
        Put32(out, 54 + 4 * i, extra[i]);
    if (layout.infoSize >= 124) Put32(out, 14 + 108, 4);
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), layout.gap, 0xEE);
    const uint32_t dataOffset = static_cast<uint32_t>(out.size());
    for (int32_t r = 0; r < height; ++r) {
        const int32_t row = layout.topDown ? height - 1 - r : r;
        const auto from = file.begin() + offset + row * stride;
        out.insert(out.end(), from, from + stride);
    }
    Put32(out, 2, static_cast<uint32_t>(out.size()));
    Put32(out, 10, dataOffset);
    Put32(out, 14, layout.infoSize);
    Put32(out, 22, static_cast<uint32_t>(layout.topDown ? -height : height));
    if (layout.paletteEntries) Put32(out, 46, layout.paletteEntries);
    return out;
}

// Logo rows whose work files lie beside their sources.
inline std::vector<LogoRowFiles> RowsBeside(const std::vector<std::u16string>& sources) {
    std::vector<LogoRowFiles> rows;
    for (const auto& source : sources)
        rows.push_back({source, LogoWorkFile(source)});
    return rows;
}

inline void PutLe(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t GetLe(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= uint32_t(b[at + i]) << (8 * i);
    return v;
}

// A bitmap file as a painting program would write it: both headers, then the palette, then
// the pixel bytes as given. The file size and resolution fields carry recognisable values.
struct BmpSource {
    uint32_t pixelOffset;
    uint16_t bitCount;
    int32_t width;
    int32_t height;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> pixels;
    uint32_t compression = 0;
    uint32_t infoSize = 40;
    uint32_t coloursUsed = 0;
};

inline std::vector<uint8_t> MakeBmp(const BmpSource& s) {
    std::vector<uint8_t> b(54 + s.palette.size() + s.pixels.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    PutLe(b, 6, 0x1234, 2);  // reserved words: the conversion keeps them
    PutLe(b, 8, 0x5678, 2);
    PutLe(b, 10, s.pixelOffset, 4);
    PutLe(b, 14, s.infoSize, 4);
    PutLe(b, 18, static_cast<uint32_t>(s.width), 4);
    PutLe(b, 22, static_cast<uint32_t>(s.height), 4);
    PutLe(b, 26, 1, 2);
    PutLe(b, 28, s.bitCount, 2);
    PutLe(b, 30, s.compression, 4);
    PutLe(b, 34, 999, 4);   // image size: the conversion sets it to 0
    PutLe(b, 38, 2835, 4);  // resolutions: kept
    PutLe(b, 42, 2836, 4);
    PutLe(b, 46, s.coloursUsed, 4);
    std::copy(s.palette.begin(), s.palette.end(), b.begin() + 54);
    std::copy(s.pixels.begin(), s.pixels.end(), b.begin() + 54 + s.palette.size());
    PutLe(b, 2, static_cast<uint32_t>(b.size()), 4);
    return b;
}

}  // namespace krv::test
