#include <cmath>
#include <random>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/bmp_format.h"
#include "imaging/halftone.h"
#include "imaging/tone.h"

namespace krv {
namespace {

// The methods evaluated pixel by pixel exactly as they are defined, in double precision,
// for comparison with the table-driven passes.
struct Picture {
    int width, height;
    bool trueColour;
    std::vector<uint8_t> rows;  // stored order, tightly packed (stride = 3w or w)
    uint64_t Stride() const { return static_cast<uint64_t>(width) * (trueColour ? 3 : 1); }
};

int RefLevel(const Picture& p, int x, int y, int c, int b) {
    const uint8_t* px = &p.rows[y * p.Stride() + x * (p.trueColour ? 3 : 1)];
    if (!p.trueColour) return AdjustLevel(px[0], c, b);
    return (AdjustLevel(px[2], c, b) * 299 + AdjustLevel(px[1], c, b) * 587 +
            AdjustLevel(px[0], c, b) * 114) /
           1000;
}

std::vector<uint8_t> ReferenceHalftone(const Picture& p, HalftoneMethod method, int c, int b) {
    const int w = p.width, h = p.height;
    const uint64_t s1 = Stride1(w);
    std::vector<uint8_t> out(s1 * h, 0);
    auto setWhite = [&](int x, int y) { out[y * s1 + x / 8] |= 0x80 >> (x % 8); };
    const uint64_t n = static_cast<uint64_t>(w) * h;
    if (method == HalftoneMethod::None) {
        uint64_t sum[3] = {0, 0, 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int ch = 0; ch < (p.trueColour ? 3 : 1); ++ch)
                    sum[ch] +=
                        AdjustLevel(p.rows[y * p.Stride() + x * (p.trueColour ? 3 : 1) + ch], c, b);
        const int t =
            p.trueColour
                ? (int(sum[1] / n) * 587 + int(sum[2] / n) * 299 + int(sum[0] / n) * 114) / 1000
                : int(sum[0] / n);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (RefLevel(p, x, y, c, b) > t) setWhite(x, y);
    } else if (method == HalftoneMethod::M3) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int l4 = RefLevel(p, x, y, c, b) >> 2, m = Bayer8()[y % 8][x % 8];
                if (p.trueColour ? l4 >= m : l4 > m) setWhite(x, y);
            }
    } else if (method == HalftoneMethod::M4) {
        uint64_t sum[3] = {0, 0, 0};
        if (p.trueColour)
            for (int i = 0; i < w * h; ++i)
                for (int ch = 0; ch < 3; ++ch)
                    sum[ch] += p.rows[3 * i + ch];
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int m = Bayer16()[y % 16][x % 16];
                if (p.trueColour) {
                    const uint8_t* px = &p.rows[y * p.Stride() + 3 * x];
                    const int l4 = (AdjustAroundMean(px[2], c, b, int(sum[2] / n)) * 299 +
                                    AdjustAroundMean(px[1], c, b, int(sum[1] / n)) * 587 +
                                    AdjustAroundMean(px[0], c, b, int(sum[0] / n)) * 114) /
                                   1000;
                    if (l4 >= m) setWhite(x, y);
                } else if (RefLevel(p, x, y, c, b) > m) {
                    setWhite(x, y);
                }
            }
    } else {
        // 2000 entries as defined, or more for a wider picture.
        const size_t entries = std::max<size_t>(2000, w + 1);
        std::vector<int> cur(entries, 0), next(entries, 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                cur[x] = next[x], next[x] = 0;
            int e = 0;
            const bool right = y % 2 == 1;
            for (int i = 0; i < w; ++i) {
                const int x = right ? i : w - 1 - i;
                const int v = RefLevel(p, x, y, c, b) + cur[x] + e;
                int err = v;
                if (v > 128) setWhite(x, y), err = v - 255;
                if (i < w - 1) e = static_cast<int>(0.375 * err);
                if (y < h - 1) {
                    next[x] += static_cast<int>(0.375 * err);
                    if (right && x + 1 < w) next[x + 1] += static_cast<int>(0.25 * err);
                    if (!right && x > 0) next[x - 1] += static_cast<int>(0.25 * err);
                }
            }
        }
    }
    return out;
}

std::vector<uint8_t> RunPass(const Picture& p, HalftoneMethod method, int c, int b) {
    const uint64_t s1 = Stride1(p.width);
    std::vector<uint8_t> out(s1 * p.height, 0);
    const RowsView view{p.rows.data(), p.width, p.height, p.Stride()};
    if (p.trueColour)
        HalftoneRgb24Rows(view, method, c, b, {out.data(), s1});
    else
        HalftoneGrey8Rows(view, method, c, b, {out.data(), s1});
    return out;
}

Picture RandomPicture(int w, int h, bool trueColour, unsigned seed) {
    std::mt19937 rng(seed);
    Picture p{w, h, trueColour, {}};
    p.rows.resize(static_cast<size_t>(w) * h * (trueColour ? 3 : 1));
    // A smooth ramp with noise gives every method pixels on both sides of its thresholds.
    for (size_t i = 0; i < p.rows.size(); ++i)
        p.rows[i] = static_cast<uint8_t>((i * 7 + rng() % 64) % 256);
    return p;
}

