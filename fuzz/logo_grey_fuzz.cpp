// The grey logo converters on any file: the first byte picks the converter, the next two give
// contrast and brightness (anything from -128 to 127, beyond the trackbars' range), the rest
// is the source bitmap. A work file, when written, is a whole 8-bit bitmap of the source's
// size; otherwise none is left.
#include "fuzz/bitmap_checks.h"
#include "fuzz/fuzz_support.h"
#include "imaging/logo_convert.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int which = in.Byte() % 3;
    const int contrast = static_cast<int8_t>(in.Byte());
    const int brightness = static_cast<int8_t>(in.Byte());
    const auto source = in.Rest();
    const std::u16string path = fuzz::WriteTempFile("grey.bmp", source);
    const std::u16string work = LogoWorkFile(path);
    fuzz::RemoveTempFile(work);

    ConvertResult r;
    switch (which) {
        case 0:
            r = ConvertRgb24ToGrey8(path, work, contrast, brightness);
            break;
        case 1:
            r = ConvertGrey8ToGrey8(path, work, contrast, brightness);
            break;
        default:
            r = ConvertMono1ToGrey8(path, work, contrast, brightness);
            break;
    }
    if (r.Written()) {
        KRV_FUZZ_CHECK(r.pathToUse == work);
        fuzz::CheckWorkFileOf(source, work, 8);
    } else {
        KRV_FUZZ_CHECK(fuzz::ReadTempFile(work).empty());
    }
    fuzz::RemoveTempFile(work);
    return 0;
}
