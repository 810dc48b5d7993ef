#include "imaging/halftone.h"

#include <array>
#include <utility>
#include <cstddef>
#include <vector>

#include "imaging/tone.h"

namespace krv {

namespace {

// Per-channel lookups of adjusted level x luminance weight; their sum / 1000 is the adjusted
// luminance, identical to adjusting each channel and weighting afterwards.
struct LumaTables {
    std::array<uint32_t, 256> red, green, blue;  // unsigned: a cheaper / 1000

    LumaTables(const LevelTable& r, const LevelTable& g, const LevelTable& b) {
        for (int v = 0; v < 256; ++v) {
            red[v] = r[v] * 299u;
            green[v] = g[v] * 587u;
            blue[v] = b[v] * 114u;
        }
    }
    uint8_t At(const uint8_t* p) const {
        return static_cast<uint8_t>((blue[p[0]] + green[p[1]] + red[p[2]]) / 1000);
    }
    void Row(const uint8_t* p, int width, uint8_t* out) const {
        for (int x = 0; x < width; ++x, p += 3)
            out[x] = At(p);
    }
};

// The adjusted level of pixel x of a stored row, for each source depth. Error diffusion asks
// pixel by pixel (the level is computed inside its pass, beside the serial error chain); the
// threshold methods take whole rows.
struct Rgb24Levels {
    const LumaTables& luma;
    const RowsView& source;
    const uint8_t* RowAt(int y) const { return source.data + y * source.stride; }
    uint8_t At(const uint8_t* row, int x) const { return luma.At(row + 3 * x); }
    void Fill(int y, uint8_t* out) const { luma.Row(RowAt(y), source.width, out); }
};
struct Grey8Levels {
    const LevelTable& adjust;
    const RowsView& source;
    const uint8_t* RowAt(int y) const { return source.data + y * source.stride; }
    uint8_t At(const uint8_t* row, int x) const { return adjust[row[x]]; }
    void Fill(int y, uint8_t* out) const {
        const uint8_t* row = RowAt(y);
        for (int x = 0; x < source.width; ++x)
            out[x] = adjust[row[x]];
    }
};

// Thresholds of one stored row, repeating every 16 pixels: a pixel is white when its level is
// at least thresholds[x % 16]. Every comparison of the methods is brought to that shape:
// L / 4 >= m  <=>  L >= 4m;  L / 4 > m  <=>  L >= 4m + 4;  L > m  <=>  L >= m + 1.
using RowThresholds = std::array<int, 16>;

RowThresholds ThresholdsFor(HalftoneMethod method, bool trueColour, int y, int mean) {
    RowThresholds t{};
    for (int x = 0; x < 16; ++x) {
        switch (method) {
            case HalftoneMethod::M3: {
                const int m = Bayer8()[y % 8][x % 8];
                t[x] = trueColour ? 4 * m : 4 * m + 4;
                break;
            }
            case HalftoneMethod::M4: {
                const int m = Bayer16()[y % 16][x % 16];
                t[x] = trueColour ? m : m + 1;
                break;
            }
            default:
                t[x] = mean + 1;
                break;
        }
    }
    return t;
}

void ThresholdRow(const uint8_t* levels, int width, const RowThresholds& t, uint8_t* out) {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        uint8_t byte = 0;
        for (int i = 0; i < 8; ++i)
            byte |= static_cast<uint8_t>((levels[x + i] >= t[(x + i) & 15]) << (7 - i));
        out[x / 8] = byte;
    }
    for (; x < width; ++x)
        if (levels[x] >= t[x & 15]) out[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
}

// What one pixel of value V decides in error diffusion: white or not, and the shares of its
// error X. A lookup replaces the arithmetic on the one serial chain of the pass: each pixel
// waits for the share of the one before it, so that chain is kept to the index addition and the
// load.
struct alignas(8) Decision {
    int16_t threeEighths;  // (3 X) / 8: to the next pixel of the pass and to the pixel below
    int16_t quarter;       // X / 4: to the pixel below the next one
    uint8_t white;
};
// Eight bytes, so that the index is scaled by the load's own addressing (entries of 6 bytes
// put a multiply on the chain).
static_assert(sizeof(Decision) == 8);
// Index = V + kDecisionOffset. Reachable values stay within -128..383 (every error is within
// -128..128); the table is wider so that clamping the part of the index known before the
// chain (level + shares from above) keeps every index inside it, whatever share the chain
// brings, without a bounds operation on the chain itself.
constexpr int kDecisionOffset = 512;
constexpr int kDecisionCount = 1024;
using DecisionTable = std::array<Decision, kDecisionCount>;

constexpr DecisionTable MakeDecisions() {
    DecisionTable t{};
    for (int i = 0; i < kDecisionCount; ++i) {
        const int v = i - kDecisionOffset;
        const int white = v > 128;
        const int error = v - 255 * white;
        t[i] = {static_cast<int16_t>((3 * error) / 8), static_cast<int16_t>(error / 4),
                static_cast<uint8_t>(white)};
    }
    return t;
}
constexpr DecisionTable kDecisions = MakeDecisions();

constexpr int ExtremeShare(bool largest) {
    int share = 0;
    for (const Decision& d : kDecisions)
        if (largest ? d.threeEighths > share : d.threeEighths < share) share = d.threeEighths;
    return share;
}
// Bounds of the known part of the index: with any share of the table added it stays inside.
constexpr int kKnownMin = -ExtremeShare(false);
constexpr int kKnownMax = kDecisionCount - 1 - ExtremeShare(true);
// Level 0..255, shares from above within -80..80 (3/8 and 1/4 of errors within -128..128).
static_assert(kKnownMin <= kDecisionOffset - 80 && kKnownMax >= kDecisionOffset + 255 + 80,
              "the clamp must never move a reachable value");

// Serpentine error diffusion: 3/8 to the next pixel of the pass, 3/8 to the pixel below,
// 1/4 to the diagonal ahead; each share truncated toward zero (integer division does exactly
// what truncating 0.375 X and 0.25 X does). The error rows are sized by the width.
class ErrorDiffusion {
  public:
    explicit ErrorDiffusion(int width) : width_(width), cur_(width, 0), next_(width, 0) {}

