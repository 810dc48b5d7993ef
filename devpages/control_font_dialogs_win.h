// The control font's translation-table editor: ControlFontTableDialog
// (IDD_CONTROL_FONT_TABLE_DIALOG) lists the 96 characters with their commands and saves the table
// file on OK; ControlFontCharDialog (IDD_CONTROL_FONT_CHAR_DIALOG) edits one character's command
// as hexadecimal text. The two hand a row to
// each other through the process-wide ControlFontEntryExchange.
#pragma once

#include <windows.h>

#include <string>

#include "devpages/control_font_table.h"

namespace krv {

// The table file both dialogs use ("857CONTROL.ini" in the printer-driver folder of the
// plug-in's architecture); empty when the system reports no Windows folder.
std::u16string ControlFontDialogTablePath();

// Opens the table dialog modally, owned by `owner`; IDOK once the table was saved, IDCANCEL.
INT_PTR OpenControlFontTableDialog(HWND owner);

INT_PTR CALLBACK ControlFontTableDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ControlFontCharDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The row last handed from the table dialog to the character dialog, and its result.
ControlFontEntryExchange& ControlFontExchange();

}  // namespace krv
