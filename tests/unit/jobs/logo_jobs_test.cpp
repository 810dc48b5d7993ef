#include <gtest/gtest.h>

#include "channel/ansi_text.h"
#include "jobs/logo_jobs.h"
#include "imaging/bmp_format.h"
#include "imaging/logo_convert.h"
#include "imaging/mono_print.h"
#include "tests/common/test_bitmaps.h"
#include "tests/support/recording_spooler.h"

namespace krv {
namespace {

using test::CheckerFile;
using test::kBlack;
using test::kWhite;
using test::Mono1File;
using test::Rgb;
using test::ScratchFolder;
using test::SourceOf;

Bytes Piece(std::initializer_list<uint8_t> b) {
    return Bytes(b);
}

// ---------------------------------------------------------------- "LOGO"

TEST(LogoJob, ThreeBlackWhiteRows) {
    ScratchFolder dir;
    const std::vector<std::u16string> rows = {dir.Write("a.bmp", CheckerFile(100, 50)),
                                              dir.Write("b.bmp", CheckerFile(8, 8)),
                                              dir.Write("c.bmp", CheckerFile(33, 1))};
    const LogoJobOutcome o = BuildLogoDownloadJob(test::RowsBeside(rows), LogoMode::BlackWhite);
    ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
    EXPECT_FALSE(o.endedEarly);
    EXPECT_EQ(o.job.documentName, "LOGO");
    const auto& p = o.job.pieces;
    ASSERT_EQ(p.size(), 9u);
    EXPECT_EQ(p[0], Piece({0x1B, 0x40}));
    EXPECT_EQ(p[1], Piece({0x1C, 0x71, 0x03}));
    EXPECT_EQ(p[2], Piece({0x10, 0x00, 0x07, 0x00}));
    EXPECT_EQ(p[3].size(), 896u);
    EXPECT_EQ(p[4], Piece({0x04, 0x00, 0x01, 0x00}));
    EXPECT_EQ(p[5].size(), 32u);
    EXPECT_EQ(p[6], Piece({0x08, 0x00, 0x01, 0x00}));
    EXPECT_EQ(p[7].size(), 64u);
    EXPECT_EQ(p[8], Piece({0x0A}));
    // The data is the column image of the row as read for printing.
    EXPECT_EQ(p[5], EncodeColumnBitImage(*ReadMonoForPrint(rows[1], true, 8)).data);
}

TEST(LogoJob, ColourRowsPrintFromTheirWorkFiles) {
    ScratchFolder dir;
    const auto src = dir.Write(
        "c.bmp", test::Rgb24File(20, 9, [](int x, int) { return x < 10 ? kBlack : kWhite; }));
    ASSERT_EQ(HalftoneToMono(src, LogoWorkFile(src), HalftoneMethod::None, 0, 0).code,
              kConvertWritten);
    EXPECT_EQ(MonoFileOfRow({src, LogoWorkFile(src)}), LogoWorkFile(src));
    const LogoJobOutcome o = BuildLogoDownloadJob(test::RowsBeside({src}), LogoMode::BlackWhite);
    ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
    ASSERT_EQ(o.job.pieces.size(), 5u);
    EXPECT_EQ(o.job.pieces[2], Piece({0x04, 0x00, 0x02, 0x00}));
    // Column 0 is black (printed) below the 7 blank field rows; column 10 is white.
    const Bytes& data = o.job.pieces[3];
    EXPECT_EQ(data[0], 0x01);
    EXPECT_EQ(data[1], 0xFF);
    EXPECT_EQ(data[20], 0x00);
    EXPECT_EQ(data[21], 0x00);
}

TEST(LogoJob, OneGreyRow) {
    ScratchFolder dir;
    const auto src = dir.Write("g.bmp", test::Rgb24File(100, 50, [](int x, int y) {
                                   return Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 9};
                               }));
    ASSERT_EQ(ConvertRgb24ToGrey8(src, LogoWorkFile(src), 0, 0).code, kConvertWritten);
    const LogoJobOutcome o = BuildLogoDownloadJob(test::RowsBeside({src}), LogoMode::Grey);
    ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
    const auto& p = o.job.pieces;
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0], Piece({0x1B, 0x40}));
    EXPECT_EQ(p[1], Piece({0x1C, 0x72, 0x01}));
    EXPECT_EQ(p[2], Piece({0x01, 0x00, 0x0D, 0x00, 0x19, 0x00}));
    EXPECT_EQ(p[3].size(), 2600u);
    EXPECT_EQ(p[3], EncodeGreyPlanes(LogoWorkFile(src))->data);
    EXPECT_EQ(p[4], Piece({0x0A}));
}

