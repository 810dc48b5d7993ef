// Logo sources given to the tool (for logo convert, logo download and backside --logo): checked
// and converted as the page does, whatever their kind. A BMP goes through the page's own rules;
// a PNG or JPEG is its decoded 24-bit bitmap, handed to the same converters in memory, so the
// same picture gives the same work bitmap and the same job in every kind.
#include "tools/logo_sources.h"

#include <map>

#include "channel/ansi_text.h"
#include "imaging/bmp_format.h"

namespace krv::tool {

std::string PageMessage(const std::string& message) {
    static const std::map<std::string, std::string> kGlosses = {
        {kMsgTooManyLogos, "at most 9 logos"},
        {kMsgCannotOpenLogo, "cannot open the file"},
        {kMsgCannotReadLogo, "shorter than a bitmap's headers"},
        {kMsgLogoTooLarge, "at most 1024 x 768 pixels"},
        {kMsgSelectBitmap, "no logo"},
        {kMsgBitmapSizeFailed, "the size of a logo's bitmap cannot be read"},
        {kMsgBitmapsTooLarge, "the logos' bitmaps together must stay under 512 KiB"},
        {kMsgBackSideTextTooLong,
         "at most 2048 bytes in the code page, a zero byte after each "
         "character counted"},
        {kMsgBackSideNothingToSend, "give --text or --logo"},
        {kMsgBackSideSizeFailed, "the size of the logo's bitmap cannot be read"},
        {kMsgBackSideTooLarge, "the logo's bitmap must stay under 512 KiB"},
    };
    std::string line = message;
    for (char& c : line)
        if (c == '\n') c = ' ';
    const auto gloss = kGlosses.find(message);
    return gloss == kGlosses.end() ? line : line + " (" + gloss->second + ")";
}

ConvertResult ConvertSource(const SourcePicture& source, const std::string& workPath, LogoMode mode,
                            const LogoRowSettings& s) {
    const std::u16string workFile = PathToUtf16(workPath);
    if (source.format == PictureFormat::Bmp) {
        const LogoAddCheck check = CheckLogoSource(PathToUtf16(source.path), mode);
        if (!check.accepted)
            throw Refusal(source.path, check.message.empty() ? "not a bitmap this mode can use"
                                                             : PageMessage(check.message));
        BitmapView view;
        const BitmapStatus status = ReadBitmap(source.bmp, &view);
        if (status == BitmapStatus::Unsupported)
            throw Refusal(source.path,
                          "a bitmap of a kind that cannot be converted (1, 8 or "
                          "24 bits, uncompressed)");
        if (status != BitmapStatus::Ok) throw Refusal(source.path, "not a readable bitmap");
        return PrepareLogoRow(PathToUtf16(source.path), workFile, mode, s);
    }
    BmpHeaders h;
    ParseBmpHeaders(source.bmp, &h);
    if (h.width > kMaxLogoWidth || h.height > kMaxLogoHeight)
        throw Refusal(source.path, PageMessage(kMsgLogoTooLarge));
    if (mode == LogoMode::Grey)
        return ConvertRgb24ToGrey8(source.bmp, workFile, s.contrast, s.brightness);
    return HalftoneRgb24ToMono1(source.bmp, workFile, s.method, s.contrast, s.brightness);
}

LogoRowFiles PrepareLogoSource(const std::string& path, const std::string& workFile, LogoMode mode,
                               const LogoRowSettings& settings) {
    const SourcePicture source = ReadSourcePicture(path, kMsgCannotOpenLogo);
    const ConvertResult r = ConvertSource(source, workFile, mode, settings);
    if (!r.Written() && r.code != kConvertAlreadyMono) throw Refusal(path, ConvertFailure(r));
    return {PathToUtf16(path), PathToUtf16(workFile)};
}

std::string ConvertFailure(const ConvertResult& r) {
    return r.code == kConvertWrongForm ? "not a bitmap this mode can convert"
                                       : "cannot be converted (not enough memory, or the work "
                                         "bitmap cannot be written)";
}

}  // namespace krv::tool
