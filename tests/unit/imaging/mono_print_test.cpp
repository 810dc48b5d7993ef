#include <random>

#include <gtest/gtest.h>

#include "imaging/mono_print.h"
#include "tests/common/test_bitmaps.h"

namespace krv {
namespace {

using test::kBlack;
using test::kWhite;
using test::Mono1File;
using test::Rgb;
using test::ScratchFolder;
using test::SourceOf;

// ---------------------------------------------------------------- NormalizeMonoRows

TEST(NormalizeMonoRows, InvertsThePictureAndClearsEverythingElse) {
    struct Case {
        int width;
        uint8_t lastImageByte;
    } cases[] = {{9, 0x80}, {10, 0xC0}, {15, 0xFE}, {16, 0xFF}};
    for (const auto& c : cases) {
        uint8_t rows[8] = {0x00, 0x00, 0xAB, 0xCD, 0x0F, 0xF0, 0x12, 0x34};
        NormalizeMonoRows(rows, c.width, 4, 2);
        for (int y = 0; y < 2; ++y) {
            EXPECT_EQ(rows[4 * y + 1], c.lastImageByte & static_cast<uint8_t>(~(y ? 0xF0 : 0x00)))
                << c.width;
            EXPECT_EQ(rows[4 * y + 2], 0);
            EXPECT_EQ(rows[4 * y + 3], 0);
        }
        EXPECT_EQ(rows[0], 0xFF);
        EXPECT_EQ(rows[4], 0xF0);
    }
}

// ---------------------------------------------------------------- ReadMonoForPrint

// A 10 x 20 picture whose black pixels form a known pattern (x + 2y) % 5 == 0, stored with
// either polarity.
bool Black(int x, int y) {
    return (x + 2 * y) % 5 == 0;
}
Bytes Pattern(bool normal, int w = 10, int h = 20) {
    // Normal: entry 0 black, so a black pixel is a clear bit. Reversed: a set bit.
    return normal ? Mono1File(
                        w, h, [](int x, int y) { return !Black(x, y); }, kBlack, kWhite)
                  : Mono1File(w, h, Black, kWhite, kBlack);
}

bool DotAt(const MonoRaster& r, int x, int storedRow) {
    return r.rows[storedRow * r.stride + x / 8] & (0x80 >> (x % 8));
}

TEST(ReadMonoForPrint, BothPolaritiesPrintTheSameDots) {
    ScratchFolder dir;
    for (bool normal : {true, false}) {
        const auto r = ReadMonoForPrint(dir.Write("p.bmp", Pattern(normal)), true, 8);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->stride, 4u);
        EXPECT_EQ(r->height, 20u);
        EXPECT_EQ(r->paddedHeight, 24u);
        ASSERT_EQ(r->rows.size(), 4u * 24);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(DotAt(*r, x, y), y < 20 && x < 10 && Black(x, y))
                    << "normal=" << normal << " x=" << x << " y=" << y;
    }
}

TEST(ReadMonoForPrint, PadsToTheEncodersRowMultiple) {
    ScratchFolder dir;
    const auto path = dir.Write("p.bmp", Pattern(true, 16, 25));
    EXPECT_EQ(ReadMonoForPrint(path, true, kColumnRowMultiple)->paddedHeight, 32u);
    EXPECT_EQ(ReadMonoForPrint(path, true, kBandRowMultiple)->paddedHeight, 48u);
}

TEST(ReadMonoForPrint, PolarityIsTestedOnlyWhenAsked) {
    ScratchFolder dir;
    const auto grey =
        dir.Write("grey.bmp", Mono1File(
                                  8, 1, [](int x, int) { return x < 4; }, Rgb{60, 60, 60}, kWhite));
    EXPECT_FALSE(ReadMonoForPrint(grey, true, 8));
    const auto r = ReadMonoForPrint(grey, false, 8);  // taken as Normal: inverted
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rows[0], 0x0F);
    const auto red =
        dir.Write("red.bmp", Mono1File(
                                 8, 1, [](int, int) { return true; }, Rgb{255, 0, 0}, kWhite));
    EXPECT_FALSE(ReadMonoForPrint(red, true, 8));
}

struct MonoDamage {
    const char* name;
    void (*apply)(Bytes&);
};

