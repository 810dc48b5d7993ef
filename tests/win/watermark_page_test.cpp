// The watermark page built for real inside the document sheet and driven as a user would:
// modes and the controls they enable, the text-as-image notice and the layout page's answer,
// the size and tile clamps, browsing for a bitmap, apply with its work file, and the preview.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "docpages/layout_rules.h"
#include "docpages/watermark_canvas_win.h"
#include "docpages/watermark_page_rules.h"
#include "docpages/watermark_preview_win.h"
#include "docpages/watermark_stretch.h"
#include "res/layout_page_ids.h"
#include "res/watermark_page_ids.h"
#include "tests/common/test_bitmaps.h"
#include "tests/win/support/fake_file_dialog.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

std::vector<uint8_t> ReadBytes(std::u16string_view path) {
    return ScratchFolder::Read(path);
}
std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    return ReadBytes(std::u16string(path.begin(), path.end()));
}

constexpr int kLayoutPage = 1;
constexpr int kWatermarkPage = 2;

constexpr int kImageGroup[] = {IDC_WATERMARK_IMAGE_PATH, IDC_WATERMARK_BROWSE};
constexpr int kTextGroup[] = {IDC_WATERMARK_TEXT,
                              IDC_WATERMARK_FACE,
                              IDC_WATERMARK_STYLE,
                              IDC_WATERMARK_FONT_SIZE,
                              IDC_WATERMARK_FONT_SIZE_UPDOWN,
                              IDC_WATERMARK_ANGLE};
constexpr int kCommonGroup[] = {IDC_WATERMARK_POSITION, IDC_WATERMARK_SIZE,
                                IDC_WATERMARK_BRIGHTNESS};
constexpr uint32_t kWhite = 0xFFFFFF;

std::wstring ToWide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// A 24-bit bitmap of one colour (blue, green, red).
std::vector<uint8_t> SolidBitmap24(int width, int height, uint8_t b, uint8_t g, uint8_t r) {
    const int row = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> pixels(size_t(row) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[size_t(y) * row + size_t(x) * 3];
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    return MakeBmp({54, 24, width, height, {}, pixels});
}

std::vector<uint8_t> FourBitBitmap() {
    return MakeBmp({118, 4, 8, 2, std::vector<uint8_t>(64, 0x40), std::vector<uint8_t>(8, 0x12)});
}

// The frame as the preview last drew it, colours without the unused byte.
std::vector<uint32_t> DrawnFrame() {
    const WatermarkPreviewCache& cache = PreviewCache();
    std::vector<uint32_t> pixels;
    if (!cache.frameBits) return pixels;
    const size_t n = size_t(cache.frameWidth) * size_t(cache.frameHeight);
    for (size_t i = 0; i < n; ++i)
        pixels.push_back(cache.frameBits[i] & kWhite);
    return pixels;
}

size_t CountNot(const std::vector<uint32_t>& pixels, uint32_t colour) {
    return size_t(
        std::count_if(pixels.begin(), pixels.end(), [colour](uint32_t p) { return p != colour; }));
}

// Spoils the frame buffer, so that a check of what the preview draws next cannot pass on
// what it drew before.
void SpoilDrawnFrame() {
    WatermarkPreviewCache& cache = PreviewCache();
    if (cache.frameBits)
        std::fill_n(cache.frameBits, size_t(cache.frameWidth) * cache.frameHeight, 0x123456u);
}

class WatermarkPageTest : public ScratchFolderTest {
  protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        ResetSpooler();
        ResetFileDialog();
        WatermarkPreviewCache& cache = PreviewCache();
        cache.reloadImage = true;
        cache.reportPreviewErrors = true;
        DeleteFileW(WorkFile().c_str());
    }
    void TearDown() override {
        sheet.Close();
        ScratchFolderTest::TearDown();
    }

    HWND Open() {
        sheet.Open();
        page = sheet.Page(kWatermarkPage);
        return page;
    }
    std::wstring WorkFile() const {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        return std::wstring(folder) + L"\\" + sheet.printerName + L"1.bmp";
    }
    std::wstring Fixture(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::u16string path = Write(name, bytes);
        return std::wstring(path.begin(), path.end());
    }
    void DragSlider(int id, int position) {
        SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, position);
        SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
        PumpMessages();
    }
    void LeaveField(int id) {
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
        PumpMessages();
    }
    // Typing into the text combo: one character after another into its edit part.
    void TypeText(const std::wstring& text) {
        HWND edit = FindWindowExW(GetDlgItem(page, IDC_WATERMARK_TEXT), nullptr, L"Edit", nullptr);
        ASSERT_NE(edit, nullptr);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        for (wchar_t c : text)
            SendMessageW(edit, WM_CHAR, c, 0);
        PumpMessages();
    }
    // A text put into the combo past its typing limit, with the notification of a change.
    void PasteText(const std::wstring& text) {
        SetDlgItemTextW(page, IDC_WATERMARK_TEXT, text.c_str());
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_WATERMARK_TEXT, CBN_EDITCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_WATERMARK_TEXT)));
        PumpMessages();
    }
    // PSN_APPLY to this page alone, so that what the host is told comes from it.
    void ApplyThisPage() {
        NMHDR apply = {GetParent(page), 0, static_cast<UINT>(PSN_APPLY)};
        SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&apply));
        PumpMessages();
    }
    int SetResults() const {
        return int(std::count_if(sheet.hostCalls.begin(), sheet.hostCalls.end(),
                                 [](const auto& c) { return c.function == CPSFUNC_SET_RESULT; }));
    }

    ModalWatcher watcher;  // outlives the sheet: no message box may ever block a test
    Sheet sheet{Sheet::Kind::Document};
    HWND page = nullptr;
};

