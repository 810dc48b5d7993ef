// krv857 barcode / 2dcode: the test print of a barcode or two-dimensional code font.
#include <cstring>
#include <string>

#include "channel/ansi_text.h"
#include "jobs/barcode_test_print.h"
#include "frame/oem_devmode.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kBarcodeUsage[] =
    "usage: krv857 barcode --font N [--devmode FILE] --data TEXT -o FILE\n"
    "\n"
    "Writes the test print of barcode font \"1D Code<N>\" (N = 1..8) for the data TEXT, with\n"
    "the font's settings from the 1468-byte private record FILE (the defaults without it).\n"
    "Data the font's code type refuses exits 1 with the page's message.\n";

constexpr char kTwoDimensionalUsage[] =
    "usage: krv857 2dcode --font N [--devmode FILE] --data TEXT -o FILE\n"
    "\n"
    "Writes the test print of two-dimensional code font \"2D Code<N>\" (N = 1..2) for the data\n"
    "TEXT, with the font's settings from the 1468-byte private record FILE (the defaults\n"
    "without it). Data the font's code type refuses exits 1 with the page's message.\n";

OemDevmode LoadRecord(Args& args) {
    OemDevmode record;
    DefaultOemDevmode(&record);
    std::string path;
    if (!args.TakeOption("--devmode", &path)) return record;
    const auto bytes = ReadFile(path, "cannot read " + path);
    if (bytes.size() != kOemDevmodeSize)
        throw Refusal(path + ": not a 1468-byte record (" + std::to_string(bytes.size()) +
                      " bytes)");
    std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

int RunTestPrint(Args& args, BarcodePageKind page, int fontCount) {
    const int font = args.TakeInt("--font", 0, 1, fontCount);
    if (font == 0) throw UsageError("--font N is required");
    std::string data, outPath;
    if (!args.TakeOption("--data", &data)) throw UsageError("--data TEXT is required");
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o FILE is required");
    const OemDevmode record = LoadRecord(args);
    args.Exactly(0);

    const TestPrintBuild build = BuildTestPrint(record, page, font - 1, Utf8ToUtf16(data));
    if (build.status != TestPrintStatus::Built) throw Refusal(Utf16ToUtf8(kBarcodeDataErrorText));
    return WriteJob(build.job, outPath);
}

int RunBarcode(Args& args) {
    return RunTestPrint(args, BarcodePageKind::Barcode, kBarcodeFontCount);
}

int RunTwoDimensional(Args& args) {
    return RunTestPrint(args, BarcodePageKind::TwoDimensional, kTwoDimensionalFontCount);
}

}  // namespace

KRV_TOOL_COMMAND(barcode, "barcode", kBarcodeUsage, RunBarcode);
KRV_TOOL_COMMAND(twodcode, "2dcode", kTwoDimensionalUsage, RunTwoDimensional);

}  // namespace krv::tool
