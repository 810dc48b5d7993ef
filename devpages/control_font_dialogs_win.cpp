// The control-font table dialog and the character dialog. The rows live in the list control
// while the table dialog is open; the portable table code reads and writes the file (it
// replaces the file only once the whole new table is written) and checks command lengths.
#include "devpages/control_font_dialogs_win.h"

#include <commctrl.h>

#include <optional>
#include <vector>

#include "channel/hex_command_edit_win.h"
#include "frame/dialog_controls_win.h"
#include "frame/module_win.h"
#include "frame/page_protocol_win.h"
#include "res/control_font_dialogs_ids.h"
#include "res/resource_ids.h"

namespace krv {

namespace {

enum Column : int { kCharColumn = 0, kHexColumn = 1, kCommandColumn = 2 };
// Column 0 and 1 hold one character and two digits; 9 is what the exchange keeps.
constexpr int kShortCellChars = 9;

ControlFontEntryExchange g_exchange;

HWND List(HWND dialog) {
    return GetDlgItem(dialog, IDC_CONTROL_FONT_TABLE);
}

// ---------------------------------------------------------------- list cells
std::u16string CellText(HWND list, int row, int column, int maxChars) {
    std::vector<wchar_t> buffer(static_cast<size_t>(maxChars) + 1, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = maxChars + 1;
    const auto n = static_cast<size_t>(
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()),
                          n < buffer.size() ? n : buffer.size() - 1);
}

void SetCellText(HWND list, int row, int column, const std::u16string& text) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(Wide(text));
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// Commands are read whole: a 128-byte command's text (384 characters) always fits.
ControlFontRow ReadRow(HWND list, int row) {
    return {CellText(list, row, kCharColumn, kShortCellChars),
            CellText(list, row, kHexColumn, kShortCellChars),
            CellText(list, row, kCommandColumn, static_cast<int>(kMaxControlCommandTextChars))};
}

ControlFontRows ReadRows(HWND list) {
    ControlFontRows rows;
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        rows.push_back(ReadRow(list, i));
    return rows;
}

int SelectedRow(HWND list) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

// ---------------------------------------------------------------- filling the table
void AddColumns(HWND list) {
    for (int i = 0; i < static_cast<int>(kControlFontColumns.size()); ++i) {
        std::u16string title(kControlFontColumns[i].title);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(Wide(title));
        column.cx = kControlFontColumns[i].width;
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void AddRow(HWND list, int index, const ControlFontRow& row) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(Wide(row.character));
    const auto at =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) return;
    SetCellText(list, at, kHexColumn, row.hex);
    SetCellText(list, at, kCommandColumn, row.command);
}

ControlFontRows StoredRows() {
    const std::u16string path = ControlFontDialogTablePath();
    if (path.empty()) return EmptyControlFontRows();
    return LoadControlFontTable(SystemPrivateProfile(), path);
}

BOOL OnTableInit(HWND dialog) {
    SetControlText(dialog, IDC_CONTROL_FONT_DRIVER_NAME, kControlFontDriverName);
    SetReadOnly(dialog, IDC_CONTROL_FONT_DRIVER_NAME);
    HWND list = List(dialog);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    AddColumns(list);
    const ControlFontRows rows = StoredRows();
    for (size_t i = 0; i < rows.size(); ++i)
        AddRow(list, static_cast<int>(i), rows[i]);
    return TRUE;
}

// ---------------------------------------------------------------- table actions
void ShowCommandTooLong(HWND owner) {
    std::u16string text(kCommandTooLongMessage);
    ShowPageError(owner, Wide(text), MessageIcon::None);
}

// Brings the row back into view after an edit (from the third row on, the one above it as
// well) and gives the list the focus.
void RevealRow(HWND dialog, int row) {
    HWND list = List(dialog);
    if (row >= 2) SendMessageW(list, LVM_ENSUREVISIBLE, row - 1, FALSE);
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

enum class EditTrigger { EditButton, DoubleClick };

// A double-click goes on without a selection: the character dialog then shows empty fields
// and its answer goes nowhere.
void EditSelectedRow(HWND dialog, EditTrigger trigger) {
    HWND list = List(dialog);
    const int selected = SelectedRow(list);
    if (trigger == EditTrigger::EditButton && selected < 0) return;
    std::optional<ControlFontRow> row;
    if (selected >= 0) row = ReadRow(list, selected);
    if (!BeginControlFontEdit(row ? &*row : nullptr, g_exchange)) {
        ShowCommandTooLong(dialog);
        return;
    }
    const INT_PTR answer =
        ModuleDialogBox(IDD_CONTROL_FONT_CHAR_DIALOG, dialog, ControlFontCharDialog, 0);
    if (answer == IDOK && selected >= 0)
        SetCellText(list, selected, kCommandColumn, g_exchange.CommandText());
    if (trigger == EditTrigger::EditButton) RevealRow(dialog, selected);
}

void ClearSelectedRow(HWND dialog) {
    const int selected = SelectedRow(List(dialog));
    if (selected < 0) return;
    SetCellText(List(dialog), selected, kCommandColumn, u"");
    RevealRow(dialog, selected);
}

void SaveTable(HWND dialog) {
    const std::u16string path = ControlFontDialogTablePath();
    if (path.empty() ||
        !SaveControlFontTable(SystemPrivateProfile(), path, ReadRows(List(dialog)))) {
        std::u16string text(kAdminRightsMessage);
        ShowPageError(dialog, Wide(text), MessageIcon::Error);
        return;  // the previous table is intact; the user may retry or cancel
    }
    EndDialog(dialog, IDOK);
}

BOOL OnTableCommand(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_CONTROL_FONT_EDIT:
            EditSelectedRow(dialog, EditTrigger::EditButton);
            return TRUE;
        case IDC_CONTROL_FONT_DELETE:
            ClearSelectedRow(dialog);
            return TRUE;
        case IDOK:
            SaveTable(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL OnTableNotify(HWND dialog, const NMHDR* header) {
    if (!header || header->idFrom != IDC_CONTROL_FONT_TABLE || header->code != NM_DBLCLK)
        return FALSE;
    EditSelectedRow(dialog, EditTrigger::DoubleClick);
    return TRUE;
}

// ---------------------------------------------------------------- the character dialog
BOOL OnCharInit(HWND dialog) {
    SetControlText(dialog, IDC_CONTROL_FONT_CHARACTER, g_exchange.characterText);
    SetControlText(dialog, IDC_CONTROL_FONT_HEX, g_exchange.hexText);
    SetReadOnly(dialog, IDC_CONTROL_FONT_CHARACTER);
    SetReadOnly(dialog, IDC_CONTROL_FONT_HEX);
    AttachHexCommandEdit(GetDlgItem(dialog, IDC_CONTROL_FONT_COMMAND));
    SetControlText(dialog, IDC_CONTROL_FONT_COMMAND, g_exchange.CommandText());
    return TRUE;
}

// The whole text is read, so that a command longer than 128 bytes is always seen as such
// however many blanks it holds.
std::u16string WholeText(HWND dialog, int id) {
    const int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
    return ControlText(dialog, id, length > 0 ? length : 0);
}

void AcceptCommand(HWND dialog) {
    if (!AcceptControlFontCommand(WholeText(dialog, IDC_CONTROL_FONT_COMMAND), g_exchange)) {
        ShowCommandTooLong(dialog);
        return;
    }
    EndDialog(dialog, IDOK);
}

BOOL OnCharCommand(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            AcceptCommand(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

std::u16string ControlFontDialogTablePath() {
    return DefaultControlFontTablePath().value_or(std::u16string());
}

ControlFontEntryExchange& ControlFontExchange() {
    return g_exchange;
}

INT_PTR OpenControlFontTableDialog(HWND owner) {
    return ModuleDialogBox(IDD_CONTROL_FONT_TABLE_DIALOG, owner, ControlFontTableDialog, 0);
}

INT_PTR CALLBACK ControlFontTableDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnTableInit(dialog);
        case WM_COMMAND:
            return OnTableCommand(dialog, wParam);
        case WM_NOTIFY:
            return OnTableNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK ControlFontCharDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnCharInit(dialog);
        case WM_COMMAND:
            return OnCharCommand(dialog, wParam);
        default:
            return FALSE;
    }
}

}  // namespace krv