struct PassCase {
    int width, height;
    bool trueColour;
};

class HalftoneMatchesDefinition : public ::testing::TestWithParam<PassCase> {};

TEST_P(HalftoneMatchesDefinition, ForEveryMethodAndSetting) {
    const auto& pc = GetParam();
    const Picture p = RandomPicture(pc.width, pc.height, pc.trueColour, pc.width * 31 + pc.height);
    for (int m = 0; m < 4; ++m)
        for (int c : {-100, -37, 0, 55, 100})
            for (int b : {-100, -20, 0, 33, 100}) {
                const auto method = static_cast<HalftoneMethod>(m);
                ASSERT_EQ(RunPass(p, method, c, b), ReferenceHalftone(p, method, c, b))
                    << "method " << m << " c=" << c << " b=" << b;
            }
}

INSTANTIATE_TEST_SUITE_P(Halftone, HalftoneMatchesDefinition,
                         ::testing::Values(PassCase{1, 1, true}, PassCase{1, 9, false},
                                           PassCase{7, 3, true}, PassCase{33, 17, false},
                                           PassCase{33, 17, true}, PassCase{100, 20, true},
                                           PassCase{64, 33, false}));

Picture Uniform(int w, int h, bool trueColour, uint8_t level) {
    Picture p{w, h, trueColour, {}};
    p.rows.assign(static_cast<size_t>(w) * h * (trueColour ? 3 : 1), level);
    return p;
}

bool White(const std::vector<uint8_t>& out, int w, int x, int y) {
    return out[y * Stride1(w) + x / 8] & (0x80 >> (x % 8));
}

TEST(Halftone, M3OnWhiteIsAllWhiteFor24BitButNotFor8Bit) {
    const auto colour = RunPass(Uniform(16, 16, true, 255), HalftoneMethod::M3, 0, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_TRUE(White(colour, 16, x, y));
    const auto grey = RunPass(Uniform(16, 16, false, 255), HalftoneMethod::M3, 0, 0);
    EXPECT_FALSE(White(grey, 16, 0, 7));  // Bayer8 value 63: 63 > 63 is false
    EXPECT_FALSE(White(grey, 16, 8, 15));
    EXPECT_TRUE(White(grey, 16, 1, 7));
}

TEST(Halftone, NoneOnAUniformPictureIsAllBlack) {
    for (bool trueColour : {true, false}) {
        const auto out = RunPass(Uniform(9, 4, trueColour, 140), HalftoneMethod::None, 0, 0);
        EXPECT_EQ(out, std::vector<uint8_t>(Stride1(9) * 4, 0));
    }
}

TEST(Halftone, DiffusionStartsRightToLeftOnStoredRowZero) {
    const auto out = RunPass(Uniform(10, 2, false, 128), HalftoneMethod::ErrorDiffusion, 0, 0);
    EXPECT_FALSE(White(out, 10, 9, 0));  // V = 128 is not above 128
    // 128 + 48 carried: the second pixel visited turns white.
    EXPECT_TRUE(White(out, 10, 8, 0));
    EXPECT_FALSE(White(out, 10, 0, 0) && White(out, 10, 9, 0));
}

TEST(Halftone, DiffusionRowsFollowTheWidthBeyond2000Pixels) {
    // Wider than the fixed 2000-entry rows of old: still the defined result, no overrun.
    const Picture p = RandomPicture(2501, 3, false, 5);
    EXPECT_EQ(RunPass(p, HalftoneMethod::ErrorDiffusion, 0, 0),
              ReferenceHalftone(p, HalftoneMethod::ErrorDiffusion, 0, 0));
}

TEST(Halftone, UnknownMethodIsThePlainThreshold) {
    const Picture p = RandomPicture(20, 6, true, 9);
    EXPECT_EQ(RunPass(p, static_cast<HalftoneMethod>(7), 10, 0),
              RunPass(p, HalftoneMethod::None, 10, 0));
}

TEST(GreyRows, ColourUsesTheWeightedAdjustedChannels) {
    const uint8_t bgr[3] = {30, 20, 10};  // blue 30, green 20, red 10
    uint8_t out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    Rgb24RowsToGrey8({bgr, 1, 1, 4}, 0, 0, {out, 4});
    EXPECT_EQ(out[0], (30 * 114 + 10 * 299 + 20 * 587) / 1000);
    EXPECT_EQ(out[1], 0xAA);  // padding left to the caller
    Rgb24RowsToGrey8({bgr, 1, 1, 4}, 0, 50, {out, 4});
    EXPECT_EQ(out[0], (80 * 114 + 60 * 299 + 70 * 587) / 1000);
}

TEST(GreyRows, MonoBitsBecomeAdjustedWhiteOrBlack) {
    const uint8_t bits[4] = {0xA0, 0, 0, 0};  // pixels 0 and 2 set
    uint8_t out[4] = {};
    Mono1RowsToGrey8({bits, 3, 1, 4}, -100, 0, {out, 4});
    EXPECT_EQ(out[0], 155);
    EXPECT_EQ(out[1], 100);
    EXPECT_EQ(out[2], 155);
}

}  // namespace
}  // namespace krv
