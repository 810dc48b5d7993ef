// krv857 decode: what the printer does with a job file, command by command, and a drawing of
// what it prints.
#include <cstdio>

#include "jobs/job_decode.h"
#include "pictures/picture_decode.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 decode JOB [--png OUT]\n"
    "\n"
    "Lists what the printer does with the job file JOB (as any job command writes it), one\n"
    "command a line after its offset in hexadecimal: reset, alignment, line spacing, paper\n"
    "feed, 24-dot bands, stored logos with their sizes, barcodes with their settings and\n"
    "data, top/bottom message and back-side data, test print, cut, cash drawer, and text in\n"
    "the code page (--codepage) shown as UTF-8. Bytes that start no command of this\n"
    "printer's jobs end the list with their offset and exit 1.\n"
    "\n"
    "--png OUT  also draws what would be printed as an 8-bit grey PNG: the bands where the\n"
    "           paper stands, stored logos one below the other, all from the left edge\n"
    "           (Linux build only)\n";

constexpr uint64_t kJobReadLimit = 64ull << 20;
// The largest drawing: the widest band over the longest picture a job may print.
constexpr uint64_t kMaxDrawingPixels = 2048ull * 131072;

void WriteDrawing(const DecodedJob& decoded, const std::string& job, const std::string& out) {
    GreyImage drawing;
    if (!RenderJobPicture(decoded, kMaxDrawingPixels, &drawing))
        throw Refusal(job, decoded.drawings.empty()
                               ? "nothing to draw: the job holds no bands or stored logos"
                               : "the drawing would be too large");
    Bytes png;
    const PictureResult r = EncodeGreyPng(drawing, &png);
    if (r.error == PictureError::NotInThisBuild)
        throw Refusal(out, "PNG pictures are written by the Linux build only");
    if (!r.ok()) throw Refusal(out, PictureErrorMessage(r));
    WriteOutput(out, png);
}

int RunDecode(Args& args) {
    std::string pngPath;
    const bool drawing = args.TakeOption("--png", &pngPath);
    const auto p = args.Exactly(1);
    const Bytes job = ReadInputFile(p[0], kJobReadLimit + 1);
    if (job.size() > kJobReadLimit) throw Refusal(p[0], "larger than 64 MiB: not a job to list");
    const DecodedJob decoded = DecodeJob(job);
    for (const JobCommand& c : decoded.commands)
        std::printf("%08llx  %s\n", static_cast<unsigned long long>(c.offset), c.text.c_str());
    if (!decoded.understood) {
        char offset[32];
        std::snprintf(offset, sizeof offset, "at offset %llu (0x%llx): ",
                      static_cast<unsigned long long>(decoded.stopOffset),
                      static_cast<unsigned long long>(decoded.stopOffset));
        throw Refusal(p[0], offset + decoded.stopReason);
    }
    if (drawing) WriteDrawing(decoded, p[0], pngPath);
    return kExitDone;
}

}  // namespace

KRV_TOOL_COMMAND(decode, "decode", "list what a job makes the printer do, or draw it", kUsage,
                 RunDecode);

}  // namespace krv::tool
