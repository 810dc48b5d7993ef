// krv857 print: a picture printed on the receipt, the everyday job.
#include "jobs/picture_print.h"
#include "devpages/logo_rows.h"
#include "tools/tool.h"
#include "tools/tool_pictures.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 print PICTURE -o DST [--paper 80|58 | --width DOTS] [--fit]\n"
    "                    [--halftone none|m3|m4|diffusion] [--contrast C] [--brightness B]\n"
    "                    [--align left|centre|right] [--cut none|partial|full] [--drawer 1|2]\n"
    "\n"
    "Writes the \"Picture\" job that prints PICTURE (BMP, PNG or JPEG, recognised by its\n"
    "content; the Windows build reads BMP only) on the receipt: scaled down to the printable\n"
    "width (80 mm paper: 512 dots, 58 mm: 360 dots at 180 dpi, or --width DOTS, 1 to 2048),\n"
    "never enlarged unless --fit; halftoned (default diffusion, for photographs; m3 and m4\n"
    "are ordered dithers, none a threshold at the mean) after contrast and brightness\n"
    "(-100..100, default 0); sent as 24-dot bands, white bands as paper feed and the white\n"
    "end left out; placed by --align (default centre) when narrower than the paper; then\n"
    "--cut (default partial: feed to the cutter and cut) and --drawer 1 or 2 to open a cash\n"
    "drawer after printing. Transparent parts of a PNG print as white paper.\n";

uint32_t PrintableWidth(Args& args) {
    std::string paper;
    const bool hasPaper = args.TakeOption("--paper", &paper);
    const int width = args.TakeInt("--width", 0, 1, static_cast<int>(kMaxPrintableWidth));
    if (hasPaper && width) throw UsageError("--paper and --width exclude each other");
    if (width) return static_cast<uint32_t>(width);
    if (!hasPaper || paper == "80") return kPrintableWidth80mm;
    if (paper == "58") return kPrintableWidth58mm;
    throw UsageError("--paper must be 80 or 58");
}

PicturePrintOptions TakeOptions(Args& args) {
    PicturePrintOptions o;
    o.printableWidth = PrintableWidth(args);
    o.fit = args.TakeFlag("--fit");
    const auto method = HalftoneMethodFromName(args.TakeOption("--halftone", "diffusion"));
    if (!method) throw UsageError("--halftone must be none, m3, m4 or diffusion");
    o.method = *method;
    o.contrast = args.TakeInt("--contrast", 0, -100, 100);
    o.brightness = args.TakeInt("--brightness", 0, -100, 100);
    o.align = static_cast<PictureAlign>(TakeAlignment(args, "centre"));
    const auto cut = CutModeFromName(args.TakeOption("--cut", "partial"));
    if (!cut) throw UsageError("--cut must be none, partial or full");
    o.cut = *cut;
    o.drawer = args.TakeInt("--drawer", 0, 1, 2);
    return o;
}

int RunPrint(Args& args) {
    std::string outPath;
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o DST is required");
    const PicturePrintOptions options = TakeOptions(args);
    const auto p = args.Exactly(1);
    const GreyImage picture = ReadGreyPicture(p[0]);
    const PicturePrintBuild build = BuildPicturePrintJob(picture, options);
    if (build.status != PicturePrintBuild::Status::Built)
        throw Refusal(p[0], PicturePrintStatusMessage(build.status));
    return WriteJob(build.job, outPath);
}

}  // namespace

KRV_TOOL_COMMAND(print, "print", "print a picture (BMP, PNG, JPEG) on the receipt", kUsage,
                 RunPrint);

}  // namespace krv::tool
