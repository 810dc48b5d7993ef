// The download page (IDD_DOWNLOAD_PAGE): the file group sends a chosen file as one "FIRMWARE" job;
// the logo groups keep LogoList, preview its rows and send the logo, clear-all and back-side
// jobs. The rows, modes and work files are LogoPageState's; this file only moves window
// messages into it and its answers back into the controls.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <string>

#include "channel/ansi_text.h"
#include "channel/winspool_win.h"
#include "jobs/file_download.h"
#include "devpages/logo_page_rules.h"
#include "devpages/logo_preview_win.h"
#include "frame/dialog_controls_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/download_page_ids.h"

namespace krv {

namespace {

// The halftone buttons are the HalftoneMethods in order, the position buttons the
// BackSidePositions.
static_assert(IDC_DOWNLOAD_ERROR_DIFFUSION - IDC_DOWNLOAD_NO_DITHER ==
              static_cast<int>(HalftoneMethod::ErrorDiffusion));
static_assert(IDC_DOWNLOAD_BACK_SIDE_RIGHT - IDC_DOWNLOAD_BACK_SIDE_LEFT ==
              static_cast<int>(BackSidePosition::Right));

// The open-file dialogs of both groups take these flags: overwrite and create prompts, hidden
// read-only box, extension-different report, existing folders only, long names.
constexpr DWORD kOpenFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT |
                             OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_LONGNAMES;
constexpr wchar_t kFileFilter[] =
    L"*.JK(Firmware)\0*.JK\0*.DAT(Data)\0*.DAT\0*.FNT(Font)\0*.FNT\0*.ZK(Font)\0*.ZK\0"
    L"*.EEP(EEPROM)\0*.EEP\0*.*(All)\0*.*\0";
constexpr wchar_t kLogoFilter[] = L"*.bmp\0*.bmp\0";
constexpr int kFilePathChars = 1024;      // the path edit is read up to this many characters
constexpr int kLogoPathChars = MAX_PATH;  // column "路径" holds up to 260 characters
constexpr int kBackSideChars = 2048;

// Everything the page keeps between messages; it lives from WM_INITDIALOG to WM_DESTROY, so
// every new page starts in Original mode with no rows.
struct DownloadPage : PrinterPage {
    using PrinterPage::PrinterPage;
    LogoPageState logos;

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    HWND List() const { return Item(IDC_DOWNLOAD_LOGO_LIST); }
    void Enable(int id, bool on) const { EnableControl(dialog, id, on); }
    int SelectedRow() const { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }
    bool HasBackSideText() const {
        return GetWindowTextLengthW(Item(IDC_DOWNLOAD_BACK_SIDE_TEXT)) > 0;
    }
};

void ShowError(const DownloadPage& p, std::u16string_view text) {
    ShowPageError(p.dialog, Wide(std::u16string(text)), MessageIcon::None);
}

// The open-file dialog; empty when the user cancels.
std::u16string AskForFile(const DownloadPage& p, const wchar_t* filter, const wchar_t* title,
                          int maxChars) {
    std::wstring file(static_cast<size_t>(maxChars) + 1, L'\0');
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = p.dialog;
    request.lpstrFilter = filter;
    request.nFilterIndex = 1;
    request.lpstrFile = file.data();
    request.nMaxFile = static_cast<DWORD>(file.size());
    request.lpstrTitle = title;
    request.Flags = kOpenFlags;
    if (!GetOpenFileNameW(&request)) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(file.c_str()));
}

void SendToPrinter(const DownloadPage& p, const PrinterJob& job, SendOptions options = {}) {
    // Spooler failures are not reported: the printer's queue shows them.
    SendRawJobToPrinter(p.Printer(), job, options);
}

// A builder's answer: its message, its job (a job ended part-way is sent as far as it got and
// then ended, as the channel ends any job), or silence.
void SendOutcome(const DownloadPage& p, const LogoJobOutcome& outcome) {
    if (outcome.kind == LogoJobOutcome::Kind::Refused)
        ShowError(p, Utf8ToUtf16(outcome.message));
    else if (outcome.kind == LogoJobOutcome::Kind::Job)
        SendToPrinter(p, outcome.job);
}

// ---------------------------------------------------------------- file group

void OnBrowse(const DownloadPage& p) {
    const std::u16string path = AskForFile(p, kFileFilter, L"请选择文件", kFilePathChars);
    if (path.empty()) return;  // a cancel keeps the earlier choice
    SetControlText(p.dialog, IDC_DOWNLOAD_FILE_PATH, path);
    p.Enable(IDC_DOWNLOAD_FILE, true);
}

void OnDownloadFile(const DownloadPage& p) {
    const std::u16string path = ControlText(p.dialog, IDC_DOWNLOAD_FILE_PATH, kFilePathChars);
    if (path.empty()) return;
    const FirmwareJob built = BuildFirmwareJob(path);
    if (built.error != FileDownloadError::None) {
        ShowError(p, FileDownloadMessage(built.error));
        return;
    }
    SendToPrinter(p, built.job, SendOptions{.requireAllWritten = true});
}

// ---------------------------------------------------------------- rows, preview, settings

void SetListText(HWND list, int row, int column, const std::u16string& text) {
    ListView_SetItemText(list, row, column, const_cast<wchar_t*>(Wide(text)));
}

void AppendListRow(const DownloadPage& p, size_t row) {
    const std::u16string number = LogoRowNumber(row);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<wchar_t*>(Wide(number));
    const int at = ListView_InsertItem(p.List(), &item);
    SetListText(p.List(), at, 1, LogoRowName(p.logos.RowPath(row)));
    SetListText(p.List(), at, 2, p.logos.RowPath(row));
}

void RenumberListRows(const DownloadPage& p) {
    for (size_t row = 0; row < p.logos.RowCount(); ++row)
        SetListText(p.List(), static_cast<int>(row), 0, LogoRowNumber(row));
}

// The mode buttons are for a selected row only.
void EnableModeButtons(const DownloadPage& p) {
    const bool on = p.logos.RowCount() > 0 && p.SelectedRow() >= 0;
    for (int id : {IDC_DOWNLOAD_ORIGINAL, IDC_DOWNLOAD_BLACK_WHITE, IDC_DOWNLOAD_GREY})
        p.Enable(id, on);
}

void EnableToneControls(const DownloadPage& p, const LogoToneControls& controls) {
    if (controls.halftone)
        for (int id = IDC_DOWNLOAD_NO_DITHER; id <= IDC_DOWNLOAD_ERROR_DIFFUSION; ++id)
            p.Enable(id, *controls.halftone);
    if (controls.trackbars) {
        p.Enable(IDC_DOWNLOAD_CONTRAST, *controls.trackbars);
        p.Enable(IDC_DOWNLOAD_BRIGHTNESS, *controls.trackbars);
    }
}

// The preview: the selected row's work file rewritten with its settings, then drawn.
void RefreshPreview(const DownloadPage& p) {
    const LogoPreview preview = p.logos.Preview(p.SelectedRow());
    EnableToneControls(p, preview.controls);
    DrawLogoPreview(p.Item(IDC_DOWNLOAD_PREVIEW), preview.picture);
}

void ShowTone(const DownloadPage& p, int trackbar, int label, int value) {
    SetTrackbarPosition(p.dialog, trackbar, value);
    SetControlNumber(p.dialog, label, value);
}

void ShowRowSettings(const DownloadPage& p, int row) {
    const LogoRowSettings& s = p.logos.Settings(static_cast<size_t>(row));
    ShowTone(p, IDC_DOWNLOAD_CONTRAST, IDC_DOWNLOAD_CONTRAST_VALUE, s.contrast);
    ShowTone(p, IDC_DOWNLOAD_BRIGHTNESS, IDC_DOWNLOAD_BRIGHTNESS_VALUE, s.brightness);
    CheckRadioButton(p.dialog, IDC_DOWNLOAD_NO_DITHER, IDC_DOWNLOAD_ERROR_DIFFUSION,
                     IDC_DOWNLOAD_NO_DITHER + static_cast<int>(s.method));
}

// Stores a trackbar's position as the selected row's contrast or brightness and shows it.
void TakeTone(DownloadPage& p, int row, int trackbar) {
    const int value = TrackbarPosition(p.dialog, trackbar);
    if (trackbar == IDC_DOWNLOAD_CONTRAST) {
        p.logos.SetContrast(row, value);
        SetControlNumber(p.dialog, IDC_DOWNLOAD_CONTRAST_VALUE, value);
    } else {
        p.logos.SetBrightness(row, value);
        SetControlNumber(p.dialog, IDC_DOWNLOAD_BRIGHTNESS_VALUE, value);
    }
}

// ---------------------------------------------------------------- logo buttons

void OnAdd(DownloadPage& p) {
    if (const auto full = CheckRoomForLogo(p.logos.RowCount())) {
        MessageBoxW(p.dialog, Wide(Utf8ToUtf16(*full)), L"ok", MB_OK);
        return;
    }
    const std::u16string path = AskForFile(p, kLogoFilter, L"请选择Logo文件", kLogoPathChars);
    if (path.empty()) return;
    const LogoAddCheck check = p.logos.Add(path);
    if (!check.accepted) {
        if (!check.message.empty()) ShowError(p, Utf8ToUtf16(check.message));
        return;
    }
    AppendListRow(p, p.logos.RowCount() - 1);
    SetFocus(p.List());
    EnableModeButtons(p);
}

void OnDelete(DownloadPage& p) {
    const int row = p.SelectedRow();
    if (row >= 0 && p.logos.Delete(static_cast<size_t>(row))) {
        ListView_DeleteItem(p.List(), row);
        RenumberListRows(p);
    }
    SetFocus(p.List());
    EnableModeButtons(p);
    if (p.SelectedRow() < 0) DrawLogoPreview(p.Item(IDC_DOWNLOAD_PREVIEW), {});
}

void OnModeChosen(DownloadPage& p, LogoMode mode) {
    const int row = p.SelectedRow();
    const LogoModeChange change = p.logos.ChooseMode(mode, row, p.HasBackSideText());
    if (change.downloadAllEnabled) p.Enable(IDC_DOWNLOAD_ALL_LOGOS, *change.downloadAllEnabled);
    if (change.backSideEnabled) p.Enable(IDC_DOWNLOAD_BACK_SIDE, *change.backSideEnabled);
    if (row >= 0 && static_cast<size_t>(row) < p.logos.RowCount()) ShowRowSettings(p, row);
    if (change.redrawPreview) RefreshPreview(p);
}

void OnHalftoneChosen(DownloadPage& p, int id) {
    p.logos.SetMethod(p.SelectedRow(), static_cast<HalftoneMethod>(id - IDC_DOWNLOAD_NO_DITHER));
    RefreshPreview(p);
}

void OnDownloadAll(const DownloadPage& p) {
    SendOutcome(p, BuildLogoDownloadJob(p.logos.Rows(), p.logos.Mode()));
}

void OnBackSide(const DownloadPage& p) {
    const std::u16string text = ControlText(p.dialog, IDC_DOWNLOAD_BACK_SIDE_TEXT, kBackSideChars);
    SendOutcome(p, BuildBackSideJob(p.logos.BackSide(text, p.SelectedRow())));
}

// ---------------------------------------------------------------- messages

void OnButton(DownloadPage& p, int id) {
    switch (id) {
        case IDC_DOWNLOAD_BROWSE:
            return OnBrowse(p);
        case IDC_DOWNLOAD_FILE:
            return OnDownloadFile(p);
        case IDC_DOWNLOAD_ADD_LOGO:
            return OnAdd(p);
        case IDC_DOWNLOAD_DELETE_LOGO:
            return OnDelete(p);
        case IDC_DOWNLOAD_ORIGINAL:
            return OnModeChosen(p, LogoMode::Original);
        case IDC_DOWNLOAD_BLACK_WHITE:
            return OnModeChosen(p, LogoMode::BlackWhite);
        case IDC_DOWNLOAD_GREY:
            return OnModeChosen(p, LogoMode::Grey);
        case IDC_DOWNLOAD_ALL_LOGOS:
            return OnDownloadAll(p);
        case IDC_DOWNLOAD_CLEAR_LOGOS:
            return SendToPrinter(p, BuildClearLogosJob());
        case IDC_DOWNLOAD_BACK_SIDE:
            return OnBackSide(p);
        default:
            break;
    }
    if (id >= IDC_DOWNLOAD_NO_DITHER && id <= IDC_DOWNLOAD_ERROR_DIFFUSION) OnHalftoneChosen(p, id);
    if (id >= IDC_DOWNLOAD_BACK_SIDE_LEFT && id <= IDC_DOWNLOAD_BACK_SIDE_RIGHT)
        p.logos.SetPosition(static_cast<BackSidePosition>(id - IDC_DOWNLOAD_BACK_SIDE_LEFT));
}

INT_PTR OnCommand(DownloadPage& p, int id, int code) {
    if (code == BN_CLICKED) OnButton(p, id);
    if (id == IDC_DOWNLOAD_BACK_SIDE_TEXT && code == EN_CHANGE)
        p.Enable(IDC_DOWNLOAD_BACK_SIDE, p.logos.BackSideEnabled(p.HasBackSideText()));
    return TRUE;
}

// While a trackbar moves, both positions become the selected row's settings.
INT_PTR OnTrackbarScroll(DownloadPage& p, int code, HWND from) {
    if (from != p.Item(IDC_DOWNLOAD_CONTRAST) && from != p.Item(IDC_DOWNLOAD_BRIGHTNESS))
        return FALSE;
    const int row = p.SelectedRow();
    if (code > TB_BOTTOM || row < 0) return TRUE;
    TakeTone(p, row, IDC_DOWNLOAD_CONTRAST);
    TakeTone(p, row, IDC_DOWNLOAD_BRIGHTNESS);
    RefreshPreview(p);
    return TRUE;
}

// The mouse let go of a trackbar: its position is stored and the sheet told of the change.
void OnTrackbarReleased(DownloadPage& p, int trackbar) {
    const int row = p.SelectedRow();
    if (row < 0) return;
    TakeTone(p, row, trackbar);
    ReportPageChanged(p.dialog);
    RefreshPreview(p);
}

void OnListClick(const DownloadPage& p) {
    RefreshPreview(p);
    EnableModeButtons(p);
    const int row = p.SelectedRow();
    if (row >= 0 && static_cast<size_t>(row) < p.logos.RowCount()) ShowRowSettings(p, row);
}

INT_PTR AnswerSheet(const DownloadPage& p, LONG_PTR result) {
    SetWindowLongPtrW(p.dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR OnNotify(DownloadPage& p, const NMHDR* header) {
    if (header->idFrom == IDC_DOWNLOAD_LOGO_LIST) {
        if (header->code == LVN_ITEMCHANGED) RefreshPreview(p);
        if (header->code == NM_CLICK) OnListClick(p);
        return FALSE;
    }
    if (header->idFrom == IDC_DOWNLOAD_CONTRAST || header->idFrom == IDC_DOWNLOAD_BRIGHTNESS) {
        if (header->code == NM_RELEASEDCAPTURE)
            OnTrackbarReleased(p, static_cast<int>(header->idFrom));
        return FALSE;
    }
    switch (header->code) {
        case PSN_APPLY:
            AcknowledgeApply(p.dialog, p.context);
            p.logos.DeleteWorkFiles();
            return AnswerSheet(p, PSNRET_NOERROR);
        case PSN_QUERYCANCEL:
            p.logos.DeleteWorkFiles();
            return AnswerSheet(p, FALSE);
        default:
            return DefaultPageNotify(p.dialog, header, p.context);
    }
}

INT_PTR OnPaint(const DownloadPage& p) {
    PAINTSTRUCT paint;
    BeginPaint(p.dialog, &paint);
    EndPaint(p.dialog, &paint);
    RefreshPreview(p);
    return TRUE;
}

// ---------------------------------------------------------------- creation

void InitFileGroup(const DownloadPage& p) {
    SetReadOnly(p.dialog, IDC_DOWNLOAD_FILE_PATH);
    p.Enable(IDC_DOWNLOAD_BROWSE, true);
    p.Enable(IDC_DOWNLOAD_FILE, false);
}

void InitLogoList(const DownloadPage& p) {
    ListView_DeleteAllItems(p.List());
    int index = 0;
    for (const auto& column : kLogoListColumns) {
        const std::u16string title(column.title);
        LVCOLUMNW c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.cx = column.width;
        c.pszText = const_cast<wchar_t*>(Wide(title));
        ListView_InsertColumn(p.List(), index++, &c);
    }
    ListView_SetExtendedListViewStyleEx(p.List(), LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void InitTrackbar(const DownloadPage& p, int trackbar, int label) {
    SetTrackbarRange(p.dialog, trackbar, -100, 100);
    SendMessageW(p.Item(trackbar), TBM_SETPAGESIZE, 0, 20);
    SendMessageW(p.Item(trackbar), TBM_SETLINESIZE, 0, 1);
    // Some trackbars place the thumb only when the position changes; the control starts at 0,
    // so move it once and the first position is drawn where it belongs.
    SetTrackbarPosition(p.dialog, trackbar, 100, false);
    ShowTone(p, trackbar, label, 0);
}

void OnInit(const DownloadPage& p) {
    InitFileGroup(p);
    InitLogoList(p);
    CheckRadioButton(p.dialog, IDC_DOWNLOAD_ORIGINAL, IDC_DOWNLOAD_GREY, IDC_DOWNLOAD_ORIGINAL);
    CheckRadioButton(p.dialog, IDC_DOWNLOAD_NO_DITHER, IDC_DOWNLOAD_ERROR_DIFFUSION,
                     IDC_DOWNLOAD_NO_DITHER);
    InitTrackbar(p, IDC_DOWNLOAD_CONTRAST, IDC_DOWNLOAD_CONTRAST_VALUE);
    InitTrackbar(p, IDC_DOWNLOAD_BRIGHTNESS, IDC_DOWNLOAD_BRIGHTNESS_VALUE);
    CheckRadioButton(p.dialog, IDC_DOWNLOAD_BACK_SIDE_LEFT, IDC_DOWNLOAD_BACK_SIDE_RIGHT,
                     IDC_DOWNLOAD_BACK_SIDE_LEFT);
    p.Enable(IDC_DOWNLOAD_ALL_LOGOS, false);
    p.Enable(IDC_DOWNLOAD_BACK_SIDE, false);
}

}  // namespace

INT_PTR CALLBACK DownloadPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (const DownloadPage* page = CreatePageState<DownloadPage>(dialog, lParam)) OnInit(*page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    DownloadPage* page = PageForMessage<DownloadPage>(dialog, message, wParam, lParam, &result);
    if (!page) return result;
    switch (message) {
        case WM_PAINT:
            return OnPaint(*page);
        case WM_COMMAND:
            return OnCommand(*page, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return OnNotify(*page, reinterpret_cast<const NMHDR*>(lParam));
        case WM_HSCROLL:
            return OnTrackbarScroll(*page, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        default:
            return FALSE;
    }
}

}  // namespace krv
