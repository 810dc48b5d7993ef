// The rules of the layout page: the text-as-image choice and its lock, the paper size name
// kept in the record, the prefix search that mirrors the host's paper sizes, and the one-shot
// flag by which the watermark page tells this page that the watermark was switched off.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "frame/oem_devmode.h"

namespace krv {

inline constexpr size_t kPaperSizeNameMaxCharacters = 31;  // plus the terminating zero

// ---- `watermarkSwitchedOff`: one flag for the process, raised by the watermark page
void RaiseWatermarkSwitchedOff();
bool WatermarkSwitchedOffRaised();
// True when the flag was raised; lowers it.
bool ConsumeWatermarkSwitchedOff();

// ---- "按位图模式打印文本": radios 1061 "是" and 1062 "否"
// A watermark, the 180-degree rotation or zoom printing needs text printed as an image, so
// the choice is locked while any of them is active.
bool TextAsImageLocked(const OemDevmode& record);

struct TextAsImageView {
    bool enabled = true;
    bool yesChecked = false;
    bool noChecked = true;
};

TextAsImageView InitialTextAsImageView(const OemDevmode& record);
// The page shown again: locked shows "是" (the record is not written); unlocked enables the
// radios and, when the watermark was switched off meanwhile, consumes the flag and shows
// "否". Otherwise the radios keep their `current` checks.
TextAsImageView TextAsImageViewOnActivation(const OemDevmode& record, TextAsImageView current);

// ---- paper size
// The stored name: up to its first zero, never past the field's 32 units.
std::u16string PaperSizeName(const OemDevmode& record);
// Clears the field and stores at most 31 characters of `name` (a surrogate pair cut in half
// by the limit is dropped whole).
void StorePaperSizeName(OemDevmode& record, std::u16string_view name);

// The first entry that begins with `prefix`, letters compared without case (the combo
// box's own search); -1 when none does.
int FindPrefixEntry(std::span<const std::u16string> entries, std::u16string_view prefix);

// The entry the combo selects when the page opens: the first that begins with the stored
// name, or when none is stored, the one that begins with the host's current size of each
// paper-size option item (the last item that finds one wins). -1: no selection.
int InitialPaperSizeSelection(std::span<const std::u16string> entries,
                              std::u16string_view storedName,
                              std::span<const std::u16string_view> hostCurrentNames);

// At apply: 1070 "Nomal" checked stores 0, otherwise 1071 checked stores 1; neither keeps
// the stored value.
void ApplyRotateRadios(OemDevmode& record, bool normalChecked, bool rotatedChecked);

}  // namespace krv
