// The download page of the printer sheet, created for real and driven as a user would: the
// file group's "FIRMWARE" job, the logo rows with their checks, settings and work files, the
// mode buttons, and the "LOGO", clear-all and back-side jobs as the recorded spooler saw them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "res/download_page_ids.h"
#include "tests/win/support/download_helpers.h"
#include "tests/win/support/fake_file_dialog.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

constexpr unsigned long kOpenFlags = 0x00202C06;

const wchar_t kTooMany[] = L"位图总数为9,\n选择其它位图前请删除部分已选位图！";
const wchar_t kTooLarge[] = L"选择的图像太大！\n宽度必须小于1024 Byte，高度必须小于768 Byte!";

using Call = RecordingSpooler::Call;

FileBytes Checker(int w, int h) {
    return MonoBitmap(w, h, [](int x, int y) { return (x + y) % 2 == 0; });
}
FileBytes Stripes(int w, int h) {
    return ColourBitmap(w, h, [](int x, int) {
        return x % 3 ? Colour{200, 40, 90} : Colour{250, 250, 250};
    });
}

int Position(HWND page, int trackbar) {
    return static_cast<int>(SendDlgItemMessageW(page, trackbar, TBM_GETPOS, 0, 0));
}

class DownloadPage : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSpooler();
        ResetFileDialog();
        sheet.Open();
        page = sheet.Page(1);
        ASSERT_NE(page, nullptr);
    }

    // "添加" with the file dialog answering `path`.
    void AddLogo(const std::wstring& path) {
        QueueOpenFileAnswer(path);
        Click(page, IDC_DOWNLOAD_ADD_LOGO);
    }
    std::vector<std::wstring> AddColourRows(int n) {
        std::vector<std::wstring> paths;
        for (int i = 0; i < n; ++i) {
            paths.push_back(folder.Write(L"c" + std::to_wstring(i) + L".bmp", Stripes(9 + i, 6)));
            AddLogo(paths.back());
        }
        return paths;
    }
    // Selects `row` and chooses a mode with the buttons a selected row enables.
    void ChooseMode(int row, int modeButton) {
        ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, row);
        Click(page, modeButton);
    }
    const ModalSeen* LastMessage() const {
        return watcher.seen.empty() ? nullptr : &watcher.seen.back();
    }

    ScratchFolder folder;
    ModalWatcher watcher;
    Sheet sheet{Sheet::Kind::Printer};
    HWND page = nullptr;
};

TEST_F(DownloadPage, StartsWithOnlyTheControlsThatApply) {
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(page, IDC_DOWNLOAD_FILE_PATH), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_BROWSE));
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_FILE));
    const wchar_t* titles[] = {L"序号", L"名称", L"路径"};
    const int widths[] = {70, 150, 300};
    HWND list = GetDlgItem(page, IDC_DOWNLOAD_LOGO_LIST);
    for (int c = 0; c < 3; ++c) {
        wchar_t text[32] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 32;
        ASSERT_TRUE(ListView_GetColumn(list, c, &column));
        EXPECT_STREQ(text, titles[c]);
        EXPECT_EQ(ListView_GetColumnWidth(list, c), widths[c]);
    }
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(IsChecked(page, IDC_DOWNLOAD_ORIGINAL));
    EXPECT_TRUE(IsChecked(page, IDC_DOWNLOAD_NO_DITHER));
    EXPECT_TRUE(IsChecked(page, IDC_DOWNLOAD_BACK_SIDE_LEFT));
    for (int bar : {IDC_DOWNLOAD_CONTRAST, IDC_DOWNLOAD_BRIGHTNESS}) {
        HWND trackbar = GetDlgItem(page, bar);
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0), -100);
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0), 100);
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETPAGESIZE, 0, 0), 20);
        EXPECT_EQ(SendMessageW(trackbar, TBM_GETLINESIZE, 0, 0), 1);
        EXPECT_EQ(Position(page, bar), 0);
        EXPECT_FALSE(IsEnabled(page, bar));
    }
    EXPECT_EQ(ItemText(page, IDC_DOWNLOAD_CONTRAST_VALUE), L"0");
    EXPECT_EQ(ItemText(page, IDC_DOWNLOAD_BRIGHTNESS_VALUE), L"0");
    for (int id : {IDC_DOWNLOAD_ALL_LOGOS, IDC_DOWNLOAD_BACK_SIDE, IDC_DOWNLOAD_ORIGINAL,
                   IDC_DOWNLOAD_BLACK_WHITE, IDC_DOWNLOAD_GREY, IDC_DOWNLOAD_NO_DITHER})
        EXPECT_FALSE(IsEnabled(page, id)) << id;
}

