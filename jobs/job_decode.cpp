#include "jobs/job_decode.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "channel/ansi_text.h"

namespace krv {

namespace {

// The printer's line spacing after reset or 1B 32: 1/6 inch at 180 dots per inch.
constexpr uint32_t kDefaultLineSpacing = 30;

std::string Format(const char* format, auto... values) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

// Barcode data: printable ASCII as it is, anything else as \xNN.
std::string Quoted(std::span<const uint8_t> bytes) {
    std::string s = "\"";
    for (const uint8_t b : bytes) {
        if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\')
            s += static_cast<char>(b);
        else
            s += Format("\\x%02X", b);
    }
    return s + "\"";
}

// Text the printer prints: the bytes read in the code page.
std::string InCodePage(std::span<const uint8_t> bytes) {
    const std::u16string wide =
        FromAnsi({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    // Appended rather than `"\"" + ...`: GCC 12 warns wrongly about that concatenation.
    std::string quoted(1, '"');
    quoted += Utf16ToUtf8(wide);
    quoted += '"';
    return quoted;
}

const char* BarcodeSystemName(uint8_t m) {
    switch (m) {
        case 0x00:
            return "UPC-A";
        case 0x01:
            return "UPC-E";
        case 0x02:
            return "EAN13";
        case 0x03:
            return "EAN8";
        case 0x04:
            return "Code39";
        case 0x05:
            return "ITF";
        case 0x06:
            return "Codabar";
        case 0x0A:
            return "PDF417";
        case 0x0B:
            return "QR Code";
        case 0x0C:
            return "Maxi Code";
        case 0x0D:
            return "GS1 DataBar";
        case 0x48:
            return "Code93";
        case 0x49:
            return "Code128";
        default:
            return nullptr;
    }
}

const char* AlignmentName(uint8_t n) {
    switch (n) {
        case 0:
        case '0':
            return "left";
        case 1:
        case '1':
            return "centre";
        case 2:
        case '2':
            return "right";
        default:
            return nullptr;
    }
}

class Decoder {
  public:
    explicit Decoder(std::span<const uint8_t> job) : job_(job) {}

    DecodedJob Run() {
        while (at_ < job_.size() && Step()) {
        }
        return std::move(out_);
    }

  private:
    // ---- reading
    size_t Left() const { return job_.size() - at_; }
    uint8_t At(size_t k) const { return job_[at_ + k]; }
    uint32_t Word(size_t k) const { return At(k) | At(k + 1) << 8; }

    bool Stop(std::string reason) {
        out_.understood = false;
        out_.stopOffset = at_;
        out_.stopReason = std::move(reason);
        return false;
    }
    // The command needs `n` bytes from here; false (and stopped) when the job ends before.
    bool Need(uint64_t n, const char* what) {
        if (n <= Left()) return true;
        return Stop(Format("the job ends inside %s (%llu bytes needed, %llu left)", what,
                           static_cast<unsigned long long>(n),
                           static_cast<unsigned long long>(Left())));
    }
    bool Emit(uint64_t length, std::string text) {
        out_.commands.push_back({at_, length, std::move(text)});
        at_ += length;
        return true;
    }
    bool Unknown(size_t length) {
        std::string bytes;
        for (size_t k = 0; k < length && k < Left(); ++k)
            bytes += Format(k ? " %02X" : "%02X", At(k));
        return Stop("bytes " + bytes + " start no command this printer's jobs use");
    }

    // ---- the paper
    void LineFeed() {
        y_ += lineSpacing_;
        x_ = 0;
    }
    void Draw(JobDrawing::Kind kind, uint32_t width, uint32_t height, size_t from, size_t n) {
        JobDrawing d{kind,  x_,     y_,
                     width, height, Bytes(job_.begin() + from, job_.begin() + from + n)};
        out_.drawings.push_back(std::move(d));
    }

    bool Step() {
        const uint8_t b = At(0);
        switch (b) {
            case 0x00:
                return Nuls();
            case 0x0A:
                LineFeed();
                return Emit(1, "line feed");
            case 0x0D:
                return Emit(1, "carriage return");
            case 0x1B:
                return Esc();
            case 0x1C:
                return Fs();
            case 0x1D:
                return Gs();
            case 0x1F:
                return Us();
            default:
                return b >= 0x20 && b != 0x7F ? Text() : Unknown(1);
        }
    }

    bool Nuls() {
        size_t n = 0;
        while (n < Left() && At(n) == 0x00)
            ++n;
        return Emit(n, n == 1 ? "nul (ignored)" : Format("nul x %zu (ignored)", n));
    }

    bool Text() {
        size_t n = 0;
        while (n < Left() && At(n) >= 0x20 && At(n) != 0x7F)
            ++n;
        return Emit(n, "text " + InCodePage(job_.subspan(at_, n)));
    }

    // ---- ESC
    bool Esc() {
        if (!Need(2, "an ESC command")) return false;
        switch (At(1)) {
            case 0x40:
                lineSpacing_ = kDefaultLineSpacing;
                return Emit(2, "reset");
            case 0x32:
                lineSpacing_ = kDefaultLineSpacing;
                return Emit(2, "default line spacing");
            case 0x33:
                if (!Need(3, "the line spacing command")) return false;
                lineSpacing_ = At(2);
                return Emit(3, Format("line spacing %u dots", At(2)));
            case 0x4A:
                if (!Need(3, "the paper feed command")) return false;
                y_ += At(2);
                x_ = 0;
                return Emit(3, Format("feed %u dots", At(2)));
            case 0x61: {
                if (!Need(3, "the alignment command")) return false;
                const char* name = AlignmentName(At(2));
                if (!name) return Unknown(3);
                return Emit(3, std::string("align ") + name);
            }
            case 0x70:
                if (!Need(5, "the cash drawer command")) return false;
                if (At(2) > 1 && At(2) != '0' && At(2) != '1') return Unknown(3);
                return Emit(5, Format("cash drawer %d pulse: %u ms on, %u ms off", At(2) % 2 + 1,
                                      2u * At(3), 2u * At(4)));
            case 0x2A:
                return Band();
            case 0x28:
                return Buzzer();
            default:
                return Unknown(2);
        }
    }

    // ESC ( A with function 48: the buzzer.
    bool Buzzer() {
        if (!Need(5, "the ESC ( command")) return false;
        if (At(2) != 0x41 || Word(3) != 4) return Unknown(3);
        if (!Need(9, "the buzzer command")) return false;
        if (At(5) != 0x30) return Unknown(6);
        return Emit(9, Format("buzzer: sound %u, %u beep(s) of %u ms", At(6), At(7), 100u * At(8)));
    }

    bool Band() {
        if (!Need(5, "a band header")) return false;
        if (At(2) != 0x21) return Unknown(3);
        const uint32_t columns = Word(3);
        if (!Need(5 + 3ull * columns, "a band")) return false;
        Draw(JobDrawing::Kind::Band, columns, 24, at_ + 5, 3ull * columns);
        x_ += columns;
        return Emit(5 + 3ull * columns, Format("band of 24 dot rows, %u dots wide", columns));
    }

    // ---- FS: stored logos
    bool Fs() {
        if (!Need(3, "a stored-logo command")) return false;
        if (At(1) == 0x70) {
            if (!Need(4, "the print stored logo command")) return false;
            return Emit(4, Format("print stored logo %u (mode %u)", At(2), At(3)));
        }
        const uint8_t count = At(2);
        if (At(1) == 0x71) {
            if (count == 0) return Emit(3, "stored logos: none (clears the stored logos)");
            Emit(3, Format("stored logos: %u in black and white", count));
            for (int i = 1; i <= count; ++i)
                if (!MonoLogo(i, count)) return false;
            return true;
        }
        if (At(1) == 0x72) {
            if (count == 0) return Emit(3, "stored grey logos: none");
            Emit(3, Format("stored logos: %u in grey", count));
            for (int i = 1; i <= count; ++i)
                if (!GreyLogo(i, count)) return false;
            return true;
        }
        return Unknown(2);
    }

    // Logos print one below the other in the picture, each from the left edge.
    void StackLogo(JobDrawing::Kind kind, uint32_t width, uint32_t height, size_t from, size_t n) {
        x_ = 0;
        Draw(kind, width, height, from, n);
        y_ += height;
    }

    bool MonoLogo(int index, int count) {
        if (!Need(4, "a stored logo's header")) return false;
        const uint32_t x = Word(0), y = Word(2);
        const uint64_t n = 8ull * x * y;
        if (!Need(4 + n, "a stored logo")) return false;
        StackLogo(JobDrawing::Kind::MonoLogo, 8 * x, 8 * y, at_ + 4, n);
        return Emit(4 + n, Format("  logo %d of %d: %u x %u dots (x = %u bytes, y = %u)", index,
                                  count, 8 * x, 8 * y, x, y));
    }

    bool GreyLogo(int index, int count) {
        if (!Need(6, "a grey logo's header")) return false;
        if (At(0) != 0x01 || At(1) != 0x00) return Unknown(2);
        const uint32_t w8 = Word(2), h8 = Word(4);
        const uint64_t n = 8ull * w8 * h8;
        if (!Need(6 + n, "a grey logo")) return false;
        // Four plane rows a pixel row: 8 x h8 plane rows hold 2 x h8 pixel rows.
        StackLogo(JobDrawing::Kind::GreyLogo, 8 * w8, 2 * h8, at_ + 6, n);
        return Emit(6 + n, Format("  logo %d of %d: %u x %u pixels in 16 levels (w8 = %u, "
                                  "h8 = %u)",
                                  index, count, 8 * w8, 2 * h8, w8, h8));
    }

    // ---- GS
    bool Gs() {
        if (!Need(2, "a GS command")) return false;
        switch (At(1)) {
            case 0x66:
                return Setting("HRI font %u");
            case 0x48:
                return Setting("HRI position %u (0 none, 1 above, 2 below, 3 both)");
            case 0x77:
                return Setting("barcode element width %u");
            case 0x68:
                return Setting("barcode height %u dots");
            case 0x71:
                return Setting("two-dimensional code level or mode %u");
            case 0x73:
                return Parameters(8, "GS1 DataBar settings");
            case 0x70:
                return Parameters(6, "PDF417 settings");
            case 0x6F:
                return Parameters(4, "QR Code settings");
            case 0x6B:
                return Barcode();
            case 0x56:
                return Cut();
            case 0x28:
                return TestPrint();
            default:
                return Unknown(2);
        }
    }

    bool Setting(const char* format) {
        if (!Need(3, "a barcode setting")) return false;
        return Emit(3, Format(format, At(2)));
    }

    bool Parameters(size_t n, const char* name) {
        if (!Need(2 + n, name)) return false;
        std::string text = name;
        for (size_t k = 0; k < n; ++k)
            text += Format(" %02X", At(2 + k));
        return Emit(2 + n, text);
    }

    bool Barcode() {
        if (!Need(3, "the barcode command")) return false;
        const uint8_t m = At(2);
        const char* name = BarcodeSystemName(m);
        if (!name) return Unknown(3);
        if (m >= 0x41) {  // a length byte, then the data
            if (!Need(4, "the barcode's length")) return false;
            const uint8_t n = At(3);
            if (!Need(4ull + n, "the barcode's data")) return false;
            return Emit(4ull + n, Format("barcode %s, %u bytes: ", name, n) +
                                      Quoted(job_.subspan(at_ + 4, n)));
        }
        size_t end = 3;  // the data ends at a zero byte
        while (end < Left() && At(end) != 0x00)
            ++end;
        if (end == Left()) return Need(end + 1, "the barcode's data");
        return Emit(end + 1, Format("barcode %s, %zu bytes: ", name, end - 3) +
                                 Quoted(job_.subspan(at_ + 3, end - 3)));
    }

    bool Cut() {
        if (!Need(3, "the cut command")) return false;
        switch (At(2)) {
            case 0x00:
            case 0x30:
                return Emit(3, "full cut");
            case 0x01:
            case 0x31:
                return Emit(3, "partial cut");
            case 0x41:
            case 0x42:
                if (!Need(4, "the cut command")) return false;
                return Emit(4, Format("feed to the cutting position and %u dots on, %s cut", At(3),
                                      At(2) == 0x41 ? "full" : "partial"));
            default:
                return Unknown(3);
        }
    }

    bool TestPrint() {
        if (!Need(5, "the GS ( command")) return false;
        if (At(2) != 0x41) return Unknown(3);
        const uint32_t n = Word(3);
        if (!Need(5ull + n, "the test print command")) return false;
        std::string text = "test print, parameters";
        for (uint32_t k = 0; k < n; ++k)
            text += Format(" %02X", At(5 + k));
        return Emit(5ull + n, text);
    }

    // ---- US: top/bottom message and back-side data
    bool Us() {
        if (!Need(2, "a US command")) return false;
        if (At(1) == 0x68) {
            backSide_ = !backSide_;
            return Emit(2, backSide_ ? "back-side data begins" : "back-side data ends");
        }
        if (At(1) != 0x65) return Unknown(2);
        if (!Need(4, "the top/bottom message command")) return false;
        if (At(2) > 3) return Unknown(3);
        size_t end = 4;
        while (end < Left() && At(end) != 0x00)
            ++end;
        return Emit(end, Format("top/bottom message line %u: ", At(2)) +
                             InCodePage(job_.subspan(at_ + 4, end - 4)));
    }

    std::span<const uint8_t> job_;
    size_t at_ = 0;
    DecodedJob out_;
    uint64_t x_ = 0;
    uint64_t y_ = 0;
    uint32_t lineSpacing_ = kDefaultLineSpacing;
    bool backSide_ = false;
};

// ---- drawing

void DrawBand(const JobDrawing& d, GreyImage* page) {
    for (uint32_t c = 0; c < d.width; ++c)
        for (uint32_t row = 0; row < 24; ++row)
            if (d.data[3 * c + row / 8] & (0x80 >> (row % 8)))
                page->Row(static_cast<uint32_t>(d.y + row))[d.x + c] = 0;
}

// Column after column, each `height / 8` bytes from the top, bit 7 the upper dot.
void DrawMonoLogo(const JobDrawing& d, GreyImage* page) {
    const uint32_t bytes = d.height / 8;
    for (uint32_t c = 0; c < d.width; ++c)
        for (uint32_t row = 0; row < d.height; ++row)
            if (d.data[static_cast<size_t>(c) * bytes + row / 8] & (0x80 >> (row % 8)))
                page->Row(static_cast<uint32_t>(d.y + row))[d.x + c] = 0;
}

// Four plane rows a pixel row, plane k holding bit 8 - k of the darkness: a darkness nibble
// d prints as level 255 - 17 d.
void DrawGreyLogo(const JobDrawing& d, GreyImage* page) {
    const uint32_t w8 = d.width / 8;
    for (uint32_t row = 0; row < d.height; ++row) {
        uint8_t* out = page->Row(static_cast<uint32_t>(d.y + row)) + d.x;
        for (uint32_t x = 0; x < d.width; ++x) {
            int dark = 0;
            for (int plane = 0; plane < 4; ++plane) {
                const uint8_t byte = d.data[(4ull * row + plane) * w8 + x / 8];
                dark = dark << 1 | ((byte >> (7 - x % 8)) & 1);
            }
            out[x] = std::min<uint8_t>(out[x], static_cast<uint8_t>(255 - 17 * dark));
        }
    }
}

}  // namespace

DecodedJob DecodeJob(std::span<const uint8_t> job) {
    return Decoder(job).Run();
}

bool RenderJobPicture(const DecodedJob& job, uint64_t maxPixels, GreyImage* out) {
    uint64_t width = 0, height = 0;
    for (const JobDrawing& d : job.drawings) {
        width = std::max(width, d.x + d.width);
        height = std::max(height, d.y + d.height);
    }
    if (width == 0 || height == 0 || width * height > maxPixels || width > UINT32_MAX ||
        height > UINT32_MAX)
        return false;
    GreyImage page;
    try {
        page.pixels.assign(width * height, 255);
    } catch (const std::bad_alloc&) {
        return false;
    }
    page.width = static_cast<uint32_t>(width);
    page.height = static_cast<uint32_t>(height);
    for (const JobDrawing& d : job.drawings) {
        switch (d.kind) {
            case JobDrawing::Kind::Band:
                DrawBand(d, &page);
                break;
            case JobDrawing::Kind::MonoLogo:
                DrawMonoLogo(d, &page);
                break;
            case JobDrawing::Kind::GreyLogo:
                DrawGreyLogo(d, &page);
                break;
        }
    }
    *out = std::move(page);
    return true;
}

}  // namespace krv
