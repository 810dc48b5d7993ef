#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "docpages/watermark_geometry.h"

namespace krv {
namespace {

// ---------------------------------------------------------------- text on its canvas

struct ReferenceCase {
    int width, height, angle;
    int x, y;
};

class TextReferencePointTest : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(TextReferencePointTest, CentresTheRotatedText) {
    const ReferenceCase& c = GetParam();
    const CanvasPoint p = TextReferencePoint(c.width, c.height, c.angle);
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    TextWatermarkCanvas, TextReferencePointTest,
    ::testing::Values(
        // Angle 0: hx = 50 left of the centre, baseline hy = 15 below it (halves truncated).
        ReferenceCase{101, 31, 0, 100, 165},
        // At 90 degrees the text's own constant puts cos a a hair below zero and sin a at one,
        // so dy = 50 - 3e-9 truncates to 49 (an exact pi / 180 would give 50).
        ReferenceCase{101, 31, 90, 165, 199},
        // 45 degrees: dx = (50 - 15) cos 45 = 24.7, dy = (50 + 15) sin 45 = 45.9.
        ReferenceCase{101, 31, 45, 126, 195},
        // 180 degrees: right of and above the centre; sin a is a hair below zero there, so
        // dx = -50 + 6e-9 truncates to -49.
        ReferenceCase{101, 31, 180, 199, 135}, ReferenceCase{0, 0, 270, 150, 150}));

// ---------------------------------------------------------------- placement in the preview

// Checks that every rectangle lies inside its frame or bitmap and counts how often each
// frame pixel is painted white or drawn.
struct Coverage {
    std::vector<int> white, drawn;
};

Coverage Check(const PreviewPlacementInput& in, const PreviewPlacement& p) {
    Coverage c{std::vector<int>(in.frameWidth * in.frameHeight),
               std::vector<int>(in.frameWidth * in.frameHeight)};
    auto paint = [&](const PreviewRect& r, std::vector<int>& counts) {
        EXPECT_GE(r.x, 0);
        EXPECT_GE(r.y, 0);
        EXPECT_GT(r.width, 0);
        EXPECT_GT(r.height, 0);
        EXPECT_LE(r.x + r.width, in.frameWidth);
        EXPECT_LE(r.y + r.height, in.frameHeight);
        for (int y = std::max(r.y, 0); y < std::min(r.y + r.height, in.frameHeight); ++y)
            for (int x = std::max(r.x, 0); x < std::min(r.x + r.width, in.frameWidth); ++x)
                ++counts[y * in.frameWidth + x];
    };
    for (const auto& r : p.white)
        paint(r, c.white);
    for (const auto& s : p.stretches) {
        paint(s.target, c.drawn);
        EXPECT_GE(s.source.x, 0);
        EXPECT_GE(s.source.y, 0);
        EXPECT_GT(s.source.width, 0);
        EXPECT_GT(s.source.height, 0);
        EXPECT_LE(s.source.x + s.source.width, in.bitmapWidth);
        EXPECT_LE(s.source.y + s.source.height, in.bitmapHeight);
    }
    return c;
}

TEST(PlaceWatermarkPreview, SizeZeroPaintsTheWholeFrameWhiteAtEveryPosition) {
    for (int position = 0; position <= 8; ++position) {
        const PreviewPlacementInput in{position, 0, 138, 264, 640, 480};
        const PreviewPlacement p = PlaceWatermarkPreview(in);
        EXPECT_TRUE(p.stretches.empty()) << "position " << position;
        EXPECT_EQ(p.white, (std::vector<PreviewRect>{{0, 0, 138, 264}})) << "position " << position;
    }
}

TEST(PlaceWatermarkPreview, SinglePlacementsLeaveNoPixelUnpaintedOrPaintedTwice) {
    const int bitmaps[][2] = {{100, 50}, {50, 1000}, {640, 480}, {1, 1}, {3000, 2}};
    for (int position = 0; position <= 8; ++position)
        for (int size = 0; size <= 100; size += 7)
            for (const auto& b : bitmaps) {
                const PreviewPlacementInput in{position, size, 137, 263, b[0], b[1]};
                const Coverage c = Check(in, PlaceWatermarkPreview(in));
                for (size_t i = 0; i < c.white.size(); ++i)
                    ASSERT_EQ(c.white[i] + c.drawn[i], 1)
                        << "pixel " << i << " position " << position << " size " << size
                        << " bitmap " << b[0] << "x" << b[1];
            }
}

TEST(PlaceWatermarkPreview, CentreKeepsTheProportionsOfTheBitmap) {
    const PreviewPlacement p = PlaceWatermarkPreview({4, 50, 138, 264, 100, 50});
    // tw = 69, th = 50 * 50 * 138 / (100 * 100) = 34.
    ASSERT_EQ(p.stretches.size(), 1u);
    EXPECT_EQ(p.stretches[0], (PreviewStretch{{34, 115, 69, 34}, {0, 0, 100, 50}}));
}

struct BandCase {
    int position;
    PreviewStretch expected;
};

class TallBitmapBandTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(TallBitmapBandTest, ShowsTheBandOfTheVerticalPosition) {
    // A 100 x 1000 bitmap at full width in a 100 x 200 frame: only 200 source rows fit.
    const PreviewPlacement p =
        PlaceWatermarkPreview({GetParam().position, 100, 100, 200, 100, 1000});
    ASSERT_EQ(p.stretches.size(), 1u);
    EXPECT_EQ(p.stretches[0], GetParam().expected);
    EXPECT_TRUE(p.white.empty());
}

INSTANTIATE_TEST_SUITE_P(PlaceWatermarkPreview, TallBitmapBandTest,
                         ::testing::Values(BandCase{0, {{0, 0, 100, 200}, {0, 0, 100, 200}}},
                                           BandCase{5, {{0, 0, 100, 200}, {0, 400, 100, 200}}},
                                           BandCase{7, {{0, 0, 100, 200}, {0, 800, 100, 200}}}));

std::set<int> ColumnsAt(const PreviewPlacement& p) {
    std::set<int> xs;
    for (const auto& s : p.stretches)
        xs.insert(s.target.x);
    return xs;
}

TEST(PlaceWatermarkPreview, TileTwentyGivesFiveColumnsAndAStripPastTheEdge) {
    // tw = 27, th = 27: three full rows and a partial one of 19 pixels in each column.
    const PreviewPlacementInput in{9, 20, 137, 100, 50, 50};
    const PreviewPlacement p = PlaceWatermarkPreview(in);
    // The strip of W - 5 tw = 2 pixels starts at W x 100 / 100: past the frame, not drawn.
    EXPECT_EQ(ColumnsAt(p), (std::set<int>{0, 27, 54, 82, 109}));
    ASSERT_EQ(p.stretches.size(), 5u * 4);
    EXPECT_EQ(p.stretches[3], (PreviewStretch{{0, 81, 27, 19}, {0, 0, 50, 35}}));
    const Coverage c = Check(in, p);
    EXPECT_EQ(std::count(c.drawn.begin(), c.drawn.end(), 0), 200)
        << "the gap columns at x = 81 and x = 136";
    EXPECT_EQ(std::count(c.white.begin(), c.white.end(), 1), 137 * 100) << "white underneath";
}

TEST(PlaceWatermarkPreview, TileTwentyOnAWidthOfFiveTilesHasNoStrip) {
    const PreviewPlacement p = PlaceWatermarkPreview({9, 20, 135, 100, 50, 50});
    EXPECT_EQ(ColumnsAt(p), (std::set<int>{0, 27, 54, 81, 108}));
}

TEST(PlaceWatermarkPreview, TileThirtyGivesThreeColumnsAndAStrip) {
    const PreviewPlacementInput in{9, 30, 137, 100, 50, 50};
    const PreviewPlacement p = PlaceWatermarkPreview(in);
    // tw = 41, strip W - 3 tw = 14 wide from x = W x 90 / 100 = 123.
    EXPECT_EQ(ColumnsAt(p), (std::set<int>{0, 41, 82, 123}));
    EXPECT_EQ(p.stretches[9], (PreviewStretch{{123, 0, 14, 41}, {0, 0, 17, 50}}));
    const Coverage c = Check(in, p);
    EXPECT_EQ(std::count(c.drawn.begin(), c.drawn.end(), 0), 0);
}

TEST(PlaceWatermarkPreview, TileBelowTwentyPercentTilesAtTwenty) {
    EXPECT_EQ(PlaceWatermarkPreview({9, 10, 137, 100, 50, 50}).stretches,
              PlaceWatermarkPreview({9, 20, 137, 100, 50, 50}).stretches);
}

TEST(PlaceWatermarkPreview, TilesStayInsideFrameAndBitmapForAnyShape) {
    const int bitmaps[][2] = {{50, 50}, {3, 700}, {700, 3}, {1, 1}, {2, 9999}};
    const int frames[][2] = {{137, 263}, {9, 9}, {5, 300}, {300, 5}};
    for (int size = 20; size <= 100; ++size)
        for (const auto& b : bitmaps)
            for (const auto& f : frames) {
                const PreviewPlacementInput in{9, size, f[0], f[1], b[0], b[1]};
                Check(in, PlaceWatermarkPreview(in));
                if (HasFailure())
                    FAIL() << "size " << size << " bitmap " << b[0] << "x" << b[1] << " frame "
                           << f[0] << "x" << f[1];
            }
}

TEST(PlaceWatermarkPreview, DegenerateInputsDrawNothingAndNeverDivideByZero) {
    const struct {
        const char* what;
        PreviewPlacementInput in;
    } cases[] = {
        {"zero tile height: very wide, very short bitmap", {9, 20, 137, 100, 10000, 1}},
        {"zero tile width: frame narrower than five pixels", {9, 20, 4, 100, 50, 50}},
        {"empty bitmap, tiled", {9, 50, 137, 100, 0, 0}},
        {"empty bitmap, centred", {4, 50, 137, 100, 0, 50}},
        {"position beyond the list", {10, 50, 137, 100, 50, 50}},
        {"no position selected", {-1, 50, 137, 100, 50, 50}},
    };
    for (const auto& c : cases) {
        const PreviewPlacement p = PlaceWatermarkPreview(c.in);
        EXPECT_TRUE(p.stretches.empty()) << c.what;
        EXPECT_EQ(p.white, (std::vector<PreviewRect>{{0, 0, c.in.frameWidth, 100}})) << c.what;
    }
    for (const auto& in : {PreviewPlacementInput{9, 50, 0, 100, 50, 50},
                           PreviewPlacementInput{4, 50, 137, 0, 50, 50}}) {
        const PreviewPlacement p = PlaceWatermarkPreview(in);
        EXPECT_TRUE(p.white.empty() && p.stretches.empty())
            << "an empty frame has nothing to paint";
    }
}

// ---------------------------------------------------------------- brightness

TEST(AddBrightness, SaturatesEveryByteAtTwoHundredFiftyFive) {
    // 256 values and a tail that is not a whole block.
    std::vector<uint8_t> source(256 + 256 + 37);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<uint8_t>(i);
    for (int brightness : {0, 1, 50, 200, 255}) {
        std::vector<uint8_t> target(source.size(), 0xA5);
        AddBrightness(source.data(), target.data(), source.size(), uint8_t(brightness));
        for (size_t i = 0; i < source.size(); ++i)
            ASSERT_EQ(target[i], std::min(source[i] + brightness, 255))
                << "byte " << i << " brightness " << brightness;
    }
}

TEST(AddBrightness, WorksInPlaceAndTouchesNothingBeyondItsBytes) {
    std::vector<uint8_t> pixels{10, 250, 100, 7, 7};
    AddBrightness(pixels.data(), pixels.data(), 3, 10);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{20, 255, 110, 7, 7}));
}

}  // namespace
}  // namespace krv
