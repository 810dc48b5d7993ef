// This page so far follows the page protocol only; its own behaviour replaces this body.
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"

namespace krv {

INT_PTR CALLBACK BarcodePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DocumentProtocolOnlyPage(page, message, wParam, lParam);
}

}  // namespace krv
