// The grey-plane encoder on any file: when it accepts one, the planes have the size their
// header announces, and that size stays within what a 1024 x 768 picture can give.
#include "fuzz/fuzz_support.h"
#include "imaging/mono_print.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::u16string path = fuzz::WriteTempFile("grey8.bmp", {data, size});
    const auto planes = EncodeGreyPlanes(path);
    if (!planes) return 0;
    KRV_FUZZ_CHECK(planes->widthBytes > 0 && planes->heightUnits > 0);
    KRV_FUZZ_CHECK(planes->data.size() == uint64_t{planes->widthBytes} * planes->heightUnits * 8);
    // Only a file that holds every row is encoded: the planes (four bits of each pixel) are
    // then never more than the rows the file gave, rounded up to whole 8-dot units.
    BitmapView b;
    KRV_FUZZ_CHECK(ReadBitmap({data, size}, &b) == BitmapStatus::Ok);
    const uint64_t s8 = Stride8(b.width);
    KRV_FUZZ_CHECK(b.headers.bitCount == 8 && b.stride == s8);
    KRV_FUZZ_CHECK(size >= b.dataOffset + s8 * b.height);
    KRV_FUZZ_CHECK(planes->widthBytes == (s8 + 7) / 8);
    KRV_FUZZ_CHECK(planes->heightUnits == (4 * uint64_t{b.height} + 7) / 8);
    return 0;
}
