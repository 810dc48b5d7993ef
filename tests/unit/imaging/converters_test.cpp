#include <gtest/gtest.h>

#include "imaging/bmp_format.h"
#include "imaging/file_io.h"
#include "imaging/logo_convert.h"
#include "imaging/mono_print.h"
#include "imaging/tone.h"
#include "tests/unit/imaging/test_bitmaps.h"

namespace krv {
namespace {

using testing::Grey8File;
using testing::Mono1File;
using testing::Rgb;
using testing::Rgb24File;
using testing::ScratchDir;

uint32_t U32At(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// ---------------------------------------------------------------- names and sizes

TEST(LogoWorkFile, ReplacesTheLastFourCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\pics\\logo.bmp", "D:\\pics\\logoTemp.bmp"},
        {"x.bmp", "xTemp.bmp"},
        {"x.BMP", "xTemp.bmp"},
        {"/tmp/图标.bmp", "/tmp/图标Temp.bmp"},
        {"/tmp/小图标志", "/tmp/Temp.bmp"},  // four characters of three bytes each
        {"ab", "abTemp.bmp"},                // never the source itself
        {"xTemp.bmp", "xTempTemp.bmp"},
    };
    for (const auto& [source, work] : cases)
        EXPECT_EQ(LogoWorkFile(source), work) << source;
}

TEST(FileIo, SizeByPathIsMinusOneForWhatCannotBeOpened) {
    ScratchDir dir;
    EXPECT_EQ(GetFileSizeByPath(dir.Write("seven", Bytes(7, 1))), 7);
    EXPECT_EQ(GetFileSizeByPath(dir.Write("empty", {})), 0);
    EXPECT_EQ(GetFileSizeByPath(dir.Path("missing")), -1);
    EXPECT_EQ(GetFileSizeByPath(dir.Path("")), -1);  // the folder itself
    EXPECT_TRUE(DeleteFileByPath(dir.Path("seven")));
    EXPECT_FALSE(DeleteFileByPath(dir.Path("seven")));
}

// ---------------------------------------------------------------- grey work bitmaps

TEST(GreyConverters, OnePixelWideColourGetsTheGreyLayoutWithZeroPadding) {
    ScratchDir dir;
    const auto src = dir.Write("one.bmp", Rgb24File(1, 3, [](int, int y) {
                                   return Rgb{static_cast<uint8_t>(100 + y), 50, 200};
                               }));
    const ConvertResult r = ConvertRgb24ToGrey8(src, LogoWorkFile(src), 0, 0);
    ASSERT_EQ(r.code, kConvertWritten);
    EXPECT_EQ(r.pathToUse, dir.Path("oneTemp.bmp"));
    const Bytes w = ScratchDir::Read(r.pathToUse);
    ASSERT_EQ(w.size(), 1078u + 4 * 3);
    EXPECT_EQ(w[0], 'B');
    EXPECT_EQ(w[1], 'M');
    EXPECT_EQ(U32At(w, 2), 1078u + 12);
    EXPECT_EQ(U32At(w, 6), 0u);
    EXPECT_EQ(U32At(w, 10), 1078u);
    EXPECT_EQ(U32At(w, 14), 40u);
    EXPECT_EQ(U32At(w, 18), 1u);
    EXPECT_EQ(U32At(w, 22), 3u);
    EXPECT_EQ(w[26] | w[27] << 8, 1);
    EXPECT_EQ(w[28] | w[29] << 8, 8);
    EXPECT_EQ(U32At(w, 30), 0u);
    EXPECT_EQ(U32At(w, 34), 12u);
    for (size_t i = 38; i < 54; ++i)
        EXPECT_EQ(w[i], 0) << i;
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(w[54 + 4 * i], i);
        ASSERT_EQ(w[57 + 4 * i], 0);
    }
    for (int y = 0; y < 3; ++y) {
        // Rows stay in stored order; blue 200, green 50, red 100 + y.
        EXPECT_EQ(w[1078 + 4 * y], (200 * 114 + (100 + y) * 299 + 50 * 587) / 1000);
        EXPECT_EQ(w[1079 + 4 * y], 0);
        EXPECT_EQ(w[1080 + 4 * y], 0);
        EXPECT_EQ(w[1081 + 4 * y], 0);
    }
}

TEST(GreyConverters, GreyIgnoresThePaletteAndAdjusts) {
    ScratchDir dir;
    Bytes src = Grey8File(5, 2, [](int x, int y) { return static_cast<uint8_t>(x * 50 + y); });
    for (size_t i = 54; i < 1078; ++i)
        src[i] = 0x33;  // a palette of nonsense: the bytes are grey levels anyway
    const auto path = dir.Write("g.bmp", src);
    ASSERT_EQ(ConvertGrey8ToGrey8(path, LogoWorkFile(path), 100, 0).code, kConvertWritten);
    const Bytes w = ScratchDir::Read(LogoWorkFile(path));
    ASSERT_EQ(w.size(), 1078u + 8 * 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(w[1078 + 8 * y + x], AdjustLevel(x * 50 + y, 100, 0));
}

TEST(GreyConverters, MonoFollowsThePalettePolarity) {
    // Pixel 0 set, pixel 1 clear.
    auto bits = [](int x, int) { return x == 0; };
    struct Case {
        Rgb entry0, entry1;
        uint8_t setPixel, clearPixel;
    } cases[] = {
        {testing::kBlack, testing::kWhite, 255, 0},     // set bit is white
        {testing::kWhite, testing::kBlack, 0, 255},     // inverted
        {Rgb{90, 90, 90}, Rgb{200, 200, 200}, 0, 255},  // no polarity: inverted as well
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const auto path = dir.Write("m.bmp", Mono1File(2, 1, bits, c.entry0, c.entry1));
        ASSERT_EQ(ConvertMono1ToGrey8(path, LogoWorkFile(path), 0, 0).code, kConvertWritten);
        const Bytes w = ScratchDir::Read(LogoWorkFile(path));
        ASSERT_EQ(w.size(), 1078u + 4);
        EXPECT_EQ(w[1078], c.setPixel);
        EXPECT_EQ(w[1079], c.clearPixel);
        EXPECT_EQ(w[1080], 0);  // padding
    }
}

// ---------------------------------------------------------------- 1-bit work bitmaps

TEST(MonoConverters, WriteTheMonoLayoutWithClearPadding) {
    ScratchDir dir;
    const auto path =
        dir.Write("w.bmp", Rgb24File(10, 2, [](int, int) { return testing::kWhite; }));
    const ConvertResult r = HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0);
    ASSERT_EQ(r.code, kConvertWritten);
    const Bytes w = ScratchDir::Read(r.pathToUse);
    ASSERT_EQ(w.size(), 62u + 4 * 2);
    EXPECT_EQ(U32At(w, 2), 70u);
    EXPECT_EQ(U32At(w, 10), 62u);
    EXPECT_EQ(w[28], 1);
    EXPECT_EQ(U32At(w, 34), 8u);
    EXPECT_EQ(U32At(w, 54), 0u);           // entry 0 black
    EXPECT_EQ(U32At(w, 58), 0x00FFFFFFu);  // entry 1 white
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(w[62 + 4 * y], 0xFF);
        EXPECT_EQ(w[63 + 4 * y], 0xC0);  // 10 pixels: the padding bits stay clear
        EXPECT_EQ(w[64 + 4 * y], 0);
        EXPECT_EQ(w[65 + 4 * y], 0);
    }
}

