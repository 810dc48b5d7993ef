#include "jobs/picture_print.h"

#include <gtest/gtest.h>

#include <random>

#include "imaging/bmp_format.h"
#include "imaging/logo_convert.h"
#include "imaging/tone.h"
#include "tests/common/test_bitmaps.h"

namespace krv {
namespace {

GreyImage Picture(uint32_t w, uint32_t h, const std::function<uint8_t(uint32_t, uint32_t)>& f) {
    GreyImage g;
    g.width = w;
    g.height = h;
    g.pixels.resize(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            g.Row(y)[x] = f(x, y);
    return g;
}

GreyImage Flat(uint32_t w, uint32_t h, uint8_t level) {
    return Picture(w, h, [=](uint32_t, uint32_t) { return level; });
}

// Whether the dot at (x, row from the top) of a halftoned page is printed.
bool DotAt(const MonoRaster& r, uint32_t x, uint32_t top) {
    const uint32_t stored = r.paddedHeight - 1 - top;
    return r.rows[static_cast<size_t>(stored) * r.stride + x / 8] & (0x80 >> (x % 8));
}

// ---------------------------------------------------------------- size and scaling

TEST(PicturePrint, PrintedSizes) {
    struct Case {
        uint32_t w, h, printable;
        bool fit;
        uint32_t wantW, wantH;
    } cases[] = {
        {1024, 768, 512, false, 512, 384},  // reduced to the width
        {100, 50, 512, false, 100, 50},     // never enlarged
        {100, 50, 512, true, 512, 256},     // unless asked to fit
        {512, 7, 512, false, 512, 7},       // exactly the width: kept
        {1000, 3, 512, false, 512, 2},      // 1.536 rows round to 2
        {5000, 1, 360, false, 360, 1},      // at least one row
        {0, 10, 512, false, 0, 0},          // no picture
    };
    for (const Case& c : cases) {
        const PrintedSize s = PrintedSizeOf(c.w, c.h, c.printable, c.fit);
        EXPECT_EQ(s.width, c.wantW) << c.w << "x" << c.h;
        EXPECT_EQ(s.height, c.wantH) << c.w << "x" << c.h;
    }
}

TEST(PicturePrint, ScalingAveragesTheAreaEachPixelCovers) {
    GreyImage out;
    // 3 -> 2 across: the middle source pixel is shared half and half.
    ASSERT_TRUE(
        ScaleGrey(Picture(3, 1, [](uint32_t x, uint32_t) { return uint8_t(x * 90); }), 2, 1, &out));
    EXPECT_EQ(out.Row(0)[0], 30);   // (0 + 90 / 2) / 1.5
    EXPECT_EQ(out.Row(0)[1], 150);  // (90 / 2 + 180) / 1.5
    // 2 -> 3 enlarged: the middle output straddles both; 127.5 rounds up.
    ASSERT_TRUE(ScaleGrey(Picture(2, 1, [](uint32_t x, uint32_t) { return uint8_t(x * 255); }), 3,
                          1, &out));
    EXPECT_EQ(out.pixels, (std::vector<uint8_t>{0, 128, 255}));
    // Down as well as across: a 4 x 4 chequer of 0 and 255 averages to 128 in 2 x 2.
    ASSERT_TRUE(ScaleGrey(
        Picture(4, 4, [](uint32_t x, uint32_t y) { return uint8_t((x + y) % 2 ? 255 : 0); }), 2, 2,
        &out));
    EXPECT_EQ(out.pixels, (std::vector<uint8_t>{128, 128, 128, 128}));
    // Rows are weighted like columns: 0 above, 255 below, 3 rows -> 2.
    ASSERT_TRUE(
        ScaleGrey(Picture(1, 3, [](uint32_t, uint32_t y) { return uint8_t(y * 90); }), 1, 2, &out));
    EXPECT_EQ(out.pixels, (std::vector<uint8_t>{30, 150}));
}

TEST(PicturePrint, ScalingKeepsFlatPicturesFlatAndTheSameSizeUnchanged) {
    std::mt19937 random(7);
    for (int i = 0; i < 40; ++i) {
        const uint32_t w = 1 + random() % 300, h = 1 + random() % 200;
        const uint32_t ow = 1 + random() % 300, oh = 1 + random() % 200;
        const uint8_t level = static_cast<uint8_t>(random());
        GreyImage out;
        ASSERT_TRUE(ScaleGrey(Flat(w, h, level), ow, oh, &out));
        ASSERT_EQ(out.pixels, std::vector<uint8_t>(static_cast<size_t>(ow) * oh, level))
            << w << "x" << h << " -> " << ow << "x" << oh;
    }
    const GreyImage noisy = Picture(37, 11, [&](uint32_t, uint32_t) { return uint8_t(random()); });
    GreyImage same;
    ASSERT_TRUE(ScaleGrey(noisy, 37, 11, &same));
    EXPECT_EQ(same.pixels, noisy.pixels);
}

// Every output level against the area average worked out directly in integers: the overlap of
// each source pixel with the output pixel, in units of 1 / (source width x source height).
TEST(PicturePrint, ScaledLevelsAreTheRoundedAreaAverage) {
    std::mt19937 random(11);
    const auto overlap = [](uint64_t i, uint64_t o, uint64_t src, uint64_t dst) {
        const uint64_t lo = std::max(i * dst, o * src), hi = std::min((i + 1) * dst, (o + 1) * src);
        return hi > lo ? hi - lo : 0;
    };
    for (int i = 0; i < 12; ++i) {
        const uint32_t w = 1 + random() % 90, h = 1 + random() % 60;
        const uint32_t ow = 1 + random() % 90, oh = 1 + random() % 60;
        const GreyImage noisy =
            Picture(w, h, [&](uint32_t, uint32_t) { return uint8_t(random()); });
        GreyImage out;
        ASSERT_TRUE(ScaleGrey(noisy, ow, oh, &out));
        const uint64_t area = uint64_t{w} * h;
        for (uint32_t y = 0; y < oh; ++y)
            for (uint32_t x = 0; x < ow; ++x) {
                uint64_t sum = 0;
                for (uint32_t sy = 0; sy < h; ++sy)
                    for (uint32_t sx = 0; sx < w; ++sx)
                        sum += noisy.Row(sy)[sx] * overlap(sx, x, w, ow) * overlap(sy, y, h, oh);
                ASSERT_EQ(out.Row(y)[x], (sum + area / 2) / area)
                    << w << "x" << h << " -> " << ow << "x" << oh << " at " << x << "," << y;
            }
    }
}

TEST(PicturePrint, LinesAreClippedOrMadeUpWithWhite) {
    GreyImage page;
    const uint8_t line[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(AppendGreyRow(&page, line, 6));  // no width set
    page.width = 4;
    ASSERT_TRUE(AppendGreyRow(&page, line, 6));
    ASSERT_TRUE(AppendGreyRow(&page, line, 2));
    EXPECT_EQ(page.height, 2u);
    EXPECT_EQ(page.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 1, 2, 255, 255}));
}

// ---------------------------------------------------------------- halftoning

// A page at its printed size gets the dots the 8-bit logo converter gives the same picture,
// for every method and with tone adjustment (both read the rows bottom-up), except that levels
// adjusted to white never print and those adjusted to black always do.
TEST(PicturePrint, HalftoneMatchesTheLogoConverterOfTheSamePicture) {
    const uint32_t w = 45, h = 30;
    const GreyImage page = Picture(
        w, h, [](uint32_t x, uint32_t y) { return uint8_t((x * 7 + y * 13 + x * y) % 256); });
    test::ScratchFolder dir;
    const std::u16string bmp = dir.Write("p.bmp", test::Grey8File(w, h, [&](int x, int stored) {
                                             return page.Row(h - 1 - stored)[x];
                                         }));
    for (const auto method : {HalftoneMethod::None, HalftoneMethod::M3, HalftoneMethod::M4,
                              HalftoneMethod::ErrorDiffusion}) {
        const ConvertResult converted =
            HalftoneGrey8ToMono1(bmp, dir.Path("work.bmp"), method, 30, -20);
        ASSERT_TRUE(converted.Written());
        const Bytes work = test::ScratchFolder::Read(converted.pathToUse);
        MonoRaster dots;
        ASSERT_TRUE(HalftonePage(page, method, 30, -20, &dots));
        for (uint32_t top = 0; top < h; ++top)
            for (uint32_t x = 0; x < w; ++x) {
                const size_t at = 62 + (h - 1 - top) * Stride1(w) + x / 8;
                const int level = AdjustLevel(page.Row(top)[x], 30, -20);
                const bool white = level == 255 || (level > 0 && (work[at] & (0x80 >> (x % 8))));
                ASSERT_EQ(DotAt(dots, x, top), !white)
                    << "method " << int(method) << " at " << x << "," << top;
            }
    }
}

// White paper stays white and black black with every method, also where the ordered
// dithers' thresholds reach the ends of the range.
TEST(PicturePrint, WhiteNeverPrintsAndBlackAlwaysDoes) {
    for (const auto method : {HalftoneMethod::None, HalftoneMethod::M3, HalftoneMethod::M4,
                              HalftoneMethod::ErrorDiffusion}) {
        // Left half white, right half black.
        const GreyImage page =
            Picture(64, 48, [](uint32_t x, uint32_t) { return uint8_t(x < 32 ? 255 : 0); });
        MonoRaster dots;
        ASSERT_TRUE(HalftonePage(page, method, 0, 0, &dots));
        for (uint32_t top = 0; top < 48; ++top)
            for (uint32_t x = 0; x < 64; ++x)
                ASSERT_EQ(DotAt(dots, x, top), x >= 32) << int(method) << " " << x << "," << top;
    }
}

TEST(PicturePrint, HalftonedPageIsWholeBandsWithThePictureOnTop) {
    MonoRaster dots;
    ASSERT_TRUE(HalftonePage(Flat(10, 30, 0), HalftoneMethod::None, 0, 0, &dots));
    EXPECT_EQ(dots.width, 10u);
    EXPECT_EQ(dots.height, 48u);
    EXPECT_EQ(dots.paddedHeight, 48u);
    for (uint32_t top = 0; top < 48; ++top)
        for (uint32_t x = 0; x < 32; ++x)  // the whole stride: nothing past the width
            ASSERT_EQ(DotAt(dots, x, top), top < 30 && x < 10) << x << "," << top;
    EXPECT_FALSE(HalftonePage(GreyImage{}, HalftoneMethod::None, 0, 0, &dots));
}

// ---------------------------------------------------------------- bands

TEST(PicturePrint, BandsCarryColumnsTopDotFirst) {
    // 3 wide, 24 high: column 0 has only its top dot, column 2 only its bottom one.
    const GreyImage page = Picture(3, 24, [](uint32_t x, uint32_t y) {
        return uint8_t((x == 0 && y == 0) || (x == 2 && y == 23) ? 0 : 255);
    });
    MonoRaster dots;
    ASSERT_TRUE(HalftonePage(page, HalftoneMethod::None, 0, 0, &dots));
    Bytes out;
    AppendBands(dots, 3, &out);
    EXPECT_EQ(out, (Bytes{0x1B, 0x2A, 0x21, 0x03, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x01, 0x0A}));
}

TEST(PicturePrint, BlankBandsBecomeFeedsAndTheBlankEndIsLeftOut) {
    // Bands: blank, dots, 11 blank, dots, 2 blank.
    const uint32_t bands = 16;
    const GreyImage page = Picture(600, 24 * bands - 5, [](uint32_t x, uint32_t y) {
        const uint32_t band = y / 24;
        return uint8_t((band == 1 || band == 13) && x == 599 ? 0 : 255);
    });
    MonoRaster dots;
    ASSERT_TRUE(HalftonePage(page, HalftoneMethod::None, 0, 0, &dots));
    Bytes out;
    AppendBands(dots, 600, &out);
    const size_t band = 5 + 3 * 600 + 1;
    ASSERT_EQ(out.size(), 3 + band + 6 + band);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 3), (Bytes{0x1B, 0x4A, 24}));
    EXPECT_EQ(Bytes(out.begin() + 3, out.begin() + 8), (Bytes{0x1B, 0x2A, 0x21, 0x58, 0x02}));
    EXPECT_EQ(Bytes(out.begin() + 3 + band, out.begin() + 9 + band),
              (Bytes{0x1B, 0x4A, 0xFF, 0x1B, 0x4A, 9}));  // 264 rows
    EXPECT_EQ(out.back(), 0x0A);
}

