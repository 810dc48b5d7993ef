// The file operations behind the watermark work file: one Windows body (kernel32) and one
// body for every other system, so the conversion and the file writers above them are built
// and tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace krv::watermark_files {

// An open file that nobody else may open while we hold it (Windows share mode 0). The portable
// body keeps the same promise inside the process, so converting a file onto itself fails the
// same way on both systems instead of truncating the source before it is read.
class ExclusiveFile {
  public:
    ExclusiveFile() = default;
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;
    ExclusiveFile(ExclusiveFile&& other) noexcept;
    ExclusiveFile& operator=(ExclusiveFile&& other) noexcept;
    ~ExclusiveFile() { Close(); }

    // An existing file, for reading.
    static ExclusiveFile OpenForReading(std::u16string_view path);
    // A new or emptied file, for writing.
    static ExclusiveFile CreateReplacing(std::u16string_view path);

    bool IsOpen() const { return handle_ != kNoHandle; }
    // Bytes read; fewer than `size` only at the end of the file or on an error.
    size_t Read(void* data, size_t size);
    // True only when every byte was written.
    bool Write(const void* data, size_t size);
    bool SeekTo(uint64_t offset);
    // Size of the file in bytes; 0 when unknown.
    uint64_t Size();
    void Close();

  private:
    static constexpr intptr_t kNoHandle = -1;
    explicit ExclusiveFile(intptr_t handle) : handle_(handle) {}
    intptr_t handle_ = kNoHandle;
};

// The user's temporary folder as the system returns it, ending with a separator; empty when the
// system cannot tell. Windows: GetTempPathW. Elsewhere: $TMPDIR, or "/tmp/".
std::u16string TemporaryFolder();

// Copies `source` over `target`, replacing it. False when the copy did not complete.
bool CopyReplacing(std::u16string_view source, std::u16string_view target);

// Leaves `path` with the archive attribute only: a copy of a read-only source would otherwise
// stay read-only, and the next conversion could no longer replace it. Elsewhere: makes the
// file writable by its owner.
bool SetArchiveOnly(std::u16string_view path);

}  // namespace krv::watermark_files
