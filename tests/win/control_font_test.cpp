// The control-font table dialog and character dialog, created from the real
// templates and driven as a user would; the table file they write is the real one of the
// test prefix (ControlFontDialogTablePath()), checked through the system's profile functions.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "channel/command_text_codec.h"
#include "channel/hex_command_edit_win.h"
#include "devpages/control_font_dialogs_win.h"
#include "frame/module_win.h"
#include "res/control_font_dialogs_ids.h"
#include "res/resource_ids.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

constexpr wchar_t kSection[] = L"Character Translation Table";
constexpr wchar_t kTableCaption[] = L"Control Font Character Translation Table";
constexpr wchar_t kCharCaption[] = L"Control Font Character Translator";

int Row(wchar_t c) {
    return c - 0x20;
}

std::wstring Wide(const std::u16string& s) {
    return std::wstring(s.begin(), s.end());
}

// `count` bytes as hexadecimal text without blanks ("000102...").
std::wstring HexBytes(int count) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        text += kDigits[(i >> 4) & 0xF];
        text += kDigits[i & 0xF];
    }
    return text;
}

std::wstring WindowCaption(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

// Every key=value line of the table's section (values with their blanks trimmed).
std::map<std::wstring, std::wstring> FileKeys(const std::wstring& path) {
    std::vector<wchar_t> buffer(32768, L'\0');
    const DWORD n = GetPrivateProfileSectionW(kSection, buffer.data(),
                                              static_cast<DWORD>(buffer.size()), path.c_str());
    std::map<std::wstring, std::wstring> keys;
    for (const wchar_t* line = buffer.data(); line < buffer.data() + n && *line;
         line += wcslen(line) + 1) {
        const std::wstring entry = line;
        const size_t eq = entry.find(L'=');
        std::wstring value = eq == std::wstring::npos ? L"" : entry.substr(eq + 1);
        while (!value.empty() && value.back() == L' ')
            value.pop_back();
        keys[entry.substr(0, eq)] = value;
    }
    return keys;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The printer-driver folder exists on a real system; a fresh test prefix may lack it.
void MakeFolders(const std::wstring& file) {
    for (size_t at = file.find(L'\\', 3); at != std::wstring::npos; at = file.find(L'\\', at + 1))
        CreateDirectoryW(file.substr(0, at).c_str(), nullptr);
}

// The message boxes shown (the dialogs the watcher saw have no text).
std::vector<ModalSeen> MessageBoxes(const ModalWatcher& watcher) {
    std::vector<ModalSeen> boxes;
    for (const auto& s : watcher.seen)
        if (!s.text.empty()) boxes.push_back(s);
    return boxes;
}

class ControlFont : public testing::Test {
  protected:
    void SetUp() override {
        UseTestProgramAsModule();
        path = Wide(ControlFontDialogTablePath());
        ASSERT_FALSE(path.empty());
        MakeFolders(path);
        RemoveFiles();
        // The modeless table is left alone; the character dialog goes to `onCharDialog`;
        // message boxes are recorded and closed.
        watcher.handler = [this](HWND dialog) {
            const std::wstring caption = WindowCaption(dialog);
            if (caption == kTableCaption) return true;
            if (caption == kCharCaption) {
                ++charDialogs;
                if (onCharDialog) return onCharDialog(dialog);
            }
            return false;
        };
    }
    void TearDown() override {
        if (table) DestroyWindow(table);
        RemoveFiles();
    }
    void RemoveFiles() {
        DeleteFileW(path.c_str());
        RemoveDirectoryW(path.c_str());
        DeleteFileW((path + L".tmp").c_str());
    }

    // The table dialog as the page opens it, but modeless so the test can drive it.
    HWND OpenTable() {
        table =
            CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_CONTROL_FONT_TABLE_DIALOG),
                               nullptr, ControlFontTableDialog, 0);
        EXPECT_NE(table, nullptr);
        ShowWindow(table, SW_SHOWNA);
        PumpMessages();
        return table;
    }
    HWND List() { return GetDlgItem(table, IDC_CONTROL_FONT_TABLE); }
    int RowCount() { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Cell(int row, int column) {
        std::array<wchar_t, 512> text{};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        SendMessageW(List(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text.data();
    }
    void SelectRow(int row) {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    // Types `text` into the character dialog and presses its OK.
    void AnswerCharDialog(const std::wstring& text) {
        onCharDialog = [text](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_CONTROL_FONT_COMMAND, text.c_str());
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return true;
        };
    }
    std::vector<ModalSeen> Boxes() { return MessageBoxes(watcher); }
    bool TableOpen() { return IsWindowVisible(table) != FALSE; }

    std::wstring path;
    HWND table = nullptr;
    int charDialogs = 0;
    std::function<bool(HWND)> onCharDialog;
    ModalWatcher watcher;
};

TEST_F(ControlFont, TableShowsNinetySixRowsWithTheirColumns) {
    OpenTable();
    EXPECT_EQ(ItemText(table, IDC_CONTROL_FONT_DRIVER_NAME), L"KRV-M857 Printer Driver");
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(table, IDC_CONTROL_FONT_DRIVER_NAME), GWL_STYLE) &
                ES_READONLY);
    const std::pair<const wchar_t*, int> columns[] = {
        {L"Char", 50}, {L"Hex", 50}, {L"Command", 450}};
    for (int i = 0; i < 3; ++i) {
        wchar_t title[32] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title;
        column.cchTextMax = 32;
        ASSERT_TRUE(SendMessageW(List(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(title, columns[i].first);
        EXPECT_EQ(column.cx, columns[i].second);
    }
    EXPECT_TRUE(SendMessageW(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    ASSERT_EQ(RowCount(), 96);
    EXPECT_EQ(Cell(0, 0), L" ");
    EXPECT_EQ(Cell(0, 1), L"20");
    EXPECT_EQ(Cell(Row(L'A'), 0), L"A");
    EXPECT_EQ(Cell(Row(L'A'), 1), L"41");
    EXPECT_EQ(Cell(95, 1), L"7F");
    for (int i = 0; i < 96; ++i)
        EXPECT_EQ(Cell(i, 2), L"") << i;
}

TEST_F(ControlFont, OkWithNothingEnteredLeavesNoFile) {
    OpenTable();
    Click(table, IDOK);
    EXPECT_FALSE(TableOpen());
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ControlFont, LetterAAsResetCommandGivesTheSingleKey41) {
    OpenTable();
    std::wstring shownChar, shownHex, shownCommand;
    onCharDialog = [&](HWND dialog) {
        shownChar = ItemText(dialog, IDC_CONTROL_FONT_CHARACTER);
        shownHex = ItemText(dialog, IDC_CONTROL_FONT_HEX);
        shownCommand = ItemText(dialog, IDC_CONTROL_FONT_COMMAND);
        EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(dialog, IDC_CONTROL_FONT_COMMAND), GWLP_WNDPROC),
                  reinterpret_cast<LONG_PTR>(HexCommandEditProc));
        SetDlgItemTextW(dialog, IDC_CONTROL_FONT_COMMAND, L"1b40");
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
    SelectRow(Row(L'A'));
    Click(table, IDC_CONTROL_FONT_EDIT);
    EXPECT_EQ(charDialogs, 1);
    EXPECT_EQ(shownChar, L"A");
    EXPECT_EQ(shownHex, L"41");
    EXPECT_EQ(shownCommand, L"");
    EXPECT_EQ(Cell(Row(L'A'), 2), L"1B 40 ") << "the canonical text, a blank after each pair";
    Click(table, IDOK);
    EXPECT_FALSE(TableOpen());
    EXPECT_EQ(FileKeys(path), (std::map<std::wstring, std::wstring>{{L"41", L"1B 40"}}));
}

TEST_F(ControlFont, TableShowsTheFileAndHandsTheCommandToTheCharDialog) {
    WritePrivateProfileStringW(kSection, L"42", L"1D 56 42 00 ", path.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    OpenTable();
    EXPECT_EQ(Cell(Row(L'B'), 2).substr(0, 11), L"1D 56 42 00");
    std::wstring shown;
    onCharDialog = [&](HWND dialog) {
        shown = ItemText(dialog, IDC_CONTROL_FONT_COMMAND);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    };
    SelectRow(Row(L'B'));
    Click(table, IDC_CONTROL_FONT_EDIT);
    EXPECT_EQ(shown, L"1D 56 42 00 ");
    EXPECT_EQ(Cell(Row(L'B'), 2).substr(0, 11), L"1D 56 42 00") << "cancel keeps the row";
}

TEST_F(ControlFont, DoubleClickWithoutSelectionOpensEmptyFieldsAndChangesNothing) {
    OpenTable();
    std::wstring shownChar = L"?", shownHex = L"?";
    onCharDialog = [&](HWND dialog) {
        shownChar = ItemText(dialog, IDC_CONTROL_FONT_CHARACTER);
        shownHex = ItemText(dialog, IDC_CONTROL_FONT_HEX);
        SetDlgItemTextW(dialog, IDC_CONTROL_FONT_COMMAND, L"1B 40");
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
    NMITEMACTIVATE click = {};
    click.hdr = {List(), static_cast<UINT_PTR>(IDC_CONTROL_FONT_TABLE),
                 static_cast<UINT>(NM_DBLCLK)};
    click.iItem = -1;
    SendMessageW(table, WM_NOTIFY, IDC_CONTROL_FONT_TABLE, reinterpret_cast<LPARAM>(&click));
    PumpMessages();
    EXPECT_EQ(charDialogs, 1);
    EXPECT_EQ(shownChar, L"");
    EXPECT_EQ(shownHex, L"");
    for (int i = 0; i < RowCount(); ++i)
        EXPECT_EQ(Cell(i, 2), L"") << i;
}

TEST_F(ControlFont, DoubleClickEditsTheSelectedRow) {
    OpenTable();
    AnswerCharDialog(L"0a");
    SelectRow(Row(L'~'));
    NMITEMACTIVATE click = {};
    click.hdr = {List(), static_cast<UINT_PTR>(IDC_CONTROL_FONT_TABLE),
                 static_cast<UINT>(NM_DBLCLK)};
    click.iItem = Row(L'~');
    SendMessageW(table, WM_NOTIFY, IDC_CONTROL_FONT_TABLE, reinterpret_cast<LPARAM>(&click));
    PumpMessages();
    EXPECT_EQ(Cell(Row(L'~'), 2), L"0A ");
}

TEST_F(ControlFont, DeleteThenOkRemovesThatKeyAndCancelKeepsTheFile) {
    WritePrivateProfileStringW(kSection, L"41", L"1B 40 ", path.c_str());
    WritePrivateProfileStringW(kSection, L"42", L"0A ", path.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    const auto before = FileKeys(path);

    OpenTable();
    SelectRow(Row(L'B'));
    Click(table, IDC_CONTROL_FONT_DELETE);
    EXPECT_EQ(Cell(Row(L'B'), 2), L"");
    Click(table, IDCANCEL);
    EXPECT_FALSE(TableOpen());
    EXPECT_EQ(FileKeys(path), before) << "cancel writes nothing";
    DestroyWindow(table);

    OpenTable();
    SelectRow(Row(L'B'));
    Click(table, IDC_CONTROL_FONT_DELETE);
    Click(table, IDOK);
    EXPECT_EQ(FileKeys(path), (std::map<std::wstring, std::wstring>{{L"41", L"1B 40"}}));
}

TEST_F(ControlFont, LongestCommandSurvivesTheTableAndTheFileWhole) {
    OpenTable();
    AnswerCharDialog(HexBytes(128));
    SelectRow(Row(L'z'));
    Click(table, IDC_CONTROL_FONT_EDIT);
    EXPECT_EQ(Cell(Row(L'z'), 2).size(), 384u);
    Click(table, IDOK);
    DestroyWindow(table);

    OpenTable();
    const std::wstring cell = Cell(Row(L'z'), 2);
    const std::u16string text(cell.begin(), cell.end());
    std::array<uint8_t, 200> bytes{};
    ASSERT_EQ(CommandTextCodec::Parse(text, bytes), 128u);
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ(bytes[i], i) << i;
}

TEST_F(ControlFont, TooLongCommandInTheFileIsRefusedBeforeTheCharDialog) {
    // 129 bytes: within what the table reads, beyond what a command may hold.
    std::wstring text;
    for (int i = 0; i < 129; ++i)
        text += L"1B ";
    WritePrivateProfileStringW(kSection, L"41", text.c_str(), path.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    OpenTable();
    SelectRow(Row(L'A'));
    Click(table, IDC_CONTROL_FONT_EDIT);
    EXPECT_EQ(charDialogs, 0);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"错误");
    EXPECT_EQ(boxes[0].text, L"指令长度超界！");
    EXPECT_EQ(boxes[0].icon, 0u);
}

TEST_F(ControlFont, FailedSaveIsReportedAndKeepsTheDialogOpen) {
    // A folder where the file should be: the finished table cannot replace it.
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    OpenTable();
    AnswerCharDialog(L"1B 40");
    SelectRow(Row(L'A'));
    Click(table, IDC_CONTROL_FONT_EDIT);
    Click(table, IDOK);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"错误");
    EXPECT_EQ(boxes[0].text, L"请确认该用户拥有管理员权限！");
    EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(TableOpen());
    EXPECT_EQ(Cell(Row(L'A'), 2), L"1B 40 ") << "the edits stay for a retry";
    EXPECT_FALSE(Exists(path + L".tmp")) << "no half-written table is left behind";
}

// The character dialog on its own, fed through the exchange as the table feeds it.
class CharDialog : public testing::Test {
  protected:
    void SetUp() override {
        UseTestProgramAsModule();
        auto& exchange = ControlFontExchange();
        exchange = {};
        exchange.characterText = u"A";
        exchange.hexText = u"41";
        exchange.commandBytes[0] = 0x1B;
        exchange.commandBytes[1] = 0x40;
        exchange.commandLength = 2;
        // The dialog under test is left alone; only message boxes are closed.
        watcher.handler = [](HWND window) { return WindowCaption(window) == kCharCaption; };
        dialog =
            CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_CONTROL_FONT_CHAR_DIALOG),
                               nullptr, ControlFontCharDialog, 0);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOWNA);
        PumpMessages();
    }
    void TearDown() override { DestroyWindow(dialog); }
    void PressOk() {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        PumpMessages();
    }
    HWND dialog = nullptr;
    ModalWatcher watcher;
};

TEST_F(CharDialog, ShowsTheExchangeReadOnly) {
    EXPECT_EQ(ItemText(dialog, IDC_CONTROL_FONT_CHARACTER), L"A");
    EXPECT_EQ(ItemText(dialog, IDC_CONTROL_FONT_HEX), L"41");
    EXPECT_EQ(ItemText(dialog, IDC_CONTROL_FONT_COMMAND), L"1B 40 ");
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_CONTROL_FONT_CHARACTER), GWL_STYLE) &
                ES_READONLY);
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_CONTROL_FONT_HEX), GWL_STYLE) & ES_READONLY);
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog, IDC_CONTROL_FONT_COMMAND), GWL_STYLE) &
                 ES_READONLY);
}

