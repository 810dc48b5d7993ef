// krv857 devmode: the private record as the host ends up with it.
#include <cstdio>
#include <cstring>
#include <string>

#include "channel/ansi_text.h"
#include "frame/oem_devmode.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 devmode defaults -o DST\n"
    "       krv857 devmode merge STORED -o DST\n"
    "       krv857 devmode show FILE\n"
    "\n"
    "defaults  writes the default 1468-byte private record\n"
    "merge     writes the record the host ends up with after convert and validate of the\n"
    "          stored record STORED (signature \"VKRT\", of any size) into a default one\n"
    "show      prints every field of a 1468-byte record by name, one per line\n";

std::string Text(const char16_t* field, size_t capacity) {
    size_t n = 0;
    while (n < capacity && field[n])
        ++n;
    return Utf16ToUtf8(std::u16string_view(field, n));
}

std::string Hex(const uint8_t* bytes, size_t n) {
    std::string s;
    char b[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, "%02X", bytes[i]);
        if (i) s += ' ';
        s += b;
    }
    return s;
}

// "name[i]." built with snprintf: GCC 12 misreads the equivalent string concatenation as an
// overlapping copy (-Wrestrict) in the optimised 32-bit build.
std::string Indexed(const char* name, int i) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "%s[%d].", name, i);
    return prefix;
}

void Line(const std::string& name, long long value) {
    std::printf("%s = %lld\n", name.c_str(), value);
}
void Line(const std::string& name, const std::string& value) {
    std::printf("%s = %s\n", name.c_str(), value.c_str());
}

void ShowEvent(const char* name, const EventActionSettings& e) {
    const std::string p = std::string(name) + ".";
    Line(p + "sendCommand", e.sendCommand);
    Line(p + "feedToCutPosition", e.feedToCutPosition);
    Line(p + "commandBytes", Hex(e.commandBytes, e.commandLength <= 128 ? e.commandLength : 128));
    Line(p + "commandLength", e.commandLength);
    Line(p + "cashDrawer", e.cashDrawer);
    Line(p + "cutter", e.cutter);
    Line(p + "feedDistanceMm", e.feedDistanceMm);
    Line(p + "buzzerVolume", e.buzzerVolume);
    Line(p + "prompter", e.prompter);
    Line(p + "drawerOrPrompter", e.drawerOrPrompter);
    Line(p + "buzzer", e.buzzer);
    Line(p + "logo", e.logo);
    Line(p + "logoAlignment", e.logoAlignment);
    Line(p + "logoPosition", e.logoPosition);
}

