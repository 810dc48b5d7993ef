// krv857 backside: the logo page's "Pre-image" job (back-side characters and logo).
#include <cstdio>

#include "channel/ansi_text.h"
#include "devpages/logo_jobs.h"
#include "devpages/logo_rows.h"
#include "imaging/bmp_format.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 backside [--text T] [--align left|centre|right]\n"
    "                       [--logo SRC [--halftone none|m3|m4|diffusion] [--contrast C]\n"
    "                       [--brightness B]] -o FILE\n"
    "\n"
    "writes the \"Pre-image\" job: the characters T (at most 2048 bytes in the code page,\n"
    "a zero byte after each character counted) and, with --logo, SRC in black and white as\n"
    "the page's selected row (checked and converted as the page does). Without --logo the\n"
    "page's list is empty. --halftone defaults to m3; contrast and brightness -100..100.\n";

BackSidePosition AlignOption(Args& args) {
    const std::string align = args.TakeOption("--align", "left");
    if (align == "left") return BackSidePosition::Left;
    if (align == "centre" || align == "center") return BackSidePosition::Centre;
    if (align == "right") return BackSidePosition::Right;
    throw UsageError("--align must be left, centre or right");
}

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
    std::string text, logo, outPath;
    if (args.TakeOption("--text", &text)) request.text = Utf8ToUtf16(text);
    request.position = AlignOption(args);
    const bool hasLogo = args.TakeOption("--logo", &logo);
    bool settingsGiven = false;
    const LogoRowSettings settings = SettingsOptions(args, &settingsGiven);
    if (settingsGiven && !hasLogo)
        throw UsageError("--halftone, --contrast, --brightness need --logo");
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o FILE is required");
    args.Exactly(0);
    if (hasLogo) {
        const LogoAddCheck check = CheckLogoSource(logo, LogoMode::BlackWhite);
        if (!check.accepted)
            throw Refusal(check.message.empty() ? logo + ": not a bitmap this mode can use"
                                                : check.message);
        const LogoRowFiles row{logo, LogoWorkFile(logo)};
        PrepareLogoRow(row.source, row.workFile, LogoMode::BlackWhite, settings);
        request.rows.push_back(row);
        request.selectedRow = 0;
    }
    const LogoJobOutcome outcome = BuildBackSideJob(request);
    if (outcome.kind == LogoJobOutcome::Kind::Refused) throw Refusal(outcome.message);
    if (outcome.kind == LogoJobOutcome::Kind::Abandoned)
        throw Refusal("no job: " + logo + " cannot be read as a printable 1-bit bitmap");
    return WriteJob(outcome.job, outPath);
}

}  // namespace

KRV_TOOL_COMMAND(backside, "backside", kUsage, RunBackSide);

}  // namespace krv::tool
