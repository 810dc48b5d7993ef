#include "printerapp/held_upload.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "channel/ansi_text.h"
#include "files/files.h"

namespace krv::app {

namespace {

namespace fs = std::filesystem;

std::string NewToken() {
    std::random_device random;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 32; ++i)
        token.push_back(kHex[random() % 16]);
    return token;
}

// The name goes into a line of its own.
std::string OneLine(std::string_view name) {
    std::string out(name.substr(0, 255));
    for (char& c : out)
        if (c == '\n' || c == '\r') c = ' ';
    return out;
}

}  // namespace

HeldUpload::HeldUpload(std::string folder, std::string kind)
    : folder_(std::move(folder)),
      data_(folder_ + "/" + kind + ".held"),
      about_(folder_ + "/" + kind + ".about") {}

std::string HeldUpload::Hold(std::string_view name, std::span<const uint8_t> bytes) {
    Discard();
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const std::string token = NewToken();
    const std::string about = token + "\n" + OneLine(name) + "\n";
    if (!WriteWholeFile(PathToUtf16(data_), bytes.data(), bytes.size()) ||
        !WriteWholeFile(PathToUtf16(about_), about.data(), about.size())) {
        Discard();
        return {};
    }
    return token;
}

std::optional<HeldFile> HeldUpload::Find(std::string_view token) const {
    std::ifstream in(about_);
    std::string held;
    HeldFile file;
    if (token.empty() || !std::getline(in, held) || held != token || !std::getline(in, file.name))
        return std::nullopt;
    const int64_t size = FileSizeAt(PathToUtf16(data_));
    if (size < 0) return std::nullopt;
    file.path = data_;
    file.size = static_cast<uint64_t>(size);
    return file;
}

void HeldUpload::Discard() {
    DeleteFileAt(PathToUtf16(about_));
    DeleteFileAt(PathToUtf16(data_));
}

}  // namespace krv::app
