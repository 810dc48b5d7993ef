// Bitmap files read through the file layer: a thin wrapper over the readers of bmp_format.h,
// which work on the bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "imaging/bmp_format.h"

namespace krv {

// The bytes of a bitmap file as far as its headers need them (headers, palette and rows),
// never more than the file holds; nothing when it cannot be opened or the memory is lacking.
std::optional<std::vector<uint8_t>> ReadBitmapFile(std::u16string_view path);
// The headers at the start of a file (ParseBmpHeaders); nothing when it cannot be opened or is
// shorter than them.
std::optional<BmpHeaders> ReadBmpHeadersFile(std::u16string_view path);

}  // namespace krv
