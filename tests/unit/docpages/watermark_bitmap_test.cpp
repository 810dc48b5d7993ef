#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "docpages/watermark_bitmap.h"
#include "files/files.h"
#include "tests/common/test_bitmaps.h"

namespace krv {
namespace {

using test::BmpSource;
using test::GetLe;
using test::MakeBmp;
using test::PutLe;
using test::ScratchFolderTest;

using ConvertBitmapTo24Test = ScratchFolderTest;

// Two entries: 0 = (blue 1, green 2, red 3), 1 = (4, 5, 6).
const std::vector<uint8_t> kMonoPalette{1, 2, 3, 0, 4, 5, 6, 0};

// Palette entry i of the 8-bit tests: blue i, green 255 - i, red i / 2.
std::vector<uint8_t> GreyishPalette() {
    std::vector<uint8_t> p;
    for (int i = 0; i < 256; ++i)
        p.insert(p.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0});
    return p;
}

// Expected headers of a converted palette source: fields as read, except those the
// conversion changes.
void ExpectConvertedHeaders(const std::vector<uint8_t>& out, const std::vector<uint8_t>& in,
                            uint32_t rowBytes, uint32_t height) {
    ASSERT_GE(out.size(), 54u);
    EXPECT_EQ(out[0], 'B');
    EXPECT_EQ(out[1], 'M');
    EXPECT_EQ(GetLe(out, 2, 4), rowBytes * height + 54);
    EXPECT_EQ(GetLe(out, 6, 4), GetLe(in, 6, 4));  // reserved words
    EXPECT_EQ(GetLe(out, 10, 4), 54u);
    EXPECT_EQ(GetLe(out, 28, 2), 24u);
    EXPECT_EQ(GetLe(out, 34, 4), 0u);
    for (size_t at : {14, 18, 22, 26, 30, 38, 42, 46, 50})  // everything else as read
        EXPECT_EQ(GetLe(out, at, 4 - (at == 26 ? 2 : 0)), GetLe(in, at, 4 - (at == 26 ? 2 : 0)))
            << "header byte " << at;
    EXPECT_EQ(out.size(), size_t(rowBytes) * height + 54);
}

TEST_F(ConvertBitmapTo24Test, MonoWidthTenGivesThirtyPixelBytesAndTwoWhitePadBytes) {
    // Row 0 (bottom): pixels 1 0 1 0 1 0 1 0 1 0; row 1: 0 1 1 0 0 0 0 0 0 1. The unused bits
    // of each source row are set, to show they are not drawn.
    const std::vector<uint8_t> rows{0xAA, 0xBF, 0xFF, 0xFF, 0x60, 0x7F, 0xFF, 0xFF};
    const auto in = MakeBmp({62, 1, 10, 2, kMonoPalette, rows, 0, 40, 2});
    Put(Path("mono.bmp"), in);

    EXPECT_EQ(ConvertBitmapTo24(Path("mono.bmp"), Path("out.bmp")), WatermarkConvertResult::Done);

    const auto out = Read(Path("out.bmp"));
    ExpectConvertedHeaders(out, in, 32, 2);
    const std::vector<int> bits[2] = {{1, 0, 1, 0, 1, 0, 1, 0, 1, 0},
                                      {0, 1, 1, 0, 0, 0, 0, 0, 0, 1}};
    std::vector<uint8_t> expected;
    for (const auto& row : bits) {
        for (int bit : row)
            expected.insert(expected.end(), kMonoPalette.begin() + 4 * bit,
                            kMonoPalette.begin() + 4 * bit + 3);
        expected.insert(expected.end(), {0xFF, 0xFF});
    }
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 54, out.end()), expected);
}

TEST_F(ConvertBitmapTo24Test, MonoRowsWiderThanOneReadChunkKeepEveryPixel) {
    // 40,000 pixels a row: the conversion works through such a row in several pieces.
    const int32_t width = 40000;
    const size_t sourceRow = (width / 8 + 3) / 4 * 4;
    std::vector<uint8_t> rows(sourceRow * 2);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<uint8_t>(i * 37 + 11);
    Put(Path("wide.bmp"), MakeBmp({62, 1, width, 2, kMonoPalette, rows}));

    ASSERT_EQ(ConvertBitmapTo24(Path("wide.bmp"), Path("out.bmp")), WatermarkConvertResult::Done);

    const auto out = Read(Path("out.bmp"));
    const size_t targetRow = width * 3;  // a multiple of 4
    ASSERT_EQ(out.size(), 54 + 2 * targetRow);
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < width; x += 997) {
            const int bit = (rows[row * sourceRow + x / 8] >> (7 - x % 8)) & 1;
            const size_t at = 54 + row * targetRow + 3 * size_t(x);
            ASSERT_EQ(out[at], kMonoPalette[4 * bit]) << "row " << row << " pixel " << x;
            ASSERT_EQ(out[at + 2], kMonoPalette[4 * bit + 2]);
        }
    }
}

