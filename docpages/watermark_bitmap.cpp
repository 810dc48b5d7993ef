#include "docpages/watermark_bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "docpages/watermark_files.h"
#include "imaging/bmp_format.h"

namespace krv {

namespace {

using watermark_files::ExclusiveFile;
using watermark_files::ReplacementFile;

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;  // 54

// ---- little-endian fields

void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t TargetRowBytes(uint64_t width) {
    return (width * 3 + 3) / 4 * 4;
}

// A 24-bit file laid out as the work file is (40-byte header, pixels at 54, bottom-up rows)
// is copied as it stands, whatever else its header says.
bool IsWorkFileLayout(const BmpHeaders& h) {
    return h.bitCount == 24 && h.headerSize == kInfoHeaderSize && h.dataOffset == kHeadersSize &&
           h.height > 0;
}

// The source as far as a bitmap reader needs it; `head` holds its first bytes.
bool ReadSource(ExclusiveFile& file, std::span<const uint8_t> head, std::vector<uint8_t>* bytes) {
    const uint64_t wanted = BitmapBytesToRead(head, file.Size());
    if (wanted > SIZE_MAX || !file.SeekTo(0)) return false;
    try {
        bytes->resize(static_cast<size_t>(wanted));
    } catch (const std::bad_alloc&) {
        return false;
    }
    bytes->resize(file.Read(bytes->data(), bytes->size()));
    return true;
}

// The target's headers: the source's fields as read, except a 40-byte information header, a
// positive height, 24 bits, the new file size and pixel offset, and (for a palette source)
// image size 0.
bool WriteTargetHeaders(ExclusiveFile& target, const BitmapView& bitmap) {
    BmpHeaders h = bitmap.headers;
    const uint64_t pixels = TargetRowBytes(bitmap.width) * bitmap.height;
    h.fileSize = static_cast<uint32_t>(pixels + kHeadersSize);
    h.dataOffset = kHeadersSize;
    h.headerSize = kInfoHeaderSize;
    h.height = static_cast<int32_t>(bitmap.height);
    if (h.bitCount != 24) h.imageSize = 0;
    h.bitCount = 24;
    uint8_t bytes[kHeadersSize];
    StoreBmpHeaders(h, bytes);
    return target.Write(bytes, sizeof bytes);
}

// One target row: palette sources map every pixel through the palette (entries the file
// lacks are white for 1 bit, black for 8 bits) and pad with 0xFF (1 bit) or 0 (8 bits); a
// 24-bit source row is taken whole, its padding included.
void MapRow(const BitmapView& bitmap, const uint8_t* in, uint8_t* out) {
    const uint16_t bits = bitmap.headers.bitCount;
    if (bits == 24) {
        std::memcpy(out, in, static_cast<size_t>(bitmap.stride));
        return;
    }
    const size_t entries = bitmap.PaletteEntries();
    const uint8_t missing = bits == 1 ? 0xFF : 0x00;
    uint8_t* p = out;
    for (uint32_t x = 0; x < bitmap.width; ++x, p += 3) {
        const unsigned index = bits == 1 ? (in[x / 8] >> (7 - x % 8)) & 1u : in[x];
        if (index < entries)
            std::memcpy(p, bitmap.palette.data() + 4 * index, 3);
        else
            std::memset(p, missing, 3);
    }
    const size_t pad = static_cast<size_t>(TargetRowBytes(bitmap.width)) - 3 * bitmap.width;
    std::memset(p, bits == 1 ? 0xFF : 0x00, pad);
}

WatermarkConvertResult WriteTarget(ExclusiveFile& target, const BitmapView& bitmap) {
    if (!WriteTargetHeaders(target, bitmap)) return WatermarkConvertResult::TargetNotCreated;
    std::vector<uint8_t> row;
    try {
        row.resize(static_cast<size_t>(TargetRowBytes(bitmap.width)));
    } catch (const std::bad_alloc&) {
        return WatermarkConvertResult::TargetNotCreated;
    }
    for (uint32_t y = 0; y < bitmap.height; ++y) {
        MapRow(bitmap, bitmap.Row(y), row.data());
        if (!target.Write(row.data(), row.size())) return WatermarkConvertResult::TargetNotCreated;
    }
    return WatermarkConvertResult::Done;
}

// A 24-bit source in the work file's layout is copied as it stands, read through the handle
// that holds it.
WatermarkConvertResult CopyWholeSource(ExclusiveFile& source, ExclusiveFile& target) {
    if (!source.SeekTo(0)) return WatermarkConvertResult::SourceUnusable;
    // A read error looks like the end of the file; the size tells them apart.
    const uint64_t size = source.Size();
    uint64_t copied = 0;
    std::vector<uint8_t> buffer(65536);
    for (;;) {
        const size_t n = source.Read(buffer.data(), buffer.size());
        if (n == 0) break;
        if (!target.Write(buffer.data(), n)) return WatermarkConvertResult::TargetNotCreated;
        copied += n;
    }
    return copied == size ? WatermarkConvertResult::Done : WatermarkConvertResult::SourceUnusable;
}

WatermarkConvertResult Convert(ExclusiveFile& in, ExclusiveFile& out) {
    uint8_t head[kHeadersSize];
    BmpHeaders headers;
    const std::span<const uint8_t> read(head, in.Read(head, sizeof head));
    if (!ParseBmpHeaders(read, &headers) || headers.type != kBmpType)
        return WatermarkConvertResult::SourceUnusable;
    if (IsWorkFileLayout(headers)) return CopyWholeSource(in, out);
    std::vector<uint8_t> bytes;
    BitmapView bitmap;
    // Every row the header promises must be there, and the target must be a possible file.
    if (!ReadSource(in, read, &bytes) || ReadBitmap(bytes, &bitmap) != BitmapStatus::Ok ||
        !bitmap.HoldsEveryRow() || !FitsBitmapFile(TargetRowBytes(bitmap.width) * bitmap.height))
        return WatermarkConvertResult::SourceUnusable;
    return WriteTarget(out, bitmap);
}

}  // namespace

// ---------------------------------------------------------------- WatermarkWorkFile

std::u16string WatermarkWorkFilePath(std::u16string_view temporaryFolder,
                                     std::u16string_view printerName) {
    static constexpr std::u16string_view kSuffix = u"1.bmp";
    if (temporaryFolder.empty()) return {};
    const size_t length = temporaryFolder.size() + 1 + printerName.size() + kSuffix.size();
    if (length >= kWatermarkWorkFileCapacity) return {};
    if (!WatermarkWorkFileFolders(temporaryFolder, printerName)) return {};
    std::u16string path;
    path.reserve(length);
    path.append(temporaryFolder).append(u"\\").append(printerName).append(kSuffix);
    return path;
}

std::optional<std::vector<std::u16string>> WatermarkWorkFileFolders(
    std::u16string_view temporaryFolder, std::u16string_view printerName) {
    // The name's parts between separators; doubled separators give empty parts, which the
    // system's paths skip. The last part names the file.
    std::vector<std::u16string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = printerName.find_first_of(u"\\/", start);
        const std::u16string_view part = printerName.substr(start, end - start);
        if (part == u"." || part == u".." || part.find(u':') != std::u16string_view::npos)
            return std::nullopt;
        if (!part.empty() || end == std::u16string_view::npos) parts.push_back(part);
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    std::vector<std::u16string> folders;
    std::u16string folder(temporaryFolder);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        if (i > 0) folder += u'\\';
        folder += parts[i];
        folders.push_back(folder);
    }
    return folders;
}