TEST(MonoConverters, GreySourceHalftonesThroughTheDispatcher) {
    ScratchDir dir;
    const auto path = dir.Write("g.bmp", Grey8File(16, 16, [](int, int) { return 255; }));
    ASSERT_EQ(HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0).code,
              kConvertWritten);
    const Bytes w = ScratchDir::Read(LogoWorkFile(path));
    // 8-bit M3 on white: the Bayer8 value 63 (row 7, column 0 and 8) stays black.
    EXPECT_EQ(w[62 + 7 * 4], 0x7F);
    EXPECT_EQ(w[62 + 7 * 4 + 1], 0x7F);
    EXPECT_EQ(w[62], 0xFF);
}

TEST(MonoConverters, OneBitSourceIsUsedAsItIs) {
    ScratchDir dir;
    const auto path = dir.Write(
        "m.bmp", Mono1File(
                     8, 8, [](int x, int) { return x % 2; }, testing::kBlack, testing::kWhite));
    const ConvertResult r =
        HalftoneRgb24ToMono1(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0);
    EXPECT_EQ(r.code, kConvertAlreadyMono);
    EXPECT_EQ(r.pathToUse, path);
    EXPECT_EQ(HalftoneGrey8ToMono1(path, LogoWorkFile(path), HalftoneMethod::None, 0, 0).code,
              kConvertAlreadyMono);
    // The dispatcher handles only 24 and 8 bits.
    EXPECT_EQ(HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0).code,
              kConvertCannotOpen);
    EXPECT_FALSE(ScratchDir::Exists(LogoWorkFile(path)));
}