TEST_F(ConvertBitmapTo24Test, IndexedWidthThreeSkipsSourcePaddingAndPadsWithZeros) {
    // Source rows: 3 indices and one padding byte that must not become a pixel.
    const std::vector<uint8_t> rows{0, 128, 255, 0xEE, 7, 8, 9, 0xEE};
    const auto palette = GreyishPalette();
    const auto in = MakeBmp({1078, 8, 3, 2, palette, rows});
    Put(Path("grey.bmp"), in);

    EXPECT_EQ(ConvertBitmapTo24(Path("grey.bmp"), Path("out.bmp")), WatermarkConvertResult::Done);

    const auto out = Read(Path("out.bmp"));
    ExpectConvertedHeaders(out, in, 12, 2);
    std::vector<uint8_t> expected;
    for (int index : {0, 128, 255, -1, 7, 8, 9, -1}) {
        if (index < 0)
            expected.insert(expected.end(), {0, 0, 0});
        else
            expected.insert(expected.end(), palette.begin() + 4 * index,
                            palette.begin() + 4 * index + 3);
    }
    EXPECT_EQ(std::vector<uint8_t>(out.begin() + 54, out.end()), expected);
}

TEST_F(ConvertBitmapTo24Test, TrueColourSourceIsCopiedByteForByteAndLeftWritable) {
    std::vector<uint8_t> pixels(5 * 4 * 3);  // 5 x 3 pixels, 15 bytes + 1 pad a row... any bytes
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 7);
    auto in = MakeBmp({54, 24, 5, 3, {}, pixels});
    in.push_back(0x42);  // even trailing bytes travel along
    Put(Path("true.bmp"), in);
    namespace fs = std::filesystem;
    fs::permissions(Path("true.bmp"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Put(Path("out.bmp"), std::vector<uint8_t>(500, 0x11));

    EXPECT_EQ(ConvertBitmapTo24(Path("true.bmp"), Path("out.bmp")), WatermarkConvertResult::Done);

    EXPECT_EQ(Read(Path("out.bmp")), in);
    EXPECT_NE(fs::status(Path("out.bmp")).permissions() & fs::perms::owner_write, fs::perms::none)
        << "a read-only copy could not be replaced next time";
    // ... and so the next conversion can replace it.
    EXPECT_EQ(ConvertBitmapTo24(Path("true.bmp"), Path("out.bmp")), WatermarkConvertResult::Done);
    fs::permissions(Path("true.bmp"), fs::perms::owner_write, fs::perm_options::add);
}

// The same picture with a longer information header, rows from the top, pixels after a gap or
// a short palette: the same target, header fields included (but the colours-used count a short
// palette needs).
TEST_F(ConvertBitmapTo24Test, EveryLayoutGivesTheTargetOfTheFortyByteLayout) {
    std::vector<uint8_t> indices(8 * 3);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<uint8_t>(i % 5 ? i : 200);  // 200: beyond a short palette
    const std::vector<uint8_t> sources[] = {
        MakeBmp({62, 1, 10, 3, kMonoPalette,
                 std::vector<uint8_t>{0xA5, 0x40, 0, 0, 0x0F, 0xC0, 0, 0, 0xFF, 0x00, 0, 0}}),
        MakeBmp({1078, 8, 7, 3, GreyishPalette(), indices}),
        MakeBmp({54, 24, 5, 3, {}, std::vector<uint8_t>(16 * 3, 0x5A)}),
    };
    const test::Layout layouts[] = {{108}, {124, true, 0, 6}, {40, true}};
    for (const auto& source : sources) {
        Put(Path("plain.bmp"), source);
        ASSERT_EQ(ConvertBitmapTo24(Path("plain.bmp"), Path("plain24.bmp")),
                  WatermarkConvertResult::Done);
        auto expected = Read(Path("plain24.bmp"));
        std::vector<test::Layout> all(std::begin(layouts), std::end(layouts));
        if (source[28] == 8) all.push_back({40, false, 16});
        for (const test::Layout& layout : all) {
            SCOPED_TRACE(std::to_string(source[28]) + " bits, header " +
                         std::to_string(layout.infoSize) + (layout.topDown ? ", top-down" : "") +
                         (layout.paletteEntries ? ", short palette" : ""));
            Put(Path("in.bmp"), test::Relayout(source, layout));
            ASSERT_EQ(ConvertBitmapTo24(Path("in.bmp"), Path("out.bmp")),
                      WatermarkConvertResult::Done);
            auto out = Read(Path("out.bmp"));
            if (layout.paletteEntries) {
                // Indices past the 16 entries the short palette holds have no colour: black.
                PutLe(out, 46, 0, 4);
                for (size_t i = 0; i < indices.size(); ++i)
                    if (i % 8 < 7 && indices[i] >= 16)
                        PutLe(expected, 54 + 24 * (i / 8) + 3 * (i % 8), 0, 3);
            }
            EXPECT_EQ(out, expected);
        }
    }
}

struct UnusableCase {
    const char* name;
    BmpSource source;
    size_t keepBytes;  // 0: the whole file; otherwise the file is cut to this many bytes
    bool wrongMagic;
};

class UnusableSourceTest : public ScratchFolderTest,
                           public ::testing::WithParamInterface<UnusableCase> {};

// The work file the rendering side prints from stays whole: an unusable source changes nothing.
TEST_P(UnusableSourceTest, GivesZeroAndLeavesTheTargetAsItWas) {
    const UnusableCase& c = GetParam();
    auto bytes = MakeBmp(c.source);
    if (c.keepBytes) bytes.resize(c.keepBytes);
    if (c.wrongMagic) bytes[1] = 'A';
    Put(Path("in.bmp"), bytes);
    Put(Path("out.bmp"), std::vector<uint8_t>(100, 0x11));  // an earlier work file

    EXPECT_EQ(ConvertBitmapTo24(Path("in.bmp"), Path("out.bmp")),
              WatermarkConvertResult::SourceUnusable);
    EXPECT_EQ(Read(Path("out.bmp")), std::vector<uint8_t>(100, 0x11));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(SystemPath("")), {}), 2)
        << "nothing is left beside the target";
}