    // Writes every byte of the stored row `out` (the bits past the width clear).
    template <typename Levels>
    void Row(const Levels& levels, int y, uint8_t* out) {
        // Every entry of the next row is written during the pass, so the rows only swap.
        std::swap(cur_, next_);
        // Odd stored rows run left to right, even ones (row 0 included) right to left.
        if (y % 2 == 1)
            Pass<1>(levels, levels.RowAt(y), out);
        else
            Pass<-1>(levels, levels.RowAt(y), out);
    }

  private:
    // The pixel below x receives exactly two shares in a pass: its 3/8 from x and the 1/4
    // of the pixel before x in the pass; the diagonal share of the pass's last pixel falls
    // outside the picture and is dropped. After the last row the next row is never read.
    // Bits are gathered in a register and each byte stored once it is complete.
    template <int Step, typename Levels>
    void Pass(const Levels& levels, const uint8_t* row, uint8_t* out) {
        const Decision* decisions = kDecisions.data();
        const int* cur = cur_.data();
        int* next = next_.data();
        ptrdiff_t e = 0;
        int diagonal = 0;
        unsigned bits = 0;
        int x = Step > 0 ? 0 : width_ - 1;
        for (int i = 0; i < width_; ++i, x += Step) {
            int known = levels.At(row, x) + cur[x] + kDecisionOffset;
            known = known < kKnownMin ? kKnownMin : known > kKnownMax ? kKnownMax : known;
            const Decision& d = (decisions + known)[e];
            e = d.threeEighths;
            next[x] = diagonal + static_cast<int>(e);
            diagonal = d.quarter;
            bits |= static_cast<unsigned>(d.white) << (7 - (x & 7));
            if ((x & 7) == (Step > 0 ? 7 : 0)) {
                out[x >> 3] = static_cast<uint8_t>(bits);
                bits = 0;
            }
        }
        if (Step > 0 && (width_ & 7) != 0) out[(width_ - 1) >> 3] = static_cast<uint8_t>(bits);
    }

