#include "docpages/layout_rules.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace krv {

namespace {

char16_t FoldCase(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return FoldCase(a) == FoldCase(b); });
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}

}  // namespace

bool TextAsImageLocked(const OemDevmode& record) {
    return record.zoomPrinting != 0 || record.rotate180 != 0 || record.watermarkMode != 0;
}

TextAsImageView InitialTextAsImageView(const OemDevmode& record) {
    TextAsImageView view;
    view.yesChecked = record.printTextAsImage != 0;
    view.noChecked = !view.yesChecked;
    view.enabled = !TextAsImageLocked(record);
    return view;
}

TextAsImageView TextAsImageViewOnActivation(const OemDevmode& record, TextAsImageView current,
                                            bool& watermarkSwitchedOff) {
    if (TextAsImageLocked(record)) return {false, true, false};
    current.enabled = true;
    if (std::exchange(watermarkSwitchedOff, false)) {
        current.yesChecked = false;
        current.noChecked = true;
    }
    return current;
}

std::u16string PaperSizeName(const OemDevmode& record) {
    // Copied out first: the field sits at an odd place in the packed record.
    char16_t field[sizeof(OemDevmode::paperSizeName) / sizeof(char16_t)];
    std::memcpy(field, &record.paperSizeName, sizeof field);
    const std::u16string_view all(field, std::size(field));
    return std::u16string(all.substr(0, all.find(u'\0')));
}

void StorePaperSizeName(OemDevmode& record, std::u16string_view name) {
    name = name.substr(0, std::min(name.find(u'\0'), kPaperSizeNameMaxCharacters));
    if (name.size() == kPaperSizeNameMaxCharacters && IsHighSurrogate(name.back()))
        name.remove_suffix(1);
    std::memset(&record.paperSizeName, 0, sizeof record.paperSizeName);
    std::memcpy(&record.paperSizeName, name.data(), name.size() * sizeof(char16_t));
}

int FindPaperSizeEntry(std::span<const std::u16string> entries, std::u16string_view name) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].size() == name.size() && StartsWithIgnoringCase(entries[i], name))
            return static_cast<int>(i);
    // Only a name the record may have cut is looked for as the start of a longer one: a
    // shorter name that is not listed must not quietly select another size.
    if (name.size() + 1 < kPaperSizeNameMaxCharacters) return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (StartsWithIgnoringCase(entries[i], name)) return static_cast<int>(i);
    return -1;
}

int InitialPaperSizeSelection(std::span<const std::u16string> entries,
                              std::u16string_view storedName,
                              std::span<const std::u16string_view> hostCurrentNames) {
    if (!storedName.empty()) return FindPaperSizeEntry(entries, storedName);
    int selection = -1;
    for (const std::u16string_view name : hostCurrentNames) {
        const int found = FindPaperSizeEntry(entries, name);
        if (found >= 0) selection = found;
    }
    return selection;
}

void ApplyRotateRadios(OemDevmode& record, bool normalChecked, bool rotatedChecked) {
    if (normalChecked)
        record.rotate180 = 0;
    else if (rotatedChecked)
        record.rotate180 = 1;
}

}  // namespace krv