// ---------------------------------------------------------------- file group

TEST_F(DownloadPage, FileGroupSendsTheChosenFileUnchanged) {
    FileBytes firmware(70000);
    for (size_t i = 0; i < firmware.size(); ++i)
        firmware[i] = static_cast<uint8_t>(i * 7 + i / 256);
    const std::wstring path = folder.Write(L"monitor.xyz", firmware);
    QueueOpenFileAnswer(path);
    Click(page, IDC_DOWNLOAD_BROWSE);
    ASSERT_EQ(FileDialogRequests().size(), 1u);
    const FileDialogRequest& asked = FileDialogRequests()[0];
    EXPECT_EQ(asked.filter,
              L"*.JK(Firmware)|*.JK|*.DAT(Data)|*.DAT|*.FNT(Font)|*.FNT|*.ZK(Font)|*.ZK|"
              L"*.EEP(EEPROM)|*.EEP|*.*(All)|*.*|");
    EXPECT_EQ(asked.title, L"请选择文件");
    EXPECT_EQ(asked.filterIndex, 1u);
    EXPECT_EQ(asked.flags, kOpenFlags);
    EXPECT_EQ(ItemText(page, IDC_DOWNLOAD_FILE_PATH), path);
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_FILE));

    Click(page, IDC_DOWNLOAD_BROWSE);  // cancelled: the first choice stays
    EXPECT_EQ(FileDialogRequests().size(), 2u);
    EXPECT_EQ(ItemText(page, IDC_DOWNLOAD_FILE_PATH), path);
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_FILE));

    Click(page, IDC_DOWNLOAD_FILE);
    EXPECT_EQ(Spooler().documentName, "FIRMWARE");
    EXPECT_EQ(Spooler().dataType, "RAW");
    ASSERT_EQ(Spooler().pieces.size(), 1u);
    EXPECT_EQ(Spooler().pieces[0], firmware);
    EXPECT_TRUE(watcher.seen.empty());
}

TEST_F(DownloadPage, FileGroupReportsAFileHeldOpenForWriting) {
    const std::wstring path = folder.Write(L"font.FNT", FileBytes(10, 0x55));
    QueueOpenFileAnswer(path);
    Click(page, IDC_DOWNLOAD_BROWSE);
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Click(page, IDC_DOWNLOAD_FILE);
    CloseHandle(writer);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, L"错误");
    EXPECT_EQ(watcher.seen[0].text, L"打开文件失败！");
    EXPECT_EQ(Spooler().jobs, 0);
    EXPECT_TRUE(Spooler().calls.empty());
}

// ---------------------------------------------------------------- adding and deleting rows

TEST_F(DownloadPage, ATenthLogoIsRefusedBeforeTheFileDialogOpens) {
    AddColourRows(9);
    ASSERT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 9);
    const FileDialogRequest& asked = FileDialogRequests().back();
    EXPECT_EQ(asked.filter, L"*.bmp|*.bmp|");
    EXPECT_EQ(asked.title, L"请选择Logo文件");
    EXPECT_EQ(asked.flags, kOpenFlags);
    EXPECT_EQ(asked.filterIndex, 1u);
    ASSERT_EQ(FileDialogRequests().size(), 9u);

    Click(page, IDC_DOWNLOAD_ADD_LOGO);
    EXPECT_EQ(FileDialogRequests().size(), 9u);
    ASSERT_NE(LastMessage(), nullptr);
    EXPECT_EQ(LastMessage()->caption, L"ok");
    EXPECT_EQ(LastMessage()->text, kTooMany);
    EXPECT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 9);

    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 4);
    Click(page, IDC_DOWNLOAD_DELETE_LOGO);
    AddLogo(folder.Write(L"tenth.bmp", Checker(8, 8)));
    EXPECT_EQ(FileDialogRequests().size(), 10u);
    EXPECT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 9);
    EXPECT_EQ(ListCell(page, IDC_DOWNLOAD_LOGO_LIST, 8, 0), L"9");
    EXPECT_EQ(ListCell(page, IDC_DOWNLOAD_LOGO_LIST, 8, 1), L"tenth.bmp");
}

