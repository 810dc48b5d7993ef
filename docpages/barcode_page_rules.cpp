#include "docpages/barcode_page_rules.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <limits>
#include <optional>

#include "channel/ansi_text.h"

namespace krv {

namespace {

// HRI text above or below the bars adds one line of the HRI font; above and below adds two.
constexpr uint32_t kHriLineFontA = 24;
constexpr uint32_t kHriLineFontB = 17;
constexpr uint32_t kSmallestFontHeight = 2;  // a snapped height of 0 would select no font

constexpr std::u16string_view kFontTexts[] = {u"1D Code1", u"1D Code2", u"1D Code3", u"1D Code4",
                                              u"1D Code5", u"1D Code6", u"1D Code7", u"1D Code8"};
constexpr std::u16string_view kTypeTexts[] = {u"UPC-A",
                                              u"UPC-E",
                                              u"EAN8",
                                              u"EAN13",
                                              u"Code39",
                                              u"ITF",
                                              u"Codabar",
                                              u"Code93",
                                              u"Code128",
                                              u"GS1 DataBar Omnidirectional",
                                              u"GS1 DataBar Truncated",
                                              u"GS1 DataBar Limited",
                                              u"GS1 DataBar Expanded"};
constexpr std::string_view kSampleData[] = {
    "123456789012",   "023456789012",   "12345678",      "1234567890123", "123ABC*",
    "123456789",      "A123456789A",    "123ABC",        "{A1234",        "01234567890123",
    "01234567890123", "01234567890123", "01234567890123"};
static_assert(std::size(kTypeTexts) == std::size(kSampleData));

constexpr std::u16string_view kHriPositionTexts[] = {u"不打印", u"在条形码上部", u"在条形码下部",
                                                     u"在条形码上部和下部"};
constexpr std::u16string_view kGs1HriTexts[] = {u"主数据和辅助数据", u"主数据", u"辅助数据", u"无"};
constexpr std::u16string_view kApplicationIdentifierTexts[] = {u"否", u"是"};

constexpr uint8_t kTypeGs1DataBarExpanded = 12;

// Bars plus HRI lines; nullopt when the HRI settings are ones the page cannot produce, in
// which case the stored height is kept.
std::optional<uint64_t> HeightWithHri(const BarcodeFontRecord& f) {
    if (f.hriPosition == 0) return f.barHeight;
    if (f.hriPosition > 3 || f.hriFont > 1) return std::nullopt;
    const uint32_t line = f.hriFont == 0 ? kHriLineFontA : kHriLineFontB;
    const uint32_t lines = f.hriPosition == 3 ? 2 : 1;
    return static_cast<uint64_t>(f.barHeight) + line * lines;
}

std::u16string FormatSize(double value) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%5.1f", value);
    std::u16string out;
    for (int i = 0; i < n && i < static_cast<int>(sizeof text) - 1; ++i)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(text[i])));
    return out;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// The signed value of `text`; 0 when it is not a number. Saturates at the 32-bit limits.
int64_t ReadSigned(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    const size_t firstDigit = i;
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t{1} << 32;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        if (value < kLimit) value = value * 10 + (text[i] - u'0');
    if (i == firstDigit) return 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i != text.size()) return 0;
    if (negative) value = -value;
    return std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                               std::numeric_limits<int32_t>::max());
}

// The snapping depends on every product being rounded to double exactly as written. The 32-bit
// Windows build computes on the x87 unit, which keeps intermediates in 80 bits (163 dots with
// Font B would come out as 179 instead of 180); a store to memory rounds them.
double RoundedToDouble(double value) {
    volatile double rounded = value;
    return rounded;
}

double DotsToPoints(double dots) {
    return RoundedToDouble(RoundedToDouble(dots * 72.0) * kOneOver180);
}

template <typename T, size_t N>
std::span<const T> Span(const T (&items)[N]) {
    return {items, N};
}

}  // namespace

double HalfPointRound(double value) {
    const double points = RoundedToDouble(value);
    const double whole = static_cast<double>(static_cast<int64_t>(points));
    const double fraction = points - whole;
    if (fraction < 0.4) return whole;
    if (fraction < 0.7) return whole + 0.5;
    return whole + 1.0;
}

uint32_t SnappedFontHeight(const BarcodeFontRecord& f) {
    const auto t0 = HeightWithHri(f);
    const double base = t0 ? static_cast<double>(*t0) : static_cast<double>(f.fontHeight);
    const double points = DotsToPoints(base);
    const double height =
        RoundedToDouble(RoundedToDouble(HalfPointRound(points) * 180.0) * kOneOver72);
    if (height >= static_cast<double>(std::numeric_limits<uint32_t>::max()))
        return std::numeric_limits<uint32_t>::max();
    const auto t = static_cast<uint32_t>(height);
    return t == 0 ? kSmallestFontHeight : t;
}

void FontHeightSnap(BarcodeFontRecord& font) {
    font.fontHeight = SnappedFontHeight(font);
}

double FontHeightMillimetres(uint32_t fontHeight) {
    return RoundedToDouble(RoundedToDouble(fontHeight * 25.4) * kOneOver180);
}

double FontHeightPoints(uint32_t fontHeight) {
    return HalfPointRound(DotsToPoints(fontHeight));
}

BarcodeSizeTexts BarcodeSizeDisplay(const BarcodeFontRecord& font) {
    return {FormatSize(FontHeightMillimetres(font.fontHeight)),
            FormatSize(FontHeightPoints(font.fontHeight))};
}

