#include <filesystem>

#include <gtest/gtest.h>

#include "pictures/picture_decode.h"
#include "printerapp/held_upload.h"
#include "printerapp/logo_store.h"

namespace krv::app {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Png(uint32_t width, uint32_t height) {
    GreyImage grey{width, height, std::vector<uint8_t>(size_t{width} * height)};
    for (size_t i = 0; i < grey.pixels.size(); ++i)
        grey.pixels[i] = static_cast<uint8_t>(i * 7);
    std::vector<uint8_t> png;
    EXPECT_TRUE(EncodeGreyPng(grey, &png).ok());
    return png;
}

class LogoStoreTest : public ::testing::Test {
  protected:
    void TearDown() override { fs::remove_all(folder_); }
    const std::string folder_ =
        (fs::temp_directory_path() / ("krv-logos-" + std::to_string(::getpid()))).string();
};

TEST_F(LogoStoreTest, RefusesWithThePagesMessagesAndKeepsNothing) {
    LogoStore store(folder_);
    store.Load();
    EXPECT_EQ(store.Add("wide.png", Png(1025, 1)).message, kMsgLogoTooLarge);
    EXPECT_EQ(store.Add("short.bmp", std::vector<uint8_t>{'B', 'M', 0}).message,
              kMsgCannotReadLogo);
    EXPECT_EQ(store.Add("a.txt", std::vector<uint8_t>(100, 'a')).message,
              "Only BMP, PNG and JPEG pictures can be logos.");
    EXPECT_EQ(store.Count(), 0u);
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(store.Add("l.png", Png(8, 8)).accepted);
    EXPECT_EQ(store.Add("tenth.png", Png(8, 8)).message, kMsgTooManyLogos);
    // The list, and nine pictures with their work bitmaps: nothing of the refused ones.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1 + 9 * 2);
}

// Only the confirmation of the upload held last finds it.
TEST(HeldUpload, OnlyTheLastTokenFindsTheFile) {
    const std::string folder = (fs::temp_directory_path() / "krv-held-test").string();
    HeldUpload upload(folder, "firmware");
    const std::string first = upload.Hold("a.bin", std::vector<uint8_t>{1, 2, 3});
    const std::string second = upload.Hold("b.bin", std::vector<uint8_t>{4});
    EXPECT_FALSE(upload.Find(first));
    EXPECT_FALSE(upload.Find(""));
    const auto held = upload.Find(second);
    ASSERT_TRUE(held);
    EXPECT_EQ(held->name, "b.bin");
    EXPECT_EQ(held->size, 1u);
    upload.Discard();
    EXPECT_FALSE(upload.Find(second));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace krv::app
