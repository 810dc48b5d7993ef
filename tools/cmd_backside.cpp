// krv857 backside: the logo page's "Pre-image" job (back-side characters and logo).
#include <cstdio>

#include "tools/logo_sources.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 backside [--text T] [--align left|centre|right]\n"
    "                       [--logo SRC [--halftone none|m3|m4|diffusion] [--contrast C]\n"
    "                       [--brightness B]] -o DST\n"
    "\n"
    "writes the \"Pre-image\" job: the characters T (at most 2048 bytes in the code page,\n"
    "a zero byte after each character counted) and, with --logo, SRC (BMP, PNG or JPEG; the\n"
    "Windows build reads BMP only) in black and white as the page's selected row, checked\n"
    "and converted as the page does. Without --logo the page's list is empty. --halftone\n"
    "defaults to m3; contrast and brightness -100..100.\n";

LogoRowSettings SettingsOptions(Args& args, bool* given) {
    std::string name;
    const bool hasMethod = args.TakeOption("--halftone", &name);
    const auto method = HalftoneMethodFromName(hasMethod ? name : "m3");
    if (!method) throw UsageError("--halftone must be none, m3, m4 or diffusion");
    constexpr int kUnset = -1000;
    const int c = args.TakeInt("--contrast", kUnset, -100, 100);
    const int b = args.TakeInt("--brightness", kUnset, -100, 100);
    *given = hasMethod || c != kUnset || b != kUnset;
    return {*method, c == kUnset ? 0 : c, b == kUnset ? 0 : b};
}

int RunBackSide(Args& args) {
    BackSideRequest request;
    request.mode = LogoMode::BlackWhite;
    std::string logo, outPath;
    args.TakeText("--text", &request.text);
    request.position = static_cast<BackSidePosition>(TakeAlignment(args, "left"));
    const bool hasLogo = args.TakeOption("--logo", &logo);
    bool settingsGiven = false;
    const LogoRowSettings settings = SettingsOptions(args, &settingsGiven);
    if (settingsGiven && !hasLogo)
        throw UsageError("--halftone, --contrast, --brightness need --logo");
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o DST is required");
    args.Exactly(0);
    RequireEncodable("--text", request.text);
    LogoWorkFolder work;
    if (hasLogo) {
        request.rows.push_back(
            PrepareLogoSource(logo, NewWorkFile(work), LogoMode::BlackWhite, settings));
        request.selectedRow = 0;
    }
    const LogoJobOutcome outcome = BuildBackSideJob(request);
    if (outcome.kind == LogoJobOutcome::Kind::Refused)
        throw Refusal(hasLogo ? logo : "--text", PageMessage(outcome.message));
    if (outcome.kind == LogoJobOutcome::Kind::Abandoned)
        throw Refusal(logo,
                      "cannot be encoded as a back-side logo (a 1-bit bitmap needs a "
                      "black and a white palette entry)");
    return WriteJob(outcome.job, outPath);
}

}  // namespace

KRV_TOOL_COMMAND(backside, "backside", "back-side characters and logo", kUsage, RunBackSide);

}  // namespace krv::tool
