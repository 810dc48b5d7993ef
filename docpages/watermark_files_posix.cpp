// The files seam on systems other than Windows: POSIX calls, paths as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <set>
#include <utility>

#include "channel/ansi_text.h"
#include "docpages/watermark_files.h"

namespace krv::watermark_files {

namespace {

// POSIX has no share modes. The files this process holds exclusively are remembered by device
// and inode, and a second open of one of them fails as a sharing violation would on Windows.
using FileIdentity = std::pair<dev_t, ino_t>;

std::mutex& HeldLock() {
    static std::mutex lock;
    return lock;
}
std::set<FileIdentity>& Held() {
    static std::set<FileIdentity> held;
    return held;
}

bool Identify(int fd, FileIdentity* identity) {
    struct stat st;
    if (fstat(fd, &st) != 0) return false;
    *identity = {st.st_dev, st.st_ino};
    return true;
}

// Claims the open file `fd` for this process alone; closes it and gives -1 when another open
// of the same file is held already.
int Claim(int fd) {
    if (fd < 0) return -1;
    FileIdentity identity;
    std::lock_guard<std::mutex> guard(HeldLock());
    if (!Identify(fd, &identity) || !Held().insert(identity).second) {
        close(fd);
        return -1;
    }
    return fd;
}

void Release(int fd) {
    FileIdentity identity;
    std::lock_guard<std::mutex> guard(HeldLock());
    if (Identify(fd, &identity)) Held().erase(identity);
}

// A name that is not UTF-8 (a GBK file name given to the tool) keeps its bytes.
std::string NativePath(std::u16string_view path) {
    return Utf16ToPath(path);
}

}  // namespace

ExclusiveFile ExclusiveFile::OpenForReading(std::u16string_view path) {
    if (path.empty()) return {};
    return ExclusiveFile(Claim(open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC)));
}

ExclusiveFile ExclusiveFile::CreateReplacing(std::u16string_view path) {
    if (path.empty()) return {};
    // Not O_TRUNC: the file is emptied only once it is known that nobody here holds it.
    const int fd = Claim(open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd < 0) return {};
    ExclusiveFile file(fd);
    if (ftruncate(fd, 0) != 0) return {};
    return file;
}

ExclusiveFile ExclusiveFile::CreateNew(std::u16string_view path) {
    if (path.empty()) return {};
    return ExclusiveFile(
        Claim(open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666)));
}

size_t ExclusiveFile::Read(void* data, size_t size) {
    if (!IsOpen()) return 0;
    auto* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(static_cast<int>(handle_), p + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

bool ExclusiveFile::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    const auto* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(static_cast<int>(handle_), p + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ExclusiveFile::SeekTo(uint64_t offset) {
    if (!IsOpen()) return false;
    const off_t target = static_cast<off_t>(offset);
    return target >= 0 && lseek(static_cast<int>(handle_), target, SEEK_SET) == target;
}

uint64_t ExclusiveFile::Size() {
    struct stat st;
    if (!IsOpen() || fstat(static_cast<int>(handle_), &st) != 0 || st.st_size < 0) return 0;
    return static_cast<uint64_t>(st.st_size);
}

void ExclusiveFile::Close() {
    if (!IsOpen()) return;
    const int fd = static_cast<int>(std::exchange(handle_, kNoHandle));
    Release(fd);
    close(fd);
}

bool MoveReplacing(std::u16string_view from, std::u16string_view to) {
    const std::string target = NativePath(to);
    // Windows cannot replace a file someone holds; neither does this build for the files this
    // process holds.
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        std::lock_guard<std::mutex> guard(HeldLock());
        if (Held().count({st.st_dev, st.st_ino})) return false;
    }
    return rename(NativePath(from).c_str(), target.c_str()) == 0;
}

bool DeleteFileAt(std::u16string_view path) {
    return unlink(NativePath(path).c_str()) == 0;
}

bool CreateFolder(std::u16string_view path) {
    const std::string native = NativePath(path);
    if (mkdir(native.c_str(), 0777) == 0) return true;
    struct stat st;
    return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace krv::watermark_files
