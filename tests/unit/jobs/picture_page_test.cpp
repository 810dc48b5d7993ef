#include <algorithm>

#include <gtest/gtest.h>

#include "jobs/picture_print.h"

namespace krv {
namespace {

GreyImage Picture(uint32_t width, uint32_t height, uint8_t level) {
    GreyImage g;
    g.width = width;
    g.height = height;
    g.pixels.assign(static_cast<size_t>(width) * height, level);
    return g;
}

Bytes Joined(const std::vector<Bytes>& pieces) {
    Bytes out;
    for (const Bytes& p : pieces)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A page of a longer job carries the very bands the one-picture job does.
TEST(PicturePage, HoldsTheBandsOfThePictureJob) {
    GreyImage picture = Picture(900, 70, 255);
    for (uint32_t y = 30; y < 50; ++y)
        for (uint32_t x = 0; x < 900; ++x)
            picture.Row(y)[x] = static_cast<uint8_t>(x % 256);
    PicturePrintOptions o;
    o.cut = CutMode::None;
    o.method = HalftoneMethod::M4;
    o.align = PictureAlign::Right;
    const PicturePrintBuild job = BuildPicturePrintJob(picture, o);
    ASSERT_EQ(job.status, PicturePrintBuild::Status::Built);
    Bytes page = {0xEE};  // what the caller wrote before stays
    ASSERT_EQ(AppendPicturePage(picture, o, false, &page), PicturePrintBuild::Status::Built);
    const Bytes whole = Joined(job.job.pieces);
    EXPECT_EQ(Bytes(page.begin() + 1, page.end()), Bytes(whole.begin() + 2, whole.end()));
    EXPECT_EQ(page[0], 0xEE);
    EXPECT_EQ(PicturePrintStart(PictureAlign::Right),
              (Bytes{0x1B, 0x40, 0x1B, 0x61, 0x02, 0x1B, 0x33, 0x18}));
}

// A fixed-length page feeds the paper below its last band with dots.
TEST(PicturePage, KeepingTheLengthFeedsTheBlankRest) {
    GreyImage picture = Picture(16, 300, 255);
    picture.Row(0)[0] = 0;  // one dot in the first band; the rest of the page is white
    PicturePrintOptions o;
    Bytes page;
    ASSERT_EQ(AppendPicturePage(picture, o, true, &page), PicturePrintBuild::Status::Built);
    Bytes expected = PictureBandsStart(PictureAlign::Centre);
    const size_t band = 5 + 3 * 16 + 1;
    expected.insert(expected.end(), page.begin() + 6, page.begin() + 6 + band);
    AppendPaperFeed(300 - 24, &expected);
    const Bytes end = PicturePrintEnd();
    expected.insert(expected.end(), end.begin(), end.end());
    EXPECT_EQ(page, expected);

    Bytes white;  // no dots at all: the whole length is paper
    ASSERT_EQ(AppendPicturePage(Picture(16, 30, 255), o, true, &white),
              PicturePrintBuild::Status::Built);
    Bytes feed;
    AppendPaperFeed(30, &feed);
    EXPECT_NE(std::search(white.begin(), white.end(), feed.begin(), feed.end()), white.end());
}

TEST(PicturePage, ARefusedPictureLeavesTheOutputAlone) {
    PicturePrintOptions o;
    o.fit = true;
    o.printableWidth = 8;
    Bytes page = {0x01};
    EXPECT_EQ(AppendPicturePage(Picture(1, 12501, 0), o, false, &page),
              PicturePrintBuild::Status::TooLong);
    EXPECT_EQ(AppendPicturePage(GreyImage{}, o, false, &page), PicturePrintBuild::Status::Empty);
    EXPECT_EQ(page, Bytes{0x01});
}

}  // namespace
}  // namespace krv
