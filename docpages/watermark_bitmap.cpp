#include "docpages/watermark_bitmap.h"

#include <new>

#include "files/files.h"
#include "imaging/bmp_format.h"

namespace krv {

namespace {

// The source as far as a bitmap reader needs it; `head` holds its first bytes.
bool ReadSource(File& file, std::span<const uint8_t> head, std::vector<uint8_t>* bytes) {
    const uint64_t wanted = BitmapBytesToRead(head, file.Size().value_or(0));
    if (wanted > SIZE_MAX || !file.SeekTo(0)) return false;
    try {
        bytes->resize(static_cast<size_t>(wanted));
    } catch (const std::bad_alloc&) {
        return false;
    }
    bytes->resize(file.Read(bytes->data(), bytes->size()));
    return true;
}

// A source already in the work file's form is copied as it stands, read through the handle
// that holds it.
WatermarkConvertResult CopyWholeSource(File& source, File& target) {
    if (!source.SeekTo(0)) return WatermarkConvertResult::SourceUnusable;
    // A read error looks like the end of the file; the size tells them apart.
    const uint64_t size = source.Size().value_or(0);
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

WatermarkConvertResult Convert(File& in, File& out) {
    uint8_t head[kBmpHeadersSize];
    const std::span<const uint8_t> read(head, in.Read(head, sizeof head));
    switch (RouteToPlainRgb24(read)) {
        case PlainRgb24Route::NotBitmap:
            return WatermarkConvertResult::SourceUnusable;
        case PlainRgb24Route::AsItStands:
            return CopyWholeSource(in, out);
        case PlainRgb24Route::Rewrite:
            break;
    }
    std::vector<uint8_t> bytes;
    BitmapView bitmap;
    // Every row the header promises must be there, and the target must be a possible file.
    if (!ReadSource(in, read, &bytes) || ReadBitmap(bytes, &bitmap) != BitmapStatus::Ok ||
        !CanWritePlainRgb24(bitmap))
        return WatermarkConvertResult::SourceUnusable;
    try {
        const bool written = WritePlainRgb24(
            bitmap, [&](const uint8_t* data, size_t size) { return out.Write(data, size); });
        return written ? WatermarkConvertResult::Done : WatermarkConvertResult::TargetNotCreated;
    } catch (const std::bad_alloc&) {
        return WatermarkConvertResult::TargetNotCreated;
    }
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
    const std::u16string folder = TemporaryFolder();
    std::u16string path = WatermarkWorkFilePath(folder, printerName);
    if (path.empty()) return path;
    // A folder that cannot be made shows when the file is written.
    const auto folders = WatermarkWorkFileFolders(folder, printerName);
    for (const std::u16string& inside : folders.value_or(std::vector<std::u16string>{}))
        HaveFolder(inside);
    return path;
}

// ---------------------------------------------------------------- ConvertBitmapTo24

WatermarkConvertResult ConvertBitmapTo24(std::u16string_view source, std::u16string_view target) {
    File in = File::OpenForReading(source, File::Sharing::None);
    if (!in.IsOpen()) return WatermarkConvertResult::SourceUnusable;
    // Written beside the target and put in its place only when whole: a source that turns out
    // unusable, or a write that fails, leaves the target as it was.
    ReplacementFile out(target);
    if (!out.IsOpen()) return WatermarkConvertResult::TargetNotCreated;
    const WatermarkConvertResult result = Convert(in, out.file());
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
    const size_t step = static_cast<size_t>(format);
    if (pixels.size() != size_t(kTextCanvasSize) * kTextCanvasSize * step) return {};
    return PlainRgb24File(pixels, kTextCanvasSize, kTextCanvasSize, step);
}

bool WriteTextWatermarkFile(std::u16string_view path, std::span<const uint8_t> pixels,
                            CanvasPixels format) {
    const std::vector<uint8_t> bytes = TextWatermarkFileBytes(pixels, format);
    if (bytes.empty()) return false;
    return WriteWholeFile(path, bytes.data(), bytes.size());
}

}  // namespace krv