// ---------------------------------------------------------------- modes

struct ModeCase {
    uint8_t stored;
    int checked;
    bool image, text, common;
};

class WatermarkModeTest : public WatermarkPageTest,
                          public ::testing::WithParamInterface<ModeCase> {};

TEST_P(WatermarkModeTest, OpensWithItsRadioAndItsControlGroups) {
    const ModeCase c = GetParam();
    sheet.record.watermarkMode = c.stored;
    Open();
    for (int radio :
         {IDC_WATERMARK_NONE_RADIO, IDC_WATERMARK_IMAGE_RADIO, IDC_WATERMARK_TEXT_RADIO})
        EXPECT_EQ(IsChecked(page, radio), radio == c.checked) << radio;
    for (int id : kImageGroup)
        EXPECT_EQ(IsEnabled(page, id), c.image) << id;
    for (int id : kTextGroup)
        EXPECT_EQ(IsEnabled(page, id), c.text) << id;
    for (int id : kCommonGroup)
        EXPECT_EQ(IsEnabled(page, id), c.common) << id;
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 0) << "opening changes nothing";
    EXPECT_TRUE(watcher.seen.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WatermarkModeTest,
    ::testing::Values(ModeCase{0, IDC_WATERMARK_NONE_RADIO, false, false, false},
                      ModeCase{1, IDC_WATERMARK_IMAGE_RADIO, true, false, true},
                      ModeCase{2, IDC_WATERMARK_TEXT_RADIO, false, true, true},
                      ModeCase{7, IDC_WATERMARK_NONE_RADIO, false, false, false}));

TEST_F(WatermarkPageTest, NoWatermarkPreviewIsWhite) {
    Open();
    SpoilDrawnFrame();
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<uint32_t> frame = DrawnFrame();
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(CountNot(frame, kWhite), 0u);
}

TEST_F(WatermarkPageTest, TextAsImageNoticeComesOnceForTheFirstWatermark) {
    sheet.record.printTextAsImage = 0;
    Open();
    Click(page, IDC_WATERMARK_IMAGE_RADIO);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, L"信息");
    EXPECT_EQ(watcher.seen[0].text, L"所有文本将作为图像打印！");
    EXPECT_EQ(watcher.seen[0].icon, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(sheet.record.printTextAsImage, 1);
    EXPECT_EQ(sheet.record.watermarkMode, 1);
    Click(page, IDC_WATERMARK_TEXT_RADIO);
    EXPECT_EQ(watcher.seen.size(), 1u) << "text as image is already on";
    EXPECT_EQ(sheet.record.watermarkMode, 2);
    for (int id : kTextGroup)
        EXPECT_TRUE(IsEnabled(page, id)) << id;
    for (int id : kImageGroup)
        EXPECT_FALSE(IsEnabled(page, id)) << id;
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 2);
}

TEST_F(WatermarkPageTest, NoWatermarkSwitchesTextAsImageOffAndTheLayoutPageShowsNo) {
    sheet.record.watermarkMode = 2;
    sheet.record.printTextAsImage = 1;
    sheet.Open();
    HWND layout = sheet.Page(kLayoutPage);
    ASSERT_FALSE(IsChecked(layout, IDC_LAYOUT_TEXT_AS_IMAGE_NO))
        << "locked on yes while a watermark is set";
    page = sheet.Page(kWatermarkPage);
    Click(page, IDC_WATERMARK_NONE_RADIO);
    EXPECT_EQ(sheet.record.watermarkMode, 0);
    EXPECT_EQ(sheet.record.printTextAsImage, 0);
    EXPECT_TRUE(sheet.documentContext.watermarkSwitchedOff);
    for (const auto& group : {std::vector<int>(std::begin(kImageGroup), std::end(kImageGroup)),
                              std::vector<int>(std::begin(kTextGroup), std::end(kTextGroup)),
                              std::vector<int>(std::begin(kCommonGroup), std::end(kCommonGroup))})
        for (int id : group)
            EXPECT_FALSE(IsEnabled(page, id)) << id;
    layout = sheet.Page(kLayoutPage);
    EXPECT_TRUE(IsChecked(layout, IDC_LAYOUT_TEXT_AS_IMAGE_NO));
    EXPECT_FALSE(IsChecked(layout, IDC_LAYOUT_TEXT_AS_IMAGE_YES));
    EXPECT_TRUE(IsEnabled(layout, IDC_LAYOUT_TEXT_AS_IMAGE_NO));
    EXPECT_FALSE(sheet.documentContext.watermarkSwitchedOff) << "the layout page consumed it";
}

