// The logic of the two-dimensional code page, free of any window: list and range texts,
// clamping and storing of typed numbers, list values, and which controls each code type enables.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "docpages/barcode_page_rules.h"
#include "frame/oem_devmode.h"

namespace krv {

// Every two-dimensional font is used at this one size; the page only shows it.
inline constexpr char16_t kTwoDimensionalSizeText[] = u"9.5";
inline constexpr char16_t kTwoDimensionalSizeHint[] = u"在应用程序中选择该条码字体的大小。";
// The data field's text whenever a page is created or a font or type is chosen.
inline constexpr char16_t kTwoDimensionalSampleText[] = u"01234567890123";

inline constexpr char16_t kPdf417ElementWidthRangeText[] = u"[ 1. . 7 ]";
inline constexpr char16_t kPdf417ElementHeightRangeText[] = u"[ 2 . . 25 ]";
inline constexpr char16_t kPdf417ColumnsRangeText[] = u"[ 1. . 30 ]";
inline constexpr char16_t kPdf417RowsRangeText[] = u"[ 3 . . 90 ]";
inline constexpr char16_t kQrModuleWidthRangeText[] = u"[ 1 . . 24 ]";
inline constexpr char16_t kSegmentsStandaloneRangeText[] = u"[ 2 . . 20 ]";
inline constexpr char16_t kSegmentsCompositeRangeText[] = u"[ 4 . . 20 ]";
// The GS1 element width, row height, two-dimensional row height and separator height share
// the barcode page's range texts.

enum class TwoDimensionalCodeType : uint8_t {
    Pdf417 = 0,
    Gs1DataBarStacked = 1,
    Gs1DataBarStackedOmnidirectional = 2,
    Gs1DataBarExpandedStacked = 3,
    QrCode = 4,
    MaxiCode = 5
};

std::span<const std::u16string_view> TwoDimensionalFontListTexts();  // "2D Code1", "2D Code2"
std::span<const std::u16string_view> TwoDimensionalTypeListTexts();  // six entries

enum class TwoDimensionalList {
    Pdf417Level,
    Gs1Hri,
    ApplicationIdentifiers,
    QrLanguage,
    QrMode,
    QrLevel
};

std::span<const std::u16string_view> TwoDimensionalListTexts(TwoDimensionalList list);
// Stores the value of list entry `index`; an index outside the list (no selection) stores nothing.
void StoreTwoDimensionalList(TwoDimensionalCodeRecord& font, TwoDimensionalList list, int index);
// The entry that shows the stored value; -1 (no selection) when none does.
int TwoDimensionalListIndex(const TwoDimensionalCodeRecord& font, TwoDimensionalList list);

enum class TwoDimensionalNumericField {
    Pdf417ElementWidth,
    Pdf417ElementHeight,
    Pdf417Columns,
    Pdf417Rows,
    Gs1ElementWidth,
    Gs1RowHeight,
    Gs1CompositeRowHeight,
    Gs1SeparatorHeight,
    Segments,
    QrModuleWidth
};

// Bounds and typed length. The segments field clamps to 2..20 whichever GS1 choice is made.
NumericFieldSpec TwoDimensionalFieldSpec(TwoDimensionalNumericField field);
uint32_t StoreTwoDimensionalNumericField(TwoDimensionalCodeRecord& font,
                                         TwoDimensionalNumericField field,
                                         std::u16string_view text);
uint32_t TwoDimensionalFieldValue(const TwoDimensionalCodeRecord& font,
                                  TwoDimensionalNumericField field);

// What a font or type change enables. `segments` is set only for a type change: the font list
// leaves the segments controls (and the two-dimensional row height) as they are.
struct TwoDimensionalEnables {
    bool pdf417;                  // the four PDF417 edits, their up-downs and the level list
    bool applicationIdentifiers;  // the application-identifier list
    std::optional<bool> segments;
};
TwoDimensionalEnables EnablesAfterFontChange(uint8_t codeType);
TwoDimensionalEnables EnablesAfterTypeChange(uint8_t codeType);

// The GS1 standalone/composite choice: the segments up-down range and its range text.
struct SegmentsRange {
    uint32_t lo;
    uint32_t hi;
    std::u16string_view rangeText;
};
SegmentsRange SegmentsRangeFor(bool composite);
// Choosing "复合": the text the segments field must take ("4") when it holds a number below 4
// (empty counts as 0); nullopt when it can stay.
std::optional<std::u16string> SegmentsTextOnComposite(std::u16string_view currentText);

}  // namespace krv
