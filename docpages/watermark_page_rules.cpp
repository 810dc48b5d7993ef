#include "docpages/watermark_page_rules.h"

#include <algorithm>
#include <cstring>

#include "docpages/layout_rules.h"
#include "docpages/watermark_geometry.h"

namespace krv {

namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}

// Fields are reached through their bytes: they sit at unaligned places in the packed record.
std::u16string ReadField(const void* field, size_t capacity) {
    std::u16string copy(capacity, u'\0');
    std::memcpy(copy.data(), field, capacity * sizeof(char16_t));
    copy.resize(std::min(copy.find(u'\0'), capacity));
    return copy;
}

// Clears the field and stores at most `limit` characters of `text` (up to its first zero),
// never cutting a surrogate pair in half; the terminating zero always fits.
void WriteField(void* field, size_t capacity, std::u16string_view text, size_t limit) {
    limit = std::min(limit, capacity - 1);
    text = text.substr(0, std::min(text.find(u'\0'), limit));
    if (text.size() == limit && !text.empty() && IsHighSurrogate(text.back()))
        text.remove_suffix(1);
    std::memset(field, 0, capacity * sizeof(char16_t));
    std::memcpy(field, text.data(), text.size() * sizeof(char16_t));
}

constexpr size_t kTextCapacity = sizeof(OemDevmode::watermarkText) / sizeof(char16_t);
constexpr size_t kPathCapacity = sizeof(OemDevmode::watermarkImagePath) / sizeof(char16_t);
constexpr size_t kFaceCapacity = sizeof(OemDevmode::watermarkFontName) / sizeof(char16_t);

}  // namespace

WatermarkMode ShownWatermarkMode(uint8_t stored) {
    switch (stored) {
        case static_cast<uint8_t>(WatermarkMode::Image):
            return WatermarkMode::Image;
        case static_cast<uint8_t>(WatermarkMode::Text):
            return WatermarkMode::Text;
        default:
            return WatermarkMode::None;
    }
}

WatermarkControlGroups ControlGroupsFor(WatermarkMode mode) {
    switch (mode) {
        case WatermarkMode::Image:
            return {true, false, true};
        case WatermarkMode::Text:
            return {false, true, true};
        case WatermarkMode::None:
            break;
    }
    return {};
}

bool ChooseWatermarkMode(OemDevmode& record, WatermarkMode mode, bool& watermarkSwitchedOff) {
    record.watermarkMode = static_cast<uint8_t>(mode);
    if (mode == WatermarkMode::None) {
        record.printTextAsImage = 0;
        watermarkSwitchedOff = true;
        return false;
    }
    const bool announce = record.printTextAsImage == 0;
    record.printTextAsImage = 1;
    return announce;
}

void ApplyWatermarkMode(OemDevmode& record, std::optional<WatermarkMode> checked) {
    if (!checked) return;
    record.watermarkMode = static_cast<uint8_t>(*checked);
    if (*checked != WatermarkMode::None) record.printTextAsImage = 1;
}

int FontSizeWhileTyping(int typed) {
    return static_cast<unsigned>(typed) > static_cast<unsigned>(kWatermarkFontSizeMax)
               ? kWatermarkFontSizeMax
               : typed;
}

int FontSizeOnLeaving(int typed) {
    const int size = FontSizeWhileTyping(typed);
    return size < kWatermarkFontSizeMin ? kWatermarkFontSizeMin : size;
}

int EffectiveSizePercent(int position, int sizePercent) {
    if (position == static_cast<int>(WatermarkPosition::Tile) && sizePercent < kTileMinimumPercent)
        return kTileMinimumPercent;
    return sizePercent;
}

std::u16string StoredWatermarkText(const OemDevmode& record) {
    return ReadField(&record.watermarkText, kTextCapacity);
}

void StoreWatermarkText(OemDevmode& record, std::u16string_view text) {
    WriteField(&record.watermarkText, kTextCapacity, text, kWatermarkTextMaxCharacters);
}

std::u16string StoredWatermarkImagePath(const OemDevmode& record) {
    return ReadField(&record.watermarkImagePath, kPathCapacity);
}

bool WatermarkImagePathFits(std::u16string_view path) {
    return path.size() <= kWatermarkImagePathMaxCharacters;
}

bool StoreWatermarkImagePath(OemDevmode& record, std::u16string_view path) {
    if (!WatermarkImagePathFits(path)) return false;
    WriteField(&record.watermarkImagePath, kPathCapacity, path, kWatermarkImagePathMaxCharacters);
    return true;
}

std::u16string StoredWatermarkFontName(const OemDevmode& record) {
    return ReadField(&record.watermarkFontName, kFaceCapacity);
}

void StoreWatermarkFontName(OemDevmode& record, std::u16string_view name) {
    WriteField(&record.watermarkFontName, kFaceCapacity, name, kWatermarkFontNameMaxCharacters);
}

}  // namespace krv