// A watermark chosen and switched off again in a sheet that is then cancelled: the next sheet
// (of the same plug-in object or another) shows the choice its own record holds.
TEST_F(WatermarkPageTest, SwitchingTheWatermarkOffConcernsOnlyItsOwnSheet) {
    sheet.record.printTextAsImage = 1;
    Open();
    Click(page, IDC_WATERMARK_TEXT_RADIO);
    Click(page, IDC_WATERMARK_NONE_RADIO);
    sheet.Close();  // cancelled: the host keeps the stored record
    DefaultOemDevmode(&sheet.record);
    sheet.record.printTextAsImage = 1;
    sheet.Open();
    HWND layout = sheet.Page(kLayoutPage);
    EXPECT_TRUE(IsChecked(layout, IDC_LAYOUT_TEXT_AS_IMAGE_YES));
    EXPECT_FALSE(IsChecked(layout, IDC_LAYOUT_TEXT_AS_IMAGE_NO));

    page = sheet.Page(kWatermarkPage);  // raised again, and this sheet stays open
    Click(page, IDC_WATERMARK_TEXT_RADIO);
    Click(page, IDC_WATERMARK_NONE_RADIO);
    ASSERT_TRUE(sheet.documentContext.watermarkSwitchedOff);
    Sheet other(Sheet::Kind::Document);
    other.record.printTextAsImage = 1;
    other.Open();
    layout = other.Page(kLayoutPage);
    EXPECT_TRUE(IsChecked(layout, IDC_LAYOUT_TEXT_AS_IMAGE_YES));
    EXPECT_FALSE(IsChecked(layout, IDC_LAYOUT_TEXT_AS_IMAGE_NO));
    other.Close();
}

// ---------------------------------------------------------------- size, tile, sliders

TEST_F(WatermarkPageTest, TilingRaisesTheSizeToTwentyAndKeepsItThere) {
    sheet.record.watermarkMode = 1;
    sheet.record.watermarkSizePercent = 10;
    Open();
    ASSERT_EQ(ItemText(page, IDC_WATERMARK_SIZE_LABEL), L"10");
    PickComboEntry(page, IDC_WATERMARK_POSITION, 9);
    EXPECT_EQ(sheet.record.watermarkPosition, 9);
    EXPECT_EQ(sheet.record.watermarkSizePercent, 20);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_WATERMARK_SIZE, TBM_GETPOS, 0, 0), 20);
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_SIZE_LABEL), L"20");
    DragSlider(IDC_WATERMARK_SIZE, 5);
    EXPECT_EQ(sheet.record.watermarkSizePercent, 20);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_WATERMARK_SIZE, TBM_GETPOS, 0, 0), 20);
    PickComboEntry(page, IDC_WATERMARK_POSITION, 0);
    DragSlider(IDC_WATERMARK_SIZE, 5);
    EXPECT_EQ(sheet.record.watermarkSizePercent, 5) << "untiled, any size";
}

TEST_F(WatermarkPageTest, ScrollingTakesAllThreeSlidersWithTheirLabels) {
    sheet.record.watermarkMode = 2;
    Open();
    SendDlgItemMessageW(page, IDC_WATERMARK_ANGLE, TBM_SETPOS, TRUE, 90);
    SendDlgItemMessageW(page, IDC_WATERMARK_SIZE, TBM_SETPOS, TRUE, 60);
    DragSlider(IDC_WATERMARK_BRIGHTNESS, 255);
    EXPECT_EQ(sheet.record.watermarkAngle, 90);
    EXPECT_EQ(sheet.record.watermarkSizePercent, 60);
    EXPECT_EQ(sheet.record.watermarkBrightness, 255);
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_ANGLE_LABEL), L"90");
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_SIZE_LABEL), L"60");
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_BRIGHTNESS_LABEL), L"255");
}

struct SizeCase {
    const wchar_t* typed;
    const wchar_t* shownWhileTyping;
    int storedWhileTyping;
    const wchar_t* shownAfterLeaving;
    int storedAfterLeaving;
};

class FontSizeFieldTest : public WatermarkPageTest,
                          public ::testing::WithParamInterface<SizeCase> {};

TEST_P(FontSizeFieldTest, ClampsAboveAtOnceAndBelowOnLeaving) {
    const SizeCase c = GetParam();
    sheet.record.watermarkMode = 2;
    Open();
    SetText(page, IDC_WATERMARK_FONT_SIZE, c.typed);
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_FONT_SIZE), c.shownWhileTyping);
    EXPECT_EQ(sheet.record.watermarkFontSize, c.storedWhileTyping);
    LeaveField(IDC_WATERMARK_FONT_SIZE);
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_FONT_SIZE), c.shownAfterLeaving);
    EXPECT_EQ(sheet.record.watermarkFontSize, c.storedAfterLeaving);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_WATERMARK_FONT_SIZE_UPDOWN, UDM_GETPOS32, 0, 0),
              c.storedAfterLeaving);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FontSizeFieldTest,
                         ::testing::Values(SizeCase{L"99", L"72", 72, L"72", 72},
                                           SizeCase{L"5", L"5", 5, L"8", 8},
                                           SizeCase{L"", L"", 0, L"8", 8},
                                           SizeCase{L"-5", L"72", 72, L"72", 72},
                                           SizeCase{L"30", L"30", 30, L"30", 30}));

