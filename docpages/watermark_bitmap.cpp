#include "docpages/watermark_bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "docpages/watermark_files.h"

namespace krv {

namespace {

using watermark_files::ExclusiveFile;

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;  // 54
constexpr uint32_t kMonoPixelOffset = 62;                             // two-entry palette
constexpr uint32_t kIndexedPixelOffset = 1078;                        // 256-entry palette
constexpr uint32_t kMonoPaletteSize = 8;
constexpr uint32_t kIndexedPaletteSize = 1024;
constexpr uint32_t kNoCompression = 0;
// Source bytes converted at a time: memory stays small whatever width the header claims.
constexpr size_t kChunk = 4096;

// ---- little-endian fields

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

struct FileHeader {
    uint8_t bytes[kFileHeaderSize];
    bool IsBitmap() const { return bytes[0] == 'B' && bytes[1] == 'M'; }
    uint32_t PixelOffset() const { return U32(bytes + 10); }
};

// The 40-byte information header, kept as read so that the target repeats every field it
// does not change.
struct InfoHeader {
    uint8_t bytes[kInfoHeaderSize];
    uint32_t Size() const { return U32(bytes); }
    int32_t Width() const { return static_cast<int32_t>(U32(bytes + 4)); }
    int32_t Height() const { return static_cast<int32_t>(U32(bytes + 8)); }
    uint16_t BitCount() const { return U16(bytes + 14); }
    uint32_t Compression() const { return U32(bytes + 16); }
};

uint64_t Padding(uint64_t rowBytes) {
    return (4 - rowBytes % 4) % 4;
}

// ---- palette sources

struct PaletteLayout {
    uint32_t pixelOffset;
    uint32_t paletteSize;
    uint16_t bitCount;
    uint8_t targetPadByte;  // the two kinds pad their target rows differently
};

constexpr PaletteLayout kMono{kMonoPixelOffset, kMonoPaletteSize, 1, 0xFF};
constexpr PaletteLayout kIndexed{kIndexedPixelOffset, kIndexedPaletteSize, 8, 0x00};

uint64_t SourceRowBytes(const PaletteLayout& layout, uint64_t width) {
    if (layout.bitCount == 1) return ((width + 7) / 8 + 3) / 4 * 4;
    return width + Padding(width);
}

uint64_t TargetRowBytes(uint64_t width) {
    return (width * 3 + 3) / 4 * 4;
}

// Whether the header describes rows we can read and a target whose size its header can hold.
// The offset alone does not prove the depth (an 8-bit bitmap with two colours also starts its
// pixels at 62), so the depth, the header size and the compression are checked as well; and
// the file must hold every row the header promises, so no read can come up short.
bool PaletteSourceUsable(const PaletteLayout& layout, const InfoHeader& info, uint64_t fileSize) {
    if (info.Size() != kInfoHeaderSize || info.BitCount() != layout.bitCount ||
        info.Compression() != kNoCompression || info.Width() <= 0 || info.Height() <= 0)
        return false;
    const uint64_t width = static_cast<uint64_t>(info.Width());
    const uint64_t height = static_cast<uint64_t>(info.Height());
    if (fileSize < layout.pixelOffset) return false;
    if (SourceRowBytes(layout, width) * height > fileSize - layout.pixelOffset) return false;
    return TargetRowBytes(width) * height <= UINT32_MAX - kHeadersSize;
}

// Header changes of the conversion: 24 bits, image size 0, new file size and pixel offset.
bool WriteTargetHeaders(ExclusiveFile& target, FileHeader file, InfoHeader info) {
    const uint64_t pixels = TargetRowBytes(uint64_t(info.Width())) * uint64_t(info.Height());
    PutU32(file.bytes + 2, static_cast<uint32_t>(pixels + kHeadersSize));
    PutU32(file.bytes + 10, kHeadersSize);
    PutU16(info.bytes + 14, 24);
    PutU32(info.bytes + 20, 0);
    return target.Write(file.bytes, sizeof file.bytes) &&
           target.Write(info.bytes, sizeof info.bytes);
}

enum class RowsResult { Done, SourceShort, TargetFailed };

// Maps the source's pixels through the palette, `chunk` source bytes at a time: bits from the
// most significant down for 1-bit rows, one byte per pixel for 8-bit rows.
size_t MapChunk(const PaletteLayout& layout, const uint8_t* palette, const uint8_t* in,
                size_t inBytes, uint64_t* pixelsLeft, uint8_t* out) {
    size_t o = 0;
    auto put = [&](unsigned entry) {
        std::memcpy(out + o, palette + 4 * entry, 3);
        o += 3;
        --*pixelsLeft;
    };
    for (size_t i = 0; i<inBytes&& * pixelsLeft> 0; ++i) {
        if (layout.bitCount == 8) {
            put(in[i]);
            continue;
        }
        for (int bit = 7; bit >= 0 && *pixelsLeft > 0; --bit)
            put((in[i] >> bit) & 1u);
    }
    return o;
}

RowsResult ConvertRows(const PaletteLayout& layout, const uint8_t* palette, uint64_t width,
                       uint64_t height, ExclusiveFile& source, ExclusiveFile& target) {
    const uint64_t sourceRow = SourceRowBytes(layout, width);
    const size_t pad = static_cast<size_t>(Padding(width * 3));
    const std::array<uint8_t, 3> padBytes{layout.targetPadByte, layout.targetPadByte,
                                          layout.targetPadByte};
    std::vector<uint8_t> in(static_cast<size_t>(std::min<uint64_t>(sourceRow, kChunk)));
    std::vector<uint8_t> out(in.size() * (layout.bitCount == 1 ? 24 : 3));
    for (uint64_t row = 0; row < height; ++row) {
        uint64_t pixelsLeft = width;
        for (uint64_t left = sourceRow; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, in.size()));
            if (source.Read(in.data(), n) != n) return RowsResult::SourceShort;
            left -= n;
            const size_t o = MapChunk(layout, palette, in.data(), n, &pixelsLeft, out.data());
            if (o > 0 && !target.Write(out.data(), o)) return RowsResult::TargetFailed;
        }
        if (pad > 0 && !target.Write(padBytes.data(), pad)) return RowsResult::TargetFailed;
    }
    return RowsResult::Done;
}

