// Printer command bytes as users type them: hexadecimal digits in either case, two per byte,
// with or without blanks between bytes ("1D 56 42 00", "1D5642"). The event-action dialog
// and the control-font translator both show and read command bytes this way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace krv {

struct CommandTextCodec {
    // "0".."9" give 0..9, "A".."F" and "a".."f" give 10..15, every other character 0 (a
    // pasted letter, "." or "-" thus counts as the digit 0).
    static int DigitValue(char16_t ch);

    // Reads `text` as command bytes: characters pair up from the left; a character followed
    // by a blank or by the end of the text is a byte of its own; blanks between bytes are
    // skipped. Writes at most out.size() bytes and returns how many bytes the text holds,
    // which may be more: a caller compares the result with its own limit and never has
    // bytes written past its area.
    static size_t Parse(std::u16string_view text, std::span<uint8_t> out);

    // The text form of `bytes`: two upper-case digits and one blank per byte ("1D 05 FF ");
    // no bytes give the empty text. Parse(Format(b)) gives b back.
    static std::u16string Format(std::span<const uint8_t> bytes);
};

}  // namespace krv