// ---------------------------------------------------------------- malformed sources

enum class Op { Rgb24ToGrey, Grey8ToGrey, Mono1ToGrey, Rgb24ToMono, Grey8ToMono, Dispatch };

ConvertResult Apply(Op op, const std::string& path) {
    switch (op) {
        case Op::Rgb24ToGrey:
            return ConvertRgb24ToGrey8(path, LogoWorkFile(path), 0, 0);
        case Op::Grey8ToGrey:
            return ConvertGrey8ToGrey8(path, LogoWorkFile(path), 0, 0);
        case Op::Mono1ToGrey:
            return ConvertMono1ToGrey8(path, LogoWorkFile(path), 0, 0);
        case Op::Rgb24ToMono:
            return HalftoneRgb24ToMono1(path, LogoWorkFile(path), HalftoneMethod::M4, 0, 0);
        case Op::Grey8ToMono:
            return HalftoneGrey8ToMono1(path, LogoWorkFile(path), HalftoneMethod::ErrorDiffusion, 0,
                                        0);
        case Op::Dispatch:
            return HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::ErrorDiffusion, 0, 0);
    }
    return {};
}

Bytes SourceFor(Op op, int w = 12, int h = 6) {
    switch (op) {
        case Op::Grey8ToGrey:
        case Op::Grey8ToMono:
            return Grey8File(w, h, [](int x, int y) { return static_cast<uint8_t>(x * y * 3); });
        case Op::Mono1ToGrey:
            return Mono1File(
                w, h, [](int x, int y) { return (x + y) % 3 == 0; }, testing::kBlack,
                testing::kWhite);
        default:
            return Rgb24File(w, h, [](int x, int y) {
                return Rgb{static_cast<uint8_t>(x * 20), static_cast<uint8_t>(y * 40), 7};
            });
    }
}

struct Damage {
    const char* name;
    void (*apply)(Bytes&);
    int expected;          // for the grey converters and the two halftoning ones
    int expectedDispatch;  // for HalftoneToMono
};

const Damage kDamages[] = {
    {"intact", [](Bytes&) {}, kConvertWritten, kConvertWritten},
    {"wrong magic", [](Bytes& b) { b[0] = 'M'; }, kConvertWrongForm, kConvertCannotOpen},
    {"compressed", [](Bytes& b) { b[30] = 1; }, kConvertWrongForm, kConvertCannotOpen},
    {"zero width", [](Bytes& b) { testing::Put32(b, 18, 0); }, kConvertWrongForm,
     kConvertWrongForm},
    {"negative width", [](Bytes& b) { testing::Put32(b, 18, 0xFFFFFFF4u); }, kConvertWrongForm,
     kConvertWrongForm},
    {"one row missing", [](Bytes& b) { b.resize(b.size() - 1); }, kConvertWrongForm,
     kConvertWrongForm},
    {"4 GB of pixels promised",
     [](Bytes& b) {
         testing::Put32(b, 18, 0x7FFFFFFF);
         testing::Put32(b, 22, 0x7FFFFFFF);
     },
     kConvertWrongForm, kConvertWrongForm},
    {"headers cut short", [](Bytes& b) { b.resize(40); }, kConvertWrongForm, kConvertCannotOpen},
    {"palette cut short (8-bit) or rows (others)", [](Bytes& b) { b.resize(60); },
     kConvertWrongForm, kConvertWrongForm},
};

