// krv857 barcode / 2dcode: the test print of a barcode or two-dimensional code font.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "channel/ansi_text.h"
#include "jobs/barcode_data_rule.h"
#include "docpages/barcode_page_rules.h"
#include "jobs/barcode_test_print.h"
#include "docpages/two_dimensional_page_rules.h"
#include "frame/oem_devmode.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kBarcodeUsage[] =
    "usage: krv857 barcode --font N [--devmode RECORD] --data TEXT -o DST\n"
    "\n"
    "Writes the test print of barcode font \"1D Code<N>\" (N = 1..8) for the data TEXT, with\n"
    "the font's settings from the 1468-byte private record RECORD (the defaults without it).\n"
    "TEXT is UTF-8 and goes to the printer in the code page. Data the font's code type\n"
    "refuses exits 1 with the page's message.\n";

constexpr char kTwoDimensionalUsage[] =
    "usage: krv857 2dcode --font N [--devmode RECORD] --data TEXT -o DST\n"
    "\n"
    "Writes the test print of two-dimensional code font \"2D Code<N>\" (N = 1..2) for the data\n"
    "TEXT, with the font's settings from the 1468-byte private record RECORD (the defaults\n"
    "without it). TEXT is UTF-8 and goes to the printer in the code page. Data the font's\n"
    "code type refuses exits 1 with the page's message.\n";

// The bytes of a rule's set as the help shows them: "blank $ % 0-9 A-Z", ranges for digits and
// letters, values outside printable ASCII as hexadecimal ranges.
std::string DescribeSet(const int32_t* allowed) {
    const auto in = [&](int v) {
        return v < 256 && ByteInRuleSet(allowed, static_cast<uint8_t>(v));
    };
    const auto printable = [](int v) { return v > ' ' && v < 0x7F; };
    const auto kind = [](int v) {
        return std::isdigit(v) ? 1 : std::isupper(v) ? 2 : std::islower(v) ? 3 : 0;
    };
    std::string out;
    const auto add = [&](const std::string& part) { out += (out.empty() ? "" : " ") + part; };
    for (int v = 0; v < 256;) {
        if (!in(v)) {
            ++v;
            continue;
        }
        int end = v;
        if (!printable(v) && v != ' ') {
            while (in(end + 1))
                ++end;
            char text[16];
            std::snprintf(text, sizeof text, end > v ? "0x%02X-0x%02X" : "0x%02X", v, end);
            add(text);
        } else if (kind(v) != 0) {
            while (in(end + 1) && kind(end + 1) == kind(v))
                ++end;
            add(end - v >= 2 ? std::string{char(v), '-', char(end)} : std::string(1, char(v)));
            if (end - v == 1) add(std::string(1, char(end)));
        } else {
            add(v == ' ' ? "blank" : std::string(1, char(v)));
        }
        v = end + 1;
    }
    return out;
}

// The checks beyond length and set, by rule row.
const char* ExtraRule(const BarcodeDataRule* rule) {
    if (rule == BarcodeDataRuleFor(1)) return "; the first is 0";
    if (rule == BarcodeDataRuleFor(6)) return "; starts with A-D, ends with A-E, N, T or *";
    if (rule == BarcodeDataRuleFor(kRuleCodeCode128))
        return "; starts with {A, {B or {C, digits in pairs after {C";
    return "";
}

std::string DescribeRule(std::optional<int> ruleCode) {
    const BarcodeDataRule* rule = ruleCode ? BarcodeDataRuleFor(*ruleCode) : nullptr;
    if (!rule) return "no data";
    std::string text =
        std::to_string(rule->minLength) + ".." + std::to_string(rule->maxLength) + " bytes of ";
    text += rule->lengthOnly ? std::string("any value") : DescribeSet(rule->allowed);
    return text + ExtraRule(rule);
}

std::string FontTable(BarcodePageKind page) {
    OemDevmode record;
    DefaultOemDevmode(&record);
    std::string out =
        "\nThe fonts' default code types and the data each accepts (in bytes of the\n"
        "code page; a record may give a font another type):\n";
    const bool barcode = page == BarcodePageKind::Barcode;
    const int count = barcode ? kBarcodeFontCount : kTwoDimensionalFontCount;
    for (int i = 0; i < count; ++i) {
        const uint8_t type = barcode ? record.barcodeFonts[i].barcodeType
                                     : record.twoDimensionalCodeFonts[i].codeType;
        const auto names = barcode ? BarcodeTypeListTexts() : TwoDimensionalTypeListTexts();
        const std::string name = type < names.size() ? Utf16ToUtf8(names[type]) : "?";
        const auto rule = barcode ? BarcodePageRuleCode(type) : TwoDimensionalPageRuleCode(type);
        char line[64];
        std::snprintf(line, sizeof line, "  %d  %-9s ", i + 1, name.c_str());
        out += line + DescribeRule(rule) + "\n";
    }
    return out;
}

std::string BarcodeHelp() {
    return FontTable(BarcodePageKind::Barcode);
}
std::string TwoDimensionalHelp() {
    return FontTable(BarcodePageKind::TwoDimensional);
}

OemDevmode LoadRecord(Args& args) {
    OemDevmode record;
    DefaultOemDevmode(&record);
    std::string path;
    if (!args.TakeOption("--devmode", &path)) return record;
    const Bytes bytes = ReadStoredRecord(path, true);
    std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

int RunTestPrint(Args& args, BarcodePageKind page, int fontCount) {
    const int font = args.TakeInt("--font", 0, 1, fontCount);
    if (font == 0) throw UsageError("--font N is required");
    std::u16string data;
    std::string outPath;
    if (!args.TakeText("--data", &data)) throw UsageError("--data TEXT is required");
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o DST is required");
    const OemDevmode record = LoadRecord(args);
    args.Exactly(0);
    RequireEncodable("--data", data);

    const TestPrintBuild build = BuildTestPrint(record, page, font - 1, data);
    if (build.status != TestPrintStatus::Built) {
        // The page's message comes with a leading blank; the tool's line needs none.
        std::string message = Utf16ToUtf8(kBarcodeDataErrorText);
        message.erase(0, message.find_first_not_of(' '));
        throw Refusal("--data", message + " (barcode data error: the font's code type does not " +
                                    "accept this data; see --help)");
    }
    return WriteJob(build.job, outPath);
}

int RunBarcode(Args& args) {
    return RunTestPrint(args, BarcodePageKind::Barcode, kBarcodeFontCount);
}

int RunTwoDimensional(Args& args) {
    return RunTestPrint(args, BarcodePageKind::TwoDimensional, kTwoDimensionalFontCount);
}

}  // namespace

KRV_TOOL_COMMAND_WITH_HELP(barcode, "barcode", "test print of a barcode font", kBarcodeUsage,
                           RunBarcode, BarcodeHelp);
KRV_TOOL_COMMAND_WITH_HELP(twodcode, "2dcode", "test print of a two-dimensional code font",
                           kTwoDimensionalUsage, RunTwoDimensional, TwoDimensionalHelp);

}  // namespace krv::tool