TEST_F(WatermarkPageTest, ApplyWithoutLeavingTheSizeFieldStillStoresAnAllowedSize) {
    sheet.record.watermarkMode = 2;
    Open();
    SetText(page, IDC_WATERMARK_FONT_SIZE, L"5");
    sheet.PressApply();
    EXPECT_EQ(sheet.record.watermarkFontSize, 8);
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_FONT_SIZE), L"8");
}

// ---------------------------------------------------------------- texts and fonts

TEST_F(WatermarkPageTest, EmptyTextOpensWithTheFirstSuggestion) {
    Open();
    ASSERT_EQ(ComboCount(page, IDC_WATERMARK_TEXT), 8);
    EXPECT_EQ(ComboSelection(page, IDC_WATERMARK_TEXT), 0);
    EXPECT_EQ(ComboText(page, IDC_WATERMARK_TEXT, 0), L"CONFIDENTIAL");
    EXPECT_EQ(ComboText(page, IDC_WATERMARK_TEXT, 7), L"FILE COPY");
}

TEST_F(WatermarkPageTest, SixteenCharacterTextIsCutToFifteenAndLeavesTheFontNameAlone) {
    sheet.record.watermarkMode = 2;
    StoreWatermarkFontName(sheet.record, u"Tahoma");
    StoreWatermarkText(sheet.record, u"DRAFT");
    Open();
    EXPECT_EQ(ComboSelection(page, IDC_WATERMARK_TEXT), CB_ERR)
        << "a stored text is shown as typed";
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_TEXT), L"DRAFT");
    TypeText(L"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_TEXT), L"ABCDEFGHIJKLMNO")
        << "typing stops at what is stored";
    EXPECT_EQ(StoredWatermarkText(sheet.record), u"ABCDEFGHIJKLMNO");
    PasteText(L"0123456789ABCDEF");
    EXPECT_EQ(StoredWatermarkText(sheet.record), u"0123456789ABCDE");
    EXPECT_EQ(StoredWatermarkFontName(sheet.record), u"Tahoma");
    sheet.PressApply();
    EXPECT_EQ(StoredWatermarkText(sheet.record), u"0123456789ABCDE");
    EXPECT_EQ(StoredWatermarkFontName(sheet.record).substr(0, 6), u"Tahoma");
}

int CALLBACK CollectTrueType(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM out) {
    if (type & TRUETYPE_FONTTYPE)
        reinterpret_cast<std::vector<std::wstring>*>(out)->push_back(font->lfFaceName);
    return 1;
}

TEST_F(WatermarkPageTest, FacesAreTheTrueTypeFamiliesInEnumerationOrderWithTheStoredOneChosen) {
    std::vector<std::wstring> expected;
    LOGFONTW any = {};
    any.lfCharSet = ANSI_CHARSET;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &any, CollectTrueType, reinterpret_cast<LPARAM>(&expected), 0);
    ReleaseDC(nullptr, dc);
    ASSERT_GE(expected.size(), 2u) << "the test needs two TrueType faces";
    StoreWatermarkFontName(sheet.record, std::u16string(expected[1].begin(), expected[1].end()));
    Open();
    std::vector<std::wstring> listed;
    for (int i = 0; i < ComboCount(page, IDC_WATERMARK_FACE); ++i)
        listed.push_back(ComboText(page, IDC_WATERMARK_FACE, i));
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(ComboText(page, IDC_WATERMARK_FACE, ComboSelection(page, IDC_WATERMARK_FACE)),
              expected[1]);
    const std::vector<std::wstring> styles = {L"常规", L"倾斜", L"加粗", L"加粗 倾斜"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ComboText(page, IDC_WATERMARK_STYLE, i), styles[size_t(i)]);
}

// ---------------------------------------------------------------- apply

TEST_F(WatermarkPageTest, ApplyWithTextWritesTheCanvasFileNamedAfterThePrinter) {
    sheet.record.watermarkMode = 2;
    Open();
    SelectCombo(page, IDC_WATERMARK_TEXT, 3);  // "DRAFT"
    sheet.hostCalls.clear();
    sheet.PressApply();
    const std::vector<uint8_t> file = ReadBytes(WorkFile());
    ASSERT_EQ(file.size(), 270054u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(GetLe(file, 18, 4), 300u);
    EXPECT_EQ(GetLe(file, 22, 4), 300u);
    EXPECT_EQ(GetLe(file, 28, 2), 24u);
    const size_t dark =
        size_t(std::count_if(file.begin() + 54, file.end(), [](uint8_t v) { return v < 0x80; }));
    EXPECT_GT(dark, 30u) << "the text is drawn";
    EXPECT_LT(dark, 270000u / 2) << "on white";
    EXPECT_EQ(StoredWatermarkText(sheet.record), u"DRAFT");
    EXPECT_GE(SetResults(), 1);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_UNCHANGED, page), 1);
}