    int width_;
    std::vector<int> cur_, next_;
};

// Runs a method over the rows of a source.
template <typename Levels>
void HalftonePass(const Levels& levels, int width, int height, HalftoneMethod method,
                  bool trueColour, int mean, MutableRows out) {
    if (method == HalftoneMethod::ErrorDiffusion) {
        ErrorDiffusion diffusion(width);
        for (int y = 0; y < height; ++y)
            diffusion.Row(levels, y, out.data + y * out.stride);
        return;
    }
    std::vector<uint8_t> row(width);
    for (int y = 0; y < height; ++y) {
        levels.Fill(y, row.data());
        ThresholdRow(row.data(), width, ThresholdsFor(method, trueColour, y, mean),
                     out.data + y * out.stride);
    }
}

// A stored method outside 0..3 is taken as None, the plain threshold.
HalftoneMethod Known(HalftoneMethod method) {
    const auto v = static_cast<int32_t>(method);
    return v >= 0 && v <= 3 ? method : HalftoneMethod::None;
}

}  // namespace

void HalftoneRgb24Rows(const RowsView& s, HalftoneMethod requested, int contrast, int brightness,
                       MutableRows out) {
    const HalftoneMethod method = Known(requested);
    const LevelTable adjust = MakeLevelTable(contrast, brightness);
    int mean = 0;
    if (method == HalftoneMethod::None)
        mean = MeanAdjustedLuma(s.data, s.width, s.height, s.stride, contrast, brightness);
    if (method == HalftoneMethod::M4) {
        // M4 on colour adjusts each channel about its own plain mean.
        const ChannelMeanValues m = ChannelMeans(s.data, s.width, s.height, s.stride);
        const LumaTables luma(MakeMeanLevelTable(contrast, brightness, m.red),
                              MakeMeanLevelTable(contrast, brightness, m.green),
                              MakeMeanLevelTable(contrast, brightness, m.blue));
        HalftonePass(Rgb24Levels{luma, s}, s.width, s.height, method, true, mean, out);
        return;
    }
    const LumaTables luma(adjust, adjust, adjust);
    HalftonePass(Rgb24Levels{luma, s}, s.width, s.height, method, true, mean, out);
}

void HalftoneGrey8Rows(const RowsView& s, HalftoneMethod requested, int contrast, int brightness,
                       MutableRows out) {
    const HalftoneMethod method = Known(requested);
    const LevelTable adjust = MakeLevelTable(contrast, brightness);
    int mean = 0;
    if (method == HalftoneMethod::None)
        mean = MeanAdjustedLevel(s.data, s.width, s.height, s.stride, contrast, brightness);
    HalftonePass(Grey8Levels{adjust, s}, s.width, s.height, method, false, mean, out);
}

void Rgb24RowsToGrey8(const RowsView& s, int contrast, int brightness, MutableRows out) {
    const LevelTable adjust = MakeLevelTable(contrast, brightness);
    const LumaTables luma(adjust, adjust, adjust);
    for (int y = 0; y < s.height; ++y)
        luma.Row(s.data + y * s.stride, s.width, out.data + y * out.stride);
}

void Grey8RowsToGrey8(const RowsView& s, int contrast, int brightness, MutableRows out) {
    const LevelTable adjust = MakeLevelTable(contrast, brightness);
    for (int y = 0; y < s.height; ++y) {
        const uint8_t* p = s.data + y * s.stride;
        uint8_t* o = out.data + y * out.stride;
        for (int x = 0; x < s.width; ++x)
            o[x] = adjust[p[x]];
    }
}

void Mono1RowsToGrey8(const RowsView& s, int contrast, int brightness, MutableRows out) {
    const uint8_t black = static_cast<uint8_t>(AdjustLevel(0, contrast, brightness));
    const uint8_t white = static_cast<uint8_t>(AdjustLevel(255, contrast, brightness));
    for (int y = 0; y < s.height; ++y) {
        const uint8_t* p = s.data + y * s.stride;
        uint8_t* o = out.data + y * out.stride;
        for (int x = 0; x < s.width; ++x)
            o[x] = (p[x / 8] & (0x80 >> (x % 8))) ? white : black;
    }
}

}  // namespace krv
