#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "docpages/watermark_bitmap.h"
#include "docpages/watermark_files.h"
#include "tests/unit/watermark/watermark_test_files.h"

namespace krv::watermark_test {
namespace {

// ---------------------------------------------------------------- the work file's path

struct PathCase {
    const char* name;
    std::u16string folder;
    std::u16string printer;
    std::u16string expected;
};

class WorkFilePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(WorkFilePathTest, JoinsFolderSeparatorPrinterAndSuffix) {
    const PathCase& c = GetParam();
    EXPECT_EQ(WatermarkWorkFilePath(c.folder, c.printer), c.expected);
}

// Folder, separator, printer and "1.bmp" that come to exactly `length` characters.
PathCase OfLength(const char* name, size_t length) {
    const std::u16string folder = u"C:\\Temp\\";
    const std::u16string printer(length - folder.size() - 1 - 5, u'P');
    const std::u16string expected = folder + u"\\" + printer + u"1.bmp";
    return {name, folder, printer, length < 260 ? expected : u""};
}

INSTANTIATE_TEST_SUITE_P(
    WatermarkWorkFile, WorkFilePathTest,
    ::testing::Values(PathCase{"DoubledSeparatorIsKept", u"C:\\Users\\u\\AppData\\Local\\Temp\\",
                               u"KRV-M857", u"C:\\Users\\u\\AppData\\Local\\Temp\\\\KRV-M8571.bmp"},
                      PathCase{"ChinesePrinterName", u"C:\\Temp\\", u"收据打印机",
                               u"C:\\Temp\\\\收据打印机1.bmp"},
                      PathCase{"NoTemporaryFolder", u"", u"KRV-M857", u""},
                      PathCase{"NameLeadingOutOfTheFolderIsRefused", u"C:\\Temp\\",
                               u"\\\\srv\\..\\..\\Windows\\x", u""},
                      OfLength("LongestThatFitsWithItsTerminator", 259),
                      OfLength("OneTooLong", 260), OfLength("FarTooLong", 4000)),
    [](const auto& info) { return std::string(info.param.name); });

// Only the folders below the temporary folder that the name's separators make; nothing for a
// name with a part that could lead elsewhere.
TEST(WatermarkWorkFileFolders, AreThoseOfThePrinterNameBelowTheTemporaryFolder) {
    const std::u16string t = u"C:\\T\\";
    struct Case {
        std::u16string printer;
        bool refused;
        std::vector<std::u16string> folders;
    };
    const Case cases[] = {
        {u"KRV-M857", false, {}},
        {u"\\\\srv\\queue", false, {t + u"srv"}},
        {u"\\\\srv\\share\\queue", false, {t + u"srv", t + u"srv\\share"}},
        {u"a..b\\q.1", false, {t + u"a..b"}},
        {u"..\\queue", true, {}},
        {u"\\\\srv\\.\\queue", true, {}},
        {u"C:\\queue", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.printer.begin(), c.printer.end()));
        const auto folders = WatermarkWorkFileFolders(t, c.printer);
        ASSERT_EQ(folders.has_value(), !c.refused);
        if (folders) {
            EXPECT_EQ(*folders, c.folders);
        }
    }
}

#ifdef _WIN32
TEST(WatermarkWorkFile, LiesInTheTemporaryFolder) {
    const std::u16string folder = watermark_files::TemporaryFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), u'\\');
    EXPECT_EQ(WatermarkWorkFile(u"KRV"), folder + u"\\KRV1.bmp");
}
#else
TEST(WatermarkWorkFile, LiesInTheTemporaryFolder) {
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", "/var/tmp/krv", 1);
    EXPECT_EQ(WatermarkWorkFile(u"KRV"), u"/var/tmp/krv/\\KRV1.bmp");
    setenv("TMPDIR", "/var/tmp/krv/", 1);
    EXPECT_EQ(watermark_files::TemporaryFolder(), u"/var/tmp/krv/");
    unsetenv("TMPDIR");
    EXPECT_EQ(watermark_files::TemporaryFolder(), u"/tmp/");
    if (old) setenv("TMPDIR", saved.c_str(), 1);
}
#endif

