#include "docpages/watermark_files.h"

#include <cstdint>
#include <string>
#include <utility>

#include "channel/ansi_text.h"
#include "imaging/file_io.h"

namespace krv::watermark_files {

ExclusiveFile::ExclusiveFile(ExclusiveFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)) {}

ExclusiveFile& ExclusiveFile::operator=(ExclusiveFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kNoHandle);
    }
    return *this;
}

namespace {

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

std::u16string TemporaryFolder() {
    return Utf8ToUtf16(TemporaryFolderPath());
}

ReplacementFile::ReplacementFile(std::u16string_view target) : target_(target) {
    if (target.empty()) return;
    // A short name, so that the new file's path is hardly longer than the target's folder;
    // the address of this object and a counter keep two replacements from meeting.
    static uint32_t counter = 0;
    const auto seed = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this) >> 4);
    for (int attempt = 0; attempt < 64 && !file_.IsOpen(); ++attempt) {
        path_ = std::u16string(FolderOf(target)) + u"~krv" + Hex(seed * 2654435761u + ++counter) +
                u".tmp";
        file_ = ExclusiveFile::CreateNew(path_);
    }
    if (!file_.IsOpen()) path_.clear();
}

ReplacementFile::~ReplacementFile() {
    file_.Close();
    if (!path_.empty()) DeleteFileAt(path_);
}

bool ReplacementFile::Commit() {
    if (!file_.IsOpen()) return false;
    file_.Close();
    if (!MoveReplacing(path_, target_)) return false;
    path_.clear();
    return true;
}

}  // namespace krv::watermark_files