TEST(LogoJob, ChecksBeforeTheJob) {
    ScratchFolder dir;
    EXPECT_EQ(BuildLogoDownloadJob(test::RowsBeside({}), LogoMode::BlackWhite).message,
              "请选择位图！");
    const auto missing =
        BuildLogoDownloadJob(test::RowsBeside({dir.Path("none.bmp")}), LogoMode::Grey);
    EXPECT_EQ(missing.kind, LogoJobOutcome::Kind::Refused);
    EXPECT_EQ(missing.message, "获取位图大小失败！");
    // The work file's size counts when there is one, else the source's.
    const auto big = dir.Write("big.bmp", Bytes(300000, 0));
    const auto small = dir.Write("small.bmp", CheckerFile(8, 8));
    dir.Write("smallTemp.bmp", Bytes(224288, 0));  // 300000 + 224288 = 524288
    EXPECT_EQ(BuildLogoDownloadJob(test::RowsBeside({big, small}), LogoMode::BlackWhite).message,
              "位图总计大小超过 512k！");
    dir.Write("smallTemp.bmp", Bytes(224287, 0));
    EXPECT_NE(BuildLogoDownloadJob(test::RowsBeside({big, small}), LogoMode::BlackWhite).message,
              "位图总计大小超过 512k！");
    // A row without any size is reported even after the rows already over the limit.
    EXPECT_EQ(
        BuildLogoDownloadJob(test::RowsBeside({big, big, dir.Path("none.bmp")}), LogoMode::Grey)
            .message,
        "获取位图大小失败！");
    EXPECT_EQ(BuildLogoDownloadJob(test::RowsBeside({small}), LogoMode::Original).kind,
              LogoJobOutcome::Kind::Abandoned);
}

TEST(LogoJob, ARowWithoutPolarityEndsTheJobThere) {
    ScratchFolder dir;
    const std::vector<std::u16string> rows = {
        dir.Write("a.bmp", CheckerFile(8, 8)),
        dir.Write("red.bmp", Mono1File(
                                 8, 8, [](int, int) { return true; }, Rgb{255, 0, 0}, kWhite)),
        dir.Write("c.bmp", CheckerFile(8, 8))};
    const LogoJobOutcome o = BuildLogoDownloadJob(test::RowsBeside(rows), LogoMode::BlackWhite);
    ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
    EXPECT_TRUE(o.endedEarly);
    ASSERT_EQ(o.job.pieces.size(), 4u);  // reset, 1C 71 03, the first row; no 0A
    EXPECT_EQ(o.job.pieces[1], Piece({0x1C, 0x71, 0x03}));
    // Sent as the page sends it: the page and the job are ended after what went out.
    RecordingSpooler spooler;
    EXPECT_TRUE(SendRawJob(spooler, o.job));
    using C = RecordingSpooler::Call;
    EXPECT_EQ(spooler.calls, (std::vector<C>{C::StartDoc, C::StartPage, C::Write, C::Write,
                                             C::Write, C::Write, C::EndPage, C::EndDoc}));
    EXPECT_EQ(spooler.Joined(), o.job.Joined());
}

TEST(LogoJob, AColourRowWithoutAWorkFileEndsTheJob) {
    ScratchFolder dir;
    const auto colour = dir.Write("c.bmp", test::Rgb24File(8, 8, [](int, int) { return kWhite; }));
    const auto grey = BuildLogoDownloadJob(test::RowsBeside({colour}), LogoMode::Grey);
    EXPECT_TRUE(grey.endedEarly);
    EXPECT_EQ(grey.job.pieces.size(), 2u);
    EXPECT_TRUE(BuildLogoDownloadJob(test::RowsBeside({colour}), LogoMode::BlackWhite).endedEarly);
}

