#include "imaging/bmp_file.h"

#include <new>

#include "files/files.h"

namespace krv {

std::optional<std::vector<uint8_t>> ReadBitmapFile(std::u16string_view path) {
    File file = File::OpenForReading(path, File::Sharing::Readers);
    if (!file.IsOpen()) return std::nullopt;
    const auto size = file.Size();
    if (!size) return std::nullopt;
    uint8_t head[kBmpHeadersSize];
    const size_t got = file.Read(head, sizeof head);
    const uint64_t wanted = BitmapBytesToRead({head, got}, *size);
    if (wanted > SIZE_MAX) return std::nullopt;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(wanted));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!file.SeekTo(0)) return std::nullopt;
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

std::optional<BmpHeaders> ReadBmpHeadersFile(std::u16string_view path) {
    File file = File::OpenForReading(path, File::Sharing::Readers);
    if (!file.IsOpen()) return std::nullopt;
    uint8_t head[kBmpHeadersSize];
    BmpHeaders h;
    if (!ParseBmpHeaders({head, file.Read(head, sizeof head)}, &h)) return std::nullopt;
    return h;
}

}  // namespace krv