TEST(ReadMonoForPrint, RefusesWhatIsNotASmallOneBitBitmap) {
    const MonoDamage refused[] = {
        {"wrong magic", [](Bytes& b) { b[1] = 'A'; }},
        {"8 bits", [](Bytes& b) { b[28] = 8; }},
        {"shorter than 62 bytes", [](Bytes& b) { b.resize(61); }},
        {"zero width", [](Bytes& b) { test::Put32(b, 18, 0); }},
        {"wider than 1024", [](Bytes& b) { test::Put32(b, 18, 1025); }},
        {"higher than 768", [](Bytes& b) { test::Put32(b, 22, 769); }},
        {"4 GB promised", [](Bytes& b) { test::Put32(b, 18, 0x7FFFFFFF); }},
    };
    ScratchFolder dir;
    for (const auto& d : refused) {
        Bytes file = Pattern(true);
        d.apply(file);
        EXPECT_FALSE(ReadMonoForPrint(dir.Write("d.bmp", file), true, 8)) << d.name;
    }
    EXPECT_FALSE(ReadMonoForPrint(dir.Path("missing.bmp"), false, 8));
}

// Dots the file lacks are blank on paper with either palette: with entry 0 black the stored
// bits are inverted, and a missing byte must not become eight black dots.
TEST(ReadMonoForPrint, ReadsOnlyWhatTheFileHoldsAndTheHeaderAnnounces) {
    ScratchFolder dir;
    for (const bool normal : {true, false}) {
        const Bytes whole = Pattern(normal);
        const auto full = ReadMonoForPrint(dir.Write("f.bmp", whole), true, 8);
        ASSERT_TRUE(full);
        struct Case {
            const char* name;
            size_t fileBytes;    // bytes of the file kept
            uint32_t announced;  // header file size
            size_t bytesRead;    // row bytes expected to arrive, in stored order
        } cases[] = {
            {"truncated after 5 rows", 62 + 5 * 4, static_cast<uint32_t>(whole.size()), 5 * 4},
            {"truncated inside row 5", 62 + 5 * 4 + 1, static_cast<uint32_t>(whole.size()),
             5 * 4 + 1},
            {"header announces 3 rows", whole.size(), 62 + 3 * 4, 3 * 4},
            {"header size below 62", whole.size(), 10, 0},
            {"header announces 1 GB", whole.size(), 0x40000000, 20 * 4},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (normal ? ", entry 0 black" : ", entry 0 white"));
            Bytes file(whole.begin(), whole.begin() + c.fileBytes);
            test::Put32(file, 2, c.announced);
            const auto r = ReadMonoForPrint(dir.Write("t.bmp", file), true, 8);
            ASSERT_TRUE(r);
            ASSERT_EQ(r->rows.size(), full->rows.size());
            for (size_t i = 0; i < r->rows.size(); ++i)
                ASSERT_EQ(r->rows[i], i < c.bytesRead ? full->rows[i] : 0) << i;
        }
    }
}