// ---------------------------------------------------------------- commands and the job

TEST(PicturePrint, ReceiptCommands) {
    EXPECT_EQ(CutCommand(CutMode::Partial), (Bytes{0x1D, 0x56, 0x42, 0x00}));
    EXPECT_EQ(CutCommand(CutMode::Full), (Bytes{0x1D, 0x56, 0x41, 0x00}));
    EXPECT_TRUE(CutCommand(CutMode::None).empty());
    EXPECT_EQ(CutModeFromName("full"), CutMode::Full);
    EXPECT_EQ(CutModeFromName("Full"), std::nullopt);
    Bytes feed;
    AppendPaperFeed(0, &feed);
    EXPECT_TRUE(feed.empty());
    AppendPaperFeed(256, &feed);
    EXPECT_EQ(feed, (Bytes{0x1B, 0x4A, 0xFF, 0x1B, 0x4A, 0x01}));
    EXPECT_EQ(CashDrawerPulse(1), (Bytes{0x1B, 0x70, 0x00, 30, 50}));
    EXPECT_EQ(CashDrawerPulse(2, 500), (Bytes{0x1B, 0x70, 0x01, 250, 250}));
    EXPECT_EQ(CashDrawerPulse(1, 10000), (Bytes{0x1B, 0x70, 0x00, 255, 255}));
}