TEST_F(CharDialog, Refuses129BytesAndStaysOpen) {
    SetDlgItemTextW(dialog, IDC_CONTROL_FONT_COMMAND, HexBytes(129).c_str());
    PressOk();
    const auto boxes = MessageBoxes(watcher);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"错误");
    EXPECT_EQ(boxes[0].text, L"指令长度超界！");
    EXPECT_EQ(boxes[0].icon, 0u) << "an OK button only";
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ControlFontExchange().commandLength, 2) << "the exchange keeps its input";
    EXPECT_EQ(ControlFontExchange().commandBytes[0], 0x1B);
}

TEST_F(CharDialog, ManyBlanksDoNotHideTheExtraByte) {
    // 129 bytes spread out with blanks: longer than 399 characters, still 129 bytes.
    std::wstring text;
    for (int i = 0; i < 129; ++i)
        text += L"7F    ";
    SetDlgItemTextW(dialog, IDC_CONTROL_FONT_COMMAND, text.c_str());
    PressOk();
    const auto boxes = MessageBoxes(watcher);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"指令长度超界！");
    EXPECT_EQ(ControlFontExchange().commandLength, 2);
}

TEST_F(CharDialog, Accepts128BytesIntoTheExchange) {
    SetDlgItemTextW(dialog, IDC_CONTROL_FONT_COMMAND, HexBytes(128).c_str());
    PressOk();
    EXPECT_TRUE(MessageBoxes(watcher).empty());
    EXPECT_FALSE(IsWindowVisible(dialog)) << "OK ends the dialog";
    EXPECT_EQ(ControlFontExchange().commandLength, 128);
    EXPECT_EQ(ControlFontExchange().commandBytes[127], 127);
}

}  // namespace
}  // namespace krv::test