WatermarkConvertResult ConvertPaletteSource(const PaletteLayout& layout, const FileHeader& file,
                                            ExclusiveFile& source, ExclusiveFile& target) {
    InfoHeader info;
    if (source.Read(info.bytes, sizeof info.bytes) != sizeof info.bytes)
        return WatermarkConvertResult::SourceUnusable;
    if (!PaletteSourceUsable(layout, info, source.Size()))
        return WatermarkConvertResult::SourceUnusable;
    if (!WriteTargetHeaders(target, file, info)) return WatermarkConvertResult::TargetNotCreated;
    // 1-bit: entries absent from the file stay white; 8-bit: black. The checks above make
    // a short palette impossible, the presets only keep the table defined.
    std::array<uint8_t, kIndexedPaletteSize> palette;
    palette.fill(layout.bitCount == 1 ? 0xFF : 0x00);
    if (source.Read(palette.data(), layout.paletteSize) != layout.paletteSize ||
        !source.SeekTo(layout.pixelOffset))
        return WatermarkConvertResult::SourceUnusable;
    switch (ConvertRows(layout, palette.data(), uint64_t(info.Width()), uint64_t(info.Height()),
                        source, target)) {
        case RowsResult::Done:
            return WatermarkConvertResult::Done;
        case RowsResult::SourceShort:
            return WatermarkConvertResult::SourceUnusable;
        case RowsResult::TargetFailed:
            break;
    }
    return WatermarkConvertResult::TargetNotCreated;
}

// A 24-bit source is copied as it stands; the target loses any read-only attribute of the
// source so that the next conversion can replace it.
WatermarkConvertResult CopyTrueColourSource(ExclusiveFile& source, ExclusiveFile& target,
                                            std::u16string_view sourcePath,
                                            std::u16string_view targetPath) {
    InfoHeader info;
    const bool headerRead = source.Read(info.bytes, sizeof info.bytes) == sizeof info.bytes;
    source.Close();
    target.Close();
    if (!headerRead || info.BitCount() != 24) return WatermarkConvertResult::SourceUnusable;
    if (!watermark_files::CopyReplacing(sourcePath, targetPath))
        return WatermarkConvertResult::TargetNotCreated;
    return watermark_files::SetArchiveOnly(targetPath) ? WatermarkConvertResult::Done
                                                       : WatermarkConvertResult::SourceUnusable;
}

}  // namespace

