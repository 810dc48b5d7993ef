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
    void Row(const uint8_t* p, int width, uint8_t* out) const {
        for (int x = 0; x < width; ++x, p += 3)
            out[x] = static_cast<uint8_t>((blue[p[0]] + green[p[1]] + red[p[2]]) / 1000);
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

// Serpentine error diffusion: 3/8 to the next pixel of the pass, 3/8 to the pixel below,
// 1/4 to the diagonal ahead; each share truncated toward zero (integer division does exactly
// what truncating 0.375 X and 0.25 X does). The error rows are sized by the width.
class ErrorDiffusion {
  public:
    explicit ErrorDiffusion(int width)
        : width_(width), cur_(width, 0), next_(width, 0), white_(width) {}

    void Row(const uint8_t* levels, int y, uint8_t* out) {
        // Every entry of the next row is written during the pass, so the rows only swap.
        std::swap(cur_, next_);
        // Odd stored rows run left to right, even ones (row 0 included) right to left.
        if (y % 2 == 1)
            Pass<1>(levels);
        else
            Pass<-1>(levels);
        Pack(out);
    }

  private:
    // What one pixel of value V decides: white or not, and the shares of its error X. The
    // table covers every V that can occur (the errors stay within -128..128, so V stays within
    // -128..383) and the index is masked, so no V can reach outside it. A lookup replaces the
    // arithmetic on the one serial chain of the pass: each pixel waits for the share before it.
    struct Decision {
        int16_t threeEighths;  // (3 X) / 8: to the next pixel of the pass and to the pixel below
        int16_t quarter;       // X / 4: to the pixel below the next one
        uint8_t white;
    };
    static constexpr int kOffset = 512;
    static constexpr int kMask = 1023;

    static const Decision* Decisions() {
        static const auto table = [] {
            std::array<Decision, kMask + 1> t{};
            for (int i = 0; i <= kMask; ++i) {
                const int v = i - kOffset;
                const int white = v > 128;
                const int error = v - 255 * white;
                t[i] = {static_cast<int16_t>((3 * error) / 8), static_cast<int16_t>(error / 4),
                        static_cast<uint8_t>(white)};
            }
            return t;
        }();
        return table.data();
    }

    // The pixel below x receives exactly two shares in a pass: its 3/8 from x and the 1/4
    // of the pixel before x in the pass; the diagonal share of the pass's last pixel falls
    // outside the picture and is dropped. After the last row the next row is never read.
    template <int Step>
    void Pass(const uint8_t* levels) {
        const Decision* decisions = Decisions();
        const int* cur = cur_.data();
        int* next = next_.data();
        uint8_t* white = white_.data();
        int e = 0;
        int diagonal = 0;
        int x = Step > 0 ? 0 : width_ - 1;
        for (int i = 0; i < width_; ++i, x += Step) {
            const int v = levels[x] + cur[x] + e;
            const Decision& d = decisions[(v + kOffset) & kMask];
            white[x] = d.white;
            e = d.threeEighths;
            next[x] = diagonal + e;
            diagonal = d.quarter;
        }
    }

    void Pack(uint8_t* out) const {
        for (int x = 0; x < width_; ++x)
            out[x / 8] |= static_cast<uint8_t>(white_[x] << (7 - x % 8));
    }

    int width_;
    std::vector<int> cur_, next_;
    std::vector<uint8_t> white_;
};

// Runs a method over rows whose levels `levelsOf(y, buffer)` produces.
template <typename LevelsOf>
void HalftonePass(int width, int height, HalftoneMethod method, bool trueColour, int mean,
                  LevelsOf levelsOf, MutableRows out) {
    std::vector<uint8_t> levels(width);
    if (method == HalftoneMethod::ErrorDiffusion) {
        ErrorDiffusion diffusion(width);
        for (int y = 0; y < height; ++y) {
            levelsOf(y, levels.data());
            diffusion.Row(levels.data(), y, out.data + y * out.stride);
        }
        return;
    }
    for (int y = 0; y < height; ++y) {
        levelsOf(y, levels.data());
        ThresholdRow(levels.data(), width, ThresholdsFor(method, trueColour, y, mean),
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
        HalftonePass(
            s.width, s.height, method, true, mean,
            [&](int y, uint8_t* l) { luma.Row(s.data + y * s.stride, s.width, l); }, out);
        return;
    }
    const LumaTables luma(adjust, adjust, adjust);
    HalftonePass(
        s.width, s.height, method, true, mean,
        [&](int y, uint8_t* l) { luma.Row(s.data + y * s.stride, s.width, l); }, out);
}

void HalftoneGrey8Rows(const RowsView& s, HalftoneMethod requested, int contrast, int brightness,
                       MutableRows out) {
    const HalftoneMethod method = Known(requested);
    const LevelTable adjust = MakeLevelTable(contrast, brightness);
    int mean = 0;
    if (method == HalftoneMethod::None)
        mean = MeanAdjustedLevel(s.data, s.width, s.height, s.stride, contrast, brightness);
    HalftonePass(
        s.width, s.height, method, false, mean,
        [&](int y, uint8_t* l) {
            const uint8_t* p = s.data + y * s.stride;
            for (int x = 0; x < s.width; ++x)
                l[x] = adjust[p[x]];
        },
        out);
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
