#include "host/host_screenshot.h"

#include <cstring>
#include <vector>

#include "host/host_files.h"
#include "imaging/bmp_format.h"

namespace krv::host {

namespace {

constexpr LONG kMaxSide = 4096;

// A bottom-up 24-bit DIB section of the window's size; its rows are what a BMP file stores.
struct Capture {
    BITMAPINFOHEADER header = {};
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;
    size_t Stride() const { return static_cast<size_t>(Stride24(header.biWidth)); }
};

// Copies from the window's own device context: under Wine it reads the window's drawing
// surface, which holds what was painted even before the display shows it.
bool CopyWindow(HWND window, Capture* capture) {
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    capture->bitmap =
        CreateDIBSection(source, reinterpret_cast<const BITMAPINFO*>(&capture->header),
                         DIB_RGB_COLORS, &capture->bits, nullptr, 0);
    bool ok = capture->bitmap != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, capture->bitmap);
        ok = BitBlt(memory, 0, 0, capture->header.biWidth, capture->header.biHeight, source, 0, 0,
                    SRCCOPY) ||
             PrintWindow(window, memory, 0);
        GdiFlush();
        SelectObject(memory, old);
    }
    DeleteDC(memory);
    ReleaseDC(window, source);
    return ok;
}

bool WriteBmp(const std::wstring& path, const Capture& capture) {
    const size_t imageBytes = capture.Stride() * static_cast<size_t>(capture.header.biHeight);
    // The section's rows are those of the file: bottom-up, padded to four bytes.
    Bytes bytes = MakeRgb24Bitmap(capture.header.biWidth, capture.header.biHeight);
    std::memcpy(bytes.data() + PixelOffsetOf(24), capture.bits, imageBytes);
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

}  // namespace

bool SaveWindowShot(HWND window, const std::wstring& path) {
    RECT r = {};
    if (!GetWindowRect(window, &r)) return false;
    const LONG width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Capture capture;
    capture.header.biSize = sizeof capture.header;
    capture.header.biWidth = width;
    capture.header.biHeight = height;  // positive: bottom-up, the file's own row order
    capture.header.biPlanes = 1;
    capture.header.biBitCount = 24;
    capture.header.biCompression = BI_RGB;
    capture.header.biSizeImage = static_cast<DWORD>(capture.Stride() * height);
    const bool ok = CopyWindow(window, &capture) && WriteBmp(path, capture);
    if (capture.bitmap) DeleteObject(capture.bitmap);
    return ok;
}

}  // namespace krv::host