TEST_F(DownloadPage, PicturesUpTo1024By768AreAccepted) {
    const std::wstring largest = folder.Write(L"max.bmp", Checker(1024, 768));
    AddLogo(largest);
    EXPECT_TRUE(watcher.seen.empty());
    ASSERT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 1);
    EXPECT_EQ(ListCell(page, IDC_DOWNLOAD_LOGO_LIST, 0, 0), L"1");
    EXPECT_EQ(ListCell(page, IDC_DOWNLOAD_LOGO_LIST, 0, 1), L"max.bmp");
    EXPECT_EQ(ListCell(page, IDC_DOWNLOAD_LOGO_LIST, 0, 2), largest);

    for (auto size : {std::pair{1025, 768}, std::pair{1024, 769}}) {
        AddLogo(folder.Write(L"big.bmp", Checker(size.first, size.second)));
        ASSERT_NE(LastMessage(), nullptr);
        EXPECT_EQ(LastMessage()->caption, L"错误");
        EXPECT_EQ(LastMessage()->text, kTooLarge);
    }
    EXPECT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 1);
}

TEST_F(DownloadPage, AFileThatIsMissingOrShortIsReported) {
    AddLogo(folder.Path(L"gone.bmp"));
    AddLogo(folder.Write(L"short.bmp", FileBytes(61, 'B')));
    ASSERT_EQ(watcher.seen.size(), 2u);
    EXPECT_EQ(watcher.seen[0].text, L"打开选择的文件失败！");
    EXPECT_EQ(watcher.seen[1].text, L"从文件读取数据失败！");
    EXPECT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 0);
}

TEST_F(DownloadPage, DeletingRowTwoOfFourRenumbersAndMovesTheSettings) {
    const auto paths = AddColourRows(4);
    ChooseMode(0, IDC_DOWNLOAD_BLACK_WHITE);
    for (int row = 0; row < 4; ++row) {
        ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, row);
        DragTrackbar(page, IDC_DOWNLOAD_CONTRAST, 10 * (row + 1));
        Click(page, IDC_DOWNLOAD_NO_DITHER + row);
    }
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 1);
    Click(page, IDC_DOWNLOAD_DELETE_LOGO);
    ASSERT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 3);
    const wchar_t* names[] = {L"c0.bmp", L"c2.bmp", L"c3.bmp"};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(ListCell(page, IDC_DOWNLOAD_LOGO_LIST, row, 0), std::to_wstring(row + 1));
        EXPECT_EQ(ListCell(page, IDC_DOWNLOAD_LOGO_LIST, row, 1), names[row]);
    }
    EXPECT_FALSE(FileExists(LogoWorkFileOfRow(2)));
    EXPECT_TRUE(FileExists(LogoWorkFileOfRow(3)));
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_BLACK_WHITE));  // no row is selected any more

    for (int row = 1; row < 3; ++row) {
        ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, row);
        EXPECT_EQ(Position(page, IDC_DOWNLOAD_CONTRAST), 10 * (row + 2));
        EXPECT_EQ(ItemText(page, IDC_DOWNLOAD_CONTRAST_VALUE), std::to_wstring(10 * (row + 2)));
        EXPECT_TRUE(IsChecked(page, IDC_DOWNLOAD_NO_DITHER + row + 1));
    }
    // A row added now starts from M3, not from the entry the deleted row left behind.
    AddLogo(folder.Write(L"new.bmp", Stripes(5, 5)));
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 3);
    EXPECT_EQ(Position(page, IDC_DOWNLOAD_CONTRAST), 0);
    EXPECT_TRUE(IsChecked(page, IDC_DOWNLOAD_DITHER_M3));
}

// ---------------------------------------------------------------- modes, controls and jobs

