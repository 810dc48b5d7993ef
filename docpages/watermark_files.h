// The file operations behind the watermark work file: one Windows body (kernel32) and one
// body for every other system, so the conversion and the file writers above them are built
// and tested natively; and the replacement of a work file through a new file beside it.
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
    // A file that does not exist yet, for writing; fails when the name is taken.
    static ExclusiveFile CreateNew(std::u16string_view path);

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

// Moves `from` over `to`, replacing it in one step. False when `to` is held open or cannot be
// replaced; `from` is then left where it was.
bool MoveReplacing(std::u16string_view from, std::u16string_view to);

// Deletes a file; false when it could not be deleted.
bool DeleteFileAt(std::u16string_view path);

// True when `path` is a folder afterwards: created here, or there already.
bool CreateFolder(std::u16string_view path);

// ---- portable helpers over the above

// A new file beside `target` (in the same folder, so that it can replace the target in one
// step) that takes the target's place only when Commit succeeds, and is deleted otherwise.
// Whoever reads the target meanwhile sees the old file whole, never a part of the new one.
class ReplacementFile {
  public:
    explicit ReplacementFile(std::u16string_view target);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile();

    bool IsOpen() const { return file_.IsOpen(); }
    ExclusiveFile& File() { return file_; }
    // Closes the new file and moves it over the target. False (the target unchanged, the new
    // file deleted) when it cannot.
    bool Commit();

  private:
    std::u16string target_;
    std::u16string path_;
    ExclusiveFile file_;
};

}  // namespace krv::watermark_files
