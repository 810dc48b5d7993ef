// The PNG and JPEG decoders on any input: the first byte picks the form (grey rows or the 24-bit
// bitmap) and how tight the limits are, the rest is the file. A decoded picture is whole and
// within the limits; a refused one leaves nothing behind; both forms agree on every pixel.
#include "fuzz/fuzz_support.h"
#include "imaging/bmp_format.h"
#include "imaging/tone.h"
#include "pictures/picture_decode.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t control = in.Byte();
    PictureLimits limits;
    limits.maxPixels = control & 2 ? 4096 : 4000000;
    const auto file = fuzz::ExactCopy(in.Rest());

    GreyImage grey;
    const PictureResult g = DecodePictureToGrey(file, limits, &grey);
    if (!g.ok()) {
        KRV_FUZZ_CHECK(grey.pixels.empty() && grey.width == 0 && grey.height == 0);
        return 0;
    }
    KRV_FUZZ_CHECK(PictureFitsLimits(grey.width, grey.height, limits));
    KRV_FUZZ_CHECK(grey.pixels.size() == static_cast<size_t>(grey.width) * grey.height);
    if (!(control & 1)) return 0;

    std::vector<uint8_t> bmp;
    const PictureResult b = DecodePictureToBmp24(file, limits, &bmp);
    KRV_FUZZ_CHECK(b.ok());
    BmpHeaders h;
    KRV_FUZZ_CHECK(ParseBmpHeaders(bmp, &h) && h.bitCount == 24);
    KRV_FUZZ_CHECK(static_cast<uint32_t>(h.width) == grey.width &&
                   static_cast<uint32_t>(h.height) == grey.height);
    KRV_FUZZ_CHECK(bmp.size() == kBmpHeadersSize + Stride24(grey.width) * grey.height);
    for (uint32_t y = 0; y < grey.height; ++y) {
        const uint8_t* p =
            bmp.data() + kBmpHeadersSize + (grey.height - 1 - y) * Stride24(grey.width);
        for (uint32_t x = 0; x < grey.width; ++x, p += 3)
            KRV_FUZZ_CHECK(grey.Row(y)[x] == Luma(p[2], p[1], p[0]));
    }
    return 0;
}
