// Both sheets built for real: the pages the sheet procedures add, their order and captions,
// and the page protocol every page follows.
#include <gtest/gtest.h>

#include "frame/module_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/resource_ids.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

INT_PTR CALLBACK InertProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Page templates are child dialogs: they need a parent window.
HWND Parent() {
    static HWND parent = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 100, 100, nullptr,
                                         nullptr, nullptr, nullptr);
    return parent;
}

TEST(SheetRegistration, DocumentSheetTabsInOrder) {
    Sheet sheet(Sheet::Kind::Document);
    sheet.Open();
    for (DWORD flags : sheet.addedFlags)
        EXPECT_EQ(flags, static_cast<DWORD>(PSP_USEFUSIONCONTEXT));
    ASSERT_NE(sheet.window, nullptr);
    EXPECT_EQ(
        sheet.addedTemplates,
        (std::vector<int>{IDD_DUPLEX_PAGE, IDD_LAYOUT_PAGE, IDD_WATERMARK_PAGE, IDD_OPERATIONS_PAGE,
                          IDD_BARCODE_PAGE, IDD_TWO_DIMENSIONAL_CODE_PAGE, IDD_VERSION_PAGE}));
    const wchar_t* captions[] = {L"双面选择", L"版面",   L"水印", L"操作",
                                 L"条形码",   L"二维码", L"版本"};
    ASSERT_EQ(sheet.PageCount(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(sheet.TabText(i), captions[i]) << i;
}

TEST(SheetRegistration, PrinterSheetTabsInOrder) {
    Sheet sheet(Sheet::Kind::Printer);
    sheet.Open();
    EXPECT_EQ(sheet.addedTemplates, (std::vector<int>{IDD_APPLICATION_PAGE, IDD_DOWNLOAD_PAGE,
                                                      IDD_FONTS_PAGE, IDD_VERSION_PAGE}));
    const wchar_t* captions[] = {L"应用", L"下载", L"字体", L"版本"};
    ASSERT_EQ(sheet.PageCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(sheet.TabText(i), captions[i]) << i;
}

TEST(SheetRegistration, EveryTemplateLoadsWithItsCaption) {
    UseTestProgramAsModule();
    struct Case {
        int id;
        const wchar_t* caption;
    } cases[] = {{IDD_OPERATIONS_PAGE, L"操作"},
                 {IDD_EVENT_ACTION_DIALOG, L"Start of Document"},
                 {IDD_VERSION_PAGE, L"版本"},
                 {IDD_DOWNLOAD_PAGE, L"下载"},
                 {IDD_APPLICATION_PAGE, L"应用"},
                 {IDD_CONTROL_FONT_TABLE_DIALOG, L"Control Font Character Translation Table"},
                 {IDD_CONTROL_FONT_CHAR_DIALOG, L"Control Font Character Translator"},
                 {IDD_BARCODE_PAGE, L"条形码"},
                 {IDD_TWO_DIMENSIONAL_CODE_PAGE, L"二维码"},
                 {IDD_FONTS_PAGE, L"字体"},
                 {IDD_LAYOUT_PAGE, L"版面"},
                 {IDD_WATERMARK_PAGE, L"水印"},
                 {IDD_DUPLEX_PAGE, L"双面选择"}};
    for (const auto& c : cases) {
        HWND dialog =
            CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(c.id), Parent(), InertProc, 0);
        ASSERT_NE(dialog, nullptr) << "template " << c.id;
        wchar_t caption[128] = {};
        GetWindowTextW(dialog, caption, 128);
        EXPECT_STREQ(caption, c.caption) << "template " << c.id;
        DestroyWindow(dialog);
    }
}

TEST(SheetRegistration, ApplyReportsToTheHostAndUnchangesDocumentPagesOnly) {
    Sheet document(Sheet::Kind::Document);
    document.Open();
    // The version page (last) never reports; every other page does, once each.
    for (int i = 0; i < 7; ++i)
        document.Page(i);
    document.hostCalls.clear();
    document.PressApply();
    int results = 0;
    for (const auto& call : document.hostCalls) {
        if (call.function != CPSFUNC_SET_RESULT) continue;
        ++results;
        EXPECT_EQ(call.lParam2, CPSUI_OK);
        EXPECT_EQ(call.lParam1, reinterpret_cast<LPARAM>(INVALID_HANDLE_VALUE))
            << "the document context's page handle is never changed";
    }
    EXPECT_EQ(results, 6);
    EXPECT_EQ(document.CountSheetMessages(PSM_UNCHANGED), 6);

    Sheet printer(Sheet::Kind::Printer);
    printer.Open();
    for (int i = 0; i < 4; ++i)
        printer.Page(i);
    printer.hostCalls.clear();
    printer.PressApply();
    results = 0;
    for (const auto& call : printer.hostCalls)
        if (call.function == CPSFUNC_SET_RESULT) {
            ++results;
            EXPECT_EQ(call.lParam1, 4) << "the handle of the page added last";
        }
    EXPECT_EQ(results, 3);
    EXPECT_EQ(printer.CountSheetMessages(PSM_UNCHANGED), 0);
}

// Created as plain dialogs, the real pages never get a page record: each ignores the messages
// that follow (no message box, no printer job, no crash) and answers FALSE.
TEST(SheetRegistration, PagesWithoutContextIgnoreTheirMessages) {
    UseTestProgramAsModule();
    ResetSpooler();
    ModalWatcher watcher;
    const struct {
        int id;
        DLGPROC procedure;
    } pages[] = {{IDD_DUPLEX_PAGE, DuplexPageProc},
                 {IDD_LAYOUT_PAGE, LayoutPageProc},
                 {IDD_WATERMARK_PAGE, WatermarkPageProc},
                 {IDD_OPERATIONS_PAGE, OperationsPageProc},
                 {IDD_BARCODE_PAGE, BarcodePageProc},
                 {IDD_TWO_DIMENSIONAL_CODE_PAGE, TwoDimensionalPageProc},
                 {IDD_APPLICATION_PAGE, ApplicationPageProc},
                 {IDD_DOWNLOAD_PAGE, DownloadPageProc},
                 {IDD_FONTS_PAGE, FontsPageProc}};
    for (const auto& p : pages) {
        HWND page =
            CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(p.id), Parent(), p.procedure, 0);
        ASSERT_NE(page, nullptr) << p.id;
        NMHDR apply = {page, 0, static_cast<UINT>(PSN_APPLY)};
        EXPECT_EQ(SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&apply)), FALSE)
            << p.id;
        for (int id = 1000; id < 1140; ++id)
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_EQ(SendMessageW(page, WM_HSCROLL, TB_THUMBTRACK, 0), FALSE) << p.id;
        DestroyWindow(page);
    }
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_TRUE(Spooler().calls.empty());
}

TEST(SheetRegistration, WithoutActivationContextPagesCarryNoFusionFlag) {
    // A module without a manifest resource: no activation context can be made.
    const HINSTANCE previous = ModuleInstance();
    ReleaseModuleActivationContext();
    SetModuleInstance(GetModuleHandleW(L"kernel32.dll"));
    EXPECT_EQ(ModuleActivationContext(), INVALID_HANDLE_VALUE);
    SetModuleInstance(previous);  // the pages' templates live in the test program
    Sheet sheet(Sheet::Kind::Printer);
    sheet.Open();
    EXPECT_EQ(sheet.addedFlags, (std::vector<DWORD>{0, 0, 0, 0}));
    EXPECT_EQ(sheet.PageCount(), 4) << "the pages still appear";
    ReleaseModuleActivationContext();
}

}  // namespace
}  // namespace krv::test