// The page admits pictures up to 1024 x 768 (checked when a row is added); the print reader
// checks the same limit again on its own.
TEST(LogoPictureLimits, PrintReaderTakesTheLargestAndRefusesOneMore) {
    struct Case {
        int width;
        int height;
        bool admitted;
    } cases[] = {
        {kMaxLogoWidth, kMaxLogoHeight, true},
        {kMaxLogoWidth + 1, 1, false},
        {1, kMaxLogoHeight + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        ScratchFolder dir;
        const std::u16string path = dir.Write("logo.bmp", SourceOf(1, c.width, c.height));
        for (const int multiple : {kColumnRowMultiple, kBandRowMultiple})
            EXPECT_EQ(ReadMonoForPrint(path, true, multiple).has_value(), c.admitted);
    }
}

// ---------------------------------------------------------------- encoders

MonoRaster RasterOf(int width, int height, int multiple, unsigned seed) {
    std::mt19937 rng(seed);
    MonoRaster r;
    r.width = width;
    r.stride = (width + 31) / 32 * 4;
    r.height = height;
    r.paddedHeight = (height + multiple - 1) / multiple * multiple;
    r.rows.assign(static_cast<size_t>(r.stride) * r.paddedHeight, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (rng() % 3 == 0) r.rows[y * r.stride + x / 8] |= 0x80 >> (x % 8);
    return r;
}

TEST(EncodeColumnBitImage, TenByTwentyPlacesThePictureAtTheBottom) {
    ScratchFolder dir;
    // One black dot at the picture's top-left corner (stored row 19, x 0).
    const auto path = dir.Write(
        "c.bmp", Mono1File(
                     10, 20, [](int x, int y) { return x == 0 && y == 19; }, kWhite, kBlack));
    const ColumnBitImage image = EncodeColumnBitImage(*ReadMonoForPrint(path, true, 8));
    EXPECT_EQ(image.x, 4u);
    EXPECT_EQ(image.y, 3u);
    ASSERT_EQ(image.data.size(), 8u * 4 * 3);
    // Field rows 0..3 are blank; the dot is field row 4: column 0, byte 0, bit 7 - 4.
    Bytes expected(96, 0);
    expected[0] = 0x08;
    EXPECT_EQ(image.data, expected);
}

TEST(EncodeColumnBitImage, BlankColumnsOfTheRowPaddingAreSent) {
    ScratchFolder dir;
    const auto path =
        dir.Write("b.bmp", Mono1File(
                               10, 8, [](int, int) { return false; }, kBlack, kWhite));
    const ColumnBitImage image = EncodeColumnBitImage(*ReadMonoForPrint(path, true, 8));
    ASSERT_EQ(image.data.size(), 32u);
    for (int c = 0; c < 32; ++c)
        EXPECT_EQ(image.data[c], c < 10 ? 0xFF : 0x00) << c;  // all black, then padding
}

// Decoders of the two column formats, written from their definitions.
bool ColumnDot(const ColumnBitImage& im, uint32_t fieldRow, uint32_t column) {
    return im.data[column * im.y + fieldRow / 8] & (0x80 >> (fieldRow % 8));
}

TEST(EncodeColumnBitImage, RoundTripsEveryDot) {
    for (auto [w, h] : {std::pair{1, 1}, {33, 1}, {100, 50}, {64, 17}, {250, 9}}) {
        const MonoRaster r = RasterOf(w, h, 8, w * 7 + h);
        const ColumnBitImage im = EncodeColumnBitImage(r);
        ASSERT_EQ(im.data.size(), 8ull * im.x * im.y);
        for (uint32_t row = 0; row < 8 * im.y; ++row)
            for (uint32_t c = 0; c < 8 * im.x; ++c)
                ASSERT_EQ(ColumnDot(im, row, c), DotAt(r, c, 8 * im.y - 1 - row))
                    << w << "x" << h << " row " << row << " column " << c;
    }
}

TEST(EncodeBandBitImage, SixteenByTwentyFourIsOneBand) {
    ScratchFolder dir;
    const auto path = dir.Write(
        "b.bmp", Mono1File(
                     16, 24, [](int x, int y) { return x == 0 && y == 23; }, kWhite, kBlack));
    const auto raster = ReadMonoForPrint(path, true, kBandRowMultiple);
    const Bytes bands = EncodeBandBitImage(*raster);
    ASSERT_EQ(bands.size(), 5u + 96 + 1);
    EXPECT_EQ(Bytes(bands.begin(), bands.begin() + 5), (Bytes{0x1B, 0x2A, 0x21, 0x20, 0x00}));
    EXPECT_EQ(bands[5], 0x80);  // the top-left dot: column 0, first byte, bit 7
    EXPECT_EQ(bands.back(), 0x0A);
    EXPECT_EQ(BandCount(*raster), 1u);
}

TEST(EncodeBandBitImage, RoundTripsEveryDot) {
    for (auto [w, h] : {std::pair{1, 1}, {16, 24}, {40, 25}, {300, 50}}) {
        const MonoRaster r = RasterOf(w, h, 24, w + h);
        const Bytes out = EncodeBandBitImage(r);
        const uint32_t n = 8 * r.stride, bands = (h + 23) / 24;
        ASSERT_EQ(out.size(), bands * (6 + 3ull * n));
        for (uint32_t b = 0; b < bands; ++b) {
            const uint8_t* band = out.data() + b * (6 + 3 * n);
            ASSERT_EQ(band[3] | band[4] << 8, static_cast<int>(n));
            ASSERT_EQ(band[5 + 3 * n], 0x0A);
            for (uint32_t c = 0; c < n; ++c)
                for (uint32_t row = 0; row < 24; ++row) {
                    const bool dot = band[5 + 3 * c + row / 8] & (0x80 >> (row % 8));
                    ASSERT_EQ(dot, DotAt(r, c, 24 * bands - 1 - (24 * b + row)));
                }
        }
    }
}

// ---------------------------------------------------------------- grey planes

TEST(EncodeGreyPlanes, OddHeightAddsFourZeroPlaneRows) {
    ScratchFolder dir;
    // Width 3: stride 4, the fourth byte is padding (written as 0 = black on purpose).
    const auto path = dir.Write("g.bmp", test::Grey8File(3, 3, [](int x, int y) {
                                    return static_cast<uint8_t>(y == 2 && x == 0 ? 200 : 255);
                                }));
    const auto planes = EncodeGreyPlanes(path);
    ASSERT_TRUE(planes);
    EXPECT_EQ(planes->widthBytes, 1u);
    EXPECT_EQ(planes->heightUnits, 2u);
    ASSERT_EQ(planes->data.size(), 16u);
    // Top pixel row (stored row 2), pixel 0 level 200: darkness 0011 0111 -> planes 0, 0, 1, 1.
    EXPECT_EQ(Bytes(planes->data.begin(), planes->data.begin() + 4),
              (Bytes{0x00, 0x00, 0x80, 0x80}));
    for (size_t i = 4; i < 16; ++i)
        EXPECT_EQ(planes->data[i], 0) << i;  // white picture rows, then the four zero rows
}

TEST(EncodeGreyPlanes, RoundTripsTheHighNibbleOfTheDarkness) {
    ScratchFolder dir;
    std::mt19937 rng(3);
    for (auto [width, height] : {std::pair{1, 1}, {9, 2}, {100, 50}, {13, 7}}) {
        const int w = width, h = height;  // named copies a lambda can capture
        std::vector<uint8_t> levels(w * h);
        for (auto& v : levels)
            v = static_cast<uint8_t>(rng());
        const auto path = dir.Write(
            "r.bmp", test::Grey8File(w, h, [&](int x, int y) { return levels[y * w + x]; }));
        const auto planes = EncodeGreyPlanes(path);
        ASSERT_TRUE(planes);
        const uint32_t s8 = (w + 3) / 4 * 4;
        ASSERT_EQ(planes->widthBytes, (s8 + 7) / 8);
        ASSERT_EQ(planes->heightUnits, (4u * h + 7) / 8);
        for (int top = 0; top < h; ++top)
            for (uint32_t x = 0; x < 8 * planes->widthBytes; ++x) {
                int nibble = 0;
                for (int k = 0; k < 4; ++k) {
                    const uint8_t byte = planes->data[(4 * top + k) * planes->widthBytes + x / 8];
                    nibble = nibble << 1 | ((byte >> (7 - x % 8)) & 1);
                }
                const int expected =
                    x < static_cast<uint32_t>(w) ? (255 - levels[(h - 1 - top) * w + x]) >> 4 : 0;
                ASSERT_EQ(nibble, expected) << w << "x" << h << " top " << top << " x " << x;
            }
    }
}

TEST(EncodeGreyPlanes, RefusesWhatIsNotAWholeGreyBitmap) {
    ScratchFolder dir;
    const Bytes good = test::Grey8File(6, 4, [](int x, int) { return static_cast<uint8_t>(x); });
    const MonoDamage refused[] = {
        {"wrong magic", [](Bytes& b) { b[0] = 'X'; }},
        {"24 bits", [](Bytes& b) { b[28] = 24; }},
        {"compressed", [](Bytes& b) { b[30] = 1; }},
        {"row missing", [](Bytes& b) { b.resize(b.size() - 8); }},
        {"4 GB promised", [](Bytes& b) { test::Put32(b, 22, 0x7FFFFFFF); }},
    };
    ASSERT_TRUE(EncodeGreyPlanes(dir.Write("ok.bmp", good)));
    for (const auto& d : refused) {
        Bytes file = good;
        d.apply(file);
        EXPECT_FALSE(EncodeGreyPlanes(dir.Write("d.bmp", file))) << d.name;
    }
}

}  // namespace
}  // namespace krv
