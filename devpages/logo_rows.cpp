#include "devpages/logo_rows.h"

#include <chrono>

#include "imaging/bmp_format.h"
#include "files/files.h"
#include "imaging/bmp_file.h"

namespace krv {

namespace {

constexpr char16_t kWorkFolderPrefix[] = u"krv857logo";

std::u16string Digits(unsigned long long value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string WorkFileName(unsigned row) {
    return Digits(row) + u".bmp";
}

// A folder name nobody has used yet is found by trying: the clock and a counter make the
// first try almost always the last.
std::u16string MakeWorkFolder() {
    const std::u16string temporary = TemporaryFolder();
    if (temporary.empty()) return {};
    static unsigned counter = 0;
    const auto clock = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::u16string folder =
            temporary + kWorkFolderPrefix + Digits((clock + ++counter * 7919ull) % 1000000007ull);
        if (MakeFolder(folder)) return folder + temporary.back();
    }
    return {};
}

}  // namespace

LogoWorkFolder::~LogoWorkFolder() {
    if (folder_.empty()) return;
    for (unsigned row = 1; row <= issued_; ++row)
        DeleteFileAt(folder_ + WorkFileName(row));
    // Left where it is should anything else have come into it.
    RemoveEmptyFolder(folder_.substr(0, folder_.size() - 1));
}

std::u16string LogoWorkFolder::NewWorkFile() {
    if (folder_.empty()) folder_ = MakeWorkFolder();
    if (folder_.empty()) return {};
    return folder_ + WorkFileName(++issued_);
}

namespace {

bool IsGreyConvertible(const BmpHeaders& h) {
    return h.type == kBmpType && (h.bitCount == 24 || h.bitCount == 8 || h.bitCount == 1);
}

}  // namespace

std::optional<HalftoneMethod> HalftoneMethodFromName(const std::string& name) {
    if (name == "none") return HalftoneMethod::None;
    if (name == "m3") return HalftoneMethod::M3;
    if (name == "m4") return HalftoneMethod::M4;
    if (name == "diffusion") return HalftoneMethod::ErrorDiffusion;
    return std::nullopt;
}

std::optional<std::string> CheckRoomForLogo(size_t rowsNow) {
    if (rowsNow >= kMaxLogoRows) return std::string(kMsgTooManyLogos);
    return std::nullopt;
}

LogoAddCheck CheckLogoSource(std::u16string_view path, LogoMode mode) {
    File file = File::OpenForReading(path, File::Sharing::Readers);
    if (!file.IsOpen()) return {false, kMsgCannotOpenLogo};
    uint8_t first[kMonoHeadersSize];
    if (file.Read(first, sizeof first) != sizeof first) return {false, kMsgCannotReadLogo};
    file.Close();
    BmpHeaders h;
    ParseBmpHeaders(first, &h);
    // A negative height only says the rows are stored top-down.
    const int64_t rows = h.height < 0 ? -int64_t{h.height} : h.height;
    if (h.width > kMaxLogoWidth || rows > kMaxLogoHeight) return {false, kMsgLogoTooLarge};
    if (mode == LogoMode::BlackWhite && h.type != kBmpType) return {};
    if (mode == LogoMode::Grey && !IsGreyConvertible(h)) return {};
    return {true, {}};
}

ConvertResult ConvertLogoRow(std::u16string_view source, std::u16string_view workFile,
                             LogoMode mode, const LogoRowSettings& s) {
    const auto h = ReadBmpHeadersFile(source);
    if (!h) return {kConvertCannotOpen, {}};
    if (mode == LogoMode::Grey) {
        switch (h->type == kBmpType ? h->bitCount : 0) {
            case 24:
                return ConvertRgb24ToGrey8(source, workFile, s.contrast, s.brightness);
            case 8:
                return ConvertGrey8ToGrey8(source, workFile, s.contrast, s.brightness);
            case 1:
                return ConvertMono1ToGrey8(source, workFile, s.contrast, s.brightness);
            default:
                return {kConvertWrongForm, {}};
        }
    }
    if (h->type == kBmpType && h->bitCount == 1)
        return {kConvertAlreadyMono, std::u16string(source)};
    const LogoRowSettings used = mode == LogoMode::BlackWhite ? s : LogoRowSettings{};
    return HalftoneToMono(source, workFile, used.method, used.contrast, used.brightness);
}

ConvertResult PrepareLogoRow(std::u16string_view source, std::u16string_view workFile,
                             LogoMode mode, const LogoRowSettings& settings) {
    if (mode == LogoMode::BlackWhite) DeleteFileAt(workFile);
    return ConvertLogoRow(source, workFile, mode, settings);
}

}  // namespace krv