// ---------------------------------------------------------------- WatermarkWorkFile

std::u16string WatermarkWorkFilePath(std::u16string_view temporaryFolder,
                                     std::u16string_view printerName) {
    static constexpr std::u16string_view kSuffix = u"1.bmp";
    if (temporaryFolder.empty()) return {};
    const size_t length = temporaryFolder.size() + 1 + printerName.size() + kSuffix.size();
    if (length >= kWatermarkWorkFileCapacity) return {};
    std::u16string path;
    path.reserve(length);
    path.append(temporaryFolder).append(u"\\").append(printerName).append(kSuffix);
    return path;
}

std::u16string WatermarkWorkFile(std::u16string_view printerName) {
    return WatermarkWorkFilePath(watermark_files::TemporaryFolder(), printerName);
}

// ---------------------------------------------------------------- ConvertBitmapTo24

WatermarkConvertResult ConvertBitmapTo24(std::u16string_view source, std::u16string_view target) {
    ExclusiveFile in = ExclusiveFile::OpenForReading(source);
    if (!in.IsOpen()) return WatermarkConvertResult::SourceUnusable;
    ExclusiveFile out = ExclusiveFile::CreateReplacing(target);
    if (!out.IsOpen()) return WatermarkConvertResult::TargetNotCreated;
    FileHeader file;
    if (in.Read(file.bytes, sizeof file.bytes) != sizeof file.bytes || !file.IsBitmap())
        return WatermarkConvertResult::SourceUnusable;
    switch (file.PixelOffset()) {
        case kMonoPixelOffset:
            return ConvertPaletteSource(kMono, file, in, out);
        case kIndexedPixelOffset:
            return ConvertPaletteSource(kIndexed, file, in, out);
        case kHeadersSize:
            return CopyTrueColourSource(in, out, source, target);
        default:
            return WatermarkConvertResult::SourceUnusable;
    }
}

std::u16string_view ConvertFailureMessage(WatermarkConvertResult result) {
    switch (result) {
        case WatermarkConvertResult::TargetNotCreated:
            return u"请确认该用户拥有管理员权限！";
        case WatermarkConvertResult::SourceUnusable:
            return u"请确认当前指定的位图为 1/8/24/ 位！";
        case WatermarkConvertResult::Done:
            break;
    }
    return {};
}

// ---------------------------------------------------------------- the text watermark file

std::vector<uint8_t> TextWatermarkFileBytes(std::span<const uint8_t> pixels, CanvasPixels format) {
    constexpr size_t kPixels = size_t(kTextCanvasSize) * kTextCanvasSize;
    const size_t step = static_cast<size_t>(format);
    if (pixels.size() != kPixels * step) return {};
    std::vector<uint8_t> file(kTextWatermarkFileSize, 0);
    uint8_t* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    PutU32(h + 2, kTextWatermarkFileSize);
    PutU32(h + 10, kHeadersSize);
    PutU32(h + 14, kInfoHeaderSize);
    PutU32(h + 18, kTextCanvasSize);
    PutU32(h + 22, kTextCanvasSize);
    PutU16(h + 26, 1);
    PutU16(h + 28, 24);
    // Rows of 300 pixels are 900 bytes, a multiple of 4: no padding.
    uint8_t* out = h + kHeadersSize;
    for (size_t i = 0; i < kPixels; ++i)
        std::memcpy(out + 3 * i, pixels.data() + step * i, 3);
    return file;
}

bool WriteTextWatermarkFile(std::u16string_view path, std::span<const uint8_t> pixels,
                            CanvasPixels format) {
    const std::vector<uint8_t> bytes = TextWatermarkFileBytes(pixels, format);
    if (bytes.empty()) return false;
    ExclusiveFile file = ExclusiveFile::CreateReplacing(path);
    return file.IsOpen() && file.Write(bytes.data(), bytes.size());
}

}  // namespace krv
