#include "pictures/picture_decode.h"

#include <gtest/gtest.h>

#include "tests/common/test_bitmaps.h"
#include "tests/common/picture_files.h"

namespace krv {
namespace {

using test::JpegOf;
using test::PictureBytes;
using test::PngFile;
using test::PngOf;
using test::Rgba;

Rgba Gradient(int x, int y) {
    return {static_cast<uint8_t>(x * 37), static_cast<uint8_t>(y * 53), static_cast<uint8_t>(x * y),
            255};
}

// The 24-bit bitmap of RGB pixels (top row first), written by the tests' own BMP writer.
std::vector<uint8_t> BmpOfRgb(int w, int h, const std::vector<uint8_t>& rgb) {
    return test::Rgb24File(w, h, [&](int x, int storedRow) {
        const uint8_t* p = &rgb[(static_cast<size_t>(h - 1 - storedRow) * w + x) * 3];
        return test::Rgb{p[0], p[1], p[2]};
    });
}

std::vector<uint8_t> RgbOf(int w, int h, const test::RgbaFunction& f) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba p = f(x, y);
            rgb.insert(rgb.end(), {p.r, p.g, p.b});
        }
    return rgb;
}

TEST(PictureDecode, FormatsAreKnownBySignatureOnly) {
    EXPECT_EQ(SniffPictureFormat(PngOf(1, 1, Gradient)), PictureFormat::Png);
    EXPECT_EQ(SniffPictureFormat(JpegOf(1, 1, Gradient)), PictureFormat::Jpeg);
    EXPECT_EQ(SniffPictureFormat(test::Rgb24File(1, 1, [](int, int) { return test::kWhite; })),
              PictureFormat::Bmp);
    const uint8_t text[] = "just text";
    EXPECT_EQ(SniffPictureFormat(text), PictureFormat::Unknown);
    EXPECT_EQ(SniffPictureFormat({}), PictureFormat::Unknown);
    GreyImage grey;
    EXPECT_EQ(DecodePictureToGrey(text, {}, &grey).error, PictureError::UnknownFormat);
}

// A PNG gives exactly the 24-bit bitmap of the same pixels, headers included, and grey rows
// holding each pixel's luminance.
TEST(PictureDecode, PngIsTheBitmapOfTheSamePicture) {
    const int w = 13, h = 7;  // odd width: the bitmap rows carry padding
    const PictureBytes png = PngOf(w, h, Gradient);
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(DecodePictureToBmp24(png, {}, &bmp).ok());
    EXPECT_EQ(bmp, BmpOfRgb(w, h, RgbOf(w, h, Gradient)));

    GreyImage grey;
    ASSERT_TRUE(DecodePictureToGrey(png, {}, &grey).ok());
    ASSERT_EQ(grey.width, 13u);
    ASSERT_EQ(grey.height, 7u);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba p = Gradient(x, y);
            ASSERT_EQ(grey.Row(y)[x], (p.r * 299 + p.g * 587 + p.b * 114) / 1000) << x << "," << y;
        }
}

// Every PNG colour type and depth arrives as the same 8-bit RGB, transparency over white.
struct PngForm {
    const char* name;
    int colorType;
    int bitDepth;
    bool interlaced;
};

class PngForms : public ::testing::TestWithParam<PngForm> {};