TEST(ClearLogosJob, IsFiveBytesInOnePiece) {
    const PrinterJob job = BuildClearLogosJob();
    EXPECT_EQ(job.documentName, "SELFTEST");
    ASSERT_EQ(job.pieces.size(), 1u);
    EXPECT_EQ(job.pieces[0], Piece({0x1C, 0x71, 0x00, 0x00, 0x0A}));
}

// ---------------------------------------------------------------- "Pre-image"

BackSideRequest TextOnly(std::u16string text, LogoMode mode = LogoMode::BlackWhite) {
    BackSideRequest r;
    r.text = std::move(text);
    r.mode = mode;
    return r;
}

TEST(BackSideJob, TwoCharactersCentred) {
    BackSideRequest r = TextOnly(u"AB");
    r.position = BackSidePosition::Centre;
    const LogoJobOutcome o = BuildBackSideJob(r);
    ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
    EXPECT_EQ(o.job.documentName, "Pre-image");
    EXPECT_EQ(o.job.Joined(), (Bytes{0x1F, 0x68, 0x1B, 0x61, 0x01, 0x1B, 0x33, 0x18, 0x41, 0x42,
                                     0x00, 0x00, 0x0D, 0x0A, 0x1F, 0x68}));
    EXPECT_EQ(o.job.pieces.size(), 6u);
}

TEST(BackSideJob, TextLimitCountsTheZeroBytes) {
    ASSERT_TRUE(SetAnsiCodePage("GBK"));
    struct Case {
        std::u16string text;
        bool sent;
    } cases[] = {
        {std::u16string(1024, u'x'), true},  {std::u16string(1025, u'x'), false},
        {std::u16string(682, u'中'), true},   // 1364 + 682 = 2046 bytes
        {std::u16string(683, u'中'), false},  // 2049
        {std::u16string(5000, u'x'), false},
    };
    for (const auto& c : cases) {
        const LogoJobOutcome o = BuildBackSideJob(TextOnly(c.text));
        EXPECT_EQ(o.kind == LogoJobOutcome::Kind::Job, c.sent) << c.text.size();
        if (c.sent) {
            EXPECT_LE(o.job.pieces[3].size(), 2048u);
        } else {
            EXPECT_EQ(o.message, "字符个数不的超过2048个！");
        }
    }
    const LogoJobOutcome chinese = BuildBackSideJob(TextOnly(u"中"));
    EXPECT_EQ(chinese.job.pieces[3], (Bytes{0xD6, 0xD0, 0x00}));
}

TEST(BackSideJob, WhatEachModeAccepts) {
    ScratchFolder dir;
    const auto logo = dir.Write("l.bmp", CheckerFile(16, 24));
    struct Case {
        const char* name;
        BackSideRequest request;
        const char* message;  // empty: a job
        bool logo;
    };
    BackSideRequest rowsNoSelection = TextOnly(u"A");
    rowsNoSelection.rows = test::RowsBeside({logo});
    BackSideRequest greyWithRows = TextOnly(u"A", LogoMode::Grey);
    greyWithRows.rows = test::RowsBeside({logo});
    greyWithRows.selectedRow = 0;
    BackSideRequest selected = TextOnly(u"");
    selected.rows = test::RowsBeside({logo});
    selected.selectedRow = 0;
    const Case cases[] = {
        {"grey, no text", TextOnly(u"", LogoMode::Grey), "此下载功能只支持字符和位图！", false},
        {"original, no text", TextOnly(u"", LogoMode::Original), "此下载功能只支持字符和位图！",
         false},
        {"grey with rows and text: text only", greyWithRows, "", false},
        {"black-white, empty list, no text", TextOnly(u""), "请选择logo位图或输入要下载的字符！",
         false},
        {"black-white, empty list, text", TextOnly(u"A"), "", false},
        {"black-white, rows, none selected", rowsNoSelection, "请选择logo位图或输入要下载的字符！",
         false},
        {"black-white, selected row", selected, "", true},
    };
    for (const auto& c : cases) {
        const LogoJobOutcome o = BuildBackSideJob(c.request);
        EXPECT_EQ(o.message, c.message) << c.name;
        if (*c.message) continue;
        ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job) << c.name;
        const bool hasLogoPiece = o.job.pieces.size() >= 6 && o.job.pieces[3].size() > 5 &&
                                  o.job.pieces[3][0] == 0x1B && o.job.pieces[3][1] == 0x2A;
        EXPECT_EQ(hasLogoPiece, c.logo) << c.name;
    }
}

