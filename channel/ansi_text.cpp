#include "channel/ansi_text.h"

namespace krv {

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        size_t len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c >> 5) == 0x6) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c >> 4) == 0xE) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c >> 3) == 0x1E) {
            cp = c & 0x07;
            len = 4;
        } else {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (i + len > s.size()) {
            out.push_back(u'\uFFFD');
            break;
        }
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc >> 6) != 0x2) ok = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += ok ? len : 1;
        if (!ok || cp > 0x10FFFF) {
            out.push_back(u'\uFFFD');
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

namespace {

void AppendUtf8(char32_t cp, std::string* out) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD, or with `escapes` a U+DC80..U+DCFF one
// becomes the byte it carries.
std::string FromUtf16(std::u16string_view s, bool escapes) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (escapes && cp >= 0xDC80 && cp <= 0xDCFF) {
            out.push_back(static_cast<char>(cp - 0xDC00));
            continue;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        AppendUtf8(cp, &out);
    }
    return out;
}

// The length of the strictly valid UTF-8 sequence at s[i] with its code point, or 0.
size_t ValidSequenceAt(std::string_view s, size_t i, char32_t* cp) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char c = byte(0);
    size_t len;
    char32_t min;
    if (c < 0x80) {
        *cp = c;
        return 1;
    } else if ((c >> 5) == 0x6) {
        len = 2, min = 0x80, *cp = c & 0x1F;
    } else if ((c >> 4) == 0xE) {
        len = 3, min = 0x800, *cp = c & 0x0F;
    } else if ((c >> 3) == 0x1E) {
        len = 4, min = 0x10000, *cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((byte(k) >> 6) != 0x2) return 0;
        *cp = (*cp << 6) | (byte(k) & 0x3F);
    }
    if (*cp < min || *cp > 0x10FFFF || (*cp >= 0xD800 && *cp < 0xE000)) return 0;
    return len;
}

void AppendUtf16(char32_t cp, std::u16string* out) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out->push_back(static_cast<char16_t>(cp));
    }
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view s) {
    return FromUtf16(s, false);
}

bool IsValidUtf8(std::string_view s) {
    char32_t cp;
    for (size_t i = 0; i < s.size();) {
        const size_t len = ValidSequenceAt(s, i, &cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::u16string PathToUtf16(std::string_view path) {
    std::u16string out;
    out.reserve(path.size());
    char32_t cp;
    for (size_t i = 0; i < path.size();) {
        const size_t len = ValidSequenceAt(path, i, &cp);
        if (len == 0) {
            out.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(path[i])));
            ++i;
        } else {
            AppendUtf16(cp, &out);
            i += len;
        }
    }
    return out;
}

std::string Utf16ToPath(std::u16string_view path) {
    return FromUtf16(path, true);
}

}  // namespace krv
