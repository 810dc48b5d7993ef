#include "printerapp/picture_page.h"

#include <algorithm>

#include "imaging/bmp_format.h"
#include "imaging/mono_print.h"

namespace krv::app {

Bytes PicturePageBytes(const GreyPage& page, const PictureTone& tone, bool keepTail) {
    (void)keepTail;
    if (page.width <= 0 || page.height <= 0) return {};
    const size_t w = static_cast<size_t>(page.width);
    const size_t h = static_cast<size_t>(page.height);
    std::vector<uint8_t> stored(w * h);  // bottom row first
    for (size_t y = 0; y < h; ++y)
        std::copy_n(page.pixels.data() + (h - 1 - y) * w, w, stored.data() + y * w);
    MonoRaster r;
    r.width = static_cast<uint32_t>(w);
    r.stride = static_cast<uint32_t>(Stride1(w));
    r.height = static_cast<uint32_t>(h);
    r.paddedHeight = (r.height + kBandRowMultiple - 1) / kBandRowMultiple * kBandRowMultiple;
    r.rows.assign(size_t{r.stride} * r.paddedHeight, 0);
    HalftoneGrey8Rows({stored.data(), page.width, page.height, w}, tone.method, tone.contrast,
                      tone.brightness, {r.rows.data(), r.stride});
    NormalizeMonoRows(r.rows.data(), page.width, r.stride, page.height);
    Bytes out = {0x1B, 0x33, 0x18};
    const Bytes bands = EncodeBandBitImage(r);
    out.insert(out.end(), bands.begin(), bands.end());
    return out;
}

}  // namespace krv::app
