// Interchange with bitmaps no code of ours wrote or reads: ImageMagick makes a source and
// reads our work bitmaps back. Skipped where ImageMagick is not installed.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "jobs/logo_jobs.h"
#include "devpages/logo_rows.h"
#include "imaging/bmp_format.h"
#include "imaging/logo_convert.h"
#include "imaging/tone.h"
#include "tests/unit/imaging/test_bitmaps.h"

namespace krv {
namespace {

using testing::ScratchDir;

constexpr char kMagick[] = "/usr/bin/convert";

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class WithImageMagick : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ScratchDir::Exists(kMagick)) GTEST_SKIP() << "ImageMagick is not installed";
    }
    ScratchDir dir;
};

// A 7-pixel-wide source (21 bytes of pixels in a 24-byte stride), read by our converter,
// gives the grey of each of the pixels ImageMagick reports for its own file.
TEST_F(WithImageMagick, ColourSourceConvertsToTheWeightedGrey) {
    const std::string src = dir.Path("src.bmp");
    ASSERT_TRUE(Shell(std::string(kMagick) +
                      " -size 7x5 gradient:'#FF2000-#103070' -type TrueColor BMP3:" + src));
    ASSERT_TRUE(Shell(std::string(kMagick) + " " + src + " -depth 8 rgb:" + dir.Path("rgb.raw")));
    const Bytes rgb = ScratchDir::Read(dir.Path("rgb.raw"));  // top row first
    ASSERT_EQ(rgb.size(), 7u * 5 * 3);
    ASSERT_EQ(ConvertRgb24ToGrey8(src, LogoWorkFile(src), 30, -20).code, kConvertWritten);
    const Bytes work = ScratchDir::Read(LogoWorkFile(src));
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
    const std::string src = dir.Write("s.bmp", testing::Grey8File(13, 6, [](int x, int y) {
                                          return static_cast<uint8_t>((x * 19 + y * 41) % 256);
                                      }));
    ASSERT_EQ(HalftoneToMono(src, LogoWorkFile(src), HalftoneMethod::ErrorDiffusion, 0, 0).code,
              kConvertWritten);
    const std::string work = LogoWorkFile(src);
    ASSERT_TRUE(Shell(std::string(kMagick) + " " + work + " -depth 8 gray:" + dir.Path("g.raw")));
    const Bytes grey = ScratchDir::Read(dir.Path("g.raw"));
    ASSERT_EQ(grey.size(), 13u * 6);
    const Bytes bits = ScratchDir::Read(work);
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
        const std::string v3 = dir.Path(type + "3.bmp"), v5 = dir.Path(type + "5.bmp");
        ASSERT_TRUE(Shell(picture + "-type " + type + " BMP3:" + v3));
        ASSERT_TRUE(Shell(picture + "-type " + type + " BMP:" + v5));
        ASSERT_GE(ScratchDir::Read(v5)[14], 108) << type << ": ImageMagick wrote another header";
        for (const LogoMode mode : {LogoMode::Grey, LogoMode::BlackWhite}) {
            SCOPED_TRACE(type + (mode == LogoMode::Grey ? " in grey" : " in black and white"));
            const LogoRowSettings settings{HalftoneMethod::M4, 15, -5};
            std::vector<Bytes> works;
            std::vector<PrinterJob> jobs;
            for (const std::string& source : {v3, v5}) {
                const LogoRowFiles row{source, source + ".work"};
                ASSERT_GT(PrepareLogoRow(row.source, row.workFile, mode, settings).code, 0);
                works.push_back(ScratchDir::Read(row.workFile));
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
