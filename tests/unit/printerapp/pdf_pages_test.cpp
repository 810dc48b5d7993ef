#include <fcntl.h>
#include <unistd.h>

#include <chrono>

#include <gtest/gtest.h>

#include "printerapp/child_process.h"
#include "printerapp/pdf_pages.h"

namespace krv::app {
namespace {

using namespace std::literals;

TEST(Pgm, ReadsTheRowsAfterTheHeader) {
    const auto page = ParsePgm("P5\n# made by hand\n3 2\n255\n\x01\x02\x03\x04\x05\x06"sv, 3, 2);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->width, 3u);
    EXPECT_EQ(page->height, 2u);
    EXPECT_EQ(page->pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(Pgm, RefusesWhatIsNotTheAskedPicture) {
    EXPECT_FALSE(ParsePgm("P6\n1 1\n255\n\x01\x02\x03"sv, 8, 8));  // colour
    EXPECT_FALSE(ParsePgm("P5\n1 1\n65535\n\x01\x02"sv, 8, 8));    // 16-bit
    EXPECT_FALSE(ParsePgm("P5\n2 2\n255\n\x01\x02\x03"sv, 8, 8));  // rows missing
    EXPECT_FALSE(ParsePgm("P5\n9 1\n255\n123456789"sv, 8, 8));     // too wide
    EXPECT_FALSE(ParsePgm("P5\n1 9\n255\n123456789"sv, 8, 8));     // too tall
    EXPECT_FALSE(ParsePgm("P5\n1 1\n255"sv, 8, 8));                // no data at all
    EXPECT_FALSE(ParsePgm("P5\n99999999999 1\n255\n"sv, 8, 8));    // absurd number
}

TEST(PdfInfo, GivesEachPageItsShownSize) {
    const std::string report =
        "Pages:           2\n"
        "Page    1 size:  226.77 x 300 pts\n"
        "Page    1 rot:   0\n"
        "Page    2 size:  72 x 144 pts (custom)\n"
        "Page    2 rot:   90\n";
    EXPECT_EQ(ParsePdfPageCount(report), 2);
    const auto pages = ParsePdfInfo(report, 2);
    ASSERT_TRUE(pages);
    EXPECT_EQ((*pages)[0].width, 567);
    EXPECT_EQ((*pages)[0].height, 750);
    EXPECT_EQ((*pages)[1].width, 360);  // turned: 144 pt across
    EXPECT_EQ((*pages)[1].height, 180);
    EXPECT_FALSE(ParsePdfInfo(report, 3));  // page 3 missing
    EXPECT_FALSE(ParsePdfInfo("Page 1 size: 0 x 10 pts\n", 1));
    EXPECT_EQ(ParsePdfPageCount("Title: x\n"), -1);
}

TEST(PdfPages, NarrowPagesKeepTheirWidthUnlessFitIsAsked) {
    EXPECT_EQ(RenderWidth({360, 10}, 512, false), 360);
    EXPECT_EQ(RenderWidth({360, 10}, 512, true), 512);
    EXPECT_EQ(RenderWidth({1488, 10}, 512, false), 512);
}

TEST(ChildProcess, TakesOutputErrorsAndExitCode) {
    const ProcessResult r =
        RunProcess({"sh", "-c", "printf out; printf err >&2; exit 3"}, 100, 10000);
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.output, "out");
    EXPECT_EQ(r.errors, "err");
    EXPECT_EQ(r.exitStatus, 3);
    EXPECT_FALSE(r.Succeeded());
}

TEST(ChildProcess, KillsAProgramPastItsDeadline) {
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult r = RunProcess({"sleep", "30"}, 100, 200);
    EXPECT_TRUE(r.timedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(ChildProcess, KillsAProgramThatFloodsItsOutput) {
    const ProcessResult r = RunProcess({"yes"}, 1000, 10000);
    EXPECT_TRUE(r.outputTooLarge);
    EXPECT_EQ(r.output.size(), 1000u);
}

// The server's sockets and files stay its own: the helper has only its three standard streams.
TEST(ChildProcess, GetsNoneOfTheCallersFiles) {
    const int fd = open("/dev/null", O_RDONLY);  // without O_CLOEXEC
    ASSERT_GE(fd, 3);
    const ProcessResult r = RunProcess({"sh", "-c", "ls /proc/$$/fd"}, 1000, 10000);
    close(fd);
    EXPECT_EQ(r.output, "0\n1\n2\n");
}

TEST(ChildProcess, AMissingProgramDoesNotStart) {
    EXPECT_FALSE(RunProcess({"krv-no-such-program"}, 100, 1000).started);
}

}  // namespace
}  // namespace krv::app
