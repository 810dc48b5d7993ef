#include "devpages/logo_rows.h"

#include "imaging/bmp_format.h"
#include "imaging/file_io.h"

namespace krv {

namespace {

// The headers of a file, or nothing when it cannot be opened or is shorter than them.
std::optional<BmpHeaders> HeadersOf(const std::string& path) {
    FilePtr file = OpenFileForReading(path);
    if (!file) return std::nullopt;
    uint8_t first[kBmpHeadersSize];
    BmpHeaders h;
    if (!ParseBmpHeaders({first, ReadFileAt(file.get(), 0, first, sizeof first)}, &h))
        return std::nullopt;
    return h;
}

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
    if (h.width > kMaxLogoWidth || h.height > kMaxLogoHeight) return {false, kMsgLogoTooLarge};
    if (mode == LogoMode::BlackWhite && h.type != kBmpType) return {};
    if (mode == LogoMode::Grey && !IsGreyConvertible(h)) return {};
    return {true, {}};
}

ConvertResult ConvertLogoRow(const std::string& source, LogoMode mode, const LogoRowSettings& s) {
    const auto h = HeadersOf(source);
    if (!h) return {kConvertCannotOpen, {}};
    if (mode == LogoMode::Grey) {
        switch (h->type == kBmpType ? h->bitCount : 0) {
            case 24:
                return ConvertRgb24ToGrey8(source, s.contrast, s.brightness);
            case 8:
                return ConvertGrey8ToGrey8(source, s.contrast, s.brightness);
            case 1:
                return ConvertMono1ToGrey8(source, s.contrast, s.brightness);
            default:
                return {kConvertWrongForm, {}};
        }
    }
    if (h->type == kBmpType && h->bitCount == 1) return {kConvertAlreadyMono, source};
    const LogoRowSettings used = mode == LogoMode::BlackWhite ? s : LogoRowSettings{};
    return HalftoneToMono(source, used.method, used.contrast, used.brightness);
}

ConvertResult PrepareLogoRow(const std::string& source, LogoMode mode,
                             const LogoRowSettings& settings) {
    if (mode == LogoMode::BlackWhite) DeleteFileByPath(LogoWorkFile(source));
    return ConvertLogoRow(source, mode, settings);
}

}  // namespace krv
