// Every job the portable builders hand to the spooler, sent through a recording spooler that
// fails each call in turn. Whatever fails, the channel's promise holds: nothing is written
// after the failure, a started page and a started document are ended, the attempt reports
// failure, and the document name and data type are those of the job.
#include <gtest/gtest.h>

#include <functional>

#include "channel/ansi_text.h"
#include "jobs/logo_jobs.h"
#include "jobs/self_test.h"
#include "jobs/barcode_test_print.h"
#include "jobs/top_bottom_message.h"
#include "imaging/bmp_format.h"
#include "tests/common/test_bitmaps.h"
#include "tests/support/recording_spooler.h"

namespace krv {
namespace {

using Call = RecordingSpooler::Call;
using test::ScratchFolder;

// One way a page sends a job: the job it builds, and how the page hands it to the spooler
// (false: the job was not completed).
struct JobUnderTest {
    std::string name;
    PrinterJob job;
    std::function<bool(SpoolerSeam&)> send;
};

JobUnderTest Raw(std::string name, PrinterJob job) {
    JobUnderTest j{std::move(name), job, nullptr};
    j.send = [job](SpoolerSeam& s) { return SendRawJob(s, job); };
    return j;
}

// The calls the channel makes when call `failing` (the nth of its kind) fails, written out
// from its contract for a job of `pieces` pieces.
std::vector<Call> ExpectedCalls(Call failing, int nth, size_t pieces) {
    std::vector<Call> calls{Call::StartDoc};
    if (failing == Call::StartDoc) return calls;
    calls.push_back(Call::StartPage);
    if (failing == Call::StartPage) return {Call::StartDoc, Call::StartPage, Call::EndDoc};
    const size_t writes = failing == Call::Write ? static_cast<size_t>(nth) + 1 : pieces;
    calls.insert(calls.end(), writes, Call::Write);
    calls.push_back(Call::EndPage);
    calls.push_back(Call::EndDoc);
    return calls;
}

struct Failure {
    Call call;
    int nth;
};

std::vector<Failure> EveryFailure(size_t pieces) {
    std::vector<Failure> all{{Call::StartDoc, 0}, {Call::StartPage, 0}};
    for (size_t k = 0; k < pieces; ++k)
        all.push_back({Call::Write, static_cast<int>(k)});
    all.push_back({Call::EndPage, 0});
    all.push_back({Call::EndDoc, 0});
    return all;
}

std::string Describe(const Failure& f) {
    static const char* names[] = {"StartDoc", "StartPage", "Write", "EndPage", "EndDoc"};
    return std::string(names[static_cast<int>(f.call)]) + " #" + std::to_string(f.nth);
}

void CheckEveryFailure(const JobUnderTest& j) {
    SCOPED_TRACE(j.name);
    ASSERT_FALSE(j.job.pieces.empty());
    const size_t pieces = j.job.pieces.size();
    for (const Failure& f : EveryFailure(pieces)) {
        SCOPED_TRACE(Describe(f));
        RecordingSpooler spooler;
        spooler.FailAt(f.call, f.nth);
        EXPECT_FALSE(j.send(spooler));
        EXPECT_EQ(spooler.calls, ExpectedCalls(f.call, f.nth, pieces));
        // The pieces before a failed write went out unchanged; none after it.
        const size_t written = f.call == Call::Write ? static_cast<size_t>(f.nth)
                               : f.call == Call::StartDoc || f.call == Call::StartPage ? 0
                                                                                       : pieces;
        ASSERT_EQ(spooler.pieces.size(), written);
        for (size_t k = 0; k < written; ++k)
            EXPECT_EQ(spooler.pieces[k], j.job.pieces[k]) << "piece " << k;
        if (f.call != Call::StartDoc) {
            EXPECT_EQ(spooler.documentName, j.job.documentName);
            EXPECT_EQ(spooler.dataType, "RAW");
        }
    }
    // And without a failure the whole job arrives as built.
    RecordingSpooler spooler;
    EXPECT_TRUE(j.send(spooler));
    EXPECT_EQ(spooler.calls, ExpectedCalls(Call::EndDoc, 0, pieces));
    EXPECT_EQ(spooler.pieces, j.job.pieces);
    EXPECT_EQ(spooler.documentName, j.job.documentName);
}

class SpoolerFailures : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SetAnsiCodePage("GBK")); }

    // A 1-bit row source that prints as it stands.
    std::u16string MonoSource(const std::string& name, int w, int h) {
        return dir.Write(name, test::Mono1File(
                                   w, h, [](int x, int y) { return (x + y) % 3 == 0; },
                                   test::kBlack, test::kWhite));
    }
    // A colour source with a grey work file beside it.
    std::u16string GreySource(const std::string& name, int w, int h) {
        const std::u16string source =
            dir.Write(name, test::Rgb24File(w, h, [](int, int) { return test::kWhite; }));
        dir.Write(name.substr(0, name.size() - 4) + "Temp.bmp",
                  test::Grey8File(w, h, [](int x, int y) { return uint8_t(x * 16 + y); }));
        return source;
    }

    ScratchFolder dir;
};

