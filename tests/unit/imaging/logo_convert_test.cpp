// The logo converters: the grey and the 1-bit work bitmaps byte for byte, malformed and wide
// sources, pictures of any size a file can claim, and interchange with ImageMagick.
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "channel/ansi_text.h"
#include "devpages/logo_rows.h"
#include "docpages/watermark_bitmap.h"
#include "files/files.h"
#include "imaging/bmp_format.h"
#include "imaging/logo_convert.h"
#include "imaging/mono_print.h"
#include "imaging/tone.h"
#include "jobs/logo_jobs.h"
#include "tests/common/test_bitmaps.h"

namespace krv {
namespace {

using test::Grey8File;
using test::Mono1File;
using test::Put32;
using test::Rgb;
using test::Rgb24File;
using test::ScratchFolder;
using test::SourceOf;

uint32_t U32At(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// ---------------------------------------------------------------- grey work bitmaps

TEST(GreyConverters, OnePixelWideColourGetsTheGreyLayoutWithZeroPadding) {
    ScratchFolder dir;
    const auto src = dir.Write("one.bmp", Rgb24File(1, 3, [](int, int y) {
                                   return Rgb{static_cast<uint8_t>(100 + y), 50, 200};
                               }));
    const ConvertResult r = ConvertRgb24ToGrey8(src, LogoWorkFile(src), 0, 0);
    ASSERT_EQ(r.code, kConvertWritten);
    EXPECT_EQ(r.pathToUse, dir.Path("oneTemp.bmp"));
    const Bytes w = ScratchFolder::Read(r.pathToUse);
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
    ScratchFolder dir;
    Bytes src = Grey8File(5, 2, [](int x, int y) { return static_cast<uint8_t>(x * 50 + y); });
    for (size_t i = 54; i < 1078; ++i)
        src[i] = 0x33;  // a palette of nonsense: the bytes are grey levels anyway
    const auto path = dir.Write("g.bmp", src);
    ASSERT_EQ(ConvertGrey8ToGrey8(path, LogoWorkFile(path), 100, 0).code, kConvertWritten);
    const Bytes w = ScratchFolder::Read(LogoWorkFile(path));
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
        {test::kBlack, test::kWhite, 255, 0},           // set bit is white
        {test::kWhite, test::kBlack, 0, 255},           // inverted
        {Rgb{90, 90, 90}, Rgb{200, 200, 200}, 0, 255},  // no polarity: inverted as well
    };
    for (const auto& c : cases) {
        ScratchFolder dir;
        const auto path = dir.Write("m.bmp", Mono1File(2, 1, bits, c.entry0, c.entry1));
        ASSERT_EQ(ConvertMono1ToGrey8(path, LogoWorkFile(path), 0, 0).code, kConvertWritten);
        const Bytes w = ScratchFolder::Read(LogoWorkFile(path));
        ASSERT_EQ(w.size(), 1078u + 4);
        EXPECT_EQ(w[1078], c.setPixel);
        EXPECT_EQ(w[1079], c.clearPixel);
        EXPECT_EQ(w[1080], 0);  // padding
    }
}

// ---------------------------------------------------------------- 1-bit work bitmaps

TEST(MonoConverters, WriteTheMonoLayoutWithClearPadding) {
    ScratchFolder dir;
    const auto path = dir.Write("w.bmp", Rgb24File(10, 2, [](int, int) { return test::kWhite; }));
    const ConvertResult r = HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0);
    ASSERT_EQ(r.code, kConvertWritten);
    const Bytes w = ScratchFolder::Read(r.pathToUse);
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
    ScratchFolder dir;
    const auto path = dir.Write("g.bmp", Grey8File(16, 16, [](int, int) { return 255; }));
    ASSERT_EQ(HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0).code,
              kConvertWritten);
    const Bytes w = ScratchFolder::Read(LogoWorkFile(path));
    // 8-bit M3 on white: the Bayer8 value 63 (row 7, column 0 and 8) stays black.
    EXPECT_EQ(w[62 + 7 * 4], 0x7F);
    EXPECT_EQ(w[62 + 7 * 4 + 1], 0x7F);
    EXPECT_EQ(w[62], 0xFF);
}

TEST(MonoConverters, OneBitSourceIsUsedAsItIs) {
    ScratchFolder dir;
    const auto path =
        dir.Write("m.bmp", Mono1File(
                               8, 8, [](int x, int) { return x % 2; }, test::kBlack, test::kWhite));
    const ConvertResult r =
        HalftoneRgb24ToMono1(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0);
    EXPECT_EQ(r.code, kConvertAlreadyMono);
    EXPECT_EQ(r.pathToUse, path);
    EXPECT_EQ(HalftoneGrey8ToMono1(path, LogoWorkFile(path), HalftoneMethod::None, 0, 0).code,
              kConvertAlreadyMono);
    // The dispatcher handles only 24 and 8 bits.
    EXPECT_EQ(HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0).code,
              kConvertCannotOpen);
    EXPECT_FALSE(ScratchFolder::Exists(LogoWorkFile(path)));
}

