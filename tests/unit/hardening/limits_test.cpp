// Fixed limits that no single folder's suite pins down from both sides: the largest logo
// picture every converter and reader admits and the first one past it, headers that claim
// gigabytes of pixels over a file of a few bytes, the nine logo rows, and the longest command
// text the control-font file may hold.
#include <gtest/gtest.h>

#include <functional>

#include "channel/ansi_text.h"
#include "devpages/control_font_table.h"
#include "jobs/logo_jobs.h"
#include "imaging/bmp_format.h"
#include "imaging/file_io.h"
#include "imaging/logo_convert.h"
#include "imaging/mono_print.h"
#include "tests/unit/imaging/test_bitmaps.h"

namespace krv {

// In watermark_limits_test.cpp, beside the watermark fixtures.
bool WatermarkConversionDone(const std::string& source, const std::string& target);

namespace {

using testing::ScratchDir;

Bytes SourceOf(int bitCount, int w, int h) {
    switch (bitCount) {
        case 1:
            return testing::Mono1File(
                w, h, [](int x, int y) { return (x ^ y) & 1; }, testing::kBlack, testing::kWhite);
        case 8:
            return testing::Grey8File(w, h, [](int x, int y) { return uint8_t(x + y); });
        default:
            return testing::Rgb24File(w, h, [](int x, int) {
                return testing::Rgb{uint8_t(x), uint8_t(x), uint8_t(x)};
            });
    }
}

// A reader of logo sources: true when it accepted the file.
struct LogoReader {
    const char* name;
    int bitCount;
    int workBits;  // the depth of the work file it writes; 0: it writes none
    std::function<bool(const std::string&)> accepts;
};

bool Converted(const ConvertResult& r) {
    return r.Written();
}

const std::vector<LogoReader>& LogoReaders() {
    static const std::vector<LogoReader> readers = {
        {"ConvertRgb24ToGrey8", 24, 8,
         [](const std::string& p) {
             return Converted(ConvertRgb24ToGrey8(p, LogoWorkFile(p), 0, 0));
         }},
        {"ConvertGrey8ToGrey8", 8, 8,
         [](const std::string& p) {
             return Converted(ConvertGrey8ToGrey8(p, LogoWorkFile(p), 0, 0));
         }},
        {"ConvertMono1ToGrey8", 1, 8,
         [](const std::string& p) {
             return Converted(ConvertMono1ToGrey8(p, LogoWorkFile(p), 0, 0));
         }},
        {"HalftoneRgb24ToMono1", 24, 1,
         [](const std::string& p) {
             return Converted(HalftoneRgb24ToMono1(p, LogoWorkFile(p), HalftoneMethod::None, 0, 0));
         }},
        {"HalftoneGrey8ToMono1", 8, 1,
         [](const std::string& p) {
             return Converted(
                 HalftoneGrey8ToMono1(p, LogoWorkFile(p), HalftoneMethod::ErrorDiffusion, 0, 0));
         }},
        {"ReadMonoForPrint", 1, 0,
         [](const std::string& p) {
             return ReadMonoForPrint(p, true, kColumnRowMultiple).has_value();
         }},
    };
    return readers;
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
        ScratchDir dir;
        const std::string path = dir.Write("logo.bmp", SourceOf(1, c.width, c.height));
        for (const int multiple : {kColumnRowMultiple, kBandRowMultiple})
            EXPECT_EQ(ReadMonoForPrint(path, true, multiple).has_value(), c.admitted);
    }
}

// The converters hold their rows (error diffusion included) in buffers sized from the
// picture, not in fixed rows of 2000 entries: a source wider than any fixed row (which the
// page would never hand them) converts completely, with a work file of its full size.
TEST(LogoPictureLimits, ConvertersTakeRowsWiderThanAnyFixedBuffer) {
    for (const LogoReader& reader : LogoReaders()) {
        if (reader.workBits == 0) continue;
        for (const int width : {2000, 2001, 4099}) {
            SCOPED_TRACE(std::string(reader.name) + " " + std::to_string(width));
            ScratchDir dir;
            const std::string source = dir.Write("wide.bmp", SourceOf(reader.bitCount, width, 3));
            ASSERT_TRUE(reader.accepts(source));
            const uint64_t expected = reader.workBits == 8 ? PixelOffsetOf(8) + Stride8(width) * 3
                                                           : PixelOffsetOf(1) + Stride1(width) * 3;
            EXPECT_EQ(GetFileSizeByPath(LogoWorkFile(source)), static_cast<int64_t>(expected));
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
            ScratchDir dir;
            Bytes file = SourceOf(bitCount, 4, 4);
            testing::Put32(file, 18, c.width);
            testing::Put32(file, 22, c.height);
            const std::string path = dir.Write("liar.bmp", file);
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
            const std::string target = dir.Path("out.bmp");
            EXPECT_EQ(WatermarkConversionDone(path, target), bitCount == 24);
            if (bitCount == 24) {
                EXPECT_EQ(ScratchDir::Read(target), file);
            }
        }
    }
}

TEST(LogoRows, NineRowsAreDownloadedATenthIsNeverSent) {
    ScratchDir dir;
    std::vector<std::string> rows;
    for (size_t i = 0; i < kMaxLogoRows + 1; ++i)
        rows.push_back(dir.Write("row" + std::to_string(i) + ".bmp", SourceOf(1, 8, 8)));

    const std::vector<std::string> nine(rows.begin(), rows.begin() + kMaxLogoRows);
    const LogoJobOutcome full =
        BuildLogoDownloadJob(testing::RowsBeside(nine), LogoMode::BlackWhite);
    ASSERT_EQ(full.kind, LogoJobOutcome::Kind::Job);
    EXPECT_EQ(full.job.pieces[1], (Bytes{0x1C, 0x71, 9}));
    EXPECT_EQ(full.job.pieces.size(), 3 + 2 * kMaxLogoRows);

    // The count is one byte of the command and the printer stores nine: a tenth row (which the
    // page's list never holds) abandons the download rather than sending a wrong count.
    const LogoJobOutcome ten =
        BuildLogoDownloadJob(testing::RowsBeside(rows), LogoMode::BlackWhite);
    EXPECT_EQ(ten.kind, LogoJobOutcome::Kind::Abandoned);
    EXPECT_TRUE(ten.message.empty());
    EXPECT_TRUE(ten.job.pieces.empty());
}

TEST(ControlFontFileLimits, ValueOf399CharactersIsReadAndOf400IsNoCommand) {
    ScratchDir dir;
    const std::string file = dir.Path("857CONTROL.ini");
    const std::u16string path = Utf8ToUtf16(file);
    struct Case {
        size_t chars;
        bool kept;
    } cases[] = {{kMaxControlCommandTextChars, true}, {kMaxControlCommandTextChars + 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chars);
        // "1B" pairs and a blank: the value is a command text of exactly `chars` characters.
        std::string value;
        while (value.size() < c.chars)
            value += value.size() % 3 == 2 ? ' ' : '1';
        value.back() = '2';
        const std::string text = "[Character Translation Table]\r\n41=" + value + "\r\n";
        dir.Write("857CONTROL.ini", Bytes(text.begin(), text.end()));
        const ControlFontRows rows = LoadControlFontTable(SystemPrivateProfile(), path);
        const std::u16string& command = rows[0x41 - kFirstControlFontChar].command;
        EXPECT_EQ(command, c.kept ? Utf8ToUtf16(value) : u"");
        // Either way the editor is never handed more than 128 bytes.
        ControlFontEntryExchange exchange;
        EXPECT_FALSE(BeginControlFontEdit(&rows[0x41 - kFirstControlFontChar], exchange) &&
                     exchange.commandLength > kMaxControlCommandBytes);
    }
}

}  // namespace
}  // namespace krv
