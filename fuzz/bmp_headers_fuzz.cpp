// The BMP header reader on any bytes: it needs 54 of them, reads nothing past what it is given,
// and writing the parsed headers back gives the same 54 bytes. The strides and work-bitmap
// images of any admitted size agree with each other.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "channel/ansi_text.h"
#include "imaging/bmp_format.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes = fuzz::ExactCopy({data, size});
    BmpHeaders h;
    const bool parsed = ParseBmpHeaders(bytes, &h);
    KRV_FUZZ_CHECK(parsed == (size >= kBmpHeadersSize));
    if (!parsed) return 0;

    uint8_t stored[kBmpHeadersSize];
    StoreBmpHeaders(h, stored);
    KRV_FUZZ_CHECK(std::memcmp(stored, bytes.data(), kBmpHeadersSize) == 0);

    const uint32_t offset = PixelOffsetOf(h.bitCount);
    KRV_FUZZ_CHECK(offset == 0 || offset >= kBmpHeadersSize);
    // Any 32-bit width, however large, gets a stride that holds its pixels.
    const uint64_t width = static_cast<uint32_t>(h.width);
    const uint64_t stride = RowStrideOf(h.bitCount, width);
    if (offset != 0) {
        KRV_FUZZ_CHECK(stride % 4 == 0);
        KRV_FUZZ_CHECK(stride * 8 >= width * h.bitCount);
    }

    // Work bitmaps only ever come in the admitted sizes.
    if (h.width > 0 && h.height > 0 && h.width <= kMaxLogoWidth && h.height <= kMaxLogoHeight) {
        const Bytes grey = MakeGreyWorkBitmap(h.width, h.height);
        KRV_FUZZ_CHECK(grey.size() == PixelOffsetOf(8) + Stride8(h.width) * h.height);
        const Bytes mono = MakeMonoWorkBitmap(h.width, h.height);
        KRV_FUZZ_CHECK(mono.size() == PixelOffsetOf(1) + Stride1(h.width) * h.height);
        BmpHeaders back;
        KRV_FUZZ_CHECK(ParseBmpHeaders(mono, &back));
        KRV_FUZZ_CHECK(back.width == h.width && back.height == h.height && back.bitCount == 1);
    }

    // The work file of any path is never the path itself.
    const std::u16string path =
        PathToUtf16(std::string_view(reinterpret_cast<const char*>(data), size < 300 ? size : 300));
    KRV_FUZZ_CHECK(LogoWorkFile(path) != path);
    return 0;
}
