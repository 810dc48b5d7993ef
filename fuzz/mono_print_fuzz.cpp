// Reading a 1-bit bitmap for printing, with and without the polarity test and for both row
// multiples, then both encoders over what was read: the raster's sizes agree with each other,
// stay within 1024 x 768, and each encoding has exactly the size its layout gives.
#include "fuzz/fuzz_support.h"
#include "imaging/mono_print.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t control = in.Byte();
    const bool testPolarity = control & 1;
    const int rowMultiple = control & 2 ? kBandRowMultiple : kColumnRowMultiple;
    const std::u16string path = fuzz::WriteTempFile("mono.bmp", in.Rest());

    const auto raster = ReadMonoForPrint(path, testPolarity, rowMultiple);
    if (!raster) return 0;
    KRV_FUZZ_CHECK(raster->width > 0 && raster->width <= kMaxLogoWidth);
    KRV_FUZZ_CHECK(raster->height > 0 && raster->height <= kMaxLogoHeight);
    KRV_FUZZ_CHECK(raster->stride == Stride1(raster->width));
    KRV_FUZZ_CHECK(raster->paddedHeight >= raster->height);
    KRV_FUZZ_CHECK(raster->paddedHeight % rowMultiple == 0);
    KRV_FUZZ_CHECK(raster->paddedHeight < raster->height + rowMultiple);
    KRV_FUZZ_CHECK(raster->rows.size() == uint64_t{raster->stride} * raster->paddedHeight);

    if (rowMultiple == kColumnRowMultiple) {
        const ColumnBitImage image = EncodeColumnBitImage(*raster);
        KRV_FUZZ_CHECK(image.y * 8 == raster->paddedHeight);
        KRV_FUZZ_CHECK(image.data.size() == uint64_t{image.x} * 8 * image.y);
    } else {
        const Bytes bands = EncodeBandBitImage(*raster);
        const uint32_t count = BandCount(*raster);
        KRV_FUZZ_CHECK(count * kBandRowMultiple >= raster->height);
        KRV_FUZZ_CHECK(count > 0 && bands.size() % count == 0);
        // Each band: 1B 2A 21 nL nH, three bytes per column, 0A.
        const size_t band = bands.size() / count;
        KRV_FUZZ_CHECK(band >= 6 && (band - 6) % 3 == 0);
        for (uint32_t b = 0; b < count; ++b) {
            KRV_FUZZ_CHECK(bands[b * band] == 0x1B && bands[b * band + 1] == 0x2A);
            KRV_FUZZ_CHECK(bands[b * band + band - 1] == 0x0A);
        }
    }
    return 0;
}
