#include <iconv.h>

#include <cerrno>

#include "channel/ansi_text.h"

namespace krv {

namespace {

std::string& CodePage() {
    static std::string name = "GBK";
    return name;
}
std::string& ShownName() {
    static std::string name = "GBK";
    return name;
}

// Converts with iconv; a unit the code page cannot hold becomes '?' and is skipped.
std::string Convert(const char* to, const char* from, const char* data, size_t size, size_t unit,
                    const std::string& replacement) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    char* in = const_cast<char*>(data);
    size_t inLeft = size;
    char buffer[1024];
    while (inLeft > 0) {
        char* o = buffer;
        size_t oLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buffer, o);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: replace one unit (a surrogate pair as a whole) and go on.
            out += replacement;
            size_t skip = unit;
            if (unit == 2 && inLeft >= 4) {
                const unsigned hi =
                    static_cast<unsigned char>(in[0]) | (static_cast<unsigned char>(in[1]) << 8);
                if (hi >= 0xD800 && hi < 0xDC00) skip = 4;
            }
            if (skip > inLeft) skip = inLeft;
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

// The iconv name of a code page given as people write it: Windows numbers become their
// iconv names; anything else is tried as it is.
std::string IconvName(const std::string& name) {
    static const struct {
        const char* number;
        const char* iconv;
    } kNumbers[] = {{"936", "GBK"},     {"54936", "GB18030"},   {"65001", "UTF-8"},
                    {"950", "BIG5"},    {"932", "SHIFT_JIS"},   {"949", "CP949"},
                    {"20127", "ASCII"}, {"28591", "ISO-8859-1"}};
    for (const auto& n : kNumbers)
        if (name == n.number) return n.iconv;
    if (name.find_first_not_of("0123456789") == std::string::npos) return "CP" + name;
    return name;
}

}  // namespace

bool SetAnsiCodePage(const std::string& name) {
    // iconv takes "" (and names with "//" options) as something else than a code page.
    if (name.empty() || name.find('/') != std::string::npos) return false;
    const std::string iconvName = IconvName(name);
    iconv_t cd = iconv_open(iconvName.c_str(), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    CodePage() = iconvName;
    ShownName() = name;
    return true;
}

std::string AnsiCodePageName() {
    return ShownName();
}

size_t FindUnencodable(std::u16string_view text) {
    iconv_t cd = iconv_open(CodePage().c_str(), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return text.empty() ? std::u16string_view::npos : 0;
    size_t found = std::u16string_view::npos;
    for (size_t i = 0; i < text.size() && found == std::u16string_view::npos;) {
        // One character at a time: a surrogate pair is one character.
        const bool pair = text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        const size_t units = pair ? 2 : 1;
        char16_t unit[2] = {text[i], pair ? text[i + 1] : u'\0'};
        uint8_t le[4];
        for (size_t k = 0; k < units; ++k) {
            le[2 * k] = static_cast<uint8_t>(unit[k]);
            le[2 * k + 1] = static_cast<uint8_t>(unit[k] >> 8);
        }
        char* in = reinterpret_cast<char*>(le);
        size_t inLeft = 2 * units;
        char buffer[16];
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
            found = i;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        i += units;
    }
    iconv_close(cd);
    return found;
}

std::string ToCodePage(std::u16string_view text, const std::string& codePage) {
    return Convert(codePage.c_str(), "UTF-16LE", reinterpret_cast<const char*>(text.data()),
                   text.size() * 2, 2, "?");
}

std::string ToAnsi(std::u16string_view text) {
    return ToCodePage(text, CodePage());
}

std::u16string FromAnsi(std::string_view bytes) {
    const std::string le = Convert("UTF-16LE", CodePage().c_str(), bytes.data(), bytes.size(), 1,
                                   std::string("\xFD\xFF", 2));
    std::u16string out(le.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(le[2 * i]) |
                                       (static_cast<unsigned char>(le[2 * i + 1]) << 8));
    return out;
}

}  // namespace krv
