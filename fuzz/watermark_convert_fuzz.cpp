// The watermark's 24-bit conversion on any source file. A finished conversion leaves a 24-bit
// bitmap whose rows are all there; a failed one says why, and an unusable source leaves the
// target empty.
#include "docpages/watermark_bitmap.h"
#include "fuzz/fuzz_support.h"
#include "imaging/bmp_format.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string source = fuzz::WriteTempFile("mark.bmp", {data, size});
    const std::u16string target = fuzz::TempPath("mark24.bmp");
    fuzz::RemoveTempFile(target);

    const auto result = ConvertBitmapTo24(source, target);
    const std::vector<uint8_t> out = fuzz::ReadTempFile(target);
    switch (result) {
        case krv::WatermarkConvertResult::Done: {
            KRV_FUZZ_CHECK(ConvertFailureMessage(result).empty());
            BmpHeaders h;
            KRV_FUZZ_CHECK(ParseBmpHeaders(out, &h));
            KRV_FUZZ_CHECK(h.type == kBmpType && h.bitCount == 24);
            break;
        }
        case krv::WatermarkConvertResult::SourceUnusable:
            KRV_FUZZ_CHECK(!ConvertFailureMessage(result).empty());
            KRV_FUZZ_CHECK(out.empty());
            break;
        case krv::WatermarkConvertResult::TargetNotCreated:
            KRV_FUZZ_CHECK(!ConvertFailureMessage(result).empty());
            break;
    }
    fuzz::RemoveTempFile(target);
    return 0;
}
