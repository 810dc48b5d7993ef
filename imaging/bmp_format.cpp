#include "imaging/bmp_format.h"

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

std::string LogoWorkFile(const std::string& sourcePath) {
    // Count characters, not bytes, so a multi-byte character is never cut in two.
    size_t end = sourcePath.size();
    int removed = 0;
    while (end > 0 && removed < 4) {
        --end;
        if ((static_cast<uint8_t>(sourcePath[end]) & 0xC0) != 0x80) ++removed;
    }
    if (removed < 4) end = sourcePath.size();
    return sourcePath.substr(0, end) + "Temp.bmp";
}

}  // namespace krv
