#include <cmath>
#include <random>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/tone.h"

namespace krv {
namespace {

struct LevelCase {
    int level, contrast, brightness, expected;
};

class AdjustLevelCases : public ::testing::TestWithParam<LevelCase> {};

TEST_P(AdjustLevelCases, GivesTheWorkedLevel) {
    const auto& c = GetParam();
    EXPECT_EQ(AdjustLevel(c.level, c.contrast, c.brightness), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Tone, AdjustLevelCases,
                         ::testing::Values(LevelCase{0, 100, 0, 0}, LevelCase{100, 100, 0, 0},
                                           LevelCase{101, 100, 0, 4}, LevelCase{128, 100, 0, 129},
                                           LevelCase{155, 100, 0, 255}, LevelCase{255, 100, 0, 255},
                                           LevelCase{0, -100, 0, 100}, LevelCase{255, -100, 0, 155},
                                           LevelCase{200, 0, 100, 255}, LevelCase{50, 0, -100, 0},
                                           LevelCase{10, 0, -5, 5}, LevelCase{0, -100, 100, 200},
                                           // outside the trackbars' range: clamped to it
                                           LevelCase{0, -300, 0, 100},
                                           LevelCase{200, 0, 500, 255}));

TEST(Tone, NeutralSettingsLeaveEveryLevelAlone) {
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(AdjustLevel(v, 0, 0), v);
        EXPECT_EQ(AdjustAroundMean(v, 0, 0, 77), v);
    }
}

TEST(Tone, AroundMeanCollapsesAtMinus100AndHasSlope11At100) {
    for (int v = 0; v < 256; v += 5)
        EXPECT_EQ(AdjustAroundMean(v, -100, 0, 90), 90);
    EXPECT_EQ(AdjustAroundMean(101, 100, 0, 100), 111);
    EXPECT_EQ(AdjustAroundMean(99, 100, 0, 100), 89);
    EXPECT_EQ(AdjustAroundMean(99, 100, 7, 100), 96);
    EXPECT_EQ(AdjustAroundMean(200, 100, 0, 100), 255);
    // k = 1 - 0.1 sqrt(25) = 0.5
    EXPECT_EQ(AdjustAroundMean(150, -25, 0, 100), 125);
    EXPECT_EQ(AdjustAroundMean(51, -25, 0, 100), 75);  // trunc(75.5)
}

// The lookup tables replace the double formula only because they are identical to it.
TEST(Tone, LevelTableEqualsTheFormulaForEverySetting) {
    for (int c = -100; c <= 100; ++c)
        for (int b = -100; b <= 100; ++b) {
            const LevelTable t = MakeLevelTable(c, b);
            for (int v = 0; v < 256; ++v) {
                // The formula written out here once more, straight from its definition.
                double d;
                if (c < 0)
                    d = std::trunc(v / (255.0 / (2 * c + 255)) - c);
                else if (v <= c)
                    d = 0;
                else if (v >= 255 - c)
                    d = 255;
                else
                    d = std::trunc((v - c) / ((255 - 2 * c) * 0.00392156862745098));
                const int want = std::clamp(static_cast<int>(d) + b, 0, 255);
                ASSERT_EQ(t[v], want) << "v=" << v << " c=" << c << " b=" << b;
            }
        }
}

TEST(Tone, MeanLevelTableEqualsAdjustAroundMean) {
    for (int c = -100; c <= 100; c += 3)
        for (int m : {0, 17, 128, 255})
            for (int b : {-100, -1, 0, 42, 100}) {
                const LevelTable t = MakeMeanLevelTable(c, b, m);
                for (int v = 0; v < 256; ++v)
                    ASSERT_EQ(t[v], AdjustAroundMean(v, c, b, m));
            }
}

TEST(Tone, MeansDivideEachSumByThePixelCount) {
    // Two pixels (B,G,R): (10,20,30) and (11,21,33) in one row with 2 padding bytes.
    const uint8_t rows[8] = {10, 20, 30, 11, 21, 33, 0xEE, 0xEE};
    const ChannelMeanValues m = ChannelMeans(rows, 2, 1, 8);
    EXPECT_EQ(m.blue, 10);
    EXPECT_EQ(m.green, 20);
    EXPECT_EQ(m.red, 31);
    EXPECT_EQ(MeanAdjustedLuma(rows, 2, 1, 8, 0, 0), (20 * 587 + 31 * 299 + 10 * 114) / 1000);
    const uint8_t grey[4] = {1, 2, 0xFF, 0xFF};
    EXPECT_EQ(MeanAdjustedLevel(grey, 2, 1, 4, 0, 0), 1);
    EXPECT_EQ(MeanAdjustedLevel(grey, 2, 1, 4, 0, 100), 101);
}

TEST(Tone, Bayer16HoldsEveryLevelOnceWithItsQuadrantOffsets) {
    std::set<int> seen;
    for (const auto& row : Bayer16())
        for (int v : row)
            seen.insert(v);
    EXPECT_EQ(seen.size(), 256u);
    EXPECT_EQ(*seen.rbegin(), 255);
    EXPECT_EQ(Bayer16()[0][0], 0);
    EXPECT_EQ(Bayer16()[0][8], 3);  // top right +3
    EXPECT_EQ(Bayer16()[8][0], 2);  // bottom left +2
    EXPECT_EQ(Bayer16()[8][8], 1);  // bottom right +1
    EXPECT_EQ(Bayer16()[15][7], 4 * 21 + 2);
    EXPECT_EQ(Bayer8()[7][0], 63);
}

}  // namespace
}  // namespace krv
