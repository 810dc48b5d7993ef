// krv857 logo: the logo page's work files and its "LOGO" and clear-all jobs.
#include <cstdio>

#include "channel/ansi_text.h"
#include "tools/logo_sources.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 logo convert --to mono|grey [--halftone none|m3|m4|diffusion]\n"
    "                           [--contrast C] [--brightness B] -o OUT SRC\n"
    "       krv857 logo download --mode mono|grey [--halftone none|m3|m4|diffusion]\n"
    "                           [--contrast C] [--brightness B] -o DST SRC...\n"
    "       krv857 logo clear -o DST\n"
    "\n"
    "SRC is a BMP, PNG or JPEG picture (recognised by its content; the Windows build reads\n"
    "BMP only); transparent parts of a PNG count as white.\n"
    "\n"
    "convert   writes SRC's work bitmap, as the page's preview makes it, to OUT (required;\n"
    "          nothing is written beside SRC) and prints OUT: in mono a 1-bit bitmap (a\n"
    "          1-bit SRC as it is), in grey an 8-bit one\n"
    "download  checks and converts every SRC as the page does in that mode (at most 9,\n"
    "          each at most 1024 x 768), then writes the \"LOGO\" job; any SRC refused\n"
    "          means no job at all. The work bitmaps live in a private temporary folder.\n"
    "clear     writes the \"SELFTEST\" job that clears the stored logos\n"
    "\n"
    "--halftone defaults to m3; contrast and brightness are -100..100, default 0.\n";

// Every option of every subcommand, taken before the positionals; each subcommand then says
// which of them it allows.
struct Options {
    std::string to, mode, halftone, outPath;
    bool hasTo = false, hasMode = false, hasHalftone = false, hasOut = false;
    LogoRowSettings settings;
    bool hasTone = false;
};

LogoMode ModeFrom(const std::string& option, bool given, const std::string& value) {
    if (!given) throw UsageError(option + " mono|grey is required");
    if (value == "mono") return LogoMode::BlackWhite;
    if (value == "grey") return LogoMode::Grey;
    throw UsageError(option + " must be mono or grey");
}

Options TakeOptions(Args& args) {
    Options o;
    o.hasTo = args.TakeOption("--to", &o.to);
    o.hasMode = args.TakeOption("--mode", &o.mode);
    o.hasHalftone = args.TakeOption("--halftone", &o.halftone);
    o.hasOut = args.TakeOption("-o", &o.outPath);
    const auto method = HalftoneMethodFromName(o.hasHalftone ? o.halftone : "m3");
    if (!method) throw UsageError("--halftone must be none, m3, m4 or diffusion");
    o.settings.method = *method;
    constexpr int kUnset = -1000;
    const int c = args.TakeInt("--contrast", kUnset, -100, 100);
    const int b = args.TakeInt("--brightness", kUnset, -100, 100);
    o.hasTone = c != kUnset || b != kUnset;
    o.settings.contrast = c == kUnset ? 0 : c;
    o.settings.brightness = b == kUnset ? 0 : b;
    return o;
}

int SendOutcome(const LogoJobOutcome& outcome, const std::vector<LogoRowFiles>& rows,
                const std::string& outPath) {
    if (outcome.kind == LogoJobOutcome::Kind::Refused)
        throw Refusal("logo download", PageMessage(outcome.message));
    if (outcome.kind == LogoJobOutcome::Kind::Abandoned)
        throw Refusal("logo download", "no job: a logo cannot be read as a printable bitmap");
    if (outcome.endedEarly) {
        // Reset and command, then two pieces a row: the row after the last whole one failed.
        const size_t failed = (outcome.job.pieces.size() - 2) / 2;
        throw Refusal(failed < rows.size() ? Utf16ToPath(rows[failed].source) : "logo download",
                      "cannot be encoded as a stored logo (a 1-bit bitmap needs a black and a "
                      "white palette entry); nothing was written");
    }
    return WriteJob(outcome.job, outPath);
}

int Convert(const Options& o, const std::vector<std::string>& p) {
    if (o.hasMode) throw UsageError("convert takes --to, not --mode");
    const LogoMode mode = ModeFrom("--to", o.hasTo, o.to);
    if (!o.hasOut) throw UsageError("-o OUT is required: the work bitmap is written there");
    if (p.size() != 2) throw UsageError("convert takes one SRC");
    const SourcePicture source = ReadSourcePicture(p[1], kMsgCannotOpenLogo);
    LogoWorkFolder work;
    const std::string workFile = NewWorkFile(work);
    const ConvertResult r = ConvertSource(source, workFile, mode, o.settings);
    if (r.code == kConvertAlreadyMono) {
        WriteOutput(o.outPath, source.bmp);  // the page prints a 1-bit bitmap as it is
    } else if (r.Written()) {
        WriteOutput(o.outPath, ReadInputFile(workFile, kPictureReadLimit));
    } else {
        throw Refusal(source.path, ConvertFailure(r));
    }
    std::printf("%s\n", o.outPath.c_str());
    return kExitDone;
}

int Download(const Options& o, const std::vector<std::string>& p) {
    if (o.hasTo) throw UsageError("download takes --mode, not --to");
    const LogoMode mode = ModeFrom("--mode", o.hasMode, o.mode);
    if (!o.hasOut) throw UsageError("-o DST is required");
    if (p.size() < 2) throw UsageError("download needs at least one SRC");
    // Every source is read, checked and converted before anything is written.
    LogoWorkFolder work;
    std::vector<LogoRowFiles> rows;
    for (size_t i = 1; i < p.size(); ++i) {
        if (auto full = CheckRoomForLogo(rows.size())) throw Refusal(p[i], PageMessage(*full));
        rows.push_back(PrepareLogoSource(p[i], NewWorkFile(work), mode, o.settings));
    }
    return SendOutcome(BuildLogoDownloadJob(rows, mode), rows, o.outPath);
}

int Clear(const Options& o, const std::vector<std::string>& p) {
    if (o.hasTo || o.hasMode || o.hasHalftone || o.hasTone)
        throw UsageError("clear takes only -o DST");
    if (!o.hasOut) throw UsageError("-o DST is required");
    if (p.size() != 1) throw UsageError("clear takes no SRC");
    return WriteJob(BuildClearLogosJob(), o.outPath);
}

int RunLogo(Args& args) {
    const Options o = TakeOptions(args);
    const std::vector<std::string> p = args.Positionals();
    if (p.empty()) throw UsageError("missing logo command");
    if (p[0] == "convert") return Convert(o, p);
    if (p[0] == "download") return Download(o, p);
    if (p[0] == "clear") return Clear(o, p);
    throw UsageError("unknown logo command " + p[0]);
}

}  // namespace

KRV_TOOL_COMMAND(logo, "logo", "convert, download or clear the stored logos", kUsage, RunLogo);

}  // namespace krv::tool
