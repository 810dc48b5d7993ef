#include "imaging/file_io.h"

#include <climits>

namespace krv {

size_t ReadFileAt(std::FILE* file, uint64_t offset, void* buffer, size_t length) {
    // Only the fixed header and pixel offsets of the bitmap forms are ever asked for.
    if (!file || offset > static_cast<uint64_t>(LONG_MAX)) return 0;
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(buffer, 1, length, file);
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
