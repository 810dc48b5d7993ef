// The grey logo converters on any file: the first byte picks the converter, the next two give
// contrast and brightness (anything from -128 to 127, beyond the trackbars' range), the rest
// is the source bitmap. A work file, when written, is a whole 8-bit bitmap of the source's
// size; otherwise none is left.
#include "fuzz/fuzz_support.h"
#include "imaging/bmp_format.h"
#include "imaging/logo_convert.h"

using namespace krv;

namespace {

void CheckGreyWorkFile(const std::string& path, const BmpHeaders& source) {
    const std::vector<uint8_t> file = fuzz::ReadTempFile(path);
    BmpHeaders h;
    KRV_FUZZ_CHECK(ParseBmpHeaders(file, &h));
    KRV_FUZZ_CHECK(h.type == kBmpType && h.bitCount == 8);
    KRV_FUZZ_CHECK(h.width == source.width && h.height == source.height);
    KRV_FUZZ_CHECK(h.width > 0 && h.width <= kMaxLogoWidth);
    KRV_FUZZ_CHECK(h.height > 0 && h.height <= kMaxLogoHeight);
    KRV_FUZZ_CHECK(file.size() == PixelOffsetOf(8) + Stride8(h.width) * h.height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int which = in.Byte() % 3;
    const int contrast = static_cast<int8_t>(in.Byte());
    const int brightness = static_cast<int8_t>(in.Byte());
    const auto source = in.Rest();
    const std::string path = fuzz::WriteTempFile("grey.bmp", source);
    const std::string work = LogoWorkFile(path);
    fuzz::RemoveTempFile(work);

    ConvertResult r;
    switch (which) {
        case 0:
            r = ConvertRgb24ToGrey8(path, contrast, brightness);
            break;
        case 1:
            r = ConvertGrey8ToGrey8(path, contrast, brightness);
            break;
        default:
            r = ConvertMono1ToGrey8(path, contrast, brightness);
            break;
    }
    BmpHeaders h;
    if (r.Written()) {
        KRV_FUZZ_CHECK(r.pathToUse == work);
        KRV_FUZZ_CHECK(ParseBmpHeaders(source, &h));
        CheckGreyWorkFile(work, h);
    } else {
        KRV_FUZZ_CHECK(fuzz::ReadTempFile(work).empty());
    }
    fuzz::RemoveTempFile(work);
    return 0;
}