TEST(PicturePrint, JobPiecesInOrder) {
    PicturePrintOptions o;
    o.align = PictureAlign::Right;
    o.cut = CutMode::Full;
    o.drawer = 2;
    o.method = HalftoneMethod::M3;
    const PicturePrintBuild b = BuildPicturePrintJob(Flat(1024, 100, 0), o);
    ASSERT_EQ(b.status, PicturePrintBuild::Status::Built);
    EXPECT_EQ(b.job.documentName, "Picture");
    EXPECT_EQ(b.size.width, 512u);
    EXPECT_EQ(b.size.height, 50u);
    ASSERT_EQ(b.job.pieces.size(), 5u);
    EXPECT_EQ(b.job.pieces[0], (Bytes{0x1B, 0x40, 0x1B, 0x61, 0x02, 0x1B, 0x33, 0x18}));
    EXPECT_EQ(b.job.pieces[1].size(), 3 * (6 + 3 * 512u));  // 50 rows: three bands
    EXPECT_EQ(b.job.pieces[2], (Bytes{0x1B, 0x32, 0x1B, 0x61, 0x00}));
    EXPECT_EQ(b.job.pieces[3], CutCommand(CutMode::Full));
    EXPECT_EQ(b.job.pieces[4], CashDrawerPulse(2));
}