TEST_F(WatermarkPageTest, ApplyStopsWithoutAcknowledgementWhenTheTextFileCannotBeWritten) {
    // A printer name that would put the work file outside the temporary folder is refused.
    sheet.printerName = L"..\\KRV";
    sheet.sheetParams.pPrinterName = sheet.printerName.data();
    sheet.record.watermarkMode = 2;
    Open();
    SendDlgItemMessageW(page, IDC_WATERMARK_BRIGHTNESS, TBM_SETPOS, TRUE, 77);
    sheet.hostCalls.clear();
    ApplyThisPage();
    EXPECT_EQ(SetResults(), 0);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_UNCHANGED, page), 0);
    EXPECT_EQ(sheet.record.watermarkBrightness, 77) << "fields stored before the file stay";
    EXPECT_TRUE(watcher.seen.empty()) << "no message";
    EXPECT_EQ(GetFileAttributesW(WorkFile().c_str()), INVALID_FILE_ATTRIBUTES);
}

// A printer reached through a server is named "\\server\queue": its work file lies in a
// folder "server" of the temporary folder, made when it is needed.
TEST_F(WatermarkPageTest, APrinterOnAServerGetsItsWorkFileInAFolderOfTheTemporaryFolder) {
    sheet.printerName = L"\\\\krvsrv\\queue";
    sheet.sheetParams.pPrinterName = sheet.printerName.data();
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring folder = std::wstring(temporary) + L"krvsrv";
    const std::wstring work = folder + L"\\queue1.bmp";
    DeleteFileW(work.c_str());
    RemoveDirectoryW(folder.c_str());
    sheet.record.watermarkMode = 1;
    const std::wstring source = Fixture("red.bmp", SolidBitmap24(8, 6, 0, 0, 255));
    Open();
    QueueOpenFileAnswer(source);
    Click(page, IDC_WATERMARK_BROWSE);
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(ReadBytes(work), ReadBytes(Path("red.bmp")));
    Click(page, IDC_WATERMARK_TEXT_RADIO);
    sheet.hostCalls.clear();
    ApplyThisPage();
    EXPECT_EQ(SetResults(), 1);
    EXPECT_EQ(ReadBytes(work).size(), 270054u);
    DeleteFileW(work.c_str());
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "nothing else is left in it";
}

// Apply takes every field from the controls, whatever was stored before.
TEST_F(WatermarkPageTest, ApplyStoresPathAngleStylePositionFromTheControls) {
    sheet.record.watermarkMode = 1;
    Open();
    SetDlgItemTextW(page, IDC_WATERMARK_IMAGE_PATH, L"C:\\pictures\\mark.bmp");
    SendDlgItemMessageW(page, IDC_WATERMARK_ANGLE, TBM_SETPOS, TRUE, 123);
    SendDlgItemMessageW(page, IDC_WATERMARK_STYLE, CB_SETCURSEL, 3, 0);
    SendDlgItemMessageW(page, IDC_WATERMARK_POSITION, CB_SETCURSEL, 7, 0);
    ApplyThisPage();
    EXPECT_EQ(StoredWatermarkImagePath(sheet.record), u"C:\\pictures\\mark.bmp");
    EXPECT_EQ(sheet.record.watermarkAngle, 123);
    EXPECT_EQ(sheet.record.watermarkFontStyle, 3);
    EXPECT_EQ(sheet.record.watermarkPosition, 7);
    EXPECT_EQ(SetResults(), 1);
}

// The face, style and position lists store when a choice is confirmed; moving through the
// dropped list (a selection change alone) stores nothing until then.
TEST_F(WatermarkPageTest, FaceStyleAndPositionStoreAConfirmedChoiceOnly) {
    sheet.record.watermarkMode = 2;
    Open();
    ASSERT_GE(ComboCount(page, IDC_WATERMARK_FACE), 2);
    SelectCombo(page, IDC_WATERMARK_FACE, 1);
    SelectCombo(page, IDC_WATERMARK_STYLE, 2);
    SelectCombo(page, IDC_WATERMARK_POSITION, 8);
    EXPECT_EQ(sheet.record.watermarkFontStyle, 0);
    EXPECT_EQ(sheet.record.watermarkPosition, 4);
    EXPECT_EQ(StoredWatermarkFontName(sheet.record), u"");
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 0);
    PickComboEntry(page, IDC_WATERMARK_FACE, 1);
    PickComboEntry(page, IDC_WATERMARK_STYLE, 2);
    PickComboEntry(page, IDC_WATERMARK_POSITION, 8);
    EXPECT_EQ(ToWide(StoredWatermarkFontName(sheet.record)),
              ComboText(page, IDC_WATERMARK_FACE, 1));
    EXPECT_EQ(sheet.record.watermarkFontStyle, 2);
    EXPECT_EQ(sheet.record.watermarkPosition, 8);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 3);
}

// ---------------------------------------------------------------- browse

