#include "devpages/logo_preview_win.h"

#include <cstdlib>

namespace krv {

namespace {

void ClearBox(HDC dc, const RECT& area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
}

// The whole bitmap onto the whole area, colour on colour so thin lines may drop rather than
// smear when the picture shrinks.
bool StretchPicture(HDC dc, const RECT& area, const std::u16string& picture) {
    auto* bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, reinterpret_cast<const wchar_t*>(picture.c_str()), IMAGE_BITMAP, 0, 0,
                   LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
    if (!bitmap) return false;
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const int mode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, 0,
               0, info.bmWidth, std::abs(info.bmHeight), SRCCOPY);
    SetStretchBltMode(dc, mode);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return true;
}

}  // namespace

void DrawLogoPreview(HWND box, const std::u16string& picture) {
    if (!box) return;
    RECT area = {};
    GetClientRect(box, &area);
    HDC dc = GetDC(box);
    if (!dc) return;
    if (picture.empty() || !StretchPicture(dc, area, picture)) ClearBox(dc, area);
    ReleaseDC(box, dc);
}

}  // namespace krv
