#include "jobs/barcode_test_print.h"

#include <optional>

#include "channel/ansi_text.h"
#include "jobs/barcode_data_rule.h"

namespace krv {

namespace {

const Bytes kLeadingFeeds = {0x0A, 0x0A};
const Bytes kTrailer = {0x0A, 0x1D, 0x56, 0x42, 0x00};  // line feed, GS V 66 0: feed and cut
const Bytes kDataEnd = {0x00};

constexpr uint8_t kBarcodeTypeCode93 = 7;
constexpr uint8_t kBarcodeTypeCode128 = 8;
constexpr uint8_t kBarcodeTypeLastLinear = 8;

// GS1 DataBar kinds as the printer numbers them.
constexpr uint8_t kDataBarOmnidirectional = 1, kDataBarTruncated = 2, kDataBarStacked = 3,
                  kDataBarStackedOmnidirectional = 4, kDataBarLimited = 5, kDataBarExpanded = 6,
                  kDataBarExpandedStacked = 7;
// The barcode page has no segments field; Expanded symbols from it always use two per row.
constexpr uint8_t kBarcodePageSegments = 2;

// The command layouts read best one command per line.
// clang-format off
Bytes BarcodeHeader(const BarcodeFontRecord& f, uint8_t system) {
    const uint8_t hriFont = f.hriFont != 0 ? 1 : 0;
    const uint8_t hriPosition = f.hriPosition <= 3 ? f.hriPosition : 0;
    return {0x1D, 0x66, hriFont,                                   // GS f: HRI font
            0x1D, 0x48, hriPosition,                               // GS H: HRI position
            0x1D, 0x77, f.elementWidth,                            // GS w: element width
            0x1D, 0x68, static_cast<uint8_t>(f.barHeight & 0xFF),  // GS h: bar height
            0x1D, 0x6B, system};                                   // GS k m: print
}

struct DataBarSettings {
    uint8_t kind, elementWidth;
    uint32_t rowHeight, compositeRowHeight;
    uint8_t separatorHeight, segments, hri, useAi;
};

Bytes DataBarHeader(const DataBarSettings& s) {
    return {0x1D, 0x66, 0x00,                                      // HRI font A
            0x1D, 0x48, 0x00,                                      // HRI not printed
            0x1D, 0x73, s.kind, s.elementWidth,                    // DataBar parameters
            static_cast<uint8_t>(s.rowHeight & 0xFF),
            static_cast<uint8_t>(s.compositeRowHeight & 0xFF),
            s.separatorHeight, s.segments, s.hri, s.useAi,
            0x1D, 0x6B, 0x0D};                                     // print, code 13
}

Bytes Pdf417Header(const TwoDimensionalCodeRecord& f) {
    return {0x1D, 0x70, 0x01, 0x01, f.pdf417Rows, f.pdf417Columns,
            f.pdf417ElementWidth, f.pdf417ElementHeight,
            0x1D, 0x71, f.pdf417ErrorLevel,
            0x1D, 0x6B, 0x0A};
}

uint8_t QrLevelLetter(uint8_t level) {
    switch (level) {
        case 0: return 'L';
        case 1: return 'M';
        case 2: return 'H';
        default: return 'Q';  // 3, and any value the printer would not know
    }
}

Bytes QrHeader(const TwoDimensionalCodeRecord& f) {
    return {0x1D, 0x6F, 0x00, f.qrModuleWidth, f.qrLanguage, f.qrMode,
            0x1D, 0x6B, 0x0B, QrLevelLetter(f.qrErrorLevel), 0x41, 0x2C};
}
// clang-format on

const Bytes kMaxiCodeHeader = {0x1D, 0x71, 0x00, 0x1D, 0x6B, 0x0C};

// Converts and checks the field text; nullopt when the rule refuses it.
std::optional<Bytes> ValidatedData(int ruleCode, std::u16string_view text) {
    Bytes data;
    if (!TestDataBytes(text, &data)) return std::nullopt;
    if (!ValidateBarcodeData(ruleCode, data)) return std::nullopt;
    return data;
}

TestPrintBuild Refused() {
    return {TestPrintStatus::DataRefused, {}};
}

TestPrintBuild Job(const char* name, std::initializer_list<Bytes> typePieces) {
    TestPrintBuild b{TestPrintStatus::Built, {}};
    b.job.documentName = name;
    b.job.Add(kLeadingFeeds);
    for (const auto& piece : typePieces)
        b.job.Add(piece);
    b.job.Add(kTrailer);
    return b;
}

uint8_t DataBarKindOfBarcodePage(uint8_t type) {
    constexpr uint8_t kinds[] = {kDataBarOmnidirectional, kDataBarTruncated, kDataBarLimited,
                                 kDataBarExpanded};
    return kinds[type - 9];
}

uint8_t DataBarKindOfTwoDimensionalPage(uint8_t type) {
    constexpr uint8_t kinds[] = {kDataBarStacked, kDataBarStackedOmnidirectional,
                                 kDataBarExpandedStacked};
    return kinds[type - 1];
}

}  // namespace

bool TestDataBytes(std::u16string_view text, Bytes* out) {
    if (text.size() > kTestDataMaxChars) text = text.substr(0, kTestDataMaxChars);
    const std::string ansi = ToAnsi(text);
    // The buffer keeps one byte for the terminating zero.
    if (ansi.size() >= kTestDataAnsiBufferBytes) return false;
    const size_t end = ansi.find('\0');
    const size_t n = end == std::string::npos ? ansi.size() : end;
    out->assign(ansi.begin(), ansi.begin() + static_cast<std::ptrdiff_t>(n));
    return true;
}

TestPrintBuild BuildBarcodeTestPrint(const BarcodeFontRecord& f, std::u16string_view text) {
    const auto ruleCode = BarcodePageRuleCode(f.barcodeType);
    if (!ruleCode) return Refused();
    const auto data = ValidatedData(*ruleCode, text);
    if (!data) return Refused();

    if (f.barcodeType <= kBarcodeTypeLastLinear) {
        const Bytes header = BarcodeHeader(f, *BarcodeSystemNumber(f.barcodeType));
        if (f.barcodeType != kBarcodeTypeCode93 && f.barcodeType != kBarcodeTypeCode128)
            return Job("Barcode", {header, *data, kDataEnd});
        // Code93 and Code128 take the length-prefixed form: width, height and system again,
        // then one length byte (the data is at most 255 bytes).
        const Bytes repeated(header.begin() + 6, header.end());
        const Bytes lengthByte = {static_cast<uint8_t>(data->size())};
        return Job("Barcode", {header, kDataEnd, repeated, lengthByte, *data, kDataEnd});
    }
    const DataBarSettings s{DataBarKindOfBarcodePage(f.barcodeType),
                            f.gs1ElementWidth,
                            f.gs1RowHeight,
                            f.gs1CompositeRowHeight,
                            f.gs1SeparatorHeight,
                            kBarcodePageSegments,
                            f.gs1Hri,
                            f.gs1UseAi};
    return Job("Barcode", {DataBarHeader(s), *data, kDataEnd});
}

TestPrintBuild BuildTwoDimensionalTestPrint(const TwoDimensionalCodeRecord& f,
                                            std::u16string_view text) {
    const auto ruleCode = TwoDimensionalPageRuleCode(f.codeType);
    if (!ruleCode) return Refused();
    const auto data = ValidatedData(*ruleCode, text);
    if (!data) return Refused();

    Bytes header;
    switch (f.codeType) {
        case 0:
            header = Pdf417Header(f);
            break;
        case 4:
            header = QrHeader(f);
            break;
        case 5:
            header = kMaxiCodeHeader;
            break;
        default:
            header = DataBarHeader({DataBarKindOfTwoDimensionalPage(f.codeType), f.gs1ElementWidth,
                                    f.gs1RowHeight, f.gs1CompositeRowHeight, f.gs1SeparatorHeight,
                                    f.gs1Segments, f.gs1Hri, f.gs1UseAi});
            break;
    }
    return Job("2Dcode", {header, *data, kDataEnd});
}

TestPrintBuild BuildTestPrint(const OemDevmode& record, BarcodePageKind page, int fontIndex,
                              std::u16string_view text) {
    if (page == BarcodePageKind::Barcode) {
        if (fontIndex < 0 || fontIndex >= kBarcodeFontCount)
            return {TestPrintStatus::NoSuchFont, {}};
        return BuildBarcodeTestPrint(record.barcodeFonts[fontIndex], text);
    }
    if (fontIndex < 0 || fontIndex >= kTwoDimensionalFontCount)
        return {TestPrintStatus::NoSuchFont, {}};
    return BuildTwoDimensionalTestPrint(record.twoDimensionalCodeFonts[fontIndex], text);
}

TestPrintStatus BarcodeTestPrint(SpoolerSeam& spooler, const OemDevmode& record,
                                 BarcodePageKind page, int fontIndex, std::u16string_view text) {
    const TestPrintBuild build = BuildTestPrint(record, page, fontIndex, text);
    if (build.status != TestPrintStatus::Built) return build.status;
    return SendRawJob(spooler, build.job) ? TestPrintStatus::Built : TestPrintStatus::SpoolerFailed;
}

}  // namespace krv
