// The logic of the barcode page, free of any window: the font size an application must select,
// the clamping of typed numbers, the list and range texts, the sample data of each type and the
// rules that enable controls. The Win32 page only moves these values in and out of controls.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "frame/oem_devmode.h"

namespace krv {

// ---- size arithmetic (printer dots at 180 dpi, points at 72 per inch)

// The double constants nearest to 1/180 and 1/72. The page multiplies by them rather than
// dividing, and the snapping below depends on exactly these roundings.
constexpr double kOneOver180 = 0.005555555555555556;
constexpr double kOneOver72 = 0.013888888888888888;
static_assert(kOneOver180 == 1.0 / 180.0 && kOneOver72 == 1.0 / 72.0);

// Rounds a point size to a half point: fraction below 0.4 down, below 0.7 to .5, else up.
double HalfPointRound(double points);

// The font height (bars plus HRI text) that FontHeightSnap would store for `font`.
uint32_t SnappedFontHeight(const BarcodeFontRecord& font);
// Recomputes the font height from bar height and HRI settings, snapped to half points.
void FontHeightSnap(BarcodeFontRecord& font);

double FontHeightMillimetres(uint32_t fontHeight);
double FontHeightPoints(uint32_t fontHeight);

// The texts of the millimetre and point fields ("%5.1f", e.g. " 23.0" and " 65.0").
struct BarcodeSizeTexts {
    std::u16string millimetres;
    std::u16string points;
};
BarcodeSizeTexts BarcodeSizeDisplay(const BarcodeFontRecord& font);

// ---- typed numbers

// Reads `text` as a signed integer and clamps it into lo..hi comparing unsigned: above the
// maximum and any negative number give hi; 0, empty or not a number give lo. Leading and
// trailing blanks are ignored; numbers beyond the 32-bit range saturate (and so give hi).
uint32_t ClampFieldText(std::u16string_view text, uint32_t lo, uint32_t hi);
// The signed number in `text` as ClampFieldText reads it (0 when it is not a number).
int32_t ReadFieldNumber(std::u16string_view text);

// Range, typed length and store rule of one numeric field.
struct NumericFieldSpec {
    uint32_t lo;
    uint32_t hi;
    int maxChars;  // typed-length limit of the edit
};

enum class BarcodeNumericField {
    ElementWidth,
    BarHeight,
    Gs1ElementWidth,
    Gs1RowHeight,
    Gs1CompositeRowHeight,
    Gs1SeparatorHeight
};

NumericFieldSpec BarcodeFieldSpec(BarcodeNumericField field);
// Clamps the typed text, stores it in `font` (with the dependent fields: element width x 8,
// or the snapped font height for the bar height) and returns the value for the up-down control.
uint32_t StoreBarcodeNumericField(BarcodeFontRecord& font, BarcodeNumericField field,
                                  std::u16string_view text);
// The value a numeric field shows for `font`.
uint32_t BarcodeFieldValue(const BarcodeFontRecord& font, BarcodeNumericField field);

// ---- lists and texts

std::span<const std::u16string_view> BarcodeFontListTexts();            // "1D Code1" .. "1D Code8"
std::span<const std::u16string_view> BarcodeTypeListTexts();            // 13 entries
std::span<const std::u16string_view> BarcodeHriPositionListTexts();     // index = stored value
std::span<const std::u16string_view> Gs1HriListTexts();                 // index = stored value - 1
std::span<const std::u16string_view> ApplicationIdentifierListTexts();  // index = stored value

// Range texts beside the fields, with their exact spacing.
inline constexpr char16_t kElementWidthRangeText[] = u"[ 2. . 6 ]";
inline constexpr char16_t kBarHeightRangeText[] = u"[ 1 . . 255 ]";
inline constexpr char16_t kGs1ElementWidthRangeText[] = u"[ 1 . . 6 ]";
inline constexpr char16_t kGs1RowHeightRangeText[] = u"[ 2 . . 250 ]";
inline constexpr char16_t kGs1CompositeRowHeightRangeText[] = u"[ 1 . . 10 ]";
inline constexpr char16_t kGs1SeparatorHeightRangeText[] = u"[ 1 . . 10 ]";

// The single-byte sample data of a barcode type; empty for an unknown type.
std::string_view BarcodeSampleData(uint8_t barcodeType);
// The sample as the data field shows it (widened with the ANSI code page).
std::u16string BarcodeSampleText(uint8_t barcodeType);

// ---- list selections (each stores the value and, where the size depends on it, snaps)

void StoreHriPosition(BarcodeFontRecord& font, int listIndex);
void StoreHriFont(BarcodeFontRecord& font, uint8_t hriFont);  // 0 Font A, 1 Font B
void StoreGs1Hri(BarcodeFontRecord& font, int listIndex);
void StoreApplicationIdentifiers(BarcodeFontRecord& font, int listIndex);
// The list entry that shows a stored value; -1 (no selection) when none does.
int Gs1HriListIndex(uint8_t storedValue);

// ---- enable rules

// The application-identifier list is usable only for GS1 DataBar Expanded.
bool BarcodeApplicationIdentifiersEnabled(uint8_t barcodeType);
// The HRI font buttons matter only while HRI text is printed.
bool HriFontButtonsEnabled(uint8_t hriPosition);
// The print button needs at least one character of data.
bool TestPrintButtonEnabled(std::u16string_view dataText);

}  // namespace krv
