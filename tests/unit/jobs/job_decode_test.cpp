#include "jobs/job_decode.h"

#include <gtest/gtest.h>

#include "channel/ansi_text.h"
#include "jobs/logo_jobs.h"
#include "jobs/self_test.h"
#include "jobs/barcode_test_print.h"
#include "jobs/top_bottom_message.h"
#include "frame/oem_devmode.h"
#include "imaging/mono_print.h"
#include "jobs/picture_print.h"

namespace krv {
namespace {

std::vector<std::string> Lines(const DecodedJob& d) {
    std::vector<std::string> lines;
    for (const auto& c : d.commands)
        lines.push_back(c.text);
    return lines;
}

DecodedJob Decoded(const PrinterJob& job) {
    const Bytes bytes = job.Joined();
    return DecodeJob(bytes);
}

using Strings = std::vector<std::string>;

TEST(JobDecode, SelfTestAndClearLogos) {
    const DecodedJob self = Decoded(BuildSelfTestJob());
    EXPECT_TRUE(self.understood);
    EXPECT_EQ(Lines(self), Strings{"test print, parameters 00 02"});
    const DecodedJob clear = Decoded(BuildClearLogosJob());
    EXPECT_EQ(Lines(clear), (Strings{"stored logos: none (clears the stored logos)",
                                     "nul (ignored)", "line feed"}));
    EXPECT_TRUE(clear.drawings.empty());
}

TEST(JobDecode, BarcodeTestPrintsWithTheirSettings) {
    OemDevmode record;
    DefaultOemDevmode(&record);
    const TestPrintBuild upc = BuildTestPrint(record, BarcodePageKind::Barcode, 0, u"123456789012");
    ASSERT_EQ(upc.status, TestPrintStatus::Built);
    const DecodedJob d = Decoded(upc.job);
    EXPECT_TRUE(d.understood) << d.stopReason;
    EXPECT_EQ(Lines(d), (Strings{"line feed", "line feed", "HRI font 0",
                                 "HRI position 0 (0 none, 1 above, 2 below, 3 both)",
                                 "barcode element width 3", "barcode height 163 dots",
                                 "barcode UPC-A, 12 bytes: \"123456789012\"", "line feed",
                                 "feed to the cutting position and 0 dots on, partial cut"}));
    // Code128 in code set C: a zero-length barcode first, then the packed data by length.
    record.barcodeFonts[0].barcodeType = 8;
    const TestPrintBuild c128 = BuildTestPrint(record, BarcodePageKind::Barcode, 0, u"{C1234");
    ASSERT_EQ(c128.status, TestPrintStatus::Built);
    const Strings lines = Lines(Decoded(c128.job));
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[6], "barcode Code128, 0 bytes: \"\"");
    EXPECT_EQ(lines[9], "barcode Code128, 4 bytes: \"{C\\x0C\\x22\"");
    // The two-dimensional page's defaults: PDF417 with its settings.
    const TestPrintBuild pdf =
        BuildTestPrint(record, BarcodePageKind::TwoDimensional, 0, u"01234567890123");
    ASSERT_EQ(pdf.status, TestPrintStatus::Built);
    const Strings p = Lines(Decoded(pdf.job));
    EXPECT_EQ(p[2], "PDF417 settings 01 01 03 03 03 03");
    EXPECT_EQ(p[3], "two-dimensional code level or mode 5");
    EXPECT_EQ(p[4], "barcode PDF417, 14 bytes: \"01234567890123\"");
}

TEST(JobDecode, TextIsShownFromTheCodePage) {
    const TopBottomMessageBuild b = BuildTopBottomMessageJob({u"", u"", u"收据", u"AB"});
    ASSERT_EQ(b.status, TopBottomMessageBuild::Status::Ready);
    const DecodedJob d = Decoded(b.job);
    EXPECT_TRUE(d.understood);
    EXPECT_EQ(Lines(d), (Strings{"top/bottom message line 2: \"收据\"", "nul x 3 (ignored)",
                                 "top/bottom message line 3: \"AB\"", "nul x 3 (ignored)"}));
    BackSideRequest r;
    r.text = u"票";
    r.position = BackSidePosition::Centre;
    const LogoJobOutcome back = BuildBackSideJob(r);
    ASSERT_EQ(back.kind, LogoJobOutcome::Kind::Job);
    EXPECT_EQ(
        Lines(Decoded(back.job)),
        (Strings{"back-side data begins", "align centre", "line spacing 24 dots", "text \"票\"",
                 "nul (ignored)", "carriage return", "line feed", "back-side data ends"}));
}

// Offsets and lengths: each command starts where the one before it ended.
TEST(JobDecode, CommandsTileTheJob) {
    PicturePrintOptions o;
    o.drawer = 1;
    GreyImage g;
    g.width = 20;
    g.height = 60;
    g.pixels.assign(20 * 60, 0);
    const Bytes bytes = BuildPicturePrintJob(g, o).job.Joined();
    const DecodedJob d = DecodeJob(bytes);
    ASSERT_TRUE(d.understood) << d.stopReason;
    uint64_t at = 0;
    for (const JobCommand& c : d.commands) {
        EXPECT_EQ(c.offset, at) << c.text;
        at += c.length;
    }
    EXPECT_EQ(at, bytes.size());
    EXPECT_EQ(Lines(d).front(), "reset");
    EXPECT_EQ(Lines(d)[3], "band of 24 dot rows, 20 dots wide");
    EXPECT_EQ(Lines(d).back(), "cash drawer 1 pulse: 60 ms on, 100 ms off");
}

struct Refusal {
    const char* name;
    Bytes job;
    uint64_t offset;
    const char* reason;  // a part of the reason
};

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, StopAtTheOffsetWithTheListSoFar) {
    const Refusal& r = GetParam();
    const DecodedJob d = DecodeJob(r.job);
    EXPECT_FALSE(d.understood);
    EXPECT_EQ(d.stopOffset, r.offset);
    EXPECT_NE(d.stopReason.find(r.reason), std::string::npos) << d.stopReason;
    uint64_t listed = 0;
    for (const auto& c : d.commands)
        listed += c.length;
    EXPECT_EQ(listed, r.offset);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Refusals,
    ::testing::Values(
        Refusal{"controlByte", {0x1B, 0x40, 0x41, 0x07}, 3, "bytes 07 start no command"},
        Refusal{"unknownEsc", {0x1B, 0x40, 0x1B, 0x21, 0x00}, 2, "bytes 1B 21"},
        Refusal{"otherBitImageMode", {0x1B, 0x2A, 0x00, 0x01, 0x00, 0xFF}, 0, "1B 2A 00"},
        Refusal{"bandCut",
                {0x0A, 0x1B, 0x2A, 0x21, 0x02, 0x00, 1, 2, 3, 4, 5},
                1,
                "inside a band (11 bytes needed, 10 left)"},
        Refusal{"logoCut",
                {0x1C, 0x71, 0x02, 0x01, 0x00, 0x01, 0x00, 1, 2, 3, 4, 5, 6, 7, 8},
                15,
                "inside a stored logo's header"},
        Refusal{"greyLogoForm",
                {0x1C, 0x72, 0x01, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00},
                3,
                "bytes 02 00"},
        Refusal{"barcodeUnended", {0x1D, 0x6B, 0x00, '1', '2'}, 0, "the barcode's data"},
        Refusal{"unknownBarcode", {0x1D, 0x6B, 0x07, '1', 0x00}, 0, "1D 6B 07"},
        Refusal{"escAtEnd", {0x0A, 0x1B}, 1, "inside an ESC command"},
        Refusal{"alignmentValue", {0x1B, 0x61, 0x05}, 0, "1B 61 05"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// ---------------------------------------------------------------- pictures

// End to end: the decoded picture of a print job is the halftoned page, blank bands and
// the leading feed included, whatever the alignment.
TEST(JobDecode, PrintJobDrawsTheHalftonedPicture) {
    GreyImage g;
    g.width = 300;
    g.height = 100;
    for (uint32_t y = 0; y < g.height; ++y)
        for (uint32_t x = 0; x < g.width; ++x)
            g.pixels.push_back(y < 37 || (y >= 50 && y < 75) ? 255 : uint8_t((x + y * 3) % 256));
    PicturePrintOptions o;
    o.printableWidth = 200;
    o.align = PictureAlign::Right;
    const PicturePrintBuild b = BuildPicturePrintJob(g, o);
    ASSERT_EQ(b.status, PicturePrintBuild::Status::Built);
    GreyImage page;
    ASSERT_TRUE(ScaleGrey(g, 200, 67, &page));
    MonoRaster dots;
    ASSERT_TRUE(HalftonePage(page, o.method, 0, 0, &dots));

    const DecodedJob d = Decoded(b.job);
    ASSERT_TRUE(d.understood) << d.stopReason;
    EXPECT_EQ(Lines(d)[3], "feed 24 dots");  // the white top band
    GreyImage drawn;
    ASSERT_TRUE(RenderJobPicture(d, 1 << 20, &drawn));
    ASSERT_EQ(drawn.width, 200u);
    ASSERT_EQ(drawn.height, 72u);  // three bands: the picture and the rest of the last band
    for (uint32_t top = 0; top < drawn.height; ++top)
        for (uint32_t x = 0; x < 200; ++x) {
            const uint32_t stored = dots.paddedHeight - 1 - top;
            const bool dot = dots.rows[stored * dots.stride + x / 8] & (0x80 >> (x % 8));
            ASSERT_EQ(drawn.Row(top)[x], dot ? 0 : 255) << x << "," << top;
        }
}

TEST(JobDecode, StoredLogosDrawOneBelowTheOther) {
    // A 16 x 8 logo whose column c has dots in rows 0..c % 8, and a 8 x 16 one all black.
    MonoRaster a;
    a.width = 16, a.stride = 4, a.height = a.paddedHeight = 8;
    a.rows.assign(32, 0);
    for (uint32_t top = 0; top < 8; ++top)
        for (uint32_t c = 0; c < 16; ++c)
            if (top <= c % 8) a.rows[(7 - top) * 4 + c / 8] |= 0x80 >> (c % 8);
    const ColumnBitImage ia = EncodeColumnBitImage(a);
    Bytes job = {0x1B, 0x40, 0x1C, 0x71, 0x02, 0x04, 0x00, 0x01, 0x00};
    job.insert(job.end(), ia.data.begin(), ia.data.end());
    job.insert(job.end(), {0x01, 0x00, 0x02, 0x00});
    job.insert(job.end(), 16, 0xFF);
    job.push_back(0x0A);
    const DecodedJob d = DecodeJob(job);
    ASSERT_TRUE(d.understood) << d.stopReason;
    EXPECT_EQ(Lines(d)[2], "  logo 1 of 2: 32 x 8 dots (x = 4 bytes, y = 1)");
    GreyImage drawn;
    ASSERT_TRUE(RenderJobPicture(d, 1 << 20, &drawn));
    ASSERT_EQ(drawn.width, 32u);
    ASSERT_EQ(drawn.height, 24u);
    for (uint32_t top = 0; top < 8; ++top)
        for (uint32_t c = 0; c < 32; ++c)
            ASSERT_EQ(drawn.Row(top)[c], c < 16 && top <= c % 8 ? 0 : 255) << c << "," << top;
    for (uint32_t top = 8; top < 24; ++top)
        for (uint32_t c = 0; c < 32; ++c)
            ASSERT_EQ(drawn.Row(top)[c], c < 8 ? 0 : 255) << c << "," << top;
}

TEST(JobDecode, GreyLogoDrawsItsSixteenLevels) {
    // One pixel row of 8 pixels (h8 = 1: four plane rows, then four zero rows) whose darkness
    // nibbles are 0, 1, 2, ... 7 from the left.
    Bytes job = {0x1C, 0x72, 0x01, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00};
    for (int plane = 0; plane < 4; ++plane) {
        uint8_t byte = 0;
        for (int x = 0; x < 8; ++x)
            if (x & (8 >> plane)) byte |= static_cast<uint8_t>(0x80 >> x);
        job.push_back(byte);
    }
    job.insert(job.end(), 4, 0x00);
    const DecodedJob d = DecodeJob(job);
    ASSERT_TRUE(d.understood) << d.stopReason;
    GreyImage drawn;
    ASSERT_TRUE(RenderJobPicture(d, 1 << 20, &drawn));
    ASSERT_EQ(drawn.width, 8u);
    ASSERT_EQ(drawn.height, 2u);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(drawn.Row(0)[x], 255 - 17 * x);
        EXPECT_EQ(drawn.Row(1)[x], 255);
    }
}

TEST(JobDecode, NothingToDrawOrTooMuchIsNoPicture) {
    GreyImage drawn;
    EXPECT_FALSE(RenderJobPicture(Decoded(BuildSelfTestJob()), 1 << 20, &drawn));
    Bytes band = {0x1B, 0x2A, 0x21, 0x64, 0x00};
    band.resize(5 + 300, 0xFF);
    const DecodedJob d = DecodeJob(band);
    EXPECT_FALSE(RenderJobPicture(d, 100 * 24 - 1, &drawn));
    EXPECT_TRUE(RenderJobPicture(d, 100 * 24, &drawn));
}

}  // namespace
}  // namespace krv