const std::vector<uint8_t> kTwoRowsOfMono(8, 0xF0);
const std::vector<uint8_t> kTwoRowsOfIndexed(8, 3);

INSTANTIATE_TEST_SUITE_P(
    ConvertBitmapTo24, UnusableSourceTest,
    ::testing::Values(
        UnusableCase{"WrongMagic", {62, 1, 10, 2, kMonoPalette, kTwoRowsOfMono}, 0, true},
        UnusableCase{"ShorterThanFileHeader", {62, 1, 10, 2, kMonoPalette, {}}, 10, false},
        UnusableCase{"ShortInfoHeader", {62, 1, 10, 2, kMonoPalette, {}}, 40, false},
        UnusableCase{"ThirtyTwoBit", {54, 32, 2, 2, {}, std::vector<uint8_t>(16)}, 0, false},
        UnusableCase{"SixteenBit", {54, 16, 2, 2, {}, std::vector<uint8_t>(8)}, 0, false},
        UnusableCase{"FourBit", {118, 4, 8, 2, std::vector<uint8_t>(64), kTwoRowsOfMono}, 0, false},
        UnusableCase{"IndexedWithShortPalette",
                     {118, 8, 4, 2, std::vector<uint8_t>(64), kTwoRowsOfIndexed},
                     0,
                     false},
        // Pixels at 62 but eight bits deep: read as 1-bit it would be garbage.
        UnusableCase{
            "IndexedWithTwoColoursAt62", {62, 8, 4, 2, kMonoPalette, kTwoRowsOfIndexed}, 0, false},
        UnusableCase{
            "RunLengthIndexed", {1078, 8, 4, 2, GreyishPalette(), kTwoRowsOfIndexed, 1}, 0, false},
        UnusableCase{"NegativeWidthIndexed",
                     {1078, 8, -4, 2, GreyishPalette(), kTwoRowsOfIndexed},
                     0,
                     false},
        UnusableCase{"ZeroWidthMono", {62, 1, 0, 2, kMonoPalette, kTwoRowsOfMono}, 0, false},
        UnusableCase{"MonoPromisesMoreRowsThanItHolds",
                     {62, 1, 10, 1000, kMonoPalette, kTwoRowsOfMono},
                     0,
                     false},
        UnusableCase{"IndexedPromisesMoreRowsThanItHolds",
                     {1078, 8, 4, 3, GreyishPalette(), kTwoRowsOfIndexed},
                     0,
                     false},
        UnusableCase{"IndexedPaletteCutShort", {1078, 8, 4, 2, GreyishPalette(), {}}, 600, false},
        // A width whose rows would need gigabytes: refused before anything is allocated.
        UnusableCase{
            "HugeWidthMono", {62, 1, 0x7FFFFFFF, 1, kMonoPalette, kTwoRowsOfMono}, 0, false},
        UnusableCase{"HugeHeightIndexed",
                     {1078, 8, 4, 0x7FFFFFFF, GreyishPalette(), kTwoRowsOfIndexed},
                     0,
                     false},
        UnusableCase{
            "BiggerInfoHeaderAt62", {62, 1, 10, 2, kMonoPalette, kTwoRowsOfMono, 0, 108}, 0, false},
        // Neither the header's offset nor the 40-byte layout's finds both rows in the file.
        UnusableCase{"OffsetPastAShortFile",
                     {70, 1, 10, 2, kMonoPalette, std::vector<uint8_t>(4, 0xF0)},
                     0,
                     false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConvertBitmapTo24Test, MissingSourceGivesZeroAndLeavesTheTargetAlone) {
    Put(Path("out.bmp"), {1, 2, 3});
    EXPECT_EQ(ConvertBitmapTo24(Path("none.bmp"), Path("out.bmp")),
              WatermarkConvertResult::SourceUnusable);
    EXPECT_EQ(Read(Path("out.bmp")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(ConvertBitmapTo24Test, TargetThatCannotBeCreatedGivesTwo) {
    Put(Path("in.bmp"), MakeBmp({62, 1, 10, 2, kMonoPalette, kTwoRowsOfMono}));
    EXPECT_EQ(ConvertBitmapTo24(Path("in.bmp"), Path("no/such/folder/out.bmp")),
              WatermarkConvertResult::TargetNotCreated);
    EXPECT_EQ(ConvertBitmapTo24(Path("in.bmp"), u""), WatermarkConvertResult::TargetNotCreated);
}

TEST_F(ConvertBitmapTo24Test, ConvertingTheWorkFileOntoItselfKeepsIt) {
    // Browsing to the work file itself: it is held while being read, so it cannot be emptied
    // as the target, on any system.
    for (const auto& in : {MakeBmp({62, 1, 10, 2, kMonoPalette, kTwoRowsOfMono}),
                           MakeBmp({54, 24, 1, 1, {}, {1, 2, 3, 0}})}) {
        Put(Path("work.bmp"), in);
        EXPECT_EQ(ConvertBitmapTo24(Path("work.bmp"), Path("work.bmp")),
                  WatermarkConvertResult::TargetNotCreated);
        EXPECT_EQ(Read(Path("work.bmp")), in);
    }
}

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
    const std::u16string folder = TemporaryFolder();
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
    EXPECT_EQ(TemporaryFolder(), u"/var/tmp/krv/");
    unsetenv("TMPDIR");
    EXPECT_EQ(TemporaryFolder(), u"/tmp/");
    if (old) setenv("TMPDIR", saved.c_str(), 1);
}
#endif

// ---------------------------------------------------------------- the text watermark file

using TextWatermarkFileTest = ScratchFolderTest;

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
        ASSERT_TRUE(WriteTextWatermarkFile(Path("PRN1.bmp"), pixels, format));

        const auto file = Read(Path("PRN1.bmp"));
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
    Put(Path("PRN1.bmp"), std::vector<uint8_t>(400000, 7));
    ASSERT_TRUE(
        WriteTextWatermarkFile(Path("PRN1.bmp"), Canvas(CanvasPixels::Bgr24), CanvasPixels::Bgr24));
    EXPECT_EQ(Read(Path("PRN1.bmp")).size(), 270054u);
}

TEST_F(TextWatermarkFileTest, RefusesAnythingButAWholeCanvas) {
    for (size_t size :
         {size_t{0}, kCanvasPixels * 4 - 1, kCanvasPixels * 4 + 4, kCanvasPixels * 3}) {
        const std::vector<uint8_t> pixels(size, 0xFF);
        EXPECT_FALSE(WriteTextWatermarkFile(Path("PRN1.bmp"), pixels, CanvasPixels::Bgra32))
            << size << " bytes";
        EXPECT_TRUE(TextWatermarkFileBytes(pixels, CanvasPixels::Bgra32).empty());
    }
    EXPECT_FALSE(std::filesystem::exists(Path("PRN1.bmp")));
}

TEST_F(TextWatermarkFileTest, FailsWhenTheFileCannotBeCreated) {
    const auto pixels = Canvas(CanvasPixels::Bgr24);
    EXPECT_FALSE(WriteTextWatermarkFile(Path("missing/PRN1.bmp"), pixels, CanvasPixels::Bgr24));
    // The path of a temporary folder too long for the work file's buffer is empty.
    EXPECT_FALSE(WriteTextWatermarkFile(u"", pixels, CanvasPixels::Bgr24));
}

}  // namespace
}  // namespace krv
