#include "docpages/two_dimensional_page_rules.h"

#include <iterator>

namespace krv {

namespace {

constexpr std::u16string_view kFontTexts[] = {u"2D Code1", u"2D Code2"};
constexpr std::u16string_view kTypeTexts[] = {u"PDF417",
                                              u"GS1 DataBar Stacked",
                                              u"GS1 DataBar Stacked Omnidirectional",
                                              u"GS1 DataBar Expanded Stacked",
                                              u"QR Code",
                                              u"Maxi Code"};
constexpr std::u16string_view kPdf417LevelTexts[] = {u"纠错等级 0", u"纠错等级 1", u"纠错等级 2",
                                                     u"纠错等级 3", u"纠错等级 4", u"纠错等级 5",
                                                     u"纠错等级 6", u"纠错等级 7", u"纠错等级 8"};
constexpr std::u16string_view kGs1HriTexts[] = {u"主数据和辅助数据", u"主数据", u"辅助数据", u"无"};
constexpr std::u16string_view kYesNoTexts[] = {u"否", u"是"};
constexpr std::u16string_view kLanguageTexts[] = {u"中文", u"日文"};
constexpr std::u16string_view kQrModeTexts[] = {u"1", u"2"};
constexpr std::u16string_view kQrLevelTexts[] = {u"L", u"M", u"H", u"Q"};

constexpr uint32_t kCompositeMinimumSegments = 4;

template <typename T, size_t N>
std::span<const T> Span(const T (&items)[N]) {
    return {items, N};
}

// The stored field of a list and the difference between stored value and entry index.
struct ListBinding {
    uint8_t TwoDimensionalCodeRecord::*field;
    int valueOffset;
};

ListBinding Binding(TwoDimensionalList list) {
    switch (list) {
        case TwoDimensionalList::Pdf417Level:
            return {&TwoDimensionalCodeRecord::pdf417ErrorLevel, 0};
        case TwoDimensionalList::Gs1Hri:
            return {&TwoDimensionalCodeRecord::gs1Hri, 1};
        case TwoDimensionalList::ApplicationIdentifiers:
            return {&TwoDimensionalCodeRecord::gs1UseAi, 0};
        case TwoDimensionalList::QrLanguage:
            return {&TwoDimensionalCodeRecord::qrLanguage, 0};
        case TwoDimensionalList::QrMode:
            return {&TwoDimensionalCodeRecord::qrMode, 1};
        case TwoDimensionalList::QrLevel:
            return {&TwoDimensionalCodeRecord::qrErrorLevel, 0};
    }
    return {&TwoDimensionalCodeRecord::pdf417ErrorLevel, 0};
}

bool IsPdf417(uint8_t codeType) {
    return codeType == static_cast<uint8_t>(TwoDimensionalCodeType::Pdf417);
}

bool IsExpandedStacked(uint8_t codeType) {
    return codeType == static_cast<uint8_t>(TwoDimensionalCodeType::Gs1DataBarExpandedStacked);
}

}  // namespace

std::span<const std::u16string_view> TwoDimensionalFontListTexts() {
    return Span(kFontTexts);
}

std::span<const std::u16string_view> TwoDimensionalTypeListTexts() {
    return Span(kTypeTexts);
}

std::span<const std::u16string_view> TwoDimensionalListTexts(TwoDimensionalList list) {
    switch (list) {
        case TwoDimensionalList::Pdf417Level:
            return Span(kPdf417LevelTexts);
        case TwoDimensionalList::Gs1Hri:
            return Span(kGs1HriTexts);
        case TwoDimensionalList::ApplicationIdentifiers:
            return Span(kYesNoTexts);
        case TwoDimensionalList::QrLanguage:
            return Span(kLanguageTexts);
        case TwoDimensionalList::QrMode:
            return Span(kQrModeTexts);
        case TwoDimensionalList::QrLevel:
            return Span(kQrLevelTexts);
    }
    return {};
}

void StoreTwoDimensionalList(TwoDimensionalCodeRecord& font, TwoDimensionalList list, int index) {
    if (index < 0 || index >= static_cast<int>(TwoDimensionalListTexts(list).size())) return;
    const ListBinding b = Binding(list);
    font.*b.field = static_cast<uint8_t>(index + b.valueOffset);
}

int TwoDimensionalListIndex(const TwoDimensionalCodeRecord& font, TwoDimensionalList list) {
    const ListBinding b = Binding(list);
    const int index = font.*b.field - b.valueOffset;
    return index >= 0 && index < static_cast<int>(TwoDimensionalListTexts(list).size()) ? index
                                                                                        : -1;
}

NumericFieldSpec TwoDimensionalFieldSpec(TwoDimensionalNumericField field) {
    using F = TwoDimensionalNumericField;
    switch (field) {
        case F::Pdf417ElementWidth:
            return {1, 7, 1};
        case F::Pdf417ElementHeight:
            return {2, 25, 2};
        case F::Pdf417Columns:
            return {1, 30, 2};
        case F::Pdf417Rows:
            return {3, 90, 2};
        case F::Gs1ElementWidth:
            return {1, 6, 1};
        case F::Gs1RowHeight:
            return {2, 250, 3};
        case F::Gs1CompositeRowHeight:
            return {1, 10, 1};
        case F::Gs1SeparatorHeight:
            return {1, 10, 1};
        case F::Segments:
            return {2, 20, 1};
        case F::QrModuleWidth:
            return {1, 24, 2};
    }
    return {0, 0, 0};
}

uint32_t StoreTwoDimensionalNumericField(TwoDimensionalCodeRecord& f,
                                         TwoDimensionalNumericField field,
                                         std::u16string_view text) {
    using F = TwoDimensionalNumericField;
    const NumericFieldSpec spec = TwoDimensionalFieldSpec(field);
    const uint32_t v = ClampFieldText(text, spec.lo, spec.hi);
    const auto byte = static_cast<uint8_t>(v);  // every byte field's maximum is below 256
    switch (field) {
        case F::Pdf417ElementWidth:
            f.pdf417ElementWidth = byte;
            break;
        case F::Pdf417ElementHeight:
            f.pdf417ElementHeight = byte;
            break;
        case F::Pdf417Columns:
            f.pdf417Columns = byte;
            break;
        case F::Pdf417Rows:
            f.pdf417Rows = byte;
            break;
        case F::Gs1ElementWidth:
            f.gs1ElementWidth = byte;
            break;
        case F::Gs1RowHeight:
            f.gs1RowHeight = v;
            break;
        case F::Gs1CompositeRowHeight:
            f.gs1CompositeRowHeight = v;
            break;
        case F::Gs1SeparatorHeight:
            f.gs1SeparatorHeight = byte;
            break;
        case F::Segments:
            f.gs1Segments = byte;
            break;
        case F::QrModuleWidth:
            f.qrModuleWidth = byte;
            break;
    }
    return v;
}

uint32_t TwoDimensionalFieldValue(const TwoDimensionalCodeRecord& f,
                                  TwoDimensionalNumericField field) {
    using F = TwoDimensionalNumericField;
    switch (field) {
        case F::Pdf417ElementWidth:
            return f.pdf417ElementWidth;
        case F::Pdf417ElementHeight:
            return f.pdf417ElementHeight;
        case F::Pdf417Columns:
            return f.pdf417Columns;
        case F::Pdf417Rows:
            return f.pdf417Rows;
        case F::Gs1ElementWidth:
            return f.gs1ElementWidth;
        case F::Gs1RowHeight:
            return f.gs1RowHeight;
        case F::Gs1CompositeRowHeight:
            return f.gs1CompositeRowHeight;
        case F::Gs1SeparatorHeight:
            return f.gs1SeparatorHeight;
        case F::Segments:
            return f.gs1Segments;
        case F::QrModuleWidth:
            return f.qrModuleWidth;
    }
    return 0;
}

TwoDimensionalEnables EnablesAfterFontChange(uint8_t codeType) {
    return {IsPdf417(codeType), IsExpandedStacked(codeType), std::nullopt};
}

TwoDimensionalEnables EnablesAfterTypeChange(uint8_t codeType) {
    TwoDimensionalEnables e = EnablesAfterFontChange(codeType);
    e.segments = IsExpandedStacked(codeType);
    return e;
}

SegmentsRange SegmentsRangeFor(bool composite) {
    if (composite) return {kCompositeMinimumSegments, 20, kSegmentsCompositeRangeText};
    return {2, 20, kSegmentsStandaloneRangeText};
}

std::optional<std::u16string> SegmentsTextOnComposite(std::u16string_view currentText) {
    // Empty or not a number counts as 0; a negative number is below 4 as well.
    if (ReadFieldNumber(currentText) >= static_cast<int32_t>(kCompositeMinimumSegments))
        return std::nullopt;
    return std::u16string(u"4");
}

}  // namespace krv
