#include <gtest/gtest.h>

#include "channel/ansi_text.h"
#include "devpages/logo_page_rules.h"
#include "imaging/bmp_format.h"
#include "files/files.h"
#include "tests/common/test_bitmaps.h"

namespace krv {
namespace {

using test::kBlack;
using test::kWhite;
using test::ScratchFolder;

Bytes Colour(int w, int h) {
    return test::Rgb24File(w, h, [](int x, int) {
        return x % 2 ? kWhite : test::Rgb{90, 120, 200};
    });
}
Bytes Mono(int w, int h) {
    return test::Mono1File(
        w, h, [](int x, int y) { return (x + y) % 2 == 0; }, kBlack, kWhite);
}

// Bit count of a row's work file, 0 when there is none.
int WorkDepth(const LogoPageState& page, size_t row) {
    const Bytes b = ScratchFolder::Read(page.RowWorkFile(row));
    return b.size() > 28 ? b[28] : 0;
}

bool SameSettings(const LogoRowSettings& a, const LogoRowSettings& b) {
    return a.method == b.method && a.contrast == b.contrast && a.brightness == b.brightness;
}

// Rows a.bmp, b.bmp, ... of colour pictures, added in `mode`.
std::vector<std::u16string> AddColourRows(LogoPageState& page, ScratchFolder& dir, int n) {
    std::vector<std::u16string> paths;
    for (int i = 0; i < n; ++i) {
        paths.push_back(
            dir.Write(std::string(1, static_cast<char>('a' + i)) + ".bmp", Colour(8 + i, 4)));
        EXPECT_TRUE(page.Add(paths.back()).accepted);
    }
    return paths;
}

TEST(LogoPageRows, ColumnsNumbersAndNames) {
    EXPECT_EQ(LogoRowNumber(0), u"1");
    EXPECT_EQ(LogoRowNumber(8), u"9");
    EXPECT_EQ(LogoRowName(u"C:\\pics\\标志.bmp"), u"标志.bmp");
    EXPECT_EQ(LogoRowName(u"/tmp/x/a.bmp"), u"a.bmp");
    EXPECT_EQ(LogoRowName(u"bare.bmp"), u"bare.bmp");
}

TEST(LogoPageRows, AddRefusesATenthRowAndBadFilesWithoutAddingThem) {
    ScratchFolder dir;
    LogoPageState page;
    EXPECT_EQ(page.Add(dir.Path("missing.bmp")).message, kMsgCannotOpenLogo);
    EXPECT_EQ(page.Add(dir.Write("wide.bmp", Mono(1025, 1))).message, kMsgLogoTooLarge);
    EXPECT_EQ(page.RowCount(), 0u);
    AddColourRows(page, dir, 9);
    const LogoAddCheck tenth = page.Add(dir.Write("j.bmp", Mono(8, 8)));
    EXPECT_FALSE(tenth.accepted);
    EXPECT_EQ(tenth.message, kMsgTooManyLogos);
    EXPECT_EQ(page.RowCount(), 9u);
}

TEST(LogoPageRows, EachModeAddsItsWorkFileAndStartingSettings) {
    struct Case {
        LogoMode mode;
        int colourWork, monoWork;  // work-file depth of a 24-bit and of a 1-bit source
        HalftoneMethod start;
    } cases[] = {{LogoMode::Original, 1, 0, HalftoneMethod::None},
                 {LogoMode::BlackWhite, 1, 0, HalftoneMethod::M3},
                 {LogoMode::Grey, 8, 8, HalftoneMethod::None}};
    for (const auto& c : cases) {
        ScratchFolder dir;
        LogoPageState page;
        page.ChooseMode(c.mode, -1, false);
        const auto colour = dir.Write("c.bmp", Colour(10, 3));
        const auto mono = dir.Write("m.bmp", Mono(10, 3));
        ASSERT_TRUE(page.Add(colour).accepted);
        ASSERT_TRUE(page.Add(mono).accepted);
        EXPECT_EQ(WorkDepth(page, 0), c.colourWork) << static_cast<int>(c.mode);
        EXPECT_EQ(WorkDepth(page, 1), c.monoWork) << static_cast<int>(c.mode);
        EXPECT_TRUE(SameSettings(page.Settings(1), {c.start, 0, 0}));
    }
}

TEST(LogoPageRows, DeletingRowTwoOfFourMovesTheLaterSettingsDown) {
    ScratchFolder dir;
    LogoPageState page;
    page.ChooseMode(LogoMode::BlackWhite, -1, false);
    const auto paths = AddColourRows(page, dir, 4);
    for (int row = 0; row < 4; ++row) {
        ASSERT_TRUE(page.SetContrast(row, 10 * (row + 1)));
        ASSERT_TRUE(page.SetMethod(row, static_cast<HalftoneMethod>(row)));
    }
    const std::u16string deletedWork = page.RowWorkFile(1);
    ASSERT_TRUE(page.Delete(1));
    ASSERT_EQ(page.RowCount(), 3u);
    EXPECT_EQ(page.RowPath(1), paths[2]);
    EXPECT_TRUE(SameSettings(page.Settings(0), {HalftoneMethod::None, 10, 0}));
    EXPECT_TRUE(SameSettings(page.Settings(1), {HalftoneMethod::M4, 30, 0}));
    EXPECT_TRUE(SameSettings(page.Settings(2), {HalftoneMethod::ErrorDiffusion, 40, 0}));
    EXPECT_TRUE(SameSettings(page.Settings(3), {}));
    // Only the deleted row's work file goes.
    EXPECT_FALSE(ScratchFolder::Exists(deletedWork));
    EXPECT_TRUE(ScratchFolder::Exists(page.RowWorkFile(1)));
    EXPECT_FALSE(page.Delete(3));

    // A row added after a deletion starts afresh, not with a stale entry.
    ASSERT_TRUE(page.Add(dir.Write("n.bmp", Colour(4, 4))).accepted);
    EXPECT_TRUE(SameSettings(page.Settings(3), {HalftoneMethod::M3, 0, 0}));
}

TEST(LogoPageModes, ButtonsAndBlackWhiteAvailability) {
    struct Case {
        LogoMode mode;
        bool rows, text;
        std::optional<bool> downloadAll, backSide;
        bool blackWhiteAvailable;
    } cases[] = {
        {LogoMode::Original, true, false, false, false, false},
        {LogoMode::Original, false, true, false, true, false},
        {LogoMode::BlackWhite, true, false, true, true, true},
        {LogoMode::BlackWhite, false, true, std::nullopt, std::nullopt, false},
        {LogoMode::Grey, true, false, true, false, false},
        {LogoMode::Grey, true, true, true, true, false},
        {LogoMode::Grey, false, true, std::nullopt, std::nullopt, false},
    };
    for (const auto& c : cases) {
        ScratchFolder dir;
        LogoPageState page;
        if (c.rows) AddColourRows(page, dir, 1);
        const LogoModeChange change = page.ChooseMode(c.mode, -1, c.text);
        const std::string at = std::to_string(&c - cases);
        EXPECT_EQ(change.downloadAllEnabled, c.downloadAll) << at;
        EXPECT_EQ(change.backSideEnabled, c.backSide) << at;
        EXPECT_EQ(page.BlackWhiteAvailable(), c.blackWhiteAvailable) << at;
        EXPECT_EQ(page.BackSideEnabled(false), c.blackWhiteAvailable) << at;
    }
}

TEST(LogoPageModes, BlackWhiteDeletesWorkFilesAndRegeneratesOnlyWithASelection) {
    ScratchFolder dir;
    LogoPageState page;
    page.ChooseMode(LogoMode::Grey, -1, false);
    const auto paths = AddColourRows(page, dir, 2);
    ASSERT_EQ(WorkDepth(page, 0), 8);
    page.SetBrightness(0, 50);

    page.ChooseMode(LogoMode::BlackWhite, -1, false);
    EXPECT_EQ(WorkDepth(page, 0), 0);
    EXPECT_EQ(WorkDepth(page, 1), 0);
    EXPECT_EQ(page.Settings(0).brightness, 50);

    EXPECT_TRUE(page.ChooseMode(LogoMode::BlackWhite, 1, false).redrawPreview);
    EXPECT_EQ(WorkDepth(page, 0), 1);
    EXPECT_EQ(WorkDepth(page, 1), 1);
    EXPECT_TRUE(SameSettings(page.Settings(0), {HalftoneMethod::M3, 0, 0}));

    // Original resets every row's settings but keeps the files.
    page.SetContrast(1, -20);
    page.ChooseMode(LogoMode::Original, 0, false);
    EXPECT_TRUE(SameSettings(page.Settings(1), {}));
    EXPECT_EQ(WorkDepth(page, 1), 1);
}

TEST(LogoPageModes, AnUnusableRowStopsTheConversionThere) {
    ScratchFolder dir;
    LogoPageState page;
    const auto paths = AddColourRows(page, dir, 3);
    page.SetContrast(2, 70);
    DeleteFileAt(paths[1]);  // the second source vanished since it was added

    const LogoModeChange grey = page.ChooseMode(LogoMode::Grey, 0, false);
    EXPECT_FALSE(grey.redrawPreview);
    EXPECT_EQ(WorkDepth(page, 0), 8);
    EXPECT_EQ(WorkDepth(page, 2), 1);  // still the Original-mode file from the add
    EXPECT_EQ(page.Settings(2).contrast, 70);
}

TEST(LogoPageModes, GreyStopsAtADepthItCannotConvertButBlackWhiteSkipsIt) {
    ScratchFolder dir;
    LogoPageState page;
    Bytes fourBit = Mono(8, 8);
    fourBit[28] = 4;
    const auto odd = dir.Write("odd.bmp", fourBit);
    const auto colour = dir.Write("col.bmp", Colour(8, 8));
    ASSERT_TRUE(page.Add(odd).accepted);
    ASSERT_TRUE(page.Add(colour).accepted);
    DeleteFileAt(page.RowWorkFile(1));

    EXPECT_FALSE(page.ChooseMode(LogoMode::Grey, 1, false).redrawPreview);
    EXPECT_EQ(WorkDepth(page, 1), 0);
    EXPECT_TRUE(page.ChooseMode(LogoMode::BlackWhite, 1, false).redrawPreview);
    EXPECT_EQ(WorkDepth(page, 1), 1);
}

TEST(LogoPagePreview, PictureAndToneControlsPerMode) {
    ScratchFolder dir;
    LogoPageState page;
    const auto colour = dir.Write("c.bmp", Colour(12, 5));
    const auto mono = dir.Write("m.bmp", Mono(12, 5));
    page.Add(colour);
    page.Add(mono);
    const std::u16string colourWork = page.RowWorkFile(0), monoWork = page.RowWorkFile(1);
    struct Case {
        LogoMode mode;
        int row;
        std::u16string picture;
        std::optional<bool> halftone, trackbars;
        int workDepth;  // of the row's work file after the preview
    } cases[] = {
        {LogoMode::Original, 0, colour, false, false, 0},
        {LogoMode::BlackWhite, 0, colourWork, true, true, 1},
        {LogoMode::BlackWhite, 1, mono, false, false, 0},
        {LogoMode::Grey, 1, monoWork, false, true, 8},
        {LogoMode::Grey, 0, colourWork, false, true, 8},
        {LogoMode::Grey, -1, u"", std::nullopt, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        page.ChooseMode(c.mode, -1, false);  // deletes work files in BlackWhite only
        page.DeleteWorkFiles();
        const LogoPreview p = page.Preview(c.row);
        const std::string at = std::to_string(&c - cases);
        EXPECT_EQ(p.picture, c.picture) << at;
        EXPECT_EQ(p.controls.halftone, c.halftone) << at;
        EXPECT_EQ(p.controls.trackbars, c.trackbars) << at;
        if (c.row >= 0) {
            EXPECT_EQ(WorkDepth(page, c.row), c.workDepth) << at;
        }
    }
}

TEST(LogoPagePreview, UsesTheSelectedRowsSettings) {
    ScratchFolder dir;
    LogoPageState page;
    page.ChooseMode(LogoMode::Grey, -1, false);
    const auto src = dir.Write("g.bmp", Colour(4, 1));
    page.Add(src);
    const Bytes plain = ScratchFolder::Read(page.RowWorkFile(0));
    ASSERT_TRUE(page.SetBrightness(0, 100));
    page.Preview(0);
    const Bytes brighter = ScratchFolder::Read(page.RowWorkFile(0));
    ASSERT_EQ(plain.size(), brighter.size());
    EXPECT_GT(brighter[1078], plain[1078]);
}

TEST(LogoPageState, ToneChangesNeedASelectedRowAndStayInRange) {
    ScratchFolder dir;
    LogoPageState page;
    AddColourRows(page, dir, 1);
    EXPECT_FALSE(page.SetContrast(-1, 40));
    EXPECT_FALSE(page.SetBrightness(1, 40));
    EXPECT_FALSE(page.SetMethod(-1, HalftoneMethod::M4));
    EXPECT_TRUE(SameSettings(page.Settings(0), {}));
    page.SetContrast(0, 250);
    page.SetBrightness(0, -101);
    EXPECT_TRUE(SameSettings(page.Settings(0), {HalftoneMethod::None, 100, -100}));
}

TEST(LogoPageState, ApplyDeletesWorkFilesButKeepsRows) {
    ScratchFolder dir;
    LogoPageState page;
    const auto paths = AddColourRows(page, dir, 2);
    ASSERT_TRUE(ScratchFolder::Exists(page.RowWorkFile(0)));
    page.DeleteWorkFiles();
    EXPECT_FALSE(ScratchFolder::Exists(page.RowWorkFile(0)));
    EXPECT_FALSE(ScratchFolder::Exists(page.RowWorkFile(1)));
    EXPECT_EQ(page.RowCount(), 2u);
    EXPECT_TRUE(ScratchFolder::Exists(paths[0]));
}

// Each row has a work file of its own in the page's folder under the temporary folder, even
// two rows of one bitmap; the folder goes with the page. (That nothing beside a source is
// touched, the page's own test under Windows shows.)
TEST(LogoWorkFiles, EveryRowHasItsOwnFileInThePagesFolder) {
    ScratchFolder dir;
    const auto colour = dir.Write("x.bmp", Colour(9, 4));
    std::u16string folder;
    {
        LogoPageState page;
        page.ChooseMode(LogoMode::Grey, -1, false);
        ASSERT_TRUE(page.Add(colour).accepted);
        ASSERT_TRUE(page.Add(colour).accepted);
        folder = page.RowWorkFile(0).substr(0, page.RowWorkFile(0).find_last_of(u'/'));
        EXPECT_EQ(folder.rfind(TemporaryFolder(), 0), 0u) << Utf16ToUtf8(folder);
        const Bytes first = ScratchFolder::Read(page.RowWorkFile(0));
        page.SetBrightness(1, 80);
        page.Preview(1);
        EXPECT_EQ(ScratchFolder::Read(page.RowWorkFile(0)), first);
        EXPECT_NE(ScratchFolder::Read(page.RowWorkFile(1)), first);
        EXPECT_FALSE(ScratchFolder::Exists(dir.Path("xTemp.bmp")));
    }
    EXPECT_FALSE(ScratchFolder::Exists(folder)) << "the page's folder goes with it";
}

TEST(LogoPageState, BackSideWithoutASelectedRowIsRefused) {
    ScratchFolder dir;
    LogoPageState page;
    AddColourRows(page, dir, 2);
    page.ChooseMode(LogoMode::BlackWhite, 0, true);
    page.SetPosition(BackSidePosition::Right);

    const BackSideRequest none = page.BackSide(u"AB", -1);
    EXPECT_EQ(none.selectedRow, -1);
    const LogoJobOutcome refused = BuildBackSideJob(none);
    EXPECT_EQ(refused.kind, LogoJobOutcome::Kind::Refused);
    EXPECT_EQ(refused.message, kMsgBackSideNothingToSend);

    const BackSideRequest second = page.BackSide(u"AB", 1);
    EXPECT_EQ(second.position, BackSidePosition::Right);
    EXPECT_EQ(second.rows.size(), 2u);
    const LogoJobOutcome sent = BuildBackSideJob(second);
    ASSERT_EQ(sent.kind, LogoJobOutcome::Kind::Job);
    EXPECT_EQ(sent.job.pieces[1], Bytes({0x1B, 0x61, 0x02}));
    EXPECT_EQ(page.BackSide(u"", 5).selectedRow, -1);
}

}  // namespace
}  // namespace krv
