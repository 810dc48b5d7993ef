#include "devpages/logo_rows.h"

#include "imaging/bmp_format.h"
#include "imaging/file_io.h"

namespace krv {

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

LogoAddCheck CheckLogoSource(const std::string& path, LogoMode mode) {
    FilePtr file = OpenFileForReading(path);
    if (!file) return {false, kMsgCannotOpenLogo};
    uint8_t first[kMonoHeadersSize];
    if (ReadFileAt(file.get(), 0, first, sizeof first) != sizeof first)
        return {false, kMsgCannotReadLogo};
    file.reset();
    BmpHeaders h;
    ParseBmpHeaders(first, &h);
    // A negative height only says the rows are stored top-down.
    const int64_t rows = h.height < 0 ? -int64_t{h.height} : h.height;
    if (h.width > kMaxLogoWidth || rows > kMaxLogoHeight) return {false, kMsgLogoTooLarge};
    if (mode == LogoMode::BlackWhite && h.type != kBmpType) return {};
    if (mode == LogoMode::Grey && !IsGreyConvertible(h)) return {};
    return {true, {}};
}

ConvertResult ConvertLogoRow(const std::string& source, const std::string& workFile, LogoMode mode,
                             const LogoRowSettings& s) {
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
    if (h->type == kBmpType && h->bitCount == 1) return {kConvertAlreadyMono, source};
    const LogoRowSettings used = mode == LogoMode::BlackWhite ? s : LogoRowSettings{};
    return HalftoneToMono(source, workFile, used.method, used.contrast, used.brightness);
}

ConvertResult PrepareLogoRow(const std::string& source, const std::string& workFile, LogoMode mode,
                             const LogoRowSettings& settings) {
    if (mode == LogoMode::BlackWhite) DeleteFileByPath(workFile);
    return ConvertLogoRow(source, workFile, mode, settings);
}

}  // namespace krv