TEST_F(DownloadPage, ModeButtonsGovernTheJobButtons) {
    AddColourRows(1);
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_GREY));
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 0);
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_GREY));

    Click(page, IDC_DOWNLOAD_GREY);
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_ALL_LOGOS));
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_BACK_SIDE));
    SetText(page, IDC_DOWNLOAD_BACK_SIDE_TEXT, L"AB");
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_BACK_SIDE));
    SetText(page, IDC_DOWNLOAD_BACK_SIDE_TEXT, L"");
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_BACK_SIDE));

    Click(page, IDC_DOWNLOAD_BLACK_WHITE);
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_ALL_LOGOS));
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_BACK_SIDE));
    SetText(page, IDC_DOWNLOAD_BACK_SIDE_TEXT, L"");  // black-and-white rows alone keep it enabled
    EXPECT_TRUE(IsEnabled(page, IDC_DOWNLOAD_BACK_SIDE));

    Click(page, IDC_DOWNLOAD_ORIGINAL);
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_ALL_LOGOS));
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_BACK_SIDE));
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, -1);
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_ORIGINAL));
}

TEST_F(DownloadPage, ToneControlsFollowTheModeAndTheRowsDepth) {
    AddColourRows(1);
    AddLogo(folder.Write(L"mono.bmp", Checker(16, 4)));
    struct Case {
        int mode, row;
        bool halftone, trackbars;
    } cases[] = {{IDC_DOWNLOAD_BLACK_WHITE, 0, true, true},
                 {IDC_DOWNLOAD_BLACK_WHITE, 1, false, false},
                 {IDC_DOWNLOAD_GREY, 0, false, true},
                 {IDC_DOWNLOAD_ORIGINAL, 0, false, false}};
    for (const auto& c : cases) {
        ChooseMode(c.row, c.mode);
        ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, c.row);
        const int at = static_cast<int>(&c - cases);
        EXPECT_EQ(IsEnabled(page, IDC_DOWNLOAD_DITHER_M3), c.halftone) << at;
        EXPECT_EQ(IsEnabled(page, IDC_DOWNLOAD_CONTRAST), c.trackbars) << at;
        EXPECT_EQ(IsEnabled(page, IDC_DOWNLOAD_BRIGHTNESS), c.trackbars) << at;
    }
}

TEST_F(DownloadPage, TrackbarsChangeOnlyASelectedRow) {
    const auto paths = AddColourRows(1);
    ChooseMode(0, IDC_DOWNLOAD_GREY);
    const FileBytes plain = ReadWholeFile(LogoWorkFileOfRow(1));
    ASSERT_GT(plain.size(), 1078u);
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, -1);
    DragTrackbar(page, IDC_DOWNLOAD_CONTRAST, 40);
    EXPECT_EQ(ItemText(page, IDC_DOWNLOAD_CONTRAST_VALUE), L"0");
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 0);

    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 0);
    EXPECT_EQ(Position(page, IDC_DOWNLOAD_CONTRAST), 0);
    DragTrackbar(page, IDC_DOWNLOAD_BRIGHTNESS, -37);
    EXPECT_EQ(ItemText(page, IDC_DOWNLOAD_BRIGHTNESS_VALUE), L"-37");
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 1);
    // The preview rewrote the grey work file with the new brightness.
    const FileBytes darker = ReadWholeFile(LogoWorkFileOfRow(1));
    ASSERT_EQ(darker.size(), plain.size());
    EXPECT_LT(darker[1078], plain[1078]);

    SendDlgItemMessageW(page, IDC_DOWNLOAD_BRIGHTNESS, TBM_SETPOS, TRUE, 0);
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 0);
    EXPECT_EQ(Position(page, IDC_DOWNLOAD_BRIGHTNESS), -37);
}

