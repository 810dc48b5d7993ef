// The rules of the watermark page apart from its window: the lists it offers, which controls
// each mode enables, the font size and tile clamps, the choice of a mode and its effect on
// printing text as an image, and how the page's texts are kept inside their record fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "frame/oem_devmode.h"

namespace krv {

enum class WatermarkMode : uint8_t { None = 0, Image = 1, Text = 2 };

enum class WatermarkFontStyle : uint8_t { Regular = 0, Italic = 1, Bold = 2, BoldItalic = 3 };

inline constexpr std::array<std::u16string_view, 8> kSuggestedWatermarkTexts = {
    u"CONFIDENTIAL", u"DO NOT COPY", u"TOP SECRET", u"DRAFT",
    u"PROOF",        u"FINAL",       u"COPY",       u"FILE COPY"};
inline constexpr std::array<std::u16string_view, 4> kWatermarkFontStyleNames = {
    u"常规", u"倾斜", u"加粗", u"加粗 倾斜"};
inline constexpr std::array<std::u16string_view, 10> kWatermarkPositionNames = {
    u"左上", u"中上", u"右上", u"左居中", u"居中", u"右居中", u"左下", u"中下", u"右下", u"平铺"};

inline constexpr int kWatermarkFontSizeMin = 8;
inline constexpr int kWatermarkFontSizeMax = 72;
inline constexpr int kWatermarkAngleMax = 360;
inline constexpr int kWatermarkSizePercentMax = 100;
inline constexpr int kWatermarkBrightnessMax = 255;

// Characters each text field holds before its terminating zero.
inline constexpr size_t kWatermarkTextMaxCharacters = 15;
inline constexpr size_t kWatermarkImagePathMaxCharacters = 124;
inline constexpr size_t kWatermarkFontNameMaxCharacters = 49;

// ---- modes

// The mode the page shows for a stored value: anything but Image or Text is no watermark.
WatermarkMode ShownWatermarkMode(uint8_t stored);

// The three groups of the eleven watermark controls that a mode enables.
struct WatermarkControlGroups {
    bool image = false;   // path and "浏览"
    bool text = false;    // text, face, style, size with its up-down, angle
    bool common = false;  // position, size, brightness
    bool operator==(const WatermarkControlGroups&) const = default;
};
WatermarkControlGroups ControlGroupsFor(WatermarkMode mode);

// A mode radio clicked: stores the mode. No watermark also stops printing text as an image
// and raises the sheet's `watermarkSwitchedOff` for the layout page; a watermark starts
// printing text as an image. True when that start must be announced to the user (it was off
// until now).
bool ChooseWatermarkMode(OemDevmode& record, WatermarkMode mode, bool& watermarkSwitchedOff);

// At apply, from the checked radio (none checked: nothing changes). No watermark keeps
// `printTextAsImage` as it stands.
void ApplyWatermarkMode(OemDevmode& record, std::optional<WatermarkMode> checked);

// ---- numbers

// The size typed so far: above the largest (negative numbers count as above) becomes the
// largest at once; smaller numbers wait until the field is left.
int FontSizeWhileTyping(int typed);
// The size when the field is left or the page applied: within 8..72.
int FontSizeOnLeaving(int typed);
// A tiled watermark is never narrower than the tile minimum.
int EffectiveSizePercent(int position, int sizePercent);

// ---- text fields: read up to the first zero and never past the field; stored cleared first

std::u16string StoredWatermarkText(const OemDevmode& record);
// At most 15 characters (a surrogate pair cut by the limit is dropped whole), so a 16-character
// text never runs into `watermarkFontName`.
void StoreWatermarkText(OemDevmode& record, std::u16string_view text);

std::u16string StoredWatermarkImagePath(const OemDevmode& record);
// A shortened path would name another file, so a path longer than 124 characters is refused:
// false, and the field keeps what it held.
bool WatermarkImagePathFits(std::u16string_view path);
bool StoreWatermarkImagePath(OemDevmode& record, std::u16string_view path);

std::u16string StoredWatermarkFontName(const OemDevmode& record);
// At most 49 characters (face names are at most 31).
void StoreWatermarkFontName(OemDevmode& record, std::u16string_view name);

}  // namespace krv