TEST_F(SpoolerFailures, TopBottomMessage) {
    const TopBottomLines lines = {u"front 1", u"", u"背面", u"back 2"};
    const TopBottomMessageBuild build = BuildTopBottomMessageJob(lines);
    ASSERT_EQ(build.status, TopBottomMessageBuild::Status::Ready);
    CheckEveryFailure(Raw("TopbottomMessage", build.job));
}

TEST_F(SpoolerFailures, SelfTestThroughItsOwnSender) {
    CheckEveryFailure(
        {"SELFTEST", BuildSelfTestJob(), [](SpoolerSeam& s) { return SendSelfTest(s); }});
}

TEST_F(SpoolerFailures, TwoDimensionalTestPrintReportsOnlyTheSpoolerFailure) {
    OemDevmode record;
    DefaultOemDevmode(&record);
    const TestPrintBuild build =
        BuildTestPrint(record, BarcodePageKind::TwoDimensional, 0, u"01234567890123");
    ASSERT_EQ(build.status, TestPrintStatus::Built);
    ASSERT_EQ(build.job.documentName, "2Dcode");
    // The page shows a message for refused data only; a spooler failure is SpoolerFailed.
    CheckEveryFailure({"2Dcode", build.job, [&record](SpoolerSeam& s) {
                           const TestPrintStatus status = BarcodeTestPrint(
                               s, record, BarcodePageKind::TwoDimensional, 0, u"01234567890123");
                           EXPECT_NE(status, TestPrintStatus::DataRefused);
                           return status == TestPrintStatus::Built;
                       }});
}

TEST_F(SpoolerFailures, ClearAllLogos) {
    CheckEveryFailure(Raw("clear-all SELFTEST", BuildClearLogosJob()));
}

TEST_F(SpoolerFailures, LogoDownloadInBothModes) {
    const std::vector<std::u16string> mono = {MonoSource("a.bmp", 20, 9),
                                              MonoSource("b.bmp", 8, 16)};
    const LogoJobOutcome blackWhite =
        BuildLogoDownloadJob(test::RowsBeside(mono), LogoMode::BlackWhite);
    ASSERT_EQ(blackWhite.kind, LogoJobOutcome::Kind::Job);
    ASSERT_FALSE(blackWhite.endedEarly);
    CheckEveryFailure(Raw("LOGO black and white", blackWhite.job));

    const std::vector<std::u16string> grey = {GreySource("c.bmp", 12, 5),
                                              GreySource("d.bmp", 3, 3)};
    const LogoJobOutcome greyJob = BuildLogoDownloadJob(test::RowsBeside(grey), LogoMode::Grey);
    ASSERT_EQ(greyJob.kind, LogoJobOutcome::Kind::Job);
    ASSERT_FALSE(greyJob.endedEarly);
    CheckEveryFailure(Raw("LOGO grey", greyJob.job));
}

TEST_F(SpoolerFailures, LogoDownloadEndedAtAnUnreadableRow) {
    // The second row's file is not a bitmap: the job holds what came before it.
    const std::u16string bad = dir.Write("bad.bmp", Bytes(100, 0x42));
    const LogoJobOutcome o = BuildLogoDownloadJob(
        test::RowsBeside({MonoSource("a.bmp", 16, 8), bad}), LogoMode::BlackWhite);
    ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
    ASSERT_TRUE(o.endedEarly);
    CheckEveryFailure(Raw("LOGO ended early", o.job));
}

TEST_F(SpoolerFailures, BackSideTextAndLogo) {
    BackSideRequest r;
    r.text = u"反面 text";
    r.position = BackSidePosition::Centre;
    r.mode = LogoMode::BlackWhite;
    r.rows = test::RowsBeside({MonoSource("logo.bmp", 30, 26)});
    r.selectedRow = 0;
    const LogoJobOutcome o = BuildBackSideJob(r);
    ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
    CheckEveryFailure(Raw("Pre-image", o.job));
}

// A write the spooler accepts only in part is not a failure for these jobs (only the file
// download insists on every byte): the job goes on and ends normally.
TEST_F(SpoolerFailures, ShortWriteIsNotAFailureOutsideTheFileDownload) {
    const PrinterJob job = BuildClearLogosJob();
    RecordingSpooler spooler;
    spooler.FailAt(Call::Write, 0, 2);
    EXPECT_TRUE(SendRawJob(spooler, job));
    EXPECT_EQ(spooler.calls, ExpectedCalls(Call::EndDoc, 0, 1));
    RecordingSpooler strict;
    strict.FailAt(Call::Write, 0, 2);
    EXPECT_FALSE(SendRawJob(strict, job, SendOptions{.requireAllWritten = true}));
    EXPECT_EQ(strict.calls, ExpectedCalls(Call::Write, 0, 1));
}

}  // namespace
}  // namespace krv
