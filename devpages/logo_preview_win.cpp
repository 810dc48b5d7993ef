#include "devpages/logo_preview_win.h"

#include <cstdlib>

#include "frame/gdi_owners_win.h"

namespace krv {

namespace {

void ClearBox(HDC dc, const RECT& area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
}

// The whole bitmap onto the whole area, colour on colour so thin lines may drop rather than
// smear when the picture shrinks.
bool StretchPicture(HDC dc, const RECT& area, const std::u16string& picture) {
    gdi::Owned<HBITMAP> bitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, reinterpret_cast<const wchar_t*>(picture.c_str()), IMAGE_BITMAP, 0, 0,
                   LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE)));
    if (!bitmap.get()) return false;
    BITMAP info = {};
    GetObjectW(bitmap.get(), sizeof info, &info);
    gdi::MemoryDc memory(dc);
    memory.Select(bitmap.get());
    const int mode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
               memory.get(), 0, 0, info.bmWidth, std::abs(info.bmHeight), SRCCOPY);
    SetStretchBltMode(dc, mode);
    return true;
}

}  // namespace

void DrawLogoPreview(HWND box, const std::u16string& picture) {
    if (!box) return;
    RECT area = {};
    GetClientRect(box, &area);
    const gdi::WindowDc dc(box);
    if (!dc.get()) return;
    if (picture.empty() || !StretchPicture(dc.get(), area, picture)) ClearBox(dc.get(), area);
}

}  // namespace krv
