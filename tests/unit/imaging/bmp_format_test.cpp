// Bitmaps as today's painting programs write them (longer information headers, pixels where
// the header says, rows from the top, short palettes) read by every reader exactly as the
// same picture in the 40-byte layout.
#include <gtest/gtest.h>

#include "channel/ansi_text.h"
#include "devpages/logo_rows.h"
#include "imaging/bmp_format.h"
#include "imaging/logo_convert.h"
#include "imaging/mono_print.h"
#include "tests/common/test_bitmaps.h"

namespace krv {
namespace {

using test::Layout;
using test::Relayout;
using test::Rgb;
using test::ScratchFolder;

Bytes Colour(int w, int h) {
    return test::Rgb24File(w, h, [](int x, int y) {
        return Rgb{static_cast<uint8_t>(x * 23 + y), static_cast<uint8_t>(y * 41), 200};
    });
}
// Uses only the first 16 palette entries, so the palette can be cut to them.
Bytes Grey(int w, int h) {
    return test::Grey8File(w, h, [](int x, int y) { return static_cast<uint8_t>(x + 3 * y); });
}
// Entry 0 white: read from the wrong place the palette has no polarity, or the other one.
Bytes Mono(int w, int h) {
    return test::Mono1File(
        w, h, [](int x, int y) { return (x * y + x) % 3 == 0; }, test::kWhite, test::kBlack);
}

struct NamedLayout {
    const char* name;
    Layout layout;
};
const NamedLayout kLayouts[] = {
    {"108-byte header", {108}},
    {"124-byte header", {124}},
    {"top-down", {40, true}},
    {"124-byte header, top-down, gap before the pixels", {124, true, 0, 6}},
};

// ---------------------------------------------------------------- the reader itself

TEST(ReadBitmap, TakesThePixelsWhereTheHeadersLeaveRoomForThem) {
    const Bytes mono = Mono(10, 3);
    struct Case {
        const char* name;
        Bytes file;
        BitmapStatus status;
        uint64_t dataOffset;
        size_t paletteEntries;
    } cases[] = {
        {"124-byte header", Relayout(mono, {124}), BitmapStatus::Ok, 146, 2},
        {"8-bit palette of 16 entries", Relayout(Grey(5, 2), {40, false, 16}), BitmapStatus::Ok,
         118, 16},
        {"12-byte header",
         [&] {
             Bytes b = mono;
             test::Put32(b, 14, 12);
             return b;
         }(),
         BitmapStatus::Unsupported, 0, 0},
        {"4 bits",
         [&] {
             Bytes b = mono;
             b[28] = 4;
             return b;
         }(),
         BitmapStatus::Unsupported, 0, 0},
    };
    for (const Case& c : cases) {
        BitmapView view;
        ASSERT_EQ(ReadBitmap(c.file, &view), c.status) << c.name;
        if (c.status != BitmapStatus::Ok) continue;
        EXPECT_EQ(view.dataOffset, c.dataOffset) << c.name;
        EXPECT_EQ(view.PaletteEntries(), c.paletteEntries) << c.name;
        EXPECT_TRUE(view.HoldsEveryRow()) << c.name;
    }
}

TEST(ReadBitmap, AnOffsetFieldThatMakesNoSenseFallsBackOnlyForTheFortyByteLayout) {
    // The 40-byte layout's offset field is not needed to find its pixels: files with any
    // value there keep being read from 62, as always.
    for (const uint32_t field : {0u, 20u, 5000u}) {
        Bytes file = Mono(10, 3);
        test::Put32(file, 10, field);
        BitmapView view;
        ASSERT_EQ(ReadBitmap(file, &view), BitmapStatus::Ok) << field;
        EXPECT_EQ(view.dataOffset, 62u) << field;
    }
    // After a 124-byte header nothing else is known: pixels inside the headers are refused.
    Bytes v5 = Relayout(Mono(10, 3), {124});
    test::Put32(v5, 10, 62);
    BitmapView view;
    EXPECT_EQ(ReadBitmap(v5, &view), BitmapStatus::Malformed);
}

TEST(ReadBitmap, TopDownRowsAreAddressedFromTheBottomAndAShortFileLacksTheBottomRows) {
    const Bytes whole = Relayout(Grey(4, 3), {40, true});
    const Bytes file(whole.begin(), whole.end() - 4);
    BitmapView view;
    ASSERT_EQ(ReadBitmap(file, &view), BitmapStatus::Ok);
    EXPECT_TRUE(view.topDown);
    EXPECT_EQ(view.height, 3u);
    EXPECT_EQ(view.RowBytesHeld(0), 0u) << "the bottom row is the last in the file";
    EXPECT_EQ(view.RowBytesHeld(2), 4u);
    EXPECT_EQ(view.Row(2)[1], 1 + 3 * 2) << "stored row 2 is the top row";
}

// ---------------------------------------------------------------- every reader

enum class Reader { ColourToGrey, GreyToGrey, MonoToGrey, ColourToMono, GreyToMono };

struct ReaderCase {
    Reader reader;
    Bytes (*source)(int, int);
};

ConvertResult Convert(Reader reader, BitmapBytes source, const std::u16string& work) {
    switch (reader) {
        case Reader::ColourToGrey:
            return ConvertRgb24ToGrey8(source, work, 20, -10);
        case Reader::GreyToGrey:
            return ConvertGrey8ToGrey8(source, work, 20, -10);
        case Reader::MonoToGrey:
            return ConvertMono1ToGrey8(source, work, 20, -10);
        default:
            return HalftoneToMono(source, work, HalftoneMethod::ErrorDiffusion, 20, -10);
    }
}

class EveryLayout : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(EveryLayout, GivesTheWorkFileOfTheFortyByteLayout) {
    const ReaderCase& c = GetParam();
    ScratchFolder dir;
    const Bytes plain = c.source(13, 5);
    ASSERT_EQ(Convert(c.reader, plain, dir.Path("plain.bmp")).code, kConvertWritten);
    const Bytes expected = ScratchFolder::Read(dir.Path("plain.bmp"));
    std::vector<NamedLayout> layouts(std::begin(kLayouts), std::end(kLayouts));
    if (c.source == Grey) layouts.push_back({"palette of 16 entries", {40, false, 16}});
    for (const NamedLayout& l : layouts) {
        const std::u16string work = dir.Path("work.bmp");
        ASSERT_EQ(Convert(c.reader, Relayout(plain, l.layout), work).code, kConvertWritten)
            << l.name;
        EXPECT_EQ(ScratchFolder::Read(work), expected) << l.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Converters, EveryLayout,
                         ::testing::Values(ReaderCase{Reader::ColourToGrey, Colour},
                                           ReaderCase{Reader::GreyToGrey, Grey},
                                           ReaderCase{Reader::MonoToGrey, Mono},
                                           ReaderCase{Reader::ColourToMono, Colour},
                                           ReaderCase{Reader::GreyToMono, Grey}));

TEST(EveryLayoutForPrinting, ReadMonoForPrintSeesTheSamePicture) {
    const Bytes mono = Mono(20, 11);
    const auto expected = ReadMonoForPrint(mono, true, kBandRowMultiple);
    ASSERT_TRUE(expected);
    for (const NamedLayout& l : kLayouts) {
        const auto m = ReadMonoForPrint(Relayout(mono, l.layout), true, kBandRowMultiple);
        ASSERT_TRUE(m) << l.name;
        EXPECT_EQ(m->rows, expected->rows) << l.name;
    }
}

TEST(EveryLayoutForPrinting, TheSizeCheckCountsTopDownRows) {
    ScratchFolder dir;
    const auto tall = dir.Write("tall.bmp", Relayout(Mono(8, 769), {40, true}));
    EXPECT_EQ(CheckLogoSource(tall, LogoMode::BlackWhite).message, kMsgLogoTooLarge);
    const auto fits = dir.Write("fits.bmp", Relayout(Mono(8, 768), {40, true}));
    EXPECT_TRUE(CheckLogoSource(fits, LogoMode::BlackWhite).accepted);
}

// ---------------------------------------------------------------- work file names

TEST(LogoWorkFile, ReplacesTheLastFourCharacters) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"D:\\pics\\logo.bmp", u"D:\\pics\\logoTemp.bmp"},
        {u"x.bmp", u"xTemp.bmp"},
        {u"x.BMP", u"xTemp.bmp"},
        {u"/tmp/图标.bmp", u"/tmp/图标Temp.bmp"},
        {u"/tmp/小图标志", u"/tmp/Temp.bmp"},
        // four characters of two code units each: a pair is never cut in two
        {u"/tmp/\U0001F5BC\U0001F5BC\U0001F5BC\U0001F5BC", u"/tmp/Temp.bmp"},
        {u"/tmp/\U0001F5BC.bmp", u"/tmp/\U0001F5BCTemp.bmp"},
        {u"ab", u"abTemp.bmp"},  // never the source itself
        {u"xTemp.bmp", u"xTempTemp.bmp"},
    };
    for (const auto& [source, work] : cases)
        EXPECT_EQ(LogoWorkFile(source), work) << Utf16ToUtf8(source);
}

}  // namespace
}  // namespace krv