TEST_P(PngForms, DecodeToTheirRgbOverWhite) {
    const PngForm f = GetParam();
    const int w = 11, h = 9;
    const int maxValue = (1 << f.bitDepth) - 1;
    // Sample value v of the form's depth, and what it means in 8 bits.
    auto sample = [&](int x, int y) { return (x * 5 + y * 3) % (maxValue + 1); };
    auto eight = [&](int v) {
        return f.bitDepth == 16 ? (v * 255 + 32767) / 65535 : v * 255 / maxValue;
    };
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha;
    if (f.colorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i <= maxValue; ++i)
            palette.push_back({static_cast<uint8_t>(i * 16), static_cast<uint8_t>(255 - i * 8),
                               static_cast<uint8_t>(i)});
        paletteAlpha = {0, 128};  // entry 0 transparent, entry 1 half
    }
    const PictureBytes png = PngFile(
        w, h, f.colorType, f.bitDepth, f.interlaced,
        [&](int x, int y, uint16_t* s) {
            const int v = sample(x, y);
            s[0] = s[1] = s[2] = static_cast<uint16_t>(v);
            s[1] = static_cast<uint16_t>(maxValue - v);  // RGB: green differs
            if (f.colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
                s[1] = static_cast<uint16_t>(maxValue / 3);
            if (f.colorType == PNG_COLOR_TYPE_RGB_ALPHA) s[3] = static_cast<uint16_t>(maxValue / 2);
        },
        palette, paletteAlpha);
    std::vector<uint8_t> expected;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = sample(x, y);
            uint8_t r, g, b, a = 255;
            switch (f.colorType) {
                case PNG_COLOR_TYPE_PALETTE:
                    r = palette[v].red, g = palette[v].green, b = palette[v].blue;
                    a = v < 2 ? paletteAlpha[v] : 255;
                    break;
                case PNG_COLOR_TYPE_GRAY:
                    r = g = b = static_cast<uint8_t>(eight(v));
                    break;
                case PNG_COLOR_TYPE_GRAY_ALPHA:
                    r = g = b = static_cast<uint8_t>(eight(v));
                    a = static_cast<uint8_t>(eight(maxValue / 3));
                    break;
                default:
                    r = b = static_cast<uint8_t>(eight(v));
                    g = static_cast<uint8_t>(eight(maxValue - v));
                    if (f.colorType == PNG_COLOR_TYPE_RGB_ALPHA)
                        a = static_cast<uint8_t>(eight(maxValue / 2));
                    break;
            }
            expected.insert(expected.end(), {OverWhite(r, a), OverWhite(g, a), OverWhite(b, a)});
        }
    std::vector<uint8_t> bmp;
    const PictureResult result = DecodePictureToBmp24(png, {}, &bmp);
    ASSERT_TRUE(result.ok()) << PictureErrorMessage(result);
    EXPECT_EQ(bmp, BmpOfRgb(w, h, expected));
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, PngForms,
    ::testing::Values(PngForm{"grey1", PNG_COLOR_TYPE_GRAY, 1, false},
                      PngForm{"grey4", PNG_COLOR_TYPE_GRAY, 4, false},
                      PngForm{"grey16", PNG_COLOR_TYPE_GRAY, 16, false},
                      PngForm{"greyAlpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
                      PngForm{"palette2Transparent", PNG_COLOR_TYPE_PALETTE, 2, false},
                      PngForm{"rgb16", PNG_COLOR_TYPE_RGB, 16, false},
                      PngForm{"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false},
                      PngForm{"rgba16Interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 16, true}),
    [](const ::testing::TestParamInfo<PngForm>& info) { return info.param.name; });

TEST(PictureDecode, OverWhiteRounds) {
    EXPECT_EQ(OverWhite(0, 0), 255);
    EXPECT_EQ(OverWhite(0, 255), 0);
    EXPECT_EQ(OverWhite(0, 128), 127);  // 255 x 127 / 255
    EXPECT_EQ(OverWhite(1, 128), 128);  // (128 + 255 x 127) / 255 = 127.5 rounds up
}

// A JPEG gives the pixels libjpeg decodes from it, in all three colour forms it comes in.
TEST(PictureDecode, JpegIsThePictureLibjpegDecodes) {
    for (const bool progressive : {false, true}) {
        const PictureBytes jpeg = JpegOf(17, 9, Gradient, 3, 85, progressive);
        int w = 0, h = 0;
        const auto rgb = test::JpegPixels(jpeg, &w, &h);
        std::vector<uint8_t> bmp;
        ASSERT_TRUE(DecodePictureToBmp24(jpeg, {}, &bmp).ok());
        EXPECT_EQ(bmp, BmpOfRgb(w, h, rgb)) << "progressive " << progressive;
    }
    const PictureBytes grey = JpegOf(
        8, 8,
        [](int x, int) {
            return Rgba{uint8_t(x * 30), 0, 0, 0};
        },
        1);
    GreyImage out;
    ASSERT_TRUE(DecodePictureToGrey(grey, {}, &out).ok());
    int w = 0, h = 0;
    const auto rgb = test::JpegPixels(grey, &w, &h);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(out.Row(3)[x], rgb[(3 * 8 + x) * 3]);  // a grey level is its own luminance
}

TEST(PictureDecode, AdobeCmykJpegHoldsInvertedInks) {
    // Stored values are 255 - ink: (255, 255, 255, 255) is no ink at all, (255, 0, 255, 255)
    // full magenta; quality 100 keeps flat colours exact to a level or two.
    const PictureBytes jpeg = JpegOf(
        16, 8,
        [](int x, int) {
            return x < 8 ? Rgba{255, 255, 255, 255} : Rgba{255, 0, 255, 255};
        },
        4, 100);
    GreyImage grey;
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(DecodePictureToBmp24(jpeg, {}, &bmp).ok());
    const uint8_t* bottomRow = bmp.data() + 54;  // blue, green, red
    EXPECT_NEAR(bottomRow[0], 255, 2);
    EXPECT_NEAR(bottomRow[1], 255, 2);
    EXPECT_NEAR(bottomRow[2], 255, 2);
    const uint8_t* magenta = bottomRow + 3 * 12;
    EXPECT_NEAR(magenta[0], 255, 2);
    EXPECT_NEAR(magenta[1], 0, 2);
    EXPECT_NEAR(magenta[2], 255, 2);
}

// A cut file is refused whole, wherever it is cut; nothing is left in the output.
TEST(PictureDecode, TruncatedFilesAreRefused) {
    const PictureBytes png = PngOf(40, 30, Gradient);
    const PictureBytes jpeg = JpegOf(40, 30, Gradient);
    for (const PictureBytes* file : {&png, &jpeg}) {
        for (const size_t keep : {size_t{8}, size_t{40}, file->size() / 2, file->size() - 1}) {
            const PictureBytes cut(file->begin(), file->begin() + keep);
            std::vector<uint8_t> bmp;
            const PictureResult r = DecodePictureToBmp24(cut, {}, &bmp);
            EXPECT_NE(r.error, PictureError::None) << keep;
            EXPECT_TRUE(bmp.empty());
            GreyImage grey;
            DecodePictureToGrey(cut, {}, &grey);
            EXPECT_TRUE(grey.pixels.empty());
            EXPECT_EQ(grey.width, 0u);
        }
    }
    const PictureBytes cut(png.begin(), png.begin() + png.size() / 2);
    GreyImage grey;
    EXPECT_EQ(DecodePictureToGrey(cut, {}, &grey).error, PictureError::Truncated);
    const PictureBytes cutJpeg(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
    EXPECT_EQ(DecodePictureToGrey(cutJpeg, {}, &grey).error, PictureError::Truncated);
}

TEST(PictureDecode, DamagedPngIsMalformedWithLibpngsReason) {
    PictureBytes png = PngOf(4, 4, Gradient);
    png[30] ^= 0xFF;  // the IHDR's CRC no longer matches
    GreyImage grey;
    const PictureResult r = DecodePictureToGrey(png, {}, &grey);
    EXPECT_EQ(r.error, PictureError::Malformed);
    EXPECT_FALSE(r.detail.empty());
    EXPECT_NE(PictureErrorMessage(r).find(r.detail), std::string::npos);
}

// Sizes a file announces are refused before anything of that size is allocated: a claim of
// 60000 x 60000 (3.6 G pixels) answers at once.
TEST(PictureDecode, AnnouncedSizesBeyondTheLimitsAreRefused) {
    PictureBytes png = PngOf(4, 4, Gradient);
    test::SetPngSize(png, 60000, 60000);
    PictureBytes jpeg = JpegOf(16, 16, Gradient);
    test::SetJpegSize(jpeg, 60000, 60000);
    for (const PictureBytes* file : {&png, &jpeg}) {
        GreyImage grey;
        EXPECT_EQ(DecodePictureToGrey(*file, {}, &grey).error, PictureError::TooLarge);
    }
    // Each limit on its own: width, height and pixel count.
    const PictureBytes small = PngOf(30, 20, Gradient);
    GreyImage grey;
    EXPECT_EQ(DecodePictureToGrey(small, {29, 100, 1000}, &grey).error, PictureError::TooLarge);
    EXPECT_EQ(DecodePictureToGrey(small, {100, 19, 1000}, &grey).error, PictureError::TooLarge);
    EXPECT_EQ(DecodePictureToGrey(small, {100, 100, 599}, &grey).error, PictureError::TooLarge);
    EXPECT_TRUE(DecodePictureToGrey(small, {30, 20, 600}, &grey).ok());
}

// A picture within generous limits whose 24-bit bitmap could not be a file (over 4 GiB of
// rows) is refused by the bitmap form before any buffer is sized.
TEST(PictureDecode, BitmapFormRefusesWhatNoBitmapFileHolds) {
    PictureBytes png = PngOf(4, 4, Gradient);
    test::SetPngSize(png, 40000, 40000);
    const PictureLimits huge{100000, 100000, 100000ull * 100000};
    std::vector<uint8_t> bmp;
    EXPECT_EQ(DecodePictureToBmp24(png, huge, &bmp).error, PictureError::TooLarge);
    EXPECT_TRUE(bmp.empty());
}

}  // namespace
}  // namespace krv
