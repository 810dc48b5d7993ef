#include <iconv.h>

#include <cerrno>

#include "channel/ansi_text.h"

namespace krv {

namespace {

std::string& CodePage() {
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

}  // namespace

bool SetAnsiCodePage(const std::string& name) {
    iconv_t cd = iconv_open(name.c_str(), "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    CodePage() = name;
    return true;
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