void Show(const OemDevmode& r) {
    Line("dwSize", r.header.dwSize);
    char sig[16];
    std::snprintf(sig, sizeof sig, "0x%08X", r.header.dwSignature);
    Line("dwSignature", sig);
    Line("dwVersion", r.header.dwVersion);
    Line("jobLimitValue", r.jobLimitValue);
    ShowEvent("startOfDocument", ReadEventBlock(r, EventMoment::StartOfDocument));
    ShowEvent("startOfPage", ReadEventBlock(r, EventMoment::StartOfPage));
    ShowEvent("endOfDocument", ReadEventBlock(r, EventMoment::EndOfDocument));
    ShowEvent("endOfPage", ReadEventBlock(r, EventMoment::EndOfPage));
    for (int i = 0; i < 8; ++i) {
        const auto& f = r.barcodeFonts[i];
        const std::string p = Indexed("barcodeFonts", i);
        Line(p + "barcodeType", f.barcodeType);
        Line(p + "elementWidth", f.elementWidth);
        Line(p + "barHeight", f.barHeight);
        Line(p + "hriPosition", f.hriPosition);
        Line(p + "hriFont", f.hriFont);
        Line(p + "elementWidthTimes8", f.elementWidthTimes8);
        Line(p + "fontHeight", f.fontHeight);
        Line(p + "gs1ElementWidth", f.gs1ElementWidth);
        Line(p + "gs1RowHeight", f.gs1RowHeight);
        Line(p + "gs1CompositeRowHeight", f.gs1CompositeRowHeight);
        Line(p + "gs1SeparatorHeight", f.gs1SeparatorHeight);
        Line(p + "gs1Hri", f.gs1Hri);
        Line(p + "gs1UseAi", f.gs1UseAi);
    }
    for (int i = 0; i < 2; ++i) {
        const auto& f = r.twoDimensionalCodeFonts[i];
        const std::string p = Indexed("twoDimensionalCodeFonts", i);
        Line(p + "codeType", f.codeType);
        Line(p + "pdf417ElementWidth", f.pdf417ElementWidth);
        Line(p + "pdf417ElementHeight", f.pdf417ElementHeight);
        Line(p + "pdf417Columns", f.pdf417Columns);
        Line(p + "pdf417Rows", f.pdf417Rows);
        Line(p + "pdf417ErrorLevel", f.pdf417ErrorLevel);
        Line(p + "gs1ElementWidth", f.gs1ElementWidth);
        Line(p + "gs1RowHeight", f.gs1RowHeight);
        Line(p + "gs1CompositeRowHeight", f.gs1CompositeRowHeight);
        Line(p + "gs1SeparatorHeight", f.gs1SeparatorHeight);
        Line(p + "gs1Segments", f.gs1Segments);
        Line(p + "gs1Hri", f.gs1Hri);
        Line(p + "gs1UseAi", f.gs1UseAi);
        Line(p + "qrModuleWidth", f.qrModuleWidth);
        Line(p + "qrLanguage", f.qrLanguage);
        Line(p + "qrMode", f.qrMode);
        Line(p + "qrErrorLevel", f.qrErrorLevel);
    }
    Line("rendererByte932", r.rendererByte932);
    Line("rendererArea934", Hex(r.rendererArea934, 32));
    Line("rendererArea966", Hex(r.rendererArea966, 32));
    Line("printTextAsImage", r.printTextAsImage);
    Line("watermarkImagePath", Text(r.watermarkImagePath, 125));
    Line("watermarkMode", r.watermarkMode);
    Line("watermarkText", Text(r.watermarkText, 16));
    Line("watermarkFontName", Text(r.watermarkFontName, 50));
    Line("watermarkFontSize", r.watermarkFontSize);
    Line("watermarkFontStyle", r.watermarkFontStyle);
    Line("watermarkAngle", r.watermarkAngle);
    Line("watermarkPosition", r.watermarkPosition);
    Line("watermarkSizePercent", r.watermarkSizePercent);
    Line("watermarkBrightness", r.watermarkBrightness);
    Line("zoomScalePercent", r.zoomScalePercent);
    Line("rotate180", r.rotate180);
    Line("paperSizeName", Text(r.paperSizeName, 32));
    Line("zoomPrinting", r.zoomPrinting);
    Line("duplexMode", r.duplexMode);
    Line("topBottomMessage", r.topBottomMessage);
    Line("bindingEdge", r.bindingEdge);
}

Bytes RecordBytes(const OemDevmode& record) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return Bytes(p, p + sizeof record);
}

int RunDevmode(Args& args) {
    std::string outPath;
    const bool hasOut = args.TakeOption("-o", &outPath);
    const auto p = args.Positionals();
    if (p.empty()) throw UsageError("missing devmode command");
    OemDevmode record;
    if (p[0] == "defaults" && p.size() == 1) {
        if (!hasOut) throw UsageError("-o DST is required");
        DefaultOemDevmode(&record);
        WriteOutput(outPath, RecordBytes(record));
        return kExitDone;
    }
    if (p[0] == "merge" && p.size() == 2) {
        if (!hasOut) throw UsageError("-o DST is required");
        const Bytes stored = ReadStoredRecord(p[1], false);
        // The host starts from a sized, defaulted record, then converts and validates.
        DefaultOemDevmode(&record);
        ConvertOemDevmodeBytes(stored.data(), stored.size(), &record);
        ValidateOemDevmode(&record);
        WriteOutput(outPath, RecordBytes(record));
        return kExitDone;
    }
    if (p[0] == "show" && p.size() == 2 && !hasOut) {
        const Bytes bytes = ReadStoredRecord(p[1], true);
        std::memcpy(&record, bytes.data(), sizeof record);
        Show(record);
        return kExitDone;
    }
    throw UsageError("unknown or incomplete devmode command");
}

}  // namespace

KRV_TOOL_COMMAND(devmode, "devmode", "the 1468-byte private record: defaults, merge, show", kUsage,
                 RunDevmode);

}  // namespace krv::tool
