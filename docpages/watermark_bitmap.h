// The watermark work file: the 24-bit bitmap the watermark page leaves in the user's temporary
// folder for the driver's rendering side, either converted from the user's bitmap or written
// from the 300 x 300 drawing of a text watermark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace krv {

// ---- WatermarkWorkFile

// The path buffer of the work file holds 260 characters, the terminator included.
constexpr size_t kWatermarkWorkFileCapacity = 260;

// temporaryFolder + "\" + printerName + "1.bmp". The folder already ends with a separator, so
// the separator comes out doubled; the rendering side builds the same name, so it stays.
// Empty when the folder is empty, when the path would not fit its buffer (a shortened name
// would no longer be the file the rendering side looks for), or when the printer name would
// lead out of the folder.
std::u16string WatermarkWorkFilePath(std::u16string_view temporaryFolder,
                                     std::u16string_view printerName);
// The folders, outermost first, that the work file lies in below the temporary folder: a
// printer reached through a server is named "\server\queue", so its work file lies in the
// folder "server". Nothing when a part of the name is "." or ".." or holds a ':' (a drive or
// a stream), which would lead out of the temporary folder.
std::optional<std::vector<std::u16string>> WatermarkWorkFileFolders(
    std::u16string_view temporaryFolder, std::u16string_view printerName);
// The work file in the user's temporary folder, with the folders it lies in created there.
std::u16string WatermarkWorkFile(std::u16string_view printerName);

// ---- ConvertBitmapTo24

enum class WatermarkConvertResult : int {
    SourceUnusable = 0,    // cannot be opened, or not a 1-, 8- or 24-bit bitmap we can read
    Done = 1,              //
    TargetNotCreated = 2,  // the target cannot be created or written
};

// Writes a 24-bit bitmap with a 40-byte information header and bottom-up rows at `target` from
// an uncompressed 1-, 8- or 24-bit bitmap at `source` that holds every row it promises (any
// information header and row order the bitmap reader takes). A 24-bit source already laid out
// that way is copied as it stands. The new file is written beside the target and replaces it
// only when whole: whatever fails, the target stays as it was.
WatermarkConvertResult ConvertBitmapTo24(std::u16string_view source, std::u16string_view target);

// The page's message for a failed conversion; empty for Done.
std::u16string_view ConvertFailureMessage(WatermarkConvertResult result);

// ---- the text watermark file

constexpr int kTextCanvasSize = 300;                             // pixels each way
constexpr uint32_t kTextWatermarkFileSize = 54 + 300 * 300 * 3;  // 270,054 bytes

// How the canvas was read back: rows of 300 pixels, bottom-up, blue-green-red(-unused).
enum class CanvasPixels { Bgra32 = 4, Bgr24 = 3 };

// The whole 270,054-byte file for a canvas read back in `format`; empty when `pixels` is not
// exactly 300 x 300 pixels of that format. Of 32-bit pixels the fourth byte is dropped.
std::vector<uint8_t> TextWatermarkFileBytes(std::span<const uint8_t> pixels, CanvasPixels format);

// Writes the file and puts it in the place of `path` (as ConvertBitmapTo24 does). False when
// the pixels are not a whole canvas, or when the file cannot be created or completely
// written; `path` then stays as it was.
bool WriteTextWatermarkFile(std::u16string_view path, std::span<const uint8_t> pixels,
                            CanvasPixels format);

}  // namespace krv
