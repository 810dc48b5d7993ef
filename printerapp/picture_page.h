// The bytes of one page's picture: grey rows halftoned and sent as 24-dot bands.
#pragma once

#include "channel/raw_printer_channel.h"
#include "imaging/halftone.h"
#include "printerapp/page_rows.h"

namespace krv::app {

struct PictureTone {
    HalftoneMethod method = HalftoneMethod::None;
    int contrast = 0;
    int brightness = 0;
};

// `keepTail`: a page of fixed length keeps the blank paper below its picture.
Bytes PicturePageBytes(const GreyPage& page, const PictureTone& tone, bool keepTail);

}  // namespace krv::app
