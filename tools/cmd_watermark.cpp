// krv857 watermark: the watermark work file's conversion on the command line.
#include <cstdio>
#include <string>

#include "channel/ansi_text.h"
#include "docpages/watermark_bitmap.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 watermark convert SRC DST\n"
    "\n"
    "convert  writes the 24-bit watermark bitmap DST from the 1-, 8- or 24-bit bitmap SRC and\n"
    "         prints the result: 1 done, 2 the target cannot be created, 0 the source is\n"
    "         not usable (exit status 0 only for 1)\n";

int RunWatermark(Args& args) {
    const auto p = args.Positionals();
    if (p.size() != 3 || p[0] != "convert")
        throw UsageError("unknown or incomplete watermark command");
    const WatermarkConvertResult result = ConvertBitmapTo24(Utf8ToUtf16(p[1]), Utf8ToUtf16(p[2]));
    std::printf("%d\n", static_cast<int>(result));
    if (result == WatermarkConvertResult::Done) return 0;
    std::fprintf(stderr, "%s\n", Utf16ToUtf8(ConvertFailureMessage(result)).c_str());
    return 1;
}

}  // namespace

KRV_TOOL_COMMAND(watermark, "watermark", kUsage, RunWatermark);

}  // namespace krv::tool
