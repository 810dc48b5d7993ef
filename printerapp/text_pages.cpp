#include "printerapp/text_pages.h"

#include "channel/ansi_text.h"

namespace krv::app {

namespace {

// The characters of one page as they may reach the printer.
std::u16string CleanPage(std::u16string_view page) {
    std::u16string out;
    out.reserve(page.size() + 1);
    for (size_t i = 0; i < page.size(); ++i) {
        const char16_t c = page[i];
        if (c == u'\r') {
            out.push_back(u'\n');
            if (i + 1 < page.size() && page[i + 1] == u'\n') ++i;
        } else if (c == u'\n' || c == u'\t') {
            out.push_back(c);
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            continue;  // C0 and C1 controls, DEL
        } else {
            out.push_back(c);
        }
    }
    if (!out.empty() && out.back() != u'\n') out.push_back(u'\n');
    return out;
}

}  // namespace

std::vector<Bytes> TextPagesInCodePage(std::string_view utf8, const std::string& codePage) {
    const std::u16string text = Utf8ToUtf16(utf8);
    std::vector<Bytes> pages;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\f', start);
        if (end == std::u16string::npos) end = text.size();
        const std::string bytes =
            ToCodePage(CleanPage(std::u16string_view(text).substr(start, end - start)), codePage);
        pages.emplace_back(bytes.begin(), bytes.end());
        start = end + 1;
    }
    return pages;
}

bool LooksLikeText(std::span<const uint8_t> start) {
    if (start.empty()) return false;
    for (size_t i = 0; i < start.size();) {
        const uint8_t c = start[i];
        if (c < 0x80) {
            if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7F)
                return false;
            ++i;
            continue;
        }
        size_t length = 0;
        if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4;
        else
            return false;
        for (size_t k = 1; k < length; ++k) {
            if (i + k == start.size()) return true;  // cut by the end of what was read
            if ((start[i + k] & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace krv::app
