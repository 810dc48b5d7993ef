// The file layer on systems other than Windows: POSIX calls, paths as the bytes they were.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

#include "channel/ansi_text.h"
#include "files/files.h"
#include "files/files_body.h"
#include "files/private_profile.h"

namespace krv {

namespace {

using files_body::SetError;
using files_body::SystemError;

std::string NativePath(std::u16string_view path) {
    return Utf16ToPath(path);
}

// What a path that is not a regular file is, in words.
std::string NotAFile(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISFIFO(mode)) return "is a pipe, not a regular file";
    if (S_ISCHR(mode)) return "is a character device, not a regular file";
    if (S_ISBLK(mode)) return "is a block device, not a regular file";
    if (S_ISSOCK(mode)) return "is a socket, not a regular file";
    return "is not a regular file";
}

// The files this process holds with Sharing::None, by device and inode.
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

bool IsHeld(const FileIdentity& identity) {
    std::lock_guard<std::mutex> guard(HeldLock());
    return Held().count(identity) != 0;
}

// Admits the open file `fd` with `sharing`: it is closed (and -1 given) when another open of
// it in this process is held exclusively, or when this one would be and the file is open.
int Admit(int fd, File::Sharing sharing) {
    if (fd < 0) return -1;
    FileIdentity identity;
    if (!Identify(fd, &identity)) {
        SetError(SystemError());
        close(fd);
        return -1;
    }
    std::lock_guard<std::mutex> guard(HeldLock());
    const bool refused = sharing == File::Sharing::None ? !Held().insert(identity).second
                                                        : Held().count(identity) != 0;
    if (refused) {
        SetError("the file is in use");
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

int OpenFailed() {
    SetError(SystemError());
    return -1;
}

}  // namespace

namespace files_body {

std::string SystemError() {
    return SystemErrorText(errno);
}

std::u16string FollowFileLink(std::u16string_view path) {
    const std::string native = NativePath(path);
    struct stat st;
    if (stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::u16string(path);
    char* real = realpath(native.c_str(), nullptr);
    std::u16string target = real ? PathToUtf16(real) : std::u16string(path);
    std::free(real);
    return target;
}

}  // namespace files_body

std::string SystemErrorText(int code) {
    return std::strerror(code);
}

PathKind KindOfPath(std::u16string_view path, std::string* what) {
    struct stat st;
    const auto say = [&](std::string words) {
        if (what) *what = std::move(words);
    };
    if (stat(NativePath(path).c_str(), &st) != 0) {
        say(SystemError());
        return errno == ENOENT ? PathKind::Missing : PathKind::Unknown;
    }
    if (S_ISREG(st.st_mode)) return PathKind::File;
    say(NotAFile(st.st_mode));
    if (S_ISDIR(st.st_mode)) return PathKind::Folder;
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) return PathKind::Device;
    return PathKind::Other;
}

File File::OpenForReading(std::u16string_view path, Sharing sharing) {
    if (path.empty()) return {};
    // Non-blocking: a pipe standing at the path is refused below, never waited on.
    const int fd = open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return File(OpenFailed());
    struct stat st;
    const bool examined = fstat(fd, &st) == 0;
    if (!examined || !S_ISREG(st.st_mode)) {
        SetError(examined ? NotAFile(st.st_mode) : SystemError());
        close(fd);
        return {};
    }
    return File(Admit(fd, sharing));
}

File File::CreateNew(std::u16string_view path) {
    if (path.empty()) return {};
    const int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return File(OpenFailed());
    return File(Admit(fd, Sharing::None));
}

size_t File::Read(void* data, size_t size) {
    if (!IsOpen()) return 0;
    auto* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(static_cast<int>(handle_), p + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail();
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

bool File::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    const auto* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(static_cast<int>(handle_), p + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) return Fail();
        done += static_cast<size_t>(n);
    }
    return true;
}

bool File::SeekTo(uint64_t offset) {
    if (!IsOpen()) return false;
    const off_t target = static_cast<off_t>(offset);
    if (target >= 0 && lseek(static_cast<int>(handle_), target, SEEK_SET) == target) return true;
    return Fail();
}

std::optional<uint64_t> File::Size() {
    struct stat st;
    if (!IsOpen() || fstat(static_cast<int>(handle_), &st) != 0 || st.st_size < 0) {
        SetError(SystemError());
        return std::nullopt;
    }
    return static_cast<uint64_t>(st.st_size);
}

bool File::Close() {
    if (!IsOpen()) return true;
    const int fd = static_cast<int>(std::exchange(handle_, kNoHandle));
    Release(fd);
    if (close(fd) == 0) return true;
    SetError(SystemError());
    return false;
}

bool MoveReplacing(std::u16string_view from, std::u16string_view to) {
    const std::string source = NativePath(from), target = NativePath(to);
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        // Windows cannot replace a file someone holds; neither does this build for the files
        // this process holds.
        if (IsHeld({st.st_dev, st.st_ino})) {
            SetError("the file is in use");
            return false;
        }
        if (S_ISREG(st.st_mode)) chmod(source.c_str(), st.st_mode & 07777);
    }
    if (rename(source.c_str(), target.c_str()) == 0) return true;
    SetError(SystemError());
    return false;
}

bool DeleteFileAt(std::u16string_view path) {
    if (unlink(NativePath(path).c_str()) == 0) return true;
    SetError(SystemError());
    return false;
}

bool MakeFolder(std::u16string_view path) {
    if (mkdir(NativePath(path).c_str(), 0700) == 0) return true;
    SetError(SystemError());
    return false;
}

bool HaveFolder(std::u16string_view path) {
    const std::string native = NativePath(path);
    if (mkdir(native.c_str(), 0777) == 0) return true;
    SetError(SystemError());
    struct stat st;
    return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveEmptyFolder(std::u16string_view path) {
    if (rmdir(NativePath(path).c_str()) == 0) return true;
    SetError(SystemError());
    return false;
}

std::u16string TemporaryFolder() {
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir && *dir ? dir : "/tmp/";
    if (folder.back() != '/') folder += '/';
    return PathToUtf16(folder);
}

std::optional<std::u16string> WindowsFolder() {
    return std::nullopt;
}

PrivateProfileSeam& SystemPrivateProfile() {
    static FilePrivateProfile profile;
    return profile;
}

}  // namespace krv