TEST_F(WatermarkPageTest, BrowsingATrueColourBitmapStoresItsPathAndWritesTheWorkFile) {
    sheet.record.watermarkMode = 1;
    const std::wstring source = Fixture("red.bmp", SolidBitmap24(40, 30, 0, 0, 255));
    Open();
    QueueOpenFileAnswer(source);
    Click(page, IDC_WATERMARK_BROWSE);
    ASSERT_EQ(FileDialogRequests().size(), 1u);
    const FileDialogRequest& asked = FileDialogRequests()[0];
    EXPECT_EQ(asked.filter, L"*.bmp|*.bmp|");
    EXPECT_EQ(asked.filterIndex, 1u);
    EXPECT_EQ(asked.maxFile, 510u);
    EXPECT_EQ(asked.flags,
              static_cast<unsigned long>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY |
                                         OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_LONGNAMES));
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_IMAGE_PATH), source);
    EXPECT_EQ(ToWide(StoredWatermarkImagePath(sheet.record)), source);
    EXPECT_EQ(ReadBytes(WorkFile()), ReadBytes(Path("red.bmp")));
    // Centred at full width: the red image fills a band of the white frame.
    const std::vector<uint32_t> frame = DrawnFrame();
    EXPECT_GT(std::count(frame.begin(), frame.end(), 0xFF3232u), 0)
        << "red brightened by the default 50";
    EXPECT_GT(std::count(frame.begin(), frame.end(), kWhite), 0);
}

TEST_F(WatermarkPageTest, BrowsingAFourBitBitmapReportsItAndChangesNothing) {
    sheet.record.watermarkMode = 1;
    const std::wstring red = Fixture("red.bmp", SolidBitmap24(40, 30, 0, 0, 255));
    const std::wstring four = Fixture("four.bmp", FourBitBitmap());
    Open();
    QueueOpenFileAnswer(red);
    Click(page, IDC_WATERMARK_BROWSE);
    ASSERT_TRUE(watcher.seen.empty());
    QueueOpenFileAnswer(four);
    Click(page, IDC_WATERMARK_BROWSE);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, L"错误");
    EXPECT_EQ(watcher.seen[0].text, L"请确认当前指定的位图为 1/8/24/ 位！");
    EXPECT_EQ(watcher.seen[0].icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(ToWide(StoredWatermarkImagePath(sheet.record)), red);
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_IMAGE_PATH), red);
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 1) << "the first browse only";
    // The next job prints the picture the page shows: the work file is the red one still.
    EXPECT_EQ(ReadBytes(WorkFile()), ReadBytes(Path("red.bmp")));
    SpoilDrawnFrame();
    DragSlider(IDC_WATERMARK_BRIGHTNESS, 0);
    const std::vector<uint32_t> frame = DrawnFrame();
    EXPECT_GT(std::count(frame.begin(), frame.end(), 0xFF0000u), 0) << "the preview shows red";
}

TEST_F(WatermarkPageTest, APathLongerThanTheRecordHoldsIsRefusedBeforeAnythingIsWritten) {
    sheet.record.watermarkMode = 1;
    const std::wstring source =
        Fixture(std::string(100, 'a') + ".bmp", SolidBitmap24(4, 4, 0, 0, 0));
    ASSERT_GT(source.size(), 124u);
    Open();
    QueueOpenFileAnswer(source);
    Click(page, IDC_WATERMARK_BROWSE);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].text, L"所选择的位图文件路径过长！");
    EXPECT_EQ(StoredWatermarkImagePath(sheet.record), u"");
    EXPECT_EQ(GetFileAttributesW(WorkFile().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(sheet.record.watermarkMode, 1) << "the fields behind the path are untouched";
}

TEST_F(WatermarkPageTest, CancelledBrowseChangesNothing) {
    sheet.record.watermarkMode = 1;
    Open();
    Click(page, IDC_WATERMARK_BROWSE);
    EXPECT_EQ(FileDialogRequests().size(), 1u);
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(ItemText(page, IDC_WATERMARK_IMAGE_PATH), L"");
    EXPECT_EQ(sheet.CountSheetMessages(PSM_CHANGED, page), 0);
}

// ---------------------------------------------------------------- preview

TEST_F(WatermarkPageTest, PreviewOfAMissingFileReportsOnceThenStaysQuiet) {
    sheet.record.watermarkMode = 1;
    StoreWatermarkImagePath(sheet.record, u"C:\\no such file.bmp");
    Open();
    DragSlider(IDC_WATERMARK_BRIGHTNESS, 10);
    DragSlider(IDC_WATERMARK_BRIGHTNESS, 20);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].text, L"指定的文件不存在！");
    EXPECT_TRUE(PreviewCache().reloadImage);
}

TEST_F(WatermarkPageTest, TooLargeImageIsReportedOnEveryChangeButNotOnARepaint) {
    sheet.record.watermarkMode = 1;
    const std::wstring source = Fixture("big.bmp", SolidBitmap24(1870, 1869, 9, 9, 9));
    StoreWatermarkImagePath(sheet.record, std::u16string(source.begin(), source.end()));
    Open();
    watcher.seen.clear();
    DragSlider(IDC_WATERMARK_BRIGHTNESS, 10);
    DragSlider(IDC_WATERMARK_BRIGHTNESS, 20);
    ASSERT_EQ(watcher.seen.size(), 2u);
    EXPECT_EQ(watcher.seen[1].text, L"所选择的位图文件过大！");
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    EXPECT_EQ(watcher.seen.size(), 2u);
}