// ---------------------------------------------------------------- malformed sources

enum class Op { Rgb24ToGrey, Grey8ToGrey, Mono1ToGrey, Rgb24ToMono, Grey8ToMono, Dispatch };

ConvertResult Apply(Op op, const std::u16string& path) {
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
                w, h, [](int x, int y) { return (x + y) % 3 == 0; }, test::kBlack, test::kWhite);
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
    {"zero width", [](Bytes& b) { test::Put32(b, 18, 0); }, kConvertWrongForm, kConvertWrongForm},
    {"negative width", [](Bytes& b) { test::Put32(b, 18, 0xFFFFFFF4u); }, kConvertWrongForm,
     kConvertWrongForm},
    {"one row missing", [](Bytes& b) { b.resize(b.size() - 1); }, kConvertWrongForm,
     kConvertWrongForm},
    {"4 GB of pixels promised",
     [](Bytes& b) {
         test::Put32(b, 18, 0x7FFFFFFF);
         test::Put32(b, 22, 0x7FFFFFFF);
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
        ScratchFolder dir;
        Bytes file = SourceFor(op);
        d.apply(file);
        const auto path = dir.Write("s.bmp", file);
        const ConvertResult r = Apply(op, path);
        EXPECT_EQ(r.code, op == Op::Dispatch ? d.expectedDispatch : d.expected) << d.name;
        EXPECT_EQ(ScratchFolder::Exists(LogoWorkFile(path)), r.code == kConvertWritten) << d.name;
        EXPECT_EQ(r.pathToUse.empty(), r.code != kConvertWritten) << d.name;
    }
}

TEST_P(MalformedSources, AMissingFileCannotBeOpened) {
    ScratchFolder dir;
    EXPECT_EQ(Apply(GetParam(), dir.Path("none.bmp")).code, kConvertCannotOpen);
}

// The page refuses pictures over 1024 x 768 when rows are added; the converters themselves
// take any size the file really holds (the tool converts such files too).
class EveryConverter : public ::testing::TestWithParam<Op> {};

TEST_P(EveryConverter, TakesSourcesWiderThanThePageAdmits) {
    const Op op = GetParam();
    ScratchFolder dir;
    const auto path = dir.Write("wide.bmp", SourceFor(op, 2053, 2));
    const ConvertResult r = Apply(op, path);
    ASSERT_EQ(r.code, kConvertWritten);
    const bool grey = op == Op::Rgb24ToGrey || op == Op::Grey8ToGrey || op == Op::Mono1ToGrey;
    const uint64_t rows = (grey ? Stride8(2053) : Stride1(2053)) * 2;
    EXPECT_EQ(ScratchFolder::Read(r.pathToUse).size(), PixelOffsetOf(grey ? 8 : 1) + rows);
}

const auto kEveryOp = ::testing::Values(Op::Rgb24ToGrey, Op::Grey8ToGrey, Op::Mono1ToGrey,
                                        Op::Rgb24ToMono, Op::Grey8ToMono, Op::Dispatch);
INSTANTIATE_TEST_SUITE_P(Converters, MalformedSources, kEveryOp);
INSTANTIATE_TEST_SUITE_P(Converters, EveryConverter, kEveryOp);

TEST(MalformedSources, WrongDepthIsTheWrongForm) {
    ScratchFolder dir;
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
    EXPECT_FALSE(ScratchFolder::Exists(LogoWorkFile(path)));
}

TEST(MalformedSources, AnUnwritableWorkFileLeavesNothing) {
    ScratchFolder dir;
    const auto path = dir.Write("s.bmp", SourceFor(Op::Rgb24ToGrey));
    // A folder stands where the work file would go.
    std::filesystem::create_directory(LogoWorkFile(path));
    EXPECT_EQ(ConvertRgb24ToGrey8(path, LogoWorkFile(path), 0, 0).code, kConvertCannotOpen);
    EXPECT_EQ(HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0).code,
              kConvertCannotOpen);
}

// ---------------------------------------------------------------- limits

// A reader of logo sources: true when it accepted the file.
struct LogoReader {
    const char* name;
    int bitCount;
    int workBits;  // the depth of the work file it writes; 0: it writes none
    std::function<bool(const std::u16string&)> accepts;
};

bool Converted(const ConvertResult& r) {
    return r.Written();
}