TEST(PicturePrint, WhitePictureWithoutCutSendsNoBandsAndNoCut) {
    PicturePrintOptions o;
    o.cut = CutMode::None;
    const PicturePrintBuild b = BuildPicturePrintJob(Flat(40, 40, 255), o);
    ASSERT_EQ(b.status, PicturePrintBuild::Status::Built);
    ASSERT_EQ(b.job.pieces.size(), 2u);
    EXPECT_EQ(b.job.pieces[1], PicturePrintEnd());
}

TEST(PicturePrint, RefusesEmptyAndOverlongPictures) {
    EXPECT_EQ(BuildPicturePrintJob(GreyImage{}, {}).status, PicturePrintBuild::Status::Empty);
    PicturePrintOptions fit;
    fit.fit = true;
    fit.printableWidth = 8;
    // 1 x 12501 enlarged to 8 wide would be 100008 rows; 1 x 12500 is exactly the limit.
    const PicturePrintBuild b = BuildPicturePrintJob(Flat(1, 12501, 0), fit);
    EXPECT_EQ(b.status, PicturePrintBuild::Status::TooLong);
    EXPECT_TRUE(b.job.pieces.empty());
    EXPECT_EQ(BuildPicturePrintJob(Flat(1, 12500, 0), fit).status,
              PicturePrintBuild::Status::Built);
}

}  // namespace
}  // namespace krv
