// The program's one door to files and folders: open, read, write through a new file that
// replaces the old one only when whole, folders, the temporary and the Windows folder, and
// what a path names. One Windows body (kernel32, files_nt.cpp) and one POSIX body
// (files_posix.cpp); everything above them is portable and tested natively.
//
// Paths are UTF-16, as everywhere in the plug-in. On POSIX systems a name that is not UTF-8
// travels as lone surrogates U+DC80..U+DCFF (PathToUtf16) and reaches the system as the bytes
// it was. A failure leaves its reason in LastFileError().
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace krv {

// The system's words for why the last call of this layer on this thread failed.
const std::string& LastFileError();
// The system's words for one of its error numbers (errno; on Windows a system error code).
std::string SystemErrorText(int code);

// ---------------------------------------------------------------- what a path names

enum class PathKind {
    Missing,  // nothing there (on Windows also: cannot be looked at)
    Unknown,  // cannot be looked at (POSIX: any reason but a missing name)
    File,     // a regular file
    Folder,
    Device,  // a character device or a pipe, written as it goes
    Other,   // a block device, a socket...
};
// What `path` names. Unless it is a regular file, `what` (when given) receives in words what
// it is instead ("is a folder, not a file") or why it cannot be looked at.
PathKind KindOfPath(std::u16string_view path, std::string* what = nullptr);

// ---------------------------------------------------------------- open files

class File {
  public:
    // Who else may open the file while it is held. POSIX has no share modes: there the files
    // this process holds with Sharing::None are remembered, and another open of one of them
    // in this process fails as a sharing violation would on Windows.
    enum class Sharing { None, Readers };

    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File() { Close(); }

    // An existing regular file, for reading. A folder, a device or a pipe is refused without
    // being waited on.
    static File OpenForReading(std::u16string_view path, Sharing sharing);
    // A file that does not exist yet, for writing, shared with nobody; fails when the name is
    // taken.
    static File CreateNew(std::u16string_view path);

    bool IsOpen() const { return handle_ != kNoHandle; }
    // Bytes read; fewer than `size` only at the end of the file or on an error (Failed).
    size_t Read(void* data, size_t size);
    // True once a read, a write or a seek has failed.
    bool Failed() const { return failed_; }
    // True only when every byte was written.
    bool Write(const void* data, size_t size);
    bool SeekTo(uint64_t offset);
    // The size in bytes; nothing when the system cannot tell.
    std::optional<uint64_t> Size();
    // False when closing reports an error (a delayed write error).
    bool Close();

  private:
    static constexpr intptr_t kNoHandle = -1;
    explicit File(intptr_t handle) : handle_(handle) {}
    bool Fail();  // records the system's reason; false
    intptr_t handle_ = kNoHandle;
    bool failed_ = false;
};

// ---------------------------------------------------------------- files and folders

// Moves `from` over `to`, replacing it in one step (a replaced file's permissions stay).
// False when `to` is held open or cannot be replaced; `from` is then left where it was.
bool MoveReplacing(std::u16string_view from, std::u16string_view to);
// Deletes a file; false when it could not be deleted (or was not there).
bool DeleteFileAt(std::u16string_view path);
// Makes a folder that did not exist; false when the name is taken or it cannot be made.
bool MakeFolder(std::u16string_view path);
// True when `path` is a folder afterwards: made here, or there already.
bool HaveFolder(std::u16string_view path);
// Removes an empty folder; false when it is not empty or cannot be removed.
bool RemoveEmptyFolder(std::u16string_view path);

// The user's temporary folder as the system returns it, ending with a separator; empty when
// the system cannot tell. Windows: GetTempPathW. Elsewhere: $TMPDIR, or "/tmp/".
std::u16string TemporaryFolder();
// The Windows folder as the system reports it; none where there is no such folder.
std::optional<std::u16string> WindowsFolder();

// ---------------------------------------------------------------- portable helpers

// A new file beside `target` (in the same folder, so that it can replace the target in one
// step) that takes the target's place only when Commit succeeds, and is deleted otherwise.
// Whoever reads the target meanwhile sees the old file whole, never a part of the new one.
// A target that is a link to a file is followed: the file is replaced, the link stays.
class ReplacementFile {
  public:
    explicit ReplacementFile(std::u16string_view target);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile();

    bool IsOpen() const { return file_.IsOpen(); }
    File& file() { return file_; }
    // Closes the new file and moves it over the target. False (the target unchanged, the new
    // file deleted) when it cannot.
    bool Commit();

  private:
    std::u16string target_;
    std::u16string path_;
    File file_;
};

// Reads at most `limit` bytes of the regular file `path`; nothing when it cannot be opened or
// read, or the memory is lacking.
std::optional<std::vector<uint8_t>> ReadWholeFile(std::u16string_view path, uint64_t limit,
                                                  File::Sharing sharing = File::Sharing::Readers);
// Writes the whole buffer as the new content of `path`, through a ReplacementFile: false (and
// `path` as it was) when it cannot.
bool WriteWholeFile(std::u16string_view path, const void* data, size_t size);
// The size of a file opened for reading, shared with nobody; -1 when it cannot be opened or
// its size read.
int64_t FileSizeAt(std::u16string_view path);

}  // namespace krv
