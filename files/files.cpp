#include "files/files.h"

#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "files/files_body.h"

namespace krv {

namespace {

thread_local std::string t_lastError;

// The folder part of `path`, its last separator included; empty for a bare name.
std::u16string_view FolderOf(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"\\/");
    return slash == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, slash + 1);
}

std::u16string Hex(uint32_t value) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string text(8, u'0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[i] = kDigits[value & 15];
    return text;
}

}  // namespace

namespace files_body {

void SetError(std::string reason) {
    t_lastError = std::move(reason);
}

}  // namespace files_body

const std::string& LastFileError() {
    return t_lastError;
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), failed_(other.failed_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kNoHandle);
        failed_ = other.failed_;
    }
    return *this;
}

bool File::Fail() {
    files_body::SetError(files_body::SystemError());
    failed_ = true;
    return false;
}

ReplacementFile::ReplacementFile(std::u16string_view target)
    : target_(target.empty() ? std::u16string() : files_body::FollowFileLink(target)) {
    if (target_.empty()) return;
    // A short name, so that the new file's path is hardly longer than the target's folder;
    // the address of this object and a counter keep two replacements from meeting.
    static uint32_t counter = 0;
    const auto seed = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this) >> 4);
    for (int attempt = 0; attempt < 64 && !file_.IsOpen(); ++attempt) {
        path_ = std::u16string(FolderOf(target_)) + u"~krv" + Hex(seed * 2654435761u + ++counter) +
                u".tmp";
        file_ = File::CreateNew(path_);
    }
    if (!file_.IsOpen()) path_.clear();
}

ReplacementFile::~ReplacementFile() {
    if (path_.empty()) return;
    // The reason the replacement failed outlives the clean-up.
    const std::string reason = LastFileError();
    file_.Close();
    DeleteFileAt(path_);
    files_body::SetError(reason);
}

bool ReplacementFile::Commit() {
    if (!file_.IsOpen()) return false;
    if (!file_.Close() || !MoveReplacing(path_, target_)) return false;
    path_.clear();
    return true;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(std::u16string_view path, uint64_t limit,
                                                  File::Sharing sharing) {
    File file = File::OpenForReading(path, sharing);
    if (!file.IsOpen()) return std::nullopt;
    std::vector<uint8_t> bytes;
    try {
        // The size is only a hint: the file may grow or shrink while it is read.
        const uint64_t hint = std::min(limit, file.Size().value_or(0));
        bytes.reserve(static_cast<size_t>(std::min<uint64_t>(hint, bytes.max_size())));
        while (bytes.size() < limit) {
            const size_t at = bytes.size();
            const size_t want = static_cast<size_t>(std::min<uint64_t>(limit - at, 1 << 16));
            bytes.resize(at + want);
            const size_t got = file.Read(bytes.data() + at, want);
            bytes.resize(at + got);
            if (file.Failed()) return std::nullopt;
            if (got == 0) break;
        }
    } catch (const std::bad_alloc&) {
        files_body::SetError("not enough memory to read it");
        return std::nullopt;
    } catch (const std::length_error&) {
        files_body::SetError("not enough memory to read it");
        return std::nullopt;
    }
    return bytes;
}

bool WriteWholeFile(std::u16string_view path, const void* data, size_t size) {
    ReplacementFile file(path);
    return file.IsOpen() && file.file().Write(data, size) && file.Commit();
}

int64_t FileSizeAt(std::u16string_view path) {
    File file = File::OpenForReading(path, File::Sharing::None);
    if (!file.IsOpen()) return -1;
    const auto size = file.Size();
    return size && *size <= uint64_t(INT64_MAX) ? static_cast<int64_t>(*size) : -1;
}

}  // namespace krv
