// A picture of a window as it stands on the screen, saved as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace krv::host {

// Repaints the window and copies its screen pixels (frame included). False when the window
// has no area or the file cannot be written.
bool SaveWindowShot(HWND window, const std::wstring& path);

}  // namespace krv::host
