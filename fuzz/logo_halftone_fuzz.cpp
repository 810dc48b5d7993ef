// The halftone converters on any file: the first byte picks the entry (the dispatcher or one
// of the two converters) and the method, the next two give contrast and brightness, the rest is
// the source bitmap. A written work file is a whole 1-bit bitmap of the source's size.
#include "fuzz/bitmap_checks.h"
#include "fuzz/fuzz_support.h"
#include "imaging/logo_convert.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t control = in.Byte();
    const auto method = static_cast<HalftoneMethod>(control % 4);
    const int entry = control / 4 % 3;
    const int contrast = static_cast<int8_t>(in.Byte());
    const int brightness = static_cast<int8_t>(in.Byte());
    const auto source = in.Rest();
    const std::u16string path = fuzz::WriteTempFile("halftone.bmp", source);
    const std::u16string work = LogoWorkFile(path);
    fuzz::RemoveTempFile(work);

    ConvertResult r;
    switch (entry) {
        case 0:
            r = HalftoneToMono(path, work, method, contrast, brightness);
            break;
        case 1:
            r = HalftoneRgb24ToMono1(path, work, method, contrast, brightness);
            break;
        default:
            r = HalftoneGrey8ToMono1(path, work, method, contrast, brightness);
            break;
    }
    if (r.Written()) {
        KRV_FUZZ_CHECK(r.pathToUse == work);
        fuzz::CheckWorkFileOf(source, work, 1);
    } else {
        KRV_FUZZ_CHECK(fuzz::ReadTempFile(work).empty());
        if (r.code == kConvertAlreadyMono) KRV_FUZZ_CHECK(r.pathToUse == path);
    }
    fuzz::RemoveTempFile(work);
    return 0;
}
