// The plug-in's private DEVMODE extension: a stored format of exactly 1468 bytes that the
// spooler keeps behind the public DEVMODE of every job and that the rendering side reads.
// Every offset below is binding; the static_asserts at the end pin them down.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace krv {

static_assert(std::endian::native == std::endian::little, "the record is stored little-endian");

constexpr uint32_t kOemDevmodeSize = 1468;
constexpr uint32_t kOemSignature = 0x564B5254;  // "VKRT"; stored bytes "TRKV"
constexpr uint32_t kOemVersion = 1;

#pragma pack(push, 1)

struct OemDmExtraHeader {
    uint32_t dwSize;
    uint32_t dwSignature;
    uint32_t dwVersion;
};

// The four event blocks carry the same fields, but not at the same places: the start of
// document keeps its buzzer volume after the selector, the start of page has three reserved
// bytes before its selector. One struct per shape keeps each offset explicit.
struct StartOfDocumentBlock {  // 16..160
    uint8_t sendCommand;
    uint8_t feedToCutPosition;
    uint8_t commandBytes[128];
    uint8_t commandLength;
    uint8_t cashDrawer;
    uint8_t cutter;
    uint8_t feedDistanceMm;
    uint8_t prompter;
    uint8_t reserved;
    uint32_t drawerOrPrompter;
    uint8_t buzzerVolume;
    uint8_t buzzer;
    uint8_t logo;
    uint8_t logoAlignment;
    uint8_t logoPosition;
};

struct StartOfPageBlock {  // 161..307
    uint8_t sendCommand;
    uint8_t feedToCutPosition;
    uint8_t commandBytes[128];
    uint8_t commandLength;
    uint8_t cashDrawer;
    uint8_t cutter;
    uint8_t feedDistanceMm;
    uint8_t buzzerVolume;
    uint8_t prompter;
    uint8_t reserved[3];
    uint32_t drawerOrPrompter;
    uint8_t buzzer;
    uint8_t logo;
    uint8_t logoAlignment;
    uint8_t logoPosition;
};

struct EndEventBlock {  // end of document 308..451, end of page 452..595
    uint8_t sendCommand;
    uint8_t feedToCutPosition;
    uint8_t commandBytes[128];
    uint8_t commandLength;
    uint8_t cashDrawer;
    uint8_t cutter;
    uint8_t feedDistanceMm;
    uint8_t buzzerVolume;
    uint8_t prompter;
    uint32_t drawerOrPrompter;
    uint8_t buzzer;
    uint8_t logo;
    uint8_t logoAlignment;
    uint8_t logoPosition;
};

struct BarcodeFontRecord {  // 36 bytes, record i at 596 + 36 i
    uint8_t barcodeType;
    uint8_t elementWidth;
    uint8_t reserved2[2];
    uint32_t barHeight;
    uint8_t hriPosition;
    uint8_t hriFont;
    uint8_t reserved10[2];
    uint32_t elementWidthTimes8;
    uint32_t fontHeight;
    uint8_t gs1ElementWidth;
    uint8_t reserved21[3];
    uint32_t gs1RowHeight;
    uint32_t gs1CompositeRowHeight;
    uint8_t gs1SeparatorHeight;
    uint8_t gs1Hri;
    uint8_t gs1UseAi;
    uint8_t reserved35;
};

struct TwoDimensionalCodeRecord {  // 24 bytes, record i at 884 + 24 i
    uint8_t codeType;
    uint8_t pdf417ElementWidth;
    uint8_t pdf417ElementHeight;
    uint8_t pdf417Columns;
    uint8_t pdf417Rows;
    uint8_t pdf417ErrorLevel;
    uint8_t gs1ElementWidth;
    uint8_t reserved7;
    uint32_t gs1RowHeight;
    uint32_t gs1CompositeRowHeight;
    uint8_t gs1SeparatorHeight;
    uint8_t gs1Segments;
    uint8_t gs1Hri;
    uint8_t gs1UseAi;
    uint8_t qrModuleWidth;
    uint8_t qrLanguage;
    uint8_t qrMode;
    uint8_t qrErrorLevel;
};

struct OemDevmode {
    OemDmExtraHeader header;
    int32_t jobLimitValue;
    StartOfDocumentBlock startOfDocument;
    StartOfPageBlock startOfPage;
    EndEventBlock endOfDocument;
    EndEventBlock endOfPage;
    BarcodeFontRecord barcodeFonts[8];
    TwoDimensionalCodeRecord twoDimensionalCodeFonts[2];
    uint8_t rendererByte932;
    uint8_t reserved933;
    uint8_t rendererArea934[32];
    uint8_t rendererArea966[32];
    uint8_t printTextAsImage;
    uint8_t reserved999;
    char16_t watermarkImagePath[125];
    uint8_t watermarkMode;
    uint8_t reserved1251;
    char16_t watermarkText[16];
    char16_t watermarkFontName[50];
    uint8_t watermarkFontSize;
    uint8_t watermarkFontStyle;
    uint8_t reserved1386[2];
    int32_t watermarkAngle;
    uint8_t watermarkPosition;
    uint8_t watermarkSizePercent;
    uint8_t watermarkBrightness;
    uint8_t zoomScalePercent;
    uint8_t rotate180;
    uint8_t reserved1397;
    char16_t paperSizeName[32];
    uint8_t zoomPrinting;
    uint8_t duplexMode;
    uint8_t topBottomMessage;
    uint8_t bindingEdge;
    uint8_t reserved1466[2];
};

#pragma pack(pop)

// ---- record operations (the DevMode operations of the plug-in object call these)

