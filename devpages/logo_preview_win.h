// The download page's preview box: a logo picture stretched over the whole box, or the box
// cleared when there is nothing to show.
#pragma once

#include <windows.h>

#include <string>

namespace krv {

// Draws the bitmap file `picture` over the client area of `box`, aspect not kept; an empty
// path, or a file that does not load as a bitmap, clears the box instead.
void DrawLogoPreview(HWND box, const std::u16string& picture);

}  // namespace krv
