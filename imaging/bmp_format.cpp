#include "imaging/bmp_format.h"

#include <algorithm>
#include <climits>

namespace krv {

namespace {

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

constexpr uint64_t kFileHeaderSize = 14;

uint64_t RowsOf(const BmpHeaders& h) {
    const int64_t height = h.height;
    return static_cast<uint64_t>(height < 0 ? -height : height);
}

// The palette the headers announce: the colours-used count when it is one the depth can have,
// otherwise every colour of the depth; none for 24 bits (a palette there is optional).
uint64_t AnnouncedPaletteEntries(const BmpHeaders& h) {
    if (h.bitCount > 8) return 0;
    const uint64_t all = uint64_t{1} << h.bitCount;
    return h.colorsUsed >= 1 && h.colorsUsed <= all ? h.colorsUsed : all;
}

uint64_t PaletteEnd(const BmpHeaders& h) {
    return kFileHeaderSize + h.headerSize + 4 * AnnouncedPaletteEntries(h);
}

// The form's own offset serves only files laid out as the 40-byte header lays them out.
uint64_t FallbackOffset(const BmpHeaders& h) {
    return h.headerSize == 40 ? PixelOffsetOf(h.bitCount) : 0;
}

BmpHeaders WorkHeaders(int32_t width, int32_t height, uint16_t bitCount) {
    const uint32_t imageSize = static_cast<uint32_t>(
        RowStrideOf(bitCount, static_cast<uint64_t>(width)) * static_cast<uint64_t>(height));
    BmpHeaders h;
    h.type = kBmpType;
    h.dataOffset = PixelOffsetOf(bitCount);
    h.fileSize = imageSize + h.dataOffset;
    h.headerSize = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = bitCount;
    h.imageSize = imageSize;
    return h;
}

}  // namespace

bool ParseBmpHeaders(std::span<const uint8_t> bytes, BmpHeaders* out) {
    if (bytes.size() < kBmpHeadersSize) return false;
    const uint8_t* p = bytes.data();
    out->type = U16(p);
    out->fileSize = U32(p + 2);
    out->reserved1 = U16(p + 6);
    out->reserved2 = U16(p + 8);
    out->dataOffset = U32(p + 10);
    out->headerSize = U32(p + 14);
    out->width = static_cast<int32_t>(U32(p + 18));
    out->height = static_cast<int32_t>(U32(p + 22));
    out->planes = U16(p + 26);
    out->bitCount = U16(p + 28);
    out->compression = U32(p + 30);
    out->imageSize = U32(p + 34);
    out->xPelsPerMeter = static_cast<int32_t>(U32(p + 38));
    out->yPelsPerMeter = static_cast<int32_t>(U32(p + 42));
    out->colorsUsed = U32(p + 46);
    out->colorsImportant = U32(p + 50);
    return true;
}

void StoreBmpHeaders(const BmpHeaders& h, uint8_t* p) {
    Put16(p, h.type);
    Put32(p + 2, h.fileSize);
    Put16(p + 6, h.reserved1);
    Put16(p + 8, h.reserved2);
    Put32(p + 10, h.dataOffset);
    Put32(p + 14, h.headerSize);
    Put32(p + 18, static_cast<uint32_t>(h.width));
    Put32(p + 22, static_cast<uint32_t>(h.height));
    Put16(p + 26, h.planes);
    Put16(p + 28, h.bitCount);
    Put32(p + 30, h.compression);
    Put32(p + 34, h.imageSize);
    Put32(p + 38, static_cast<uint32_t>(h.xPelsPerMeter));
    Put32(p + 42, static_cast<uint32_t>(h.yPelsPerMeter));
    Put32(p + 46, h.colorsUsed);
    Put32(p + 50, h.colorsImportant);
}

uint32_t PixelOffsetOf(uint16_t bitCount) {
    switch (bitCount) {
        case 24:
            return 54;
        case 8:
            return 1078;
        case 1:
            return 62;
        default:
            return 0;
    }
}

uint64_t RowStrideOf(uint16_t bitCount, uint64_t width) {
    switch (bitCount) {
        case 24:
            return Stride24(width);
        case 8:
            return Stride8(width);
        case 1:
            return Stride1(width);
        default:
            return 0;
    }
}

bool IsKnownInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

uint64_t BitmapView::RowBytesHeld(uint32_t y) const {
    if (y >= height) return 0;
    const uint64_t start = (topDown ? height - 1 - y : y) * stride;
    return start >= data.size() ? 0 : std::min<uint64_t>(stride, data.size() - start);
}

const uint8_t* BitmapView::Row(uint32_t y) const {
    if (RowBytesHeld(y) == 0) return nullptr;
    return data.data() + (topDown ? height - 1 - y : y) * stride;
}

BitmapStatus ReadBitmap(std::span<const uint8_t> file, BitmapView* out) {
    BmpHeaders h;
    if (!ParseBmpHeaders(file, &h) || h.type != kBmpType) return BitmapStatus::NotBitmap;
    if (!IsKnownInfoHeaderSize(h.headerSize) || PixelOffsetOf(h.bitCount) == 0 ||
        h.compression != 0)
        return BitmapStatus::Unsupported;
    if (file.size() < kFileHeaderSize + h.headerSize) return BitmapStatus::NotBitmap;
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return BitmapStatus::Malformed;
    const uint64_t rows = RowsOf(h);
    const uint64_t stride = RowStrideOf(h.bitCount, static_cast<uint64_t>(h.width));
    const uint64_t dataBytes = stride * rows;  // below 2^64: stride < 2^33, rows <= 2^31
    const uint64_t paletteEnd = PaletteEnd(h);
    const uint64_t size = file.size();
    auto inside = [&](uint64_t at) { return at >= paletteEnd && at <= size; };
    auto holdsRows = [&](uint64_t at) { return inside(at) && size - at >= dataBytes; };
    // The header's offset first; a file whose rows do not fit there may still be a 40-byte
    // header file with a wrong offset field, whose rows sit where that layout puts them.
    const uint64_t fallback = FallbackOffset(h);
    uint64_t offset;
    if (holdsRows(h.dataOffset))
        offset = h.dataOffset;
    else if (fallback != 0 && holdsRows(fallback))
        offset = fallback;
    else if (inside(h.dataOffset))
        offset = h.dataOffset;
    else if (fallback != 0 && inside(fallback))
        offset = fallback;
    else
        return BitmapStatus::Malformed;

    out->headers = h;
    out->width = static_cast<uint32_t>(h.width);
    out->height = static_cast<uint32_t>(rows);
    out->topDown = h.height < 0;
    out->stride = stride;
    out->dataOffset = offset;
    const uint64_t paletteStart = kFileHeaderSize + h.headerSize;
    out->palette = file.subspan(paletteStart, paletteEnd - paletteStart);
    out->data = file.subspan(offset, std::min(dataBytes, size - offset));
    return BitmapStatus::Ok;
}

uint64_t BitmapBytesToRead(std::span<const uint8_t> head, uint64_t fileSize) {
    BmpHeaders h;
    if (!ParseBmpHeaders(head, &h) || PixelOffsetOf(h.bitCount) == 0 ||
        !IsKnownInfoHeaderSize(h.headerSize) || h.width <= 0)
        return std::min<uint64_t>(fileSize, kMonoHeadersSize);
    const uint64_t start = std::max({uint64_t{h.dataOffset}, FallbackOffset(h), PaletteEnd(h)});
    const uint64_t end =
        start + RowStrideOf(h.bitCount, static_cast<uint64_t>(h.width)) * RowsOf(h);
    return std::min(fileSize, end);
}

Bytes MakeGreyWorkBitmap(int32_t width, int32_t height) {
    const BmpHeaders h = WorkHeaders(width, height, 8);
    Bytes file(h.fileSize, 0);
    StoreBmpHeaders(h, file.data());
    for (int i = 0; i < 256; ++i) {
        uint8_t* entry = file.data() + kBmpHeadersSize + 4 * i;
        entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(i);
    }
    return file;
}

Bytes MakeMonoWorkBitmap(int32_t width, int32_t height) {
    const BmpHeaders h = WorkHeaders(width, height, 1);
    Bytes file(h.fileSize, 0);
    StoreBmpHeaders(h, file.data());
    // Entry 0 black, entry 1 white: a set bit is a white pixel.
    uint8_t* white = file.data() + kBmpHeadersSize + 4;
    white[0] = white[1] = white[2] = 255;
    return file;
}

Bytes MakeRgb24Bitmap(int32_t width, int32_t height) {
    const BmpHeaders h = WorkHeaders(width, height, 24);
    Bytes file(h.fileSize, 0);
    StoreBmpHeaders(h, file.data());
    return file;
}

PlainRgb24Route RouteToPlainRgb24(std::span<const uint8_t> head) {
    BmpHeaders h;
    if (!ParseBmpHeaders(head, &h) || h.type != kBmpType) return PlainRgb24Route::NotBitmap;
    const bool plain =
        h.bitCount == 24 && h.headerSize == 40 && h.dataOffset == kBmpHeadersSize && h.height > 0;
    return plain ? PlainRgb24Route::AsItStands : PlainRgb24Route::Rewrite;
}

bool CanWritePlainRgb24(const BitmapView& bitmap) {
    return bitmap.HoldsEveryRow() && FitsBitmapFile(Stride24(bitmap.width) * bitmap.height);
}

bool WritePlainRgb24(const BitmapView& bitmap, const ByteWriter& write) {
    const uint16_t bits = bitmap.headers.bitCount;
    const size_t stride = static_cast<size_t>(Stride24(bitmap.width));
    BmpHeaders h = bitmap.headers;
    h.fileSize = static_cast<uint32_t>(stride * bitmap.height + kBmpHeadersSize);
    h.dataOffset = kBmpHeadersSize;
    h.headerSize = 40;
    h.height = static_cast<int32_t>(bitmap.height);
    if (bits != 24) h.imageSize = 0;
    h.bitCount = 24;
    uint8_t headers[kBmpHeadersSize];
    StoreBmpHeaders(h, headers);
    if (!write(headers, sizeof headers)) return false;

    Bytes row(stride);
    const size_t entries = bitmap.PaletteEntries();
    const uint8_t missing = bits == 1 ? 0xFF : 0x00;
    for (uint32_t y = 0; y < bitmap.height; ++y) {
        const uint8_t* in = bitmap.Row(y);
        if (bits == 24) {
            std::copy(in, in + stride, row.begin());
        } else {
            uint8_t* p = row.data();
            for (uint32_t x = 0; x < bitmap.width; ++x, p += 3) {
                const unsigned index = bits == 1 ? (in[x / 8] >> (7 - x % 8)) & 1u : in[x];
                if (index < entries)
                    std::copy_n(bitmap.palette.data() + 4 * index, 3, p);
                else
                    std::fill_n(p, 3, missing);
            }
            std::fill(p, row.data() + stride, missing);
        }
        if (!write(row.data(), row.size())) return false;
    }
    return true;
}

Bytes PlainRgb24File(std::span<const uint8_t> pixels, uint32_t width, uint32_t height,
                     size_t step) {
    const size_t stride = static_cast<size_t>(Stride24(width));
    BmpHeaders h;
    h.type = kBmpType;
    h.fileSize = static_cast<uint32_t>(kBmpHeadersSize + stride * height);
    h.dataOffset = kBmpHeadersSize;
    h.headerSize = 40;
    h.width = static_cast<int32_t>(width);
    h.height = static_cast<int32_t>(height);
    h.planes = 1;
    h.bitCount = 24;
    Bytes file(h.fileSize, 0);
    StoreBmpHeaders(h, file.data());
    for (size_t y = 0; y < height; ++y) {
        uint8_t* out = file.data() + kBmpHeadersSize + y * stride;
        const uint8_t* in = pixels.data() + y * width * step;
        for (size_t x = 0; x < width; ++x)
            std::copy_n(in + x * step, 3, out + 3 * x);
    }
    return file;
}

std::u16string LogoWorkFile(std::u16string_view sourcePath) {
    // Count characters, not code units, so a surrogate pair is never cut in two.
    size_t end = sourcePath.size();
    int removed = 0;
    while (end > 0 && removed < 4) {
        --end;
        const char16_t c = sourcePath[end];
        const bool trailing = c >= 0xDC00 && c < 0xE000 && end > 0 &&
                              sourcePath[end - 1] >= 0xD800 && sourcePath[end - 1] < 0xDC00;
        if (!trailing) ++removed;
    }
    if (removed < 4) end = sourcePath.size();
    return std::u16string(sourcePath.substr(0, end)) + u"Temp.bmp";
}

}  // namespace krv
