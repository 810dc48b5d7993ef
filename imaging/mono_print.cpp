#include "imaging/mono_print.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "imaging/bmp_file.h"

namespace krv {

namespace {

bool IsColour(const uint8_t* entry, uint8_t level) {
    return entry[0] == level && entry[1] == level && entry[2] == level;
}

// One dot of the raster; rows outside the buffer read as blank.
bool Dot(const MonoRaster& r, uint64_t storedRow, uint32_t column) {
    const uint64_t at = storedRow * r.stride + column / 8;
    return at < r.rows.size() && (r.rows[at] & (0x80 >> (column % 8)));
}

}  // namespace

MonoPolarity PolarityOf(std::span<const uint8_t> palette) {
    if (palette.size() < 8) return MonoPolarity::None;
    const uint8_t* entry0 = palette.data();
    const uint8_t* entry1 = palette.data() + 4;
    if (IsColour(entry0, 0) && IsColour(entry1, 255)) return MonoPolarity::Normal;
    if (IsColour(entry0, 255) && IsColour(entry1, 0)) return MonoPolarity::Reversed;
    return MonoPolarity::None;
}

void NormalizeMonoRows(uint8_t* rows, int width, uint64_t stride, int height) {
    const uint64_t imageBytes = (static_cast<uint64_t>(width) + 7) / 8;
    static const uint8_t kKeep[8] = {0xFF, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE};
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rows + y * stride;
        for (uint64_t i = 0; i < stride; ++i)
            row[i] = i < imageBytes ? static_cast<uint8_t>(~row[i]) : 0;
        if (imageBytes > 0 && imageBytes <= stride) row[imageBytes - 1] &= kKeep[width % 8];
    }
}

