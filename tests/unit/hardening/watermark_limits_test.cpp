// The watermark conversion seen from the limit tests (limits_test.cpp): the watermark's
// WatermarkConvertResult and the logo converters' WatermarkConvertResult share a name, so each
// lives in a translation unit of its own.
#include "channel/ansi_text.h"
#include "docpages/watermark_bitmap.h"

namespace krv {

bool WatermarkConversionDone(const std::string& source, const std::string& target) {
    return ConvertBitmapTo24(Utf8ToUtf16(source), Utf8ToUtf16(target)) ==
           WatermarkConvertResult::Done;
}

}  // namespace krv
