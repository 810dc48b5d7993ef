// The rules of the layout page: the text-as-image choice and its lock, the paper size name
// kept in the record, the search that mirrors the host's paper sizes, and the one-shot flag
// `watermarkSwitchedOff` by which the watermark page tells this page that the watermark was
// switched off. The flag belongs to one document sheet (its DocumentSheetContext), which
// starts with it lowered, so a sheet that was cancelled leaves nothing for the next one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "frame/oem_devmode.h"

namespace krv {

inline constexpr size_t kPaperSizeNameMaxCharacters = 31;  // plus the terminating zero

// ---- "按位图模式打印文本": radios "是" and "否"
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
// radios and, when the watermark was switched off meanwhile, lowers `watermarkSwitchedOff`
// and shows "否". Otherwise the radios keep their `current` checks.
TextAsImageView TextAsImageViewOnActivation(const OemDevmode& record, TextAsImageView current,
                                            bool& watermarkSwitchedOff);

// ---- paper size
// The stored name: up to its first zero, never past the field's 32 units.
std::u16string PaperSizeName(const OemDevmode& record);
// Clears the field and stores at most 31 characters of `name` (a surrogate pair cut in half
// by the limit is dropped whole).
void StorePaperSizeName(OemDevmode& record, std::u16string_view name);

// The entry of a paper size name, letters compared without case: the first whose whole name
// it is. A name of 30 or 31 characters may be a longer one cut to fit the record (at 31, or at
// 30 where the cut fell inside a surrogate pair): when no entry is that name, the first entry
// that begins with it. -1 when none matches.
int FindPaperSizeEntry(std::span<const std::u16string> entries, std::u16string_view name);

// The entry the combo selects when the page opens: the stored name's, or when none is stored,
// that of the host's current size of each paper-size option item (the last item that finds
// one wins). -1: no selection.
int InitialPaperSizeSelection(std::span<const std::u16string> entries,
                              std::u16string_view storedName,
                              std::span<const std::u16string_view> hostCurrentNames);

// At apply: "Nomal" checked stores 0, otherwise "Rotate by 180 Degrees" checked stores 1;
// neither keeps the stored value.
void ApplyRotateRadios(OemDevmode& record, bool normalChecked, bool rotatedChecked);

}  // namespace krv