const std::vector<LogoReader>& LogoReaders() {
    static const std::vector<LogoReader> readers = {
        {"ConvertRgb24ToGrey8", 24, 8,
         [](const std::u16string& p) {
             return Converted(ConvertRgb24ToGrey8(p, LogoWorkFile(p), 0, 0));
         }},
        {"ConvertGrey8ToGrey8", 8, 8,
         [](const std::u16string& p) {
             return Converted(ConvertGrey8ToGrey8(p, LogoWorkFile(p), 0, 0));
         }},
        {"ConvertMono1ToGrey8", 1, 8,
         [](const std::u16string& p) {
             return Converted(ConvertMono1ToGrey8(p, LogoWorkFile(p), 0, 0));
         }},
        {"HalftoneRgb24ToMono1", 24, 1,
         [](const std::u16string& p) {
             return Converted(HalftoneRgb24ToMono1(p, LogoWorkFile(p), HalftoneMethod::None, 0, 0));
         }},
        {"HalftoneGrey8ToMono1", 8, 1,
         [](const std::u16string& p) {
             return Converted(
                 HalftoneGrey8ToMono1(p, LogoWorkFile(p), HalftoneMethod::ErrorDiffusion, 0, 0));
         }},
        {"ReadMonoForPrint", 1, 0,
         [](const std::u16string& p) {
             return ReadMonoForPrint(p, true, kColumnRowMultiple).has_value();
         }},
    };
    return readers;
}

// The converters hold their rows (error diffusion included) in buffers sized from the
// picture, not in fixed rows of 2000 entries: a source wider than any fixed row (which the
// page would never hand them) converts completely, with a work file of its full size.
TEST(LogoPictureLimits, ConvertersTakeRowsWiderThanAnyFixedBuffer) {
    for (const LogoReader& reader : LogoReaders()) {
        if (reader.workBits == 0) continue;
        for (const int width : {2000, 2001, 4099}) {
            SCOPED_TRACE(std::string(reader.name) + " " + std::to_string(width));
            ScratchFolder dir;
            const std::u16string source =
                dir.Write("wide.bmp", SourceOf(reader.bitCount, width, 3));
            ASSERT_TRUE(reader.accepts(source));
            const uint64_t expected = reader.workBits == 8 ? PixelOffsetOf(8) + Stride8(width) * 3
                                                           : PixelOffsetOf(1) + Stride1(width) * 3;
            EXPECT_EQ(FileSizeAt(LogoWorkFile(source)), static_cast<int64_t>(expected));
        }
    }
}

// Headers claiming far more pixels than the file holds: every reader refuses them without
// trying to hold the pixels (under the sanitizer build an attempt would abort the test).
TEST(LyingBitmapHeaders, GigabytesClaimedOverAFewBytesAreRefused) {
    struct Claim {
        const char* name;
        uint32_t width;
        uint32_t height;
    } claims[] = {
        {"65536 x 65536", 65536, 65536},
        {"largest positive", 0x7FFFFFFF, 0x7FFFFFFF},
        {"4 GB wide", 0xFFFFFFF0u / 3, 1},
    };
    for (const Claim& c : claims) {
        for (const int bitCount : {1, 8, 24}) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(bitCount) + " bits");
            ScratchFolder dir;
            Bytes file = SourceOf(bitCount, 4, 4);
            Put32(file, 18, c.width);
            Put32(file, 22, c.height);
            const std::u16string path = dir.Write("liar.bmp", file);
            for (const LogoReader& reader : LogoReaders()) {
                if (reader.bitCount != bitCount) continue;
                EXPECT_FALSE(reader.accepts(path)) << reader.name;
            }
            if (bitCount != 1) {
                EXPECT_FALSE(
                    HalftoneToMono(path, LogoWorkFile(path), HalftoneMethod::M3, 0, 0).Written());
            }
            EXPECT_FALSE(EncodeGreyPlanes(path).has_value());
            // A 24-bit watermark source is copied as it stands (its pixels are never held);
            // the palette forms are converted and must hold every row they claim.
            const std::u16string target = dir.Path("out.bmp");
            EXPECT_EQ(ConvertBitmapTo24(path, target) == WatermarkConvertResult::Done,
                      bitCount == 24);
            if (bitCount == 24) {
                EXPECT_EQ(ScratchFolder::Read(target), file);
            }
        }
    }
}

// ---------------------------------------------------------------- interchange
// With bitmaps no code of ours wrote or reads: ImageMagick makes a source and reads our work
// bitmaps back. Skipped where ImageMagick is not installed.

constexpr char kMagick[] = "/usr/bin/convert";

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class WithImageMagick : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ScratchFolder::Exists(kMagick)) GTEST_SKIP() << "ImageMagick is not installed";
    }
    ScratchFolder dir;
};