TEST_F(WatermarkPageTest, BrightnessWorksOnTheCachedPixelsAndNeverAccumulates) {
    sheet.record.watermarkMode = 1;
    sheet.record.watermarkBrightness = 0;
    const std::wstring source = Fixture("grey.bmp", SolidBitmap24(20, 20, 100, 100, 100));
    StoreWatermarkImagePath(sheet.record, std::u16string(source.begin(), source.end()));
    Open();
    for (int brightness : {100, 255, 100, 0}) {
        SpoilDrawnFrame();
        DragSlider(IDC_WATERMARK_BRIGHTNESS, brightness);
        const uint32_t grey = uint32_t(std::min(100 + brightness, 255)) * 0x010101u;
        const std::vector<uint32_t> frame = DrawnFrame();
        EXPECT_GT(std::count(frame.begin(), frame.end(), grey), 0) << brightness;
        EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [grey](uint32_t p) {
            return p == grey || p == kWhite;
        })) << brightness;
    }
    EXPECT_FALSE(PreviewCache().reloadImage);
}

TEST_F(WatermarkPageTest, ASecondSheetWithAnotherImageNeverShowsTheFirstOne) {
    const std::wstring blue = Fixture("blue.bmp", SolidBitmap24(10, 10, 200, 0, 0));
    const std::wstring green = Fixture("green.bmp", SolidBitmap24(10, 10, 0, 200, 0));
    for (const auto& [path, colour] : {std::pair{blue, 0x0000C8u}, std::pair{green, 0x00C800u}}) {
        Sheet other(Sheet::Kind::Document);
        other.record.watermarkMode = 1;
        other.record.watermarkBrightness = 0;
        StoreWatermarkImagePath(other.record, std::u16string(path.begin(), path.end()));
        other.Open();
        HWND shown = other.Page(kWatermarkPage);
        SpoilDrawnFrame();
        SendDlgItemMessageW(shown, IDC_WATERMARK_BRIGHTNESS, TBM_SETPOS, TRUE, 0);
        SendMessageW(shown, WM_HSCROLL, TB_THUMBTRACK, 0);
        const std::vector<uint32_t> frame = DrawnFrame();
        EXPECT_GT(std::count(frame.begin(), frame.end(), colour), 0) << colour;
    }
}

TEST_F(WatermarkPageTest, SizeZeroPaintsTheWholeFrameWhite) {
    sheet.record.watermarkMode = 2;
    sheet.record.watermarkSizePercent = 30;
    Open();
    DragSlider(IDC_WATERMARK_SIZE, 30);
    ASSERT_GT(CountNot(DrawnFrame(), kWhite), 0u) << "text drawn at 30 percent";
    DragSlider(IDC_WATERMARK_SIZE, 0);
    EXPECT_EQ(CountNot(DrawnFrame(), kWhite), 0u);
}

// ---------------------------------------------------------------- the text canvas

struct StyleCase {
    int style;
    LONG weight;
    BYTE italic;
};

class TextWatermarkFontTest : public ::testing::TestWithParam<StyleCase> {};

TEST_P(TextWatermarkFontTest, WeightSlantAngleAndHeightFollowTheControls) {
    const StyleCase c = GetParam();
    HDC dc = GetDC(nullptr);
    const LOGFONTW font = TextWatermarkFont(dc, {u"DRAFT", u"Tahoma", 36, 45, c.style});
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(font.lfWeight, c.weight);
    EXPECT_EQ(font.lfItalic, c.italic);
    EXPECT_EQ(font.lfEscapement, 450);
    EXPECT_EQ(font.lfOrientation, 450);
    EXPECT_EQ(font.lfHeight, -MulDiv(36, dpi, 72));
    EXPECT_EQ(font.lfClipPrecision, CLIP_LH_ANGLES);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
}

INSTANTIATE_TEST_SUITE_P(Styles, TextWatermarkFontTest,
                         ::testing::Values(StyleCase{0, FW_NORMAL, FALSE},
                                           StyleCase{1, FW_NORMAL, TRUE},
                                           StyleCase{2, FW_BOLD, FALSE},
                                           StyleCase{3, FW_BOLD, TRUE}));

struct InkBox {
    int left = 300, top = 300, right = -1, bottom = -1;
};

InkBox Ink(const TextWatermarkSpec& spec) {
    HBITMAP canvas = DrawTextWatermarkCanvas(nullptr, spec);
    const std::vector<uint8_t> pixels = ReadTextCanvasPixels(canvas);
    DeleteObject(canvas);
    InkBox box;
    for (int row = 0; row < 300; ++row)
        for (int x = 0; x < 300; ++x)
            if (pixels[(size_t(row) * 300 + size_t(x)) * 4] < 0x80) {
                const int y = 299 - row;  // bottom-up
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
            }
    return box;
}

TEST(TextWatermarkCanvas, TextIsCentredLevelAtZeroAndUprightAtNinety) {
    const InkBox level = Ink({u"WATERMARK", u"Tahoma", 20, 0, 0});
    ASSERT_GE(level.right, 0) << "something is drawn";
    EXPECT_NEAR((level.left + level.right) / 2, 150, 6);
    EXPECT_GT(level.right - level.left, 2 * (level.bottom - level.top));
    EXPECT_NEAR((level.top + level.bottom) / 2, 150, 12);
    EXPECT_GT(level.bottom, 150) << "the baseline sits hy below the centre";
    const InkBox upright = Ink({u"WATERMARK", u"Tahoma", 20, 90, 0});
    ASSERT_GE(upright.right, 0);
    EXPECT_NEAR((upright.top + upright.bottom) / 2, 150, 6);
    EXPECT_GT(upright.bottom - upright.top, 2 * (upright.right - upright.left));
}

