// What every logo converter promises when it writes a work file: the source it read was a
// bitmap the shared reader takes, whose file holds every row its header promises (so the
// memory it took is what the input justifies), and the work file is a whole bottom-up bitmap
// of the output form with the source's size. There is no size cap here: the page's 1024 x 768 limit
// is applied when rows are added, not by the converters.
#pragma once

#include <span>
#include <string>

#include "fuzz/fuzz_support.h"
#include "imaging/bmp_format.h"

namespace krv::fuzz {

inline void CheckWorkFileOf(std::span<const uint8_t> source, const std::u16string& work,
                            uint16_t outBitCount) {
    BitmapView s;
    KRV_FUZZ_CHECK(ReadBitmap(source, &s) == BitmapStatus::Ok && s.HoldsEveryRow());

    BmpHeaders h;
    const std::vector<uint8_t> file = ReadTempFile(work);
    KRV_FUZZ_CHECK(ParseBmpHeaders(file, &h));
    KRV_FUZZ_CHECK(h.type == kBmpType && h.bitCount == outBitCount);
    KRV_FUZZ_CHECK(h.width == s.headers.width && h.height > 0 &&
                   static_cast<uint32_t>(h.height) == s.height);
    KRV_FUZZ_CHECK(file.size() ==
                   PixelOffsetOf(outBitCount) + RowStrideOf(outBitCount, h.width) * h.height);
}

}  // namespace krv::fuzz