TEST_F(DownloadPage, ThreeMonoRowsMakeTheLogoJob) {
    AddLogo(folder.Write(L"a.bmp", Checker(100, 50)));
    AddLogo(folder.Write(L"b.bmp", Checker(8, 8)));
    AddLogo(folder.Write(L"c.bmp", Checker(33, 1)));
    ChooseMode(0, IDC_DOWNLOAD_BLACK_WHITE);
    Click(page, IDC_DOWNLOAD_ALL_LOGOS);
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(Spooler().documentName, "LOGO");
    const auto& p = Spooler().pieces;
    ASSERT_EQ(p.size(), 9u);
    EXPECT_EQ(p[0], FileBytes({0x1B, 0x40}));
    EXPECT_EQ(p[1], FileBytes({0x1C, 0x71, 0x03}));
    EXPECT_EQ(p[2], FileBytes({0x10, 0x00, 0x07, 0x00}));
    EXPECT_EQ(p[3].size(), 896u);
    EXPECT_EQ(p[4], FileBytes({0x04, 0x00, 0x01, 0x00}));
    EXPECT_EQ(p[5].size(), 32u);
    EXPECT_EQ(p[6], FileBytes({0x08, 0x00, 0x01, 0x00}));
    EXPECT_EQ(p[7].size(), 64u);
    EXPECT_EQ(p[8], FileBytes({0x0A}));
    EXPECT_EQ(Spooler().calls.back(), Call::EndDoc);
}

TEST_F(DownloadPage, ApplyDeletesTheWorkFilesAndAJobThenEndsPartWay) {
    const auto paths = AddColourRows(2);
    ChooseMode(0, IDC_DOWNLOAD_BLACK_WHITE);
    const std::wstring works[] = {LogoWorkFileOfRow(1), LogoWorkFileOfRow(2)};
    ASSERT_TRUE(FileExists(works[0]));
    ASSERT_TRUE(FileExists(works[1]));
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, -1);  // no preview rewrites a work file from here on

    sheet.PressApply();
    EXPECT_FALSE(FileExists(works[0]));
    EXPECT_FALSE(FileExists(works[1]));
    EXPECT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 2);
    EXPECT_TRUE(FileExists(paths[0]));

    Click(page, IDC_DOWNLOAD_ALL_LOGOS);
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(Spooler().documentName, "LOGO");
    EXPECT_EQ(Spooler().pieces, (std::vector<Bytes>{{0x1B, 0x40}, {0x1C, 0x71, 0x02}}));
    EXPECT_EQ(Spooler().calls, (std::vector<Call>{Call::StartDoc, Call::StartPage, Call::Write,
                                                  Call::Write, Call::EndPage, Call::EndDoc}));
}

TEST_F(DownloadPage, CancelDeletesTheWorkFiles) {
    const auto paths = AddColourRows(1);
    ChooseMode(0, IDC_DOWNLOAD_GREY);
    const std::wstring work = LogoWorkFileOfRow(1);
    ASSERT_TRUE(FileExists(work));
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, -1);
    SendMessageW(sheet.window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    PumpMessages();
    EXPECT_FALSE(FileExists(work));
}

// Work files live in the page's own folder: a user's file with a work file's old name beside a
// source (xTemp.bmp beside x.bmp, also beside a 1-bit source) is never written or deleted, and
// the folder goes with the page.
TEST_F(DownloadPage, AUsersFileNamedLikeAWorkFileSurvivesEverything) {
    const FileBytes mine(300, 0x5C);
    const std::wstring colour = folder.Write(L"x.bmp", Stripes(12, 8));
    const std::wstring mono = folder.Write(L"m.bmp", Checker(16, 8));
    folder.Write(L"xTemp.bmp", mine);
    folder.Write(L"mTemp.bmp", mine);
    AddLogo(colour);
    AddLogo(mono);
    AddLogo(colour);
    ASSERT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 3);
    ChooseMode(0, IDC_DOWNLOAD_BLACK_WHITE);
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 2);
    DragTrackbar(page, IDC_DOWNLOAD_CONTRAST, 40);
    Click(page, IDC_DOWNLOAD_DITHER_M3 + 1);
    Click(page, IDC_DOWNLOAD_ALL_LOGOS);
    EXPECT_EQ(Spooler().documentName, "LOGO");
    EXPECT_EQ(Spooler().pieces.size(), 3u + 2 * 3) << "every row sent";
    ChooseMode(1, IDC_DOWNLOAD_GREY);
    Click(page, IDC_DOWNLOAD_ALL_LOGOS);
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 2);
    Click(page, IDC_DOWNLOAD_DELETE_LOGO);
    sheet.PressApply();
    ChooseMode(0, IDC_DOWNLOAD_BLACK_WHITE);
    EXPECT_TRUE(watcher.seen.empty());
    ASSERT_FALSE(LogoWorkFolder().empty());
    SendMessageW(sheet.window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    PumpMessages();
    EXPECT_EQ(ReadWholeFile(folder.Path(L"xTemp.bmp")), mine);
    EXPECT_EQ(ReadWholeFile(folder.Path(L"mTemp.bmp")), mine);
    sheet.Close();
    EXPECT_EQ(LogoWorkFolder(), L"") << "the page's folder is gone with the page";
}