// ---------------------------------------------------------------- stretching into the frame

// A 6 x 3 source, bottom-up 24-bit (stride 20): white, with one black column at x = 4.
std::vector<uint8_t> StripedSource() {
    std::vector<uint8_t> bits(20 * 3, 0xFF);
    for (int row = 0; row < 3; ++row)
        std::fill_n(bits.begin() + row * 20 + 4 * 3, 3, uint8_t(0));
    return bits;
}

struct StretchCase {
    const char* name;
    PreviewStretch stretch;
    StretchMode mode;
    uint8_t brightness;
    std::vector<uint32_t> firstRow;  // of a 4 x 2 frame that starts grey
};

class StretchIntoFrameTest : public ::testing::TestWithParam<StretchCase> {};

TEST_P(StretchIntoFrameTest, DrawsOnlyItsTargetInsideTheFrame) {
    const StretchCase c = GetParam();
    const std::vector<uint8_t> bits = StripedSource();
    std::vector<uint32_t> frame(4 * 2 + 1, 0x808080);  // one guard pixel past the frame
    StretchIntoFrame({bits.data(), 6, 3, 20, 3}, {frame.data(), 4, 2}, c.stretch, c.mode,
                     c.brightness);
    EXPECT_EQ(std::vector<uint32_t>(frame.begin(), frame.begin() + 4), c.firstRow) << c.name;
    EXPECT_EQ(frame[8], 0x808080u) << c.name << ": nothing written past the frame";
}

constexpr uint32_t G = 0x808080, W = 0xFFFFFF, B = 0;
INSTANTIATE_TEST_SUITE_P(
    Cases, StretchIntoFrameTest,
    ::testing::Values(
        // 6 columns shrunk to 2: nearest takes columns 0 and 3 and loses the black one ...
        StretchCase{
            "nearest", {{0, 0, 2, 2}, {0, 0, 6, 3}}, StretchMode::ColourOnColour, 0, {W, W, G, G}},
        // ... black-on-white keeps it.
        StretchCase{
            "combined", {{0, 0, 2, 2}, {0, 0, 6, 3}}, StretchMode::BlackOnWhite, 0, {W, B, G, G}},
        StretchCase{"brightened",
                    {{1, 0, 3, 2}, {3, 0, 3, 3}},
                    StretchMode::ColourOnColour,
                    200,
                    {G, W, 0xC8C8C8, W}},
        StretchCase{
            "clipped", {{2, 0, 6, 4}, {0, 0, 6, 3}}, StretchMode::ColourOnColour, 0, {G, G, W, W}},
        StretchCase{"empty source",
                    {{0, 0, 4, 2}, {0, 0, 0, 3}},
                    StretchMode::ColourOnColour,
                    0,
                    {G, G, G, G}}));

// ---------------------------------------------------------------- the page's rules

TEST(WatermarkPageRules, TextFieldsNeverSpillIntoTheirNeighbours) {
    OemDevmode record;
    DefaultOemDevmode(&record);
    StoreWatermarkFontName(record, u"Face");
    // A surrogate pair that the 15-character limit would cut in half is dropped whole.
    StoreWatermarkText(record, u"ABCDEFGHIJKLMN\U0001F600");
    EXPECT_EQ(StoredWatermarkText(record), u"ABCDEFGHIJKLMN");
    EXPECT_EQ(record.watermarkText[15], u'\0');
    EXPECT_EQ(StoredWatermarkFontName(record), u"Face");
    record.watermarkMode = 2;
    EXPECT_FALSE(StoreWatermarkImagePath(record, std::u16string(125, u'x')));
    EXPECT_TRUE(StoreWatermarkImagePath(record, std::u16string(124, u'x')));
    EXPECT_EQ(StoredWatermarkImagePath(record).size(), 124u);
    EXPECT_EQ(record.watermarkMode, 2);
    StoreWatermarkFontName(record, std::u16string(80, u'f'));
    EXPECT_EQ(StoredWatermarkFontName(record).size(), 49u);
    EXPECT_EQ(record.watermarkFontSize, 50) << "the field after the face name";
}

TEST(WatermarkPageRules, ApplyWithNoWatermarkKeepsTextAsImageAndNoRadioKeepsBoth) {
    OemDevmode record;
    DefaultOemDevmode(&record);
    record.watermarkMode = 2;
    record.printTextAsImage = 1;
    ApplyWatermarkMode(record, std::nullopt);
    EXPECT_EQ(record.watermarkMode, 2);
    ApplyWatermarkMode(record, WatermarkMode::None);
    EXPECT_EQ(record.watermarkMode, 0);
    EXPECT_EQ(record.printTextAsImage, 1);
    record.printTextAsImage = 0;
    ApplyWatermarkMode(record, WatermarkMode::Image);
    EXPECT_EQ(record.printTextAsImage, 1);
}

}  // namespace
}  // namespace krv::test
