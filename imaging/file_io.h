// The logo code's only door to the file system. Paths are UTF-8; the Windows body opens files
// by their wide path, so every name the user can pick works whatever the ANSI code page.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/bmp_format.h"

namespace krv {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens an existing file for binary reading, shared with other readers; null when it cannot.
FilePtr OpenFileForReading(const std::string& path);
// Creates or truncates a file for binary writing; null when it cannot.
FilePtr OpenFileForWriting(const std::string& path);
// The size of an open file, or -1.
int64_t OpenFileSize(std::FILE* file);
// The size of a file in bytes, or -1 when it cannot be opened or its size read.
int64_t GetFileSizeByPath(const std::string& path);
// Deletes a file; false when it did not exist or could not be removed.
bool DeleteFileByPath(const std::string& path);
// The user's temporary folder, ending with a separator; empty when the system cannot tell.
// Windows: GetTempPathW. Elsewhere: $TMPDIR, or "/tmp/".
std::string TemporaryFolderPath();
// Makes a folder that did not exist; false when the name is taken or it cannot be made.
bool CreateNewFolder(const std::string& path);
// Removes an empty folder; false when it is not empty or cannot be removed.
bool RemoveEmptyFolder(const std::string& path);

// ---- portable helpers over the above

// Reads up to `length` bytes at `offset`; returns how many were read.
size_t ReadFileAt(std::FILE* file, uint64_t offset, void* buffer, size_t length);
// The bytes of a bitmap file as far as its headers need them (headers, palette and rows),
// never more than the file holds; nothing when it cannot be opened or the memory is lacking.
std::optional<std::vector<uint8_t>> ReadBitmapFile(const std::string& path);
// The headers at the start of a file (ParseBmpHeaders); nothing when it cannot be opened or is
// shorter than them.
std::optional<BmpHeaders> ReadBmpHeadersFile(const std::string& path);
// Writes the whole buffer to a new file; false (and no file left) when it cannot.
bool WriteWholeFile(const std::string& path, const uint8_t* data, size_t size);

}  // namespace krv
