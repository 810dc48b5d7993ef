// krv857 watermark: the watermark work file's conversion on the command line.
#include <cstdio>
#include <string>

#include "channel/ansi_text.h"
#include "docpages/watermark_bitmap.h"
#include "tools/tool.h"
#include "tools/tool_pictures.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 watermark convert SRC DST\n"
    "\n"
    "convert  writes the 24-bit watermark bitmap DST from SRC, a 1-, 8- or 24-bit bitmap, a\n"
    "         PNG or a JPEG (recognised by its content; the Windows build reads BMP only;\n"
    "         transparent parts of a PNG count as white), and prints the result: 1 done,\n"
    "         2 the target cannot be created, 0 the source is not usable (exit status 0\n"
    "         only for 1)\n";

int RunWatermark(Args& args) {
    const auto p = args.Positionals();
    if (p.size() != 3 || p[0] != "convert")
        throw UsageError("unknown or incomplete watermark command");
    const std::string& target = p[2];
    const SourcePicture source = ReadSourcePicture(p[1]);
    RequireFileTarget(target);
    // A decoded picture goes through the same conversion as its bitmap would.
    LogoWorkFolder work;
    std::string bitmap = source.path;
    if (source.format != PictureFormat::Bmp) {
        bitmap = NewWorkFile(work);
        WriteOutput(bitmap, source.bmp);
    }
    const WatermarkConvertResult result =
        ConvertBitmapTo24(PathToUtf16(bitmap), PathToUtf16(target));
    std::printf("%d\n", static_cast<int>(result));
    if (result == WatermarkConvertResult::Done) return kExitDone;
    const std::string message = Utf16ToUtf8(ConvertFailureMessage(result));
    if (result == WatermarkConvertResult::TargetNotCreated)
        throw Refusal(target, message + " (the watermark bitmap cannot be written here)");
    throw Refusal(source.path, message + " (not a 1-, 8- or 24-bit bitmap that can be read)");
}

}  // namespace

KRV_TOOL_COMMAND(watermark, "watermark", "convert a picture into the watermark work file", kUsage,
                 RunWatermark);

}  // namespace krv::tool
