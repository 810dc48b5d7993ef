// The download source file on systems other than Windows. POSIX has no mandatory share
// modes, so "shared with nobody" cannot be enforced here; everything else is as on Windows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "channel/ansi_text.h"
#include "jobs/file_download.h"

namespace krv {

namespace {

class PosixDownloadFile : public DownloadSourceFile {
  public:
    ~PosixDownloadFile() override { Close(); }

    bool Open(std::u16string_view path) override {
        Close();
        const std::string name = Utf16ToUtf8(path);
        if (name.empty()) return false;
        fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return false;
        struct stat st {};
        // Only regular files have a size to send; a folder or a device is refused here.
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            Close();
            return false;
        }
        return true;
    }

    bool Size(uint64_t* size) override {
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_size < 0) return false;
        *size = static_cast<uint64_t>(st.st_size);
        return true;
    }

    bool SeekToStart() override { return fd_ >= 0 && ::lseek(fd_, 0, SEEK_SET) == 0; }

    bool Read(uint8_t* into, size_t length, size_t* got) override {
        *got = 0;
        if (fd_ < 0) return false;
        while (*got < length) {
            const ssize_t n = ::read(fd_, into + *got, length - *got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            if (n == 0) break;  // the file ended early; the caller sees the short count
            *got += static_cast<size_t>(n);
        }
        return true;
    }

    void Close() override {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<DownloadSourceFile> MakeSystemDownloadFile() {
    return std::make_unique<PosixDownloadFile>();
}

}  // namespace krv
