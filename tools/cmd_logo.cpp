// krv857 logo: the logo page's work files and its "LOGO" and clear-all jobs.
#include <cstdio>

#include "devpages/logo_jobs.h"
#include "devpages/logo_rows.h"
#include "imaging/bmp_format.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 logo convert --to mono|grey [--halftone none|m3|m4|diffusion]\n"
    "                           [--contrast C] [--brightness B] SRC\n"
    "       krv857 logo download --mode mono|grey [--halftone none|m3|m4|diffusion]\n"
    "                           [--contrast C] [--brightness B] -o FILE SRC...\n"
    "       krv857 logo clear -o FILE\n"
    "\n"
    "convert   writes SRC's work bitmap (SRC without its extension + \"Temp.bmp\") as the\n"
    "          page's preview does and prints its path; a 1-bit SRC in mono is used as it\n"
    "          is: nothing is written and SRC is printed\n"
    "download  checks and converts every SRC as the page does in that mode (at most 9,\n"
    "          each at most 1024 x 768), then writes the \"LOGO\" job\n"
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

int SendOutcome(const LogoJobOutcome& outcome, const std::string& outPath) {
    if (outcome.kind == LogoJobOutcome::Kind::Refused) throw Refusal(outcome.message);
    if (outcome.kind == LogoJobOutcome::Kind::Abandoned)
        throw Refusal("no job: a logo file cannot be read as a printable 1-bit bitmap");
    const int rc = WriteJob(outcome.job, outPath);
    if (!outcome.endedEarly) return rc;
    std::fprintf(stderr, "job ended part-way: a logo file cannot be read or encoded\n");
    return 1;
}

int Convert(const Options& o, const std::vector<std::string>& p) {
    if (o.hasMode || o.hasOut) throw UsageError("convert takes --to, not --mode or -o");
    const LogoMode mode = ModeFrom("--to", o.hasTo, o.to);
    if (p.size() != 2) throw UsageError("convert takes one SRC");
    const std::string& source = p[1];
    const ConvertResult r = ConvertLogoRow(source, LogoWorkFile(source), mode, o.settings);
    if (r.pathToUse.empty())
        throw Refusal(source + ": cannot be converted (" +
                      (r.code == kConvertWrongForm ? "not a bitmap of an accepted form"
                                                   : "cannot open, allocate or write") +
                      ")");
    std::printf("%s\n", r.pathToUse.c_str());
    return 0;
}

int Download(const Options& o, const std::vector<std::string>& p) {
    if (o.hasTo) throw UsageError("download takes --mode, not --to");
    const LogoMode mode = ModeFrom("--mode", o.hasMode, o.mode);
    if (!o.hasOut) throw UsageError("-o FILE is required");
    std::vector<LogoRowFiles> rows;
    for (size_t i = 1; i < p.size(); ++i) {
        const std::string& source = p[i];
        if (auto full = CheckRoomForLogo(rows.size())) throw Refusal(*full);
        const LogoAddCheck check = CheckLogoSource(source, mode);
        if (!check.accepted)
            throw Refusal(check.message.empty() ? source + ": not a bitmap this mode can use"
                                                : check.message);
        // A failed conversion shows nothing on the page either; the job decides.
        const LogoRowFiles row{source, LogoWorkFile(source)};
        PrepareLogoRow(row.source, row.workFile, mode, o.settings);
        rows.push_back(row);
    }
    return SendOutcome(BuildLogoDownloadJob(rows, mode), o.outPath);
}

int Clear(const Options& o, const std::vector<std::string>& p) {
    if (o.hasTo || o.hasMode || o.hasHalftone || o.hasTone)
        throw UsageError("clear takes only -o FILE");
    if (!o.hasOut) throw UsageError("-o FILE is required");
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

KRV_TOOL_COMMAND(logo, "logo", kUsage, RunLogo);

}  // namespace krv::tool