std::optional<MonoRaster> ReadMonoForPrint(std::span<const uint8_t> file, bool testPolarity,
                                           int rowMultiple) {
    BitmapView bitmap;
    if (ReadBitmap(file, &bitmap) != BitmapStatus::Ok || bitmap.headers.bitCount != 1)
        return std::nullopt;
    // The page admits nothing larger; the limit also bounds the buffer for a lying header.
    if (bitmap.width > kMaxLogoWidth || bitmap.height > kMaxLogoHeight) return std::nullopt;
    const MonoPolarity polarity = testPolarity ? PolarityOf(bitmap.palette) : MonoPolarity::Normal;
    if (polarity == MonoPolarity::None) return std::nullopt;

    MonoRaster r;
    const uint32_t multiple = rowMultiple > 0 ? static_cast<uint32_t>(rowMultiple) : 1;
    r.width = bitmap.width;
    r.stride = static_cast<uint32_t>(bitmap.stride);
    r.height = bitmap.height;
    r.paddedHeight = (r.height + multiple - 1) / multiple * multiple;
    try {
        r.rows.assign(static_cast<size_t>(r.stride) * r.paddedHeight, 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    // The header's file size announces the pixel bytes past the data offset; what lies beyond
    // it, or beyond the end of the file, is not taken.
    const uint64_t fileSize = bitmap.headers.fileSize;
    const uint64_t announced = fileSize > bitmap.dataOffset ? fileSize - bitmap.dataOffset : 0;
    for (uint32_t y = 0; y < r.height; ++y) {
        uint8_t* row = r.rows.data() + static_cast<size_t>(y) * r.stride;
        const uint64_t start = uint64_t{bitmap.topDown ? r.height - 1 - y : y} * r.stride;
        const uint64_t promised = announced > start ? announced - start : 0;
        const size_t held = static_cast<size_t>(std::min(bitmap.RowBytesHeld(y), promised));
        if (held > 0) std::memcpy(row, bitmap.Row(y), held);
        if (polarity == MonoPolarity::Normal) NormalizeMonoRows(row, r.width, r.stride, 1);
        // Bytes the file lacks print nothing, whichever way the palette turns the others.
        std::fill(row + held, row + r.stride, uint8_t{0});
    }
    return r;
}

std::optional<MonoRaster> ReadMonoForPrint(std::u16string_view path, bool testPolarity,
                                           int rowMultiple) {
    const auto file = ReadBitmapFile(path);
    if (!file) return std::nullopt;
    return ReadMonoForPrint(*file, testPolarity, rowMultiple);
}

ColumnBitImage EncodeColumnBitImage(const MonoRaster& r) {
    ColumnBitImage out;
    out.x = r.stride;
    out.y = (r.height + 7) / 8;
    const uint64_t fieldRows = 8ull * out.y;
    out.data.resize(8ull * out.x * out.y);
    uint8_t* p = out.data.data();
    for (uint32_t c = 0; c < 8 * out.x; ++c) {
        for (uint32_t k = 0; k < out.y; ++k) {
            uint8_t byte = 0;
            for (uint32_t bit = 0; bit < 8; ++bit) {
                // Field row 0 is the top; stored row 0 the bottom of the field.
                const uint64_t fieldRow = 8ull * k + bit;
                if (Dot(r, fieldRows - 1 - fieldRow, c)) byte |= static_cast<uint8_t>(0x80 >> bit);
            }
            *p++ = byte;
        }
    }
    return out;
}

uint32_t BandCount(const MonoRaster& r) {
    return (r.height + 23) / 24;
}

void AppendBandBitImage(const MonoRaster& r, uint32_t band, uint32_t columns, Bytes* out) {
    const uint64_t fieldRows = 24ull * BandCount(r);
    out->insert(out->end(), {0x1B, 0x2A, 0x21, static_cast<uint8_t>(columns % 256),
                             static_cast<uint8_t>(columns / 256)});
    for (uint32_t c = 0; c < columns; ++c) {
        for (uint32_t part = 0; part < 3; ++part) {
            uint8_t byte = 0;
            for (uint32_t bit = 0; bit < 8; ++bit) {
                const uint64_t fieldRow = 24ull * band + 8 * part + bit;
                if (Dot(r, fieldRows - 1 - fieldRow, c)) byte |= static_cast<uint8_t>(0x80 >> bit);
            }
            out->push_back(byte);
        }
    }
    out->push_back(0x0A);
}

bool BandIsBlank(const MonoRaster& r, uint32_t band) {
    const uint64_t fieldRows = 24ull * BandCount(r);
    for (uint64_t fieldRow = 24ull * band; fieldRow < 24ull * band + 24; ++fieldRow) {
        const uint64_t storedRow = fieldRows - 1 - fieldRow;
        for (uint32_t i = 0; i < r.stride; ++i) {
            const uint64_t at = storedRow * r.stride + i;
            if (at < r.rows.size() && r.rows[at]) return false;
        }
    }
    return true;
}

Bytes EncodeBandBitImage(const MonoRaster& r) {
    const uint32_t n = 8 * r.stride;
    const uint32_t bands = BandCount(r);
    Bytes out;
    out.reserve(static_cast<size_t>(bands) * (6 + 3ull * n));
    for (uint32_t band = 0; band < bands; ++band)
        AppendBandBitImage(r, band, n, &out);
    return out;
}

std::optional<GreyPlanes> EncodeGreyPlanes(std::span<const uint8_t> file) {
    BitmapView bitmap;
    if (ReadBitmap(file, &bitmap) != BitmapStatus::Ok || bitmap.headers.bitCount != 8 ||
        !bitmap.HoldsEveryRow())
        return std::nullopt;
    const uint64_t s8 = bitmap.stride;
    const uint64_t width = bitmap.width;
    const uint32_t height = bitmap.height;
    GreyPlanes out;
    out.widthBytes = static_cast<uint32_t>((s8 + 7) / 8);
    out.heightUnits = static_cast<uint32_t>((4 * uint64_t{height} + 7) / 8);
    try {
        // Plane rows of zeros complete the last 8-dot unit when the height is odd.
        out.data.assign(static_cast<uint64_t>(out.widthBytes) * out.heightUnits * 8, 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    uint8_t* planeRow = out.data.data();
    for (uint32_t top = 0; top < height; ++top) {
        const uint8_t* row = bitmap.Row(height - 1 - top);
        for (int plane = 0; plane < 4; ++plane, planeRow += out.widthBytes) {
            const int bit = 7 - plane;
            for (uint64_t x = 0; x < s8; ++x) {
                // Bytes beyond the picture width count as white (255): no dot.
                const uint8_t grey = x < width ? row[x] : 255;
                const uint8_t darkness = static_cast<uint8_t>(255 - grey);
                if (darkness & (1 << bit)) planeRow[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return out;
}

std::optional<GreyPlanes> EncodeGreyPlanes(std::u16string_view path) {
    const auto file = ReadBitmapFile(path);
    if (!file) return std::nullopt;
    return EncodeGreyPlanes(*file);
}

}  // namespace krv