// ---------------------------------------------------------------- the text watermark file

using TextWatermarkFileTest = ScratchFolder;

constexpr size_t kCanvasPixels = 300 * 300;

// A canvas whose every pixel is different, so a shifted or reordered pixel shows.
std::vector<uint8_t> Canvas(CanvasPixels format) {
    const size_t step = static_cast<size_t>(format);
    std::vector<uint8_t> pixels(kCanvasPixels * step);
    for (size_t i = 0; i < kCanvasPixels; ++i) {
        pixels[step * i] = static_cast<uint8_t>(i);
        pixels[step * i + 1] = static_cast<uint8_t>(i >> 8);
        pixels[step * i + 2] = static_cast<uint8_t>(i >> 16);
        if (step == 4) pixels[step * i + 3] = 0x99;  // the unused byte of a 32-bit read-back
    }
    return pixels;
}

TEST_F(TextWatermarkFileTest, WritesTheFixedHeadersAndThreeBytesOfEveryPixel) {
    for (CanvasPixels format : {CanvasPixels::Bgra32, CanvasPixels::Bgr24}) {
        const auto pixels = Canvas(format);
        ASSERT_TRUE(WriteTextWatermarkFile(Wide("PRN1.bmp"), pixels, format));

        const auto file = ReadBytes(Path("PRN1.bmp"));
        ASSERT_EQ(file.size(), 270054u);
        const std::vector<uint8_t> headers{
            'B', 'M', 0xE6, 0x1E, 0x04, 0, 0, 0, 0,    0, 54, 0, 0, 0,  // 270,054 = 0x41EE6
            40,  0,   0,    0,    0x2C, 1, 0, 0, 0x2C, 1, 0,  0,        // 40, 300, 300
            1,   0,   24,   0};                                         // 1 plane, 24 bits
        EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 30), headers);
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + 30, file.begin() + 54),
                  std::vector<uint8_t>(24, 0));
        const size_t step = static_cast<size_t>(format);
        for (size_t i = 0; i < kCanvasPixels; ++i) {
            ASSERT_EQ(file[54 + 3 * i], pixels[step * i]) << "pixel " << i;
            ASSERT_EQ(file[54 + 3 * i + 1], pixels[step * i + 1]) << "pixel " << i;
            ASSERT_EQ(file[54 + 3 * i + 2], pixels[step * i + 2]) << "pixel " << i;
        }
    }
}

TEST_F(TextWatermarkFileTest, ReplacesAnEarlierLongerFile) {
    WriteBytes(Path("PRN1.bmp"), std::vector<uint8_t>(400000, 7));
    ASSERT_TRUE(
        WriteTextWatermarkFile(Wide("PRN1.bmp"), Canvas(CanvasPixels::Bgr24), CanvasPixels::Bgr24));
    EXPECT_EQ(ReadBytes(Path("PRN1.bmp")).size(), 270054u);
}

TEST_F(TextWatermarkFileTest, RefusesAnythingButAWholeCanvas) {
    for (size_t size :
         {size_t{0}, kCanvasPixels * 4 - 1, kCanvasPixels * 4 + 4, kCanvasPixels * 3}) {
        const std::vector<uint8_t> pixels(size, 0xFF);
        EXPECT_FALSE(WriteTextWatermarkFile(Wide("PRN1.bmp"), pixels, CanvasPixels::Bgra32))
            << size << " bytes";
        EXPECT_TRUE(TextWatermarkFileBytes(pixels, CanvasPixels::Bgra32).empty());
    }
    EXPECT_FALSE(std::filesystem::exists(Path("PRN1.bmp")));
}

TEST_F(TextWatermarkFileTest, FailsWhenTheFileCannotBeCreated) {
    const auto pixels = Canvas(CanvasPixels::Bgr24);
    EXPECT_FALSE(WriteTextWatermarkFile(Wide("missing/PRN1.bmp"), pixels, CanvasPixels::Bgr24));
    // The path of a temporary folder too long for the work file's buffer is empty.
    EXPECT_FALSE(WriteTextWatermarkFile(u"", pixels, CanvasPixels::Bgr24));
}

}  // namespace
}  // namespace krv::watermark_test