// Writes the default record.
void DefaultOemDevmode(OemDevmode* out);

// Merges a stored record `in` into `out`. False (nothing changed) when either is null.
// `in` may claim any dwSize; nothing beyond 1468 bytes is ever read or written.
bool ConvertOemDevmode(const OemDevmode* in, OemDevmode* out);
// The same for a stored record of which only `inAvailable` bytes exist (a file, say): it
// contributes at most those bytes, and one shorter than 8 bytes counts as foreign.
bool ConvertOemDevmodeBytes(const uint8_t* in, size_t inAvailable, OemDevmode* out);

// Repairs the header and clamps jobLimitValue. False when `record` is null.
bool ValidateOemDevmode(OemDevmode* record);

// ---- event blocks: one moment's actions, independent of the block's shape in the record

enum class EventMoment : uint8_t {
    StartOfDocument = 0,
    StartOfPage = 1,
    EndOfPage = 2,
    EndOfDocument = 3
};

struct EventActionSettings {
    uint8_t sendCommand = 0;
    uint8_t feedToCutPosition = 0;
    uint8_t commandBytes[128] = {};
    uint8_t commandLength = 0;
    uint8_t cashDrawer = 0;
    uint8_t cutter = 0;
    uint8_t feedDistanceMm = 0;
    uint8_t buzzerVolume = 0;
    uint8_t prompter = 0;
    uint32_t drawerOrPrompter = 0;
    uint8_t buzzer = 0;
    uint8_t logo = 0;
    uint8_t logoAlignment = 0;
    uint8_t logoPosition = 0;
};

EventActionSettings ReadEventBlock(const OemDevmode& record, EventMoment moment);
// Writes every field of the block (the command area is zeroed first); reserved bytes stay.
void WriteEventBlock(OemDevmode& record, EventMoment moment, const EventActionSettings& settings);

// ---- compile-time layout checks
#define KRV_AT(field, offset) static_assert(offsetof(OemDevmode, field) == (offset), #field)
static_assert(sizeof(OemDevmode) == kOemDevmodeSize);
static_assert(sizeof(StartOfDocumentBlock) == 145);
static_assert(sizeof(StartOfPageBlock) == 147);
static_assert(sizeof(EndEventBlock) == 144);
static_assert(sizeof(BarcodeFontRecord) == 36);
static_assert(sizeof(TwoDimensionalCodeRecord) == 24);
KRV_AT(jobLimitValue, 12);
KRV_AT(startOfDocument, 16);
KRV_AT(startOfDocument.commandLength, 146);
KRV_AT(startOfDocument.cashDrawer, 147);
KRV_AT(startOfDocument.prompter, 150);
KRV_AT(startOfDocument.drawerOrPrompter, 152);
KRV_AT(startOfDocument.buzzerVolume, 156);
KRV_AT(startOfDocument.logoPosition, 160);
KRV_AT(startOfPage, 161);
KRV_AT(startOfPage.commandBytes, 163);
KRV_AT(startOfPage.commandLength, 291);
KRV_AT(startOfPage.buzzerVolume, 295);
KRV_AT(startOfPage.prompter, 296);
KRV_AT(startOfPage.drawerOrPrompter, 300);
KRV_AT(startOfPage.buzzer, 304);
KRV_AT(startOfPage.logoPosition, 307);
KRV_AT(endOfDocument, 308);
KRV_AT(endOfDocument.commandLength, 438);
KRV_AT(endOfDocument.buzzerVolume, 442);
KRV_AT(endOfDocument.drawerOrPrompter, 444);
KRV_AT(endOfDocument.logoPosition, 451);
KRV_AT(endOfPage, 452);
KRV_AT(endOfPage.feedToCutPosition, 453);
KRV_AT(endOfPage.cutter, 584);
KRV_AT(endOfPage.drawerOrPrompter, 588);
KRV_AT(endOfPage.logoPosition, 595);
KRV_AT(barcodeFonts, 596);
KRV_AT(barcodeFonts[1].barHeight, 636);
KRV_AT(barcodeFonts[0].fontHeight, 612);
KRV_AT(barcodeFonts[0].gs1RowHeight, 620);
KRV_AT(barcodeFonts[0].gs1UseAi, 630);
KRV_AT(twoDimensionalCodeFonts, 884);
KRV_AT(twoDimensionalCodeFonts[0].gs1RowHeight, 892);
KRV_AT(twoDimensionalCodeFonts[0].qrErrorLevel, 907);
KRV_AT(twoDimensionalCodeFonts[1], 908);
KRV_AT(rendererByte932, 932);
KRV_AT(rendererArea934, 934);
KRV_AT(rendererArea966, 966);
KRV_AT(printTextAsImage, 998);
KRV_AT(watermarkImagePath, 1000);
KRV_AT(watermarkMode, 1250);
KRV_AT(watermarkText, 1252);
KRV_AT(watermarkFontName, 1284);
KRV_AT(watermarkFontSize, 1384);
KRV_AT(watermarkFontStyle, 1385);
KRV_AT(watermarkAngle, 1388);
KRV_AT(watermarkPosition, 1392);
KRV_AT(watermarkSizePercent, 1393);
KRV_AT(watermarkBrightness, 1394);
KRV_AT(zoomScalePercent, 1395);
KRV_AT(rotate180, 1396);
KRV_AT(paperSizeName, 1398);
KRV_AT(zoomPrinting, 1462);
KRV_AT(duplexMode, 1463);
KRV_AT(topBottomMessage, 1464);
KRV_AT(bindingEdge, 1465);
#undef KRV_AT

}  // namespace krv
