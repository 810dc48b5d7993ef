#include "frame/oem_devmode.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace krv {

namespace {

void DefaultBarcodeFont(BarcodeFontRecord& r, uint8_t type) {
    r.barcodeType = type;
    r.elementWidth = 3;
    r.barHeight = 163;
    r.elementWidthTimes8 = 24;
    r.fontHeight = 163;
    r.gs1ElementWidth = 2;
    r.gs1RowHeight = 100;
    r.gs1CompositeRowHeight = 2;
    r.gs1SeparatorHeight = 1;
    r.gs1Hri = 1;
    r.gs1UseAi = 1;
}

void DefaultTwoDimensionalFont(TwoDimensionalCodeRecord& r) {
    r.pdf417ElementWidth = 3;
    r.pdf417ElementHeight = 3;
    r.pdf417Columns = 3;
    r.pdf417Rows = 3;
    r.pdf417ErrorLevel = 5;
    r.gs1ElementWidth = 2;
    r.gs1RowHeight = 100;
    r.gs1CompositeRowHeight = 2;
    r.gs1SeparatorHeight = 2;
    r.gs1Segments = 4;
    r.gs1Hri = 1;
    r.gs1UseAi = 1;
    r.qrModuleWidth = 3;
    r.qrLanguage = 0;
    r.qrMode = 1;
    r.qrErrorLevel = 1;
}

void WriteHeader(OemDevmode& r) {
    r.header.dwSize = kOemDevmodeSize;
    r.header.dwSignature = kOemSignature;
    r.header.dwVersion = kOemVersion;
}

// The body (everything after the 12-byte header) of the default record.
void DefaultBody(OemDevmode& r) {
    std::memset(reinterpret_cast<uint8_t*>(&r) + sizeof(OemDmExtraHeader), 0,
                kOemDevmodeSize - sizeof(OemDmExtraHeader));
    r.startOfDocument.cashDrawer = 12;  // both drawers, 60 ms
    r.endOfPage.feedToCutPosition = 1;
    r.endOfPage.cutter = 1;  // partial cut
    static constexpr uint8_t kDefaultTypes[8] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 8; ++i)
        DefaultBarcodeFont(r.barcodeFonts[i], kDefaultTypes[i]);
    for (auto& f : r.twoDimensionalCodeFonts)
        DefaultTwoDimensionalFont(f);
    r.watermarkFontSize = 50;
    r.watermarkAngle = 45;
    r.watermarkPosition = 4;
    r.watermarkSizePercent = 100;
    r.watermarkBrightness = 50;
    r.zoomScalePercent = 100;
    r.duplexMode = 1;
}

template <typename Block>
EventActionSettings ReadBlock(const Block& b) {
    EventActionSettings s;
    s.sendCommand = b.sendCommand;
    s.feedToCutPosition = b.feedToCutPosition;
    std::memcpy(s.commandBytes, b.commandBytes, sizeof s.commandBytes);
    s.commandLength = b.commandLength;
    s.cashDrawer = b.cashDrawer;
    s.cutter = b.cutter;
    s.feedDistanceMm = b.feedDistanceMm;
    s.buzzerVolume = b.buzzerVolume;
    s.prompter = b.prompter;
    s.drawerOrPrompter = b.drawerOrPrompter;
    s.buzzer = b.buzzer;
    s.logo = b.logo;
    s.logoAlignment = b.logoAlignment;
    s.logoPosition = b.logoPosition;
    return s;
}

template <typename Block>
void WriteBlock(Block& b, const EventActionSettings& s) {
    b.sendCommand = s.sendCommand;
    b.feedToCutPosition = s.feedToCutPosition;
    std::memcpy(b.commandBytes, s.commandBytes, sizeof b.commandBytes);
    b.commandLength = s.commandLength;
    b.cashDrawer = s.cashDrawer;
    b.cutter = s.cutter;
    b.feedDistanceMm = s.feedDistanceMm;
    b.buzzerVolume = s.buzzerVolume;
    b.prompter = s.prompter;
    b.drawerOrPrompter = s.drawerOrPrompter;
    b.buzzer = s.buzzer;
    b.logo = s.logo;
    b.logoAlignment = s.logoAlignment;
    b.logoPosition = s.logoPosition;
}

}  // namespace

void DefaultOemDevmode(OemDevmode* out) {
    if (!out) return;
    WriteHeader(*out);
    DefaultBody(*out);
}

bool ConvertOemDevmode(const OemDevmode* in, OemDevmode* out) {
    return ConvertOemDevmodeBytes(reinterpret_cast<const uint8_t*>(in), SIZE_MAX, out);
}

bool ConvertOemDevmodeBytes(const uint8_t* in, size_t inAvailable, OemDevmode* out) {
    if (!in || !out) return false;
    // A record too short to hold a signature cannot be ours.
    uint32_t inSize = 0, inSignature = 0;
    const bool readable = inAvailable >= 8;
    if (readable) {
        std::memcpy(&inSize, in, 4);
        std::memcpy(&inSignature, in + 4, 4);
    }
    if (readable && inSignature == out->header.dwSignature) {
        const uint32_t noted = out->header.dwSize;
        DefaultBody(*out);
        // Neither record's claimed size may take the copy past the 1468 bytes of `out`,
        // nor past what the caller says `in` holds.
        size_t n = std::min<size_t>({noted, inSize, kOemDevmodeSize, inAvailable});
        std::memmove(out, in, n);
        out->header.dwSize = kOemDevmodeSize;
        out->header.dwVersion = kOemVersion;
    } else {
        WriteHeader(*out);
        DefaultBody(*out);
    }
    return true;
}

bool ValidateOemDevmode(OemDevmode* record) {
    if (!record) return false;
    WriteHeader(*record);
    if (record->jobLimitValue > 100) record->jobLimitValue = 0;
    return true;
}

EventActionSettings ReadEventBlock(const OemDevmode& r, EventMoment moment) {
    switch (moment) {
        case EventMoment::StartOfDocument:
            return ReadBlock(r.startOfDocument);
        case EventMoment::StartOfPage:
            return ReadBlock(r.startOfPage);
        case EventMoment::EndOfPage:
            return ReadBlock(r.endOfPage);
        case EventMoment::EndOfDocument:
            return ReadBlock(r.endOfDocument);
    }
    return {};
}

void WriteEventBlock(OemDevmode& r, EventMoment moment, const EventActionSettings& s) {
    switch (moment) {
        case EventMoment::StartOfDocument:
            WriteBlock(r.startOfDocument, s);
            break;
        case EventMoment::StartOfPage:
            WriteBlock(r.startOfPage, s);
            break;
        case EventMoment::EndOfPage:
            WriteBlock(r.endOfPage, s);
            break;
        case EventMoment::EndOfDocument:
            WriteBlock(r.endOfDocument, s);
            break;
    }
}

}  // namespace krv
