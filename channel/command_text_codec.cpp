#include "channel/command_text_codec.h"

namespace krv {

int CommandTextCodec::DigitValue(char16_t ch) {
    if (ch >= u'0' && ch <= u'9') return ch - u'0';
    if (ch >= u'A' && ch <= u'F') return ch - u'A' + 10;
    if (ch >= u'a' && ch <= u'f') return ch - u'a' + 10;
    return 0;
}

size_t CommandTextCodec::Parse(std::u16string_view text, std::span<uint8_t> out) {
    size_t count = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char16_t first = text[i++];
        if (first == u' ') continue;
        int value = DigitValue(first);
        if (i < text.size()) {
            // The second character is consumed even when it is a blank: then the first
            // character stands alone as a byte.
            const char16_t second = text[i++];
            if (second != u' ') value = value * 16 + DigitValue(second);
        }
        if (count < out.size()) out[count] = static_cast<uint8_t>(value);
        ++count;
    }
    return count;
}

std::u16string CommandTextCodec::Format(std::span<const uint8_t> bytes) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    text.reserve(bytes.size() * 3);
    for (const uint8_t b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0x0F]);
        text.push_back(u' ');
    }
    return text;
}

}  // namespace krv
