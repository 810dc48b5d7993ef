// The control font's character translation table: each printable character 0x20..0x7F of the
// printer's control font stands for a sequence of up to 128 command bytes. The table lives in
// the per-machine INI file "857CONTROL.ini" in the printer-driver folder, where the driver's
// rendering side reads it: section "Character Translation Table", one key per character that
// has a command ("%X" of the code: "20".."7F"), the value in the canonical command text
// ("1B 40 ": two upper-case digits and one blank per byte).
//
// Saving never deletes the file first: the new table is written to a temporary file beside
// it, which then replaces the old one, so a failed save leaves the previous table intact.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/private_profile.h"

namespace krv {

// ---------------------------------------------------------------- the table file
inline constexpr std::u16string_view kControlFontTableFileName = u"857CONTROL.ini";
inline constexpr std::u16string_view kControlFontSection = u"Character Translation Table";

// The driver folder of the plug-in's own architecture: the rendering side that reads the
// table is of the same architecture as the plug-in (w32x86 for 32-bit, x64 for 64-bit).
enum class DriverArchitecture { X86, X64 };
constexpr DriverArchitecture kBuildArchitecture =
    sizeof(void*) == 8 ? DriverArchitecture::X64 : DriverArchitecture::X86;
// The Windows folder (a trailing separator dropped), then
// "\system32\spool\drivers\<arch>\3\857CONTROL.ini".
std::u16string ControlFontTablePath(std::u16string_view windowsDirectory,
                                    DriverArchitecture architecture = kBuildArchitecture);
// The table's path on this system; none where there is no Windows folder.
std::optional<std::u16string> DefaultControlFontTablePath();

// ---------------------------------------------------------------- the table's rows
constexpr unsigned kFirstControlFontChar = 0x20;
constexpr unsigned kLastControlFontChar = 0x7F;
constexpr size_t kControlFontRowCount = kLastControlFontChar - kFirstControlFontChar + 1;
constexpr size_t kMaxControlCommandBytes = 128;
// Command text read from an edit field or from the file. A 128-byte command in canonical
// form takes 384 characters, so every command the editor writes fits; a longer value in the
// file was not written by the editor and is read as no command (cutting it would change it).
constexpr size_t kMaxControlCommandTextChars = 399;

struct ControlFontColumn {
    std::u16string_view title;
    int width;  // pixels
};
inline constexpr std::array<ControlFontColumn, 3> kControlFontColumns = {{
    {u"Char", 50},
    {u"Hex", 50},
    {u"Command", 450},
}};

inline constexpr std::u16string_view kControlFontDriverName = u"KRV-M857 Printer Driver";
inline constexpr std::u16string_view kCommandTooLongMessage = u"指令长度超界！";
inline constexpr std::u16string_view kAdminRightsMessage = u"请确认该用户拥有管理员权限！";
inline constexpr std::u16string_view kControlFontErrorCaption = u"错误";

struct ControlFontRow {
    std::u16string character;  // column 0: the character itself
    std::u16string hex;        // column 1: "%X" of the code, also the key in the file
    std::u16string command;    // column 2: the command text, empty when there is none
};
using ControlFontRows = std::vector<ControlFontRow>;

// "%X" of a character code: "20".."7F".
std::u16string ControlFontKey(unsigned code);
// The 96 rows with empty commands.
ControlFontRows EmptyControlFontRows();
// The 96 rows with the commands found in the file (missing file or key: empty).
ControlFontRows LoadControlFontTable(PrivateProfileSeam& profile, std::u16string_view path);
// Writes every row that has a command, in row order, as the whole new content of the file.
// With no command at all the file is removed. False when the table could not be stored: the
// previous file is then left as it was (show kAdminRightsMessage).
bool SaveControlFontTable(PrivateProfileSeam& profile, std::u16string_view path,
                          const ControlFontRows& rows);

// ---------------------------------------------------------------- one row in the editor
// What the table dialog hands to the character dialog and gets back.
struct ControlFontEntryExchange {
    std::u16string characterText;  // at most 9 characters
    std::u16string hexText;        // at most 9 characters
    std::array<uint8_t, kMaxControlCommandBytes> commandBytes{};
    uint8_t commandLength = 0;

    // The command as canonical text (empty when there are no bytes).
    std::u16string CommandText() const;
};

// Edit or double-click on the table: fills `exchange` from `row` (nullptr: a double-click
// without a selection, which hands over empty texts). False when the row's command holds more
// than 128 bytes: show kCommandTooLongMessage and do not open the character dialog.
bool BeginControlFontEdit(const ControlFontRow* row, ControlFontEntryExchange& exchange);
// OK in the character dialog: stores the bytes of `text`. False when it holds more than 128
// bytes: show kCommandTooLongMessage; the exchange and the dialog stay as they were.
bool AcceptControlFontCommand(std::u16string_view text, ControlFontEntryExchange& exchange);

}  // namespace krv
