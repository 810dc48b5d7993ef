// EventActionDialog (IDD_EVENT_ACTION_DIALOG): the actions of one moment of the job, edited on the
// module-wide EventActionWorkingCopy. Modal; the operations page opens it.
#pragma once

#include <windows.h>

namespace krv {

// Runs the dialog owned by `owner` on the shared working copy, which the caller has filled.
// IDOK: the copy holds the confirmed settings; IDCANCEL (or a failure): the copy may be
// left as it was opened and must not be stored.
INT_PTR RunEventActionDialog(HWND owner);

INT_PTR CALLBACK EventActionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace krv