std::u16string WatermarkWorkFile(std::u16string_view printerName) {
    const std::u16string folder = watermark_files::TemporaryFolder();
    std::u16string path = WatermarkWorkFilePath(folder, printerName);
    if (path.empty()) return path;
    // A folder that cannot be made shows when the file is written.
    const auto folders = WatermarkWorkFileFolders(folder, printerName);
    for (const std::u16string& inside : folders.value_or(std::vector<std::u16string>{}))
        watermark_files::CreateFolder(inside);
    return path;
}

// ---------------------------------------------------------------- ConvertBitmapTo24

WatermarkConvertResult ConvertBitmapTo24(std::u16string_view source, std::u16string_view target) {
    ExclusiveFile in = ExclusiveFile::OpenForReading(source);
    if (!in.IsOpen()) return WatermarkConvertResult::SourceUnusable;
    // Written beside the target and put in its place only when whole: a source that turns out
    // unusable, or a write that fails, leaves the target as it was.
    ReplacementFile out(target);
    if (!out.IsOpen()) return WatermarkConvertResult::TargetNotCreated;
    const WatermarkConvertResult result = Convert(in, out.File());
    if (result != WatermarkConvertResult::Done) return result;
    // The source is held until the target is replaced, so a source that is the target itself
    // cannot be replaced under its reader, on any system.
    return out.Commit() ? result : WatermarkConvertResult::TargetNotCreated;
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
    ReplacementFile file(path);
    return file.IsOpen() && file.File().Write(bytes.data(), bytes.size()) && file.Commit();
}

}  // namespace krv
