// The version page of both sheets: static texts only. It never calls the host's sheet
// callback and keeps no context.
#include "frame/page_procedures_win.h"

#include <commctrl.h>
#include <prsht.h>

namespace krv {

INT_PTR CALLBACK VersionPageProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            return header && (header->code == PSN_APPLY || header->code == PSN_KILLACTIVE ||
                              header->code == PSN_SETACTIVE);
        }
        case WM_COMMAND:
            return HIWORD(wParam) == 0;
        default:
            return FALSE;
    }
}

}  // namespace krv
