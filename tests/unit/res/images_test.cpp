// The committed bitmaps and icons: the sizes and colour depth the pages and the fonts tree
// rely on, consistent headers, masks that really make the icons transparent, and the rotated
// page really being the upright one turned by 180 degrees.
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "res/resource_ids.h"

namespace {

namespace fs = std::filesystem;

fs::path ImagesFolder() {
    return fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "res" /
           "images";
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0xFFFFFFFFu;
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? U16(b, at) | U16(b, at + 2) << 16 : 0xFFFFFFFFu;
}
int32_t I32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(U32(b, at));
}

// Bytes per row of a 4-bit bitmap, padded to whole 32-bit words.
constexpr uint32_t Stride4(uint32_t width) {
    return (width * 4 + 31) / 32 * 4;
}

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
constexpr size_t kPalette16 = 16 * 4;

struct BitmapCase {
    const char* file;
    int resourceId;
    int32_t width;
    int32_t height;
};

class BitmapFile : public testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapFile, IsAnUncompressedSixteenColourBitmapOfItsSize) {
    const BitmapCase& c = GetParam();
    const std::vector<uint8_t> b = ReadFile(ImagesFolder() / c.file);
    ASSERT_GE(b.size(), kFileHeader + kInfoHeader + kPalette16) << c.file;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size()) << "file size field";
    EXPECT_EQ(U32(b, 10), kFileHeader + kInfoHeader + kPalette16) << "pixel offset";
    EXPECT_EQ(U32(b, 14), kInfoHeader);
    EXPECT_EQ(I32(b, 18), c.width);
    EXPECT_EQ(I32(b, 22), c.height) << "positive: stored bottom-up";
    EXPECT_EQ(U16(b, 26), 1u) << "planes";
    EXPECT_EQ(U16(b, 28), 4u) << "bits per pixel";
    EXPECT_EQ(U32(b, 30), 0u) << "uncompressed";
    const uint32_t pixels = Stride4(c.width) * c.height;
    EXPECT_EQ(U32(b, 34), pixels) << "image size field";
    EXPECT_EQ(b.size(), kFileHeader + kInfoHeader + kPalette16 + pixels);
    const uint32_t used = U32(b, 46);
    EXPECT_TRUE(used == 0 || used == 16) << used;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BitmapFile,
    testing::Values(BitmapCase{"page_upright.bmp", IDB_PAGE_UPRIGHT, 76, 76},
                    BitmapCase{"page_rotated.bmp", IDB_PAGE_ROTATED, 76, 76},
                    BitmapCase{"binding_long_edge.bmp", IDB_BINDING_LONG_EDGE, 180, 180},
                    BitmapCase{"binding_none.bmp", IDB_BINDING_NONE, 102, 180},
                    BitmapCase{"binding_short_edge.bmp", IDB_BINDING_SHORT_EDGE, 150, 247}),
    [](const auto& info) { return "Bitmap" + std::to_string(info.param.resourceId); });

// Palette index of pixel (x, y), y counted from the top of the picture.
int PixelAt(const std::vector<uint8_t>& b, int x, int y) {
    const int32_t width = I32(b, 18);
    const int32_t height = I32(b, 22);
    const size_t row = kFileHeader + kInfoHeader + kPalette16 + Stride4(width) * (height - 1 - y);
    const uint8_t pair = b.at(row + x / 2);
    return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

TEST(PagePictures, RotatedPageIsTheUprightPageTurnedBy180Degrees) {
    const std::vector<uint8_t> upright = ReadFile(ImagesFolder() / "page_upright.bmp");
    const std::vector<uint8_t> rotated = ReadFile(ImagesFolder() / "page_rotated.bmp");
    ASSERT_EQ(upright.size(), rotated.size());
    ASSERT_EQ(I32(upright, 18), 76);
    ASSERT_EQ(I32(upright, 22), 76);
    int differing = 0;
    for (int y = 0; y < 76; ++y) {
        for (int x = 0; x < 76; ++x) {
            EXPECT_EQ(PixelAt(rotated, x, y), PixelAt(upright, 75 - x, 75 - y)) << x << "," << y;
            differing += PixelAt(rotated, x, y) != PixelAt(upright, x, y);
        }
    }
    EXPECT_GT(differing, 100) << "an upright picture that looks the same turned over";
}

class IconFile : public testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(IconFile, IsOneSixteenPixelSixteenColourImageWithAMask) {
    const std::vector<uint8_t> b = ReadFile(ImagesFolder() / GetParam().first);
    constexpr uint32_t kXor = 16 * Stride4(16);
    constexpr uint32_t kAnd = 16 * 4;  // 16 mask bits padded to a 32-bit word per row
    constexpr uint32_t kImage = kInfoHeader + kPalette16 + kXor + kAnd;
    ASSERT_EQ(b.size(), 6 + 16 + kImage);
    EXPECT_EQ(U16(b, 0), 0u);
    EXPECT_EQ(U16(b, 2), 1u) << "an icon, not a cursor";
    EXPECT_EQ(U16(b, 4), 1u) << "one image";
    EXPECT_EQ(b[6], 16);
    EXPECT_EQ(b[7], 16);
    EXPECT_EQ(b[8], 16) << "colour count";
    EXPECT_EQ(U16(b, 12), 4u) << "bits per pixel in the directory";
    EXPECT_EQ(U32(b, 14), kImage);
    EXPECT_EQ(U32(b, 18), 22u);
    EXPECT_EQ(I32(b, 22 + 4), 16);
    EXPECT_EQ(I32(b, 22 + 8), 32) << "colour and mask heights together";
    EXPECT_EQ(U16(b, 22 + 14), 4u);
    // The mask must make part of the square transparent, and never all of it.
    int transparent = 0;
    const size_t mask = 22 + kInfoHeader + kPalette16 + kXor;
    for (int row = 0; row < 16; ++row) {
        transparent += std::popcount(static_cast<unsigned>(U16(b, mask + row * 4)));
        EXPECT_EQ(U16(b, mask + row * 4 + 2), 0u) << "padding bits of row " << row;
    }
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, 16 * 16 * 3 / 4) << "a nearly empty icon";
}

INSTANTIATE_TEST_SUITE_P(
    FontTreeImages, IconFile,
    testing::Values(std::pair{"printer.ico", IDI_FONT_ROOT_PRINTER},
                    std::pair{"printer_arrow_card.ico", IDI_FONT_GROUP_PRINTER},
                    std::pair{"page_and_printer.ico", IDI_FONT_SIZE_PAGE}),
    [](const auto& info) { return "Icon" + std::to_string(info.param.second); });

// The committed files are exactly what the script draws today.
TEST(ImageScript, CommittedFilesAreUpToDate) {
    if (std::system("python3 --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    const fs::path script =
        ImagesFolder().parent_path().parent_path() / "scripts" / "make-res-images.py";
    EXPECT_EQ(std::system(("python3 '" + script.string() + "' --check").c_str()), 0);
}

}  // namespace
