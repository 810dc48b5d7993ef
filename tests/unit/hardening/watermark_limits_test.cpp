// The watermark conversion seen from the limit tests (limits_test.cpp): the watermark's
// ConvertResult and the logo converters' ConvertResult share a name, so each lives in a
// translation unit of its own.
#include "channel/ansi_text.h"
#include "docpages/watermark_bitmap.h"

namespace krv {

bool WatermarkConversionDone(const std::string& source, const std::string& target) {
    return ConvertBitmapTo24(Utf8ToUtf16(source), Utf8ToUtf16(target)) == ConvertResult::Done;
}

}  // namespace krv
