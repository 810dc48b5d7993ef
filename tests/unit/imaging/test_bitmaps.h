// Bitmap files made by the tests: the three forms written byte by byte from the published
// layout (independently of the code under test), and a scratch folder that cleans up.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "jobs/logo_jobs.h"
#include "imaging/bmp_format.h"

namespace krv::testing {

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
inline std::vector<LogoRowFiles> RowsBeside(const std::vector<std::string>& sources) {
    std::vector<LogoRowFiles> rows;
    for (const auto& source : sources)
        rows.push_back({source, LogoWorkFile(source)});
    return rows;
}

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// A fresh folder per test, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir() {
        // A name nobody else holds: create_directory succeeds only for a new folder.
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
            const auto candidate = base / ("krvimg" + std::to_string(random()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) dir_ = candidate.string();
        }
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        const std::string p = Path(name);
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return p;
    }
    static Bytes Read(const std::string& path) {
        Bytes b;
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return b;
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            b.insert(b.end(), buf, buf + n);
        std::fclose(f);
        return b;
    }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

  private:
    std::string dir_;
};

}  // namespace krv::testing