class MalformedSources : public ::testing::TestWithParam<Op> {};

TEST_P(MalformedSources, AreRefusedWithoutAWorkFile) {
    const Op op = GetParam();
    for (const Damage& d : kDamages) {
        ScratchDir dir;
        Bytes file = SourceFor(op);
        d.apply(file);
        const auto path = dir.Write("s.bmp", file);
        const ConvertResult r = Apply(op, path);
        EXPECT_EQ(r.code, op == Op::Dispatch ? d.expectedDispatch : d.expected) << d.name;
        EXPECT_EQ(ScratchDir::Exists(LogoWorkFile(path)), r.code == kConvertWritten) << d.name;
        EXPECT_EQ(r.pathToUse.empty(), r.code != kConvertWritten) << d.name;
    }
}

TEST_P(MalformedSources, AMissingFileCannotBeOpened) {
    ScratchDir dir;
    EXPECT_EQ(Apply(GetParam(), dir.Path("none.bmp")).code, kConvertCannotOpen);
}

// The page refuses pictures over 1024 x 768 when rows are added; the converters themselves
// take any size the file really holds (the tool converts such files too).
class EveryConverter : public ::testing::TestWithParam<Op> {};

TEST_P(EveryConverter, TakesSourcesWiderThanThePageAdmits) {
    const Op op = GetParam();
    ScratchDir dir;
    const auto path = dir.Write("wide.bmp", SourceFor(op, 2053, 2));
    const ConvertResult r = Apply(op, path);
    ASSERT_EQ(r.code, kConvertWritten);
    const bool grey = op == Op::Rgb24ToGrey || op == Op::Grey8ToGrey || op == Op::Mono1ToGrey;
    const uint64_t rows = (grey ? Stride8(2053) : Stride1(2053)) * 2;
    EXPECT_EQ(ScratchDir::Read(r.pathToUse).size(), PixelOffsetOf(grey ? 8 : 1) + rows);
}

const auto kEveryOp = ::testing::Values(Op::Rgb24ToGrey, Op::Grey8ToGrey, Op::Mono1ToGrey,
                                        Op::Rgb24ToMono, Op::Grey8ToMono, Op::Dispatch);
INSTANTIATE_TEST_SUITE_P(Converters, MalformedSources, kEveryOp);
INSTANTIATE_TEST_SUITE_P(Converters, EveryConverter, kEveryOp);

TEST(MalformedSources, WrongDepthIsTheWrongForm) {
    ScratchDir dir;
    const auto grey = dir.Write("g.bmp", SourceFor(Op::Grey8ToGrey));
    EXPECT_EQ(ConvertRgb24ToGrey8(grey, LogoWorkFile(grey), 0, 0).code, kConvertWrongForm);
    EXPECT_EQ(ConvertMono1ToGrey8(grey, LogoWorkFile(grey), 0, 0).code, kConvertWrongForm);
    EXPECT_EQ(HalftoneRgb24ToMono1(grey, LogoWorkFile(grey), HalftoneMethod::M3, 0, 0).code,
              kConvertWrongForm);
    Bytes four = SourceFor(Op::Rgb24ToGrey);
    four[28] = 4;
    const auto path = dir.Write("four.bmp", four);
    EXPECT_EQ(HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0).code,
              kConvertCannotOpen);
    EXPECT_FALSE(ScratchDir::Exists(LogoWorkFile(path)));
}

TEST(MalformedSources, AnUnwritableWorkFileLeavesNothing) {
    ScratchDir dir;
    const auto path = dir.Write("s.bmp", SourceFor(Op::Rgb24ToGrey));
    // A folder stands where the work file would go.
    std::filesystem::create_directory(LogoWorkFile(path));
    EXPECT_EQ(ConvertRgb24ToGrey8(path, LogoWorkFile(path), 0, 0).code, kConvertCannotOpen);
    EXPECT_EQ(HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0).code,
              kConvertCannotOpen);
}

}  // namespace
}  // namespace krv