TEST_F(DownloadPage, ClearAllSendsTheSelftestJob) {
    Click(page, IDC_DOWNLOAD_CLEAR_LOGOS);
    EXPECT_EQ(Spooler().documentName, "SELFTEST");
    EXPECT_EQ(Spooler().pieces, (std::vector<Bytes>{{0x1C, 0x71, 0x00, 0x00, 0x0A}}));
    EXPECT_EQ(Spooler().calls.back(), Call::EndDoc);
}

TEST_F(DownloadPage, BackSideNeedsASelectedRowInBlackWhite) {
    AddColourRows(2);
    ChooseMode(0, IDC_DOWNLOAD_BLACK_WHITE);
    Click(page, IDC_DOWNLOAD_BACK_SIDE_CENTRE);
    SetText(page, IDC_DOWNLOAD_BACK_SIDE_TEXT, L"AB");
    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, -1);
    Click(page, IDC_DOWNLOAD_BACK_SIDE);
    ASSERT_NE(LastMessage(), nullptr);
    EXPECT_EQ(LastMessage()->caption, L"错误");
    EXPECT_EQ(LastMessage()->text, L"请选择logo位图或输入要下载的字符！");
    EXPECT_EQ(Spooler().jobs, 0);

    ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 1);
    Click(page, IDC_DOWNLOAD_BACK_SIDE);
    EXPECT_EQ(Spooler().documentName, "Pre-image");
    const auto& p = Spooler().pieces;
    ASSERT_EQ(p.size(), 8u);
    EXPECT_EQ(p[0], FileBytes({0x1F, 0x68}));
    EXPECT_EQ(p[1], FileBytes({0x1B, 0x61, 0x01}));
    EXPECT_EQ(p[3], FileBytes({0x41, 0x42, 0x00, 0x00}));
    ASSERT_GE(p[5].size(), 5u);
    EXPECT_EQ(FileBytes(p[5].begin(), p[5].begin() + 5), FileBytes({0x1B, 0x2A, 0x21, 32, 0}));
    EXPECT_EQ(p[7], FileBytes({0x1F, 0x68}));
}

TEST(DownloadPageSheet, AReopenedSheetStartsAfresh) {
    ScratchFolder folder;
    ModalWatcher watcher;
    {
        Sheet first(Sheet::Kind::Printer);
        first.Open();
        HWND page = first.Page(1);
        QueueOpenFileAnswer(folder.Write(L"r.bmp", Checker(8, 8)));
        Click(page, IDC_DOWNLOAD_ADD_LOGO);
        ClickListRow(page, IDC_DOWNLOAD_LOGO_LIST, 0);
        Click(page, IDC_DOWNLOAD_GREY);
        Click(page, IDC_DOWNLOAD_BACK_SIDE_CENTRE);
        ASSERT_TRUE(IsChecked(page, IDC_DOWNLOAD_GREY));
    }
    Sheet second(Sheet::Kind::Printer);
    second.Open();
    HWND page = second.Page(1);
    EXPECT_TRUE(IsChecked(page, IDC_DOWNLOAD_ORIGINAL));
    EXPECT_FALSE(IsChecked(page, IDC_DOWNLOAD_GREY));
    EXPECT_TRUE(IsChecked(page, IDC_DOWNLOAD_BACK_SIDE_LEFT));
    EXPECT_EQ(ListRows(page, IDC_DOWNLOAD_LOGO_LIST), 0);
    EXPECT_FALSE(IsEnabled(page, IDC_DOWNLOAD_ALL_LOGOS));
}

}  // namespace
}  // namespace krv::test