TEST(BackSideJob, SixteenByTwentyFourLogo) {
    ScratchFolder dir;
    BackSideRequest r;
    r.mode = LogoMode::BlackWhite;
    r.rows = test::RowsBeside({dir.Write("l.bmp", CheckerFile(16, 24))});
    r.selectedRow = 0;
    const LogoJobOutcome o = BuildBackSideJob(r);
    ASSERT_EQ(o.kind, LogoJobOutcome::Kind::Job);
    const auto& p = o.job.pieces;
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0], Piece({0x1F, 0x68}));
    EXPECT_EQ(p[1], Piece({0x1B, 0x61, 0x00}));
    EXPECT_EQ(p[2], Piece({0x1B, 0x33, 0x18}));
    // One band of 5 + 96 + 1 bytes, then the 96 zero bytes of its work area: (4 + 4) x 24 + 6.
    ASSERT_EQ(p[3].size(), 198u);
    EXPECT_EQ(Bytes(p[3].begin(), p[3].begin() + 5), (Bytes{0x1B, 0x2A, 0x21, 0x20, 0x00}));
    EXPECT_EQ(p[3][101], 0x0A);
    EXPECT_EQ(Bytes(p[3].begin() + 102, p[3].end()), Bytes(96, 0));
    EXPECT_EQ(p[4], Piece({0x0A}));
    EXPECT_EQ(p[5], Piece({0x1F, 0x68}));
}

TEST(BackSideJob, SizeChecksAndUnreadableLogos) {
    ScratchFolder dir;
    BackSideRequest r = TextOnly(u"A");
    r.rows = test::RowsBeside({dir.Path("missing.bmp")});
    r.selectedRow = 0;
    EXPECT_EQ(BuildBackSideJob(r).message, "获取logo位图大小错误！");
    r.rows = test::RowsBeside({dir.Write("big.bmp", Bytes(524288, 0))});
    EXPECT_EQ(BuildBackSideJob(r).message, "位图大小不得超过512k!");
    // A logo without polarity: no job and no message.
    r.rows = test::RowsBeside(
        {dir.Write("grey.bmp", Mono1File(
                                   8, 8, [](int, int) { return true; }, Rgb{9, 9, 9}, kWhite))});
    const LogoJobOutcome o = BuildBackSideJob(r);
    EXPECT_EQ(o.kind, LogoJobOutcome::Kind::Abandoned);
    EXPECT_EQ(o.message, "");
}

TEST(LogoRows, NineRowsAreDownloadedATenthIsNeverSent) {
    ScratchFolder dir;
    std::vector<std::u16string> rows;
    for (size_t i = 0; i < kMaxLogoRows + 1; ++i)
        rows.push_back(dir.Write("row" + std::to_string(i) + ".bmp", SourceOf(1, 8, 8)));

    const std::vector<std::u16string> nine(rows.begin(), rows.begin() + kMaxLogoRows);
    const LogoJobOutcome full = BuildLogoDownloadJob(test::RowsBeside(nine), LogoMode::BlackWhite);
    ASSERT_EQ(full.kind, LogoJobOutcome::Kind::Job);
    EXPECT_EQ(full.job.pieces[1], (Bytes{0x1C, 0x71, 9}));
    EXPECT_EQ(full.job.pieces.size(), 3 + 2 * kMaxLogoRows);

    // The count is one byte of the command and the printer stores nine: a tenth row (which the
    // page's list never holds) abandons the download rather than sending a wrong count.
    const LogoJobOutcome ten = BuildLogoDownloadJob(test::RowsBeside(rows), LogoMode::BlackWhite);
    EXPECT_EQ(ten.kind, LogoJobOutcome::Kind::Abandoned);
    EXPECT_TRUE(ten.message.empty());
    EXPECT_TRUE(ten.job.pieces.empty());
}

}  // namespace
}  // namespace krv