int32_t ReadFieldNumber(std::u16string_view text) {
    return static_cast<int32_t>(ReadSigned(text));
}

uint32_t ClampFieldText(std::u16string_view text, uint32_t lo, uint32_t hi) {
    const auto value = static_cast<uint32_t>(ReadFieldNumber(text));
    if (value < lo) return lo;
    if (value > hi) return hi;
    return value;
}

NumericFieldSpec BarcodeFieldSpec(BarcodeNumericField field) {
    switch (field) {
        case BarcodeNumericField::ElementWidth:
            return {2, 6, 1};
        case BarcodeNumericField::BarHeight:
            return {1, 255, 3};
        case BarcodeNumericField::Gs1ElementWidth:
            return {1, 6, 1};
        case BarcodeNumericField::Gs1RowHeight:
            return {2, 250, 3};
        case BarcodeNumericField::Gs1CompositeRowHeight:
            return {1, 10, 1};
        case BarcodeNumericField::Gs1SeparatorHeight:
            return {1, 10, 1};
    }
    return {0, 0, 0};
}

uint32_t StoreBarcodeNumericField(BarcodeFontRecord& f, BarcodeNumericField field,
                                  std::u16string_view text) {
    const NumericFieldSpec spec = BarcodeFieldSpec(field);
    const uint32_t v = ClampFieldText(text, spec.lo, spec.hi);
    switch (field) {
        case BarcodeNumericField::ElementWidth:
            f.elementWidth = static_cast<uint8_t>(v);
            f.elementWidthTimes8 = v * 8;
            break;
        case BarcodeNumericField::BarHeight:
            f.barHeight = v;
            FontHeightSnap(f);
            break;
        case BarcodeNumericField::Gs1ElementWidth:
            f.gs1ElementWidth = static_cast<uint8_t>(v);
            break;
        case BarcodeNumericField::Gs1RowHeight:
            f.gs1RowHeight = v;
            break;
        case BarcodeNumericField::Gs1CompositeRowHeight:
            f.gs1CompositeRowHeight = v;
            break;
        case BarcodeNumericField::Gs1SeparatorHeight:
            f.gs1SeparatorHeight = static_cast<uint8_t>(v);
            break;
    }
    return v;
}

uint32_t BarcodeFieldValue(const BarcodeFontRecord& f, BarcodeNumericField field) {
    switch (field) {
        case BarcodeNumericField::ElementWidth:
            return f.elementWidth;
        case BarcodeNumericField::BarHeight:
            return f.barHeight;
        case BarcodeNumericField::Gs1ElementWidth:
            return f.gs1ElementWidth;
        case BarcodeNumericField::Gs1RowHeight:
            return f.gs1RowHeight;
        case BarcodeNumericField::Gs1CompositeRowHeight:
            return f.gs1CompositeRowHeight;
        case BarcodeNumericField::Gs1SeparatorHeight:
            return f.gs1SeparatorHeight;
    }
    return 0;
}

std::span<const std::u16string_view> BarcodeFontListTexts() {
    return Span(kFontTexts);
}
std::span<const std::u16string_view> BarcodeTypeListTexts() {
    return Span(kTypeTexts);
}
std::span<const std::u16string_view> BarcodeHriPositionListTexts() {
    return Span(kHriPositionTexts);
}
std::span<const std::u16string_view> Gs1HriListTexts() {
    return Span(kGs1HriTexts);
}
std::span<const std::u16string_view> ApplicationIdentifierListTexts() {
    return Span(kApplicationIdentifierTexts);
}

std::string_view BarcodeSampleData(uint8_t barcodeType) {
    return barcodeType < std::size(kSampleData) ? kSampleData[barcodeType] : std::string_view{};
}

std::u16string BarcodeSampleText(uint8_t barcodeType) {
    return FromAnsi(BarcodeSampleData(barcodeType));
}

// A list yields -1 when nothing is selected; such a notification changes nothing.
void StoreHriPosition(BarcodeFontRecord& f, int listIndex) {
    if (listIndex < 0 || listIndex >= static_cast<int>(std::size(kHriPositionTexts))) return;
    f.hriPosition = static_cast<uint8_t>(listIndex);
    FontHeightSnap(f);
}

void StoreHriFont(BarcodeFontRecord& f, uint8_t hriFont) {
    f.hriFont = hriFont != 0 ? 1 : 0;
    FontHeightSnap(f);
}

void StoreGs1Hri(BarcodeFontRecord& f, int listIndex) {
    if (listIndex < 0 || listIndex >= static_cast<int>(std::size(kGs1HriTexts))) return;
    f.gs1Hri = static_cast<uint8_t>(listIndex + 1);
}

void StoreApplicationIdentifiers(BarcodeFontRecord& f, int listIndex) {
    if (listIndex < 0 || listIndex >= static_cast<int>(std::size(kApplicationIdentifierTexts)))
        return;
    f.gs1UseAi = static_cast<uint8_t>(listIndex);
}

int Gs1HriListIndex(uint8_t storedValue) {
    const int index = storedValue - 1;
    return index >= 0 && index < static_cast<int>(std::size(kGs1HriTexts)) ? index : -1;
}

bool BarcodeApplicationIdentifiersEnabled(uint8_t barcodeType) {
    return barcodeType == kTypeGs1DataBarExpanded;
}

bool HriFontButtonsEnabled(uint8_t hriPosition) {
    return hriPosition != 0;
}

bool TestPrintButtonEnabled(std::u16string_view dataText) {
    return !dataText.empty();
}

}  // namespace krv
