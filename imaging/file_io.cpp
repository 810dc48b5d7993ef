#include "imaging/file_io.h"

#include <climits>
#include <new>

namespace krv {

size_t ReadFileAt(std::FILE* file, uint64_t offset, void* buffer, size_t length) {
    // Only the fixed header and pixel offsets of the bitmap forms are ever asked for.
    if (!file || offset > static_cast<uint64_t>(LONG_MAX)) return 0;
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(buffer, 1, length, file);
}

std::optional<std::vector<uint8_t>> ReadBitmapFile(const std::string& path) {
    FilePtr file = OpenFileForReading(path);
    if (!file) return std::nullopt;
    const int64_t size = OpenFileSize(file.get());
    if (size < 0) return std::nullopt;
    uint8_t head[kBmpHeadersSize];
    const size_t got = ReadFileAt(file.get(), 0, head, sizeof head);
    const uint64_t wanted = BitmapBytesToRead({head, got}, static_cast<uint64_t>(size));
    if (wanted > SIZE_MAX) return std::nullopt;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(wanted));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    bytes.resize(ReadFileAt(file.get(), 0, bytes.data(), bytes.size()));
    return bytes;
}

std::optional<BmpHeaders> ReadBmpHeadersFile(const std::string& path) {
    FilePtr file = OpenFileForReading(path);
    if (!file) return std::nullopt;
    uint8_t head[kBmpHeadersSize];
    BmpHeaders h;
    if (!ParseBmpHeaders({head, ReadFileAt(file.get(), 0, head, sizeof head)}, &h))
        return std::nullopt;
    return h;
}

bool WriteWholeFile(const std::string& path, const uint8_t* data, size_t size) {
    FilePtr file = OpenFileForWriting(path);
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file.get()) == size;
    const bool closed = std::fclose(file.release()) == 0;
    if (written && closed) return true;
    // A half-written work bitmap would be previewed and downloaded as if it were whole.
    DeleteFileByPath(path);
    return false;
}

}  // namespace krv