// A 7-pixel-wide source (21 bytes of pixels in a 24-byte stride), read by our converter,
// gives the grey of each of the pixels ImageMagick reports for its own file.
TEST_F(WithImageMagick, ColourSourceConvertsToTheWeightedGrey) {
    const std::string src = dir.SystemPath("src.bmp");
    ASSERT_TRUE(Shell(std::string(kMagick) +
                      " -size 7x5 gradient:'#FF2000-#103070' -type TrueColor BMP3:" + src));
    ASSERT_TRUE(
        Shell(std::string(kMagick) + " " + src + " -depth 8 rgb:" + dir.SystemPath("rgb.raw")));
    const Bytes rgb = ScratchFolder::Read(dir.Path("rgb.raw"));  // top row first
    ASSERT_EQ(rgb.size(), 7u * 5 * 3);
    const std::u16string source = PathToUtf16(src);
    ASSERT_EQ(ConvertRgb24ToGrey8(source, LogoWorkFile(source), 30, -20).code, kConvertWritten);
    const Bytes work = ScratchFolder::Read(LogoWorkFile(source));
    ASSERT_EQ(work.size(), 1078u + 8 * 5);
    for (int top = 0; top < 5; ++top)
        for (int x = 0; x < 7; ++x) {
            const uint8_t* p = &rgb[(top * 7 + x) * 3];
            const int want = (AdjustLevel(p[0], 30, -20) * 299 + AdjustLevel(p[1], 30, -20) * 587 +
                              AdjustLevel(p[2], 30, -20) * 114) /
                             1000;
            EXPECT_EQ(work[1078 + (4 - top) * 8 + x], want) << "x " << x << " top " << top;
        }
}

// Our 1-bit work bitmap, read by ImageMagick, shows white where our bits are set.
TEST_F(WithImageMagick, MonoWorkBitmapReadsBackAsItsBits) {
    const std::u16string src = dir.Write("s.bmp", Grey8File(13, 6, [](int x, int y) {
                                             return static_cast<uint8_t>((x * 19 + y * 41) % 256);
                                         }));
    ASSERT_EQ(HalftoneToMono(src, LogoWorkFile(src), HalftoneMethod::ErrorDiffusion, 0, 0).code,
              kConvertWritten);
    const std::string work = Utf16ToPath(LogoWorkFile(src));
    ASSERT_TRUE(
        Shell(std::string(kMagick) + " " + work + " -depth 8 gray:" + dir.SystemPath("g.raw")));
    const Bytes grey = ScratchFolder::Read(dir.Path("g.raw"));
    ASSERT_EQ(grey.size(), 13u * 6);
    const Bytes bits = ScratchFolder::Read(work);
    for (int top = 0; top < 6; ++top)
        for (int x = 0; x < 13; ++x) {
            const bool set = bits[62 + (5 - top) * 4 + x / 8] & (0x80 >> (x % 8));
            EXPECT_EQ(grey[top * 13 + x], set ? 255 : 0) << "x " << x << " top " << top;
        }
}

// ImageMagick writes a 124-byte (colour) or 108-byte (1-bit) information header unless told to
// write the 40-byte one: the same picture gives the same work files and the same "LOGO" jobs
// either way, a 1-bit source being sent from the file itself.
TEST_F(WithImageMagick, LongHeaderFilesGiveTheWorkFilesAndJobsOfTheShortOnes) {
    const std::string picture = std::string(kMagick) + " -size 11x6 gradient:'#F0C000-#102040' ";
    for (const std::string type : {"TrueColor", "Bilevel"}) {
        const std::string v3 = dir.SystemPath(type + "3.bmp"), v5 = dir.SystemPath(type + "5.bmp");
        ASSERT_TRUE(Shell(picture + "-type " + type + " BMP3:" + v3));
        ASSERT_TRUE(Shell(picture + "-type " + type + " BMP:" + v5));
        ASSERT_GE(ScratchFolder::Read(v5)[14], 108) << type << ": ImageMagick wrote another header";
        for (const LogoMode mode : {LogoMode::Grey, LogoMode::BlackWhite}) {
            SCOPED_TRACE(type + (mode == LogoMode::Grey ? " in grey" : " in black and white"));
            const LogoRowSettings settings{HalftoneMethod::M4, 15, -5};
            std::vector<Bytes> works;
            std::vector<PrinterJob> jobs;
            for (const std::string& source : {v3, v5}) {
                const LogoRowFiles row{PathToUtf16(source), PathToUtf16(source + ".work")};
                ASSERT_GT(PrepareLogoRow(row.source, row.workFile, mode, settings).code, 0);
                works.push_back(ScratchFolder::Read(row.workFile));
                const LogoJobOutcome o = BuildLogoDownloadJob({row}, mode);
                ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
                ASSERT_FALSE(o.endedEarly);
                jobs.push_back(o.job);
            }
            EXPECT_EQ(works[0], works[1]);
            EXPECT_EQ(jobs[0].pieces, jobs[1].pieces);
        }
    }
}

}  // namespace
}  // namespace krv
