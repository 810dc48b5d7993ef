#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "imaging/file_io.h"

namespace krv {

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

FilePtr OpenFileForReading(const std::string& path) {
    // Windows cannot open a folder as a file; neither does this build.
    if (!IsRegularFile(path)) return nullptr;
    return FilePtr(std::fopen(path.c_str(), "rb"));
}

FilePtr OpenFileForWriting(const std::string& path) {
    return FilePtr(std::fopen(path.c_str(), "wb"));
}

int64_t OpenFileSize(std::FILE* file) {
    struct stat st;
    if (!file || ::fstat(::fileno(file), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

int64_t GetFileSizeByPath(const std::string& path) {
    FilePtr file = OpenFileForReading(path);
    return file ? OpenFileSize(file.get()) : -1;
}

bool DeleteFileByPath(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

std::string TemporaryFolderPath() {
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir && *dir ? dir : "/tmp/";
    if (folder.back() != '/') folder += '/';
    return folder;
}

bool CreateNewFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0;
}

bool RemoveEmptyFolder(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

}  // namespace krv
