#include "docpages/watermark_canvas_win.h"

#include <algorithm>
#include <cwchar>

#include "docpages/watermark_bitmap.h"
#include "docpages/watermark_geometry.h"
#include "docpages/watermark_page_rules.h"
#include "frame/dialog_controls_win.h"
#include "frame/gdi_owners_win.h"

namespace krv {

namespace {

constexpr int kPointsPerInch = 72;
constexpr int kTenthsPerDegree = 10;
constexpr int kCanvasBytes32 = kTextCanvasSize * kTextCanvasSize * 4;

int CALLBACK KeepLastFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<LOGFONTW*>(found) = *font;
    return 1;
}

// Every family of the face in the ANSI set overwrites `font`, so the last one reported wins.
// An empty face would enumerate every family of the system: the system's default font is
// asked for instead.
void EnumerateFace(HDC dc, const std::u16string& face, LOGFONTW* font) {
    if (face.empty()) return;
    LOGFONTW wanted = {};
    wanted.lfCharSet = ANSI_CHARSET;
    const size_t length = std::min<size_t>(face.size(), LF_FACESIZE - 1);
    std::wmemcpy(wanted.lfFaceName, Wide(face), length);
    std::wmemcpy(font->lfFaceName, wanted.lfFaceName, LF_FACESIZE);
    EnumFontFamiliesExW(dc, &wanted, KeepLastFamily, reinterpret_cast<LPARAM>(font), 0);
}

void ApplyStyle(int style, LOGFONTW* font) {
    switch (static_cast<WatermarkFontStyle>(style)) {
        case WatermarkFontStyle::Regular:
            font->lfWeight = FW_NORMAL;
            font->lfItalic = FALSE;
            break;
        case WatermarkFontStyle::Italic:
            font->lfWeight = FW_NORMAL;
            font->lfItalic = TRUE;
            break;
        case WatermarkFontStyle::Bold:
            font->lfWeight = FW_BOLD;
            font->lfItalic = FALSE;
            break;
        case WatermarkFontStyle::BoldItalic:
            font->lfWeight = FW_BOLD;
            font->lfItalic = TRUE;
            break;
        default:  // keeps what the system reported for the face
            break;
    }
}

// Black text on the white canvas, its unrotated extent centred on the canvas centre.
void DrawCentredText(HDC dc, const std::u16string& text, int angleDegrees) {
    RECT canvas = {0, 0, kTextCanvasSize, kTextCanvasSize};
    FillRect(dc, &canvas, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    const int length = static_cast<int>(text.size());
    SIZE extent = {};
    GetTextExtentPoint32W(dc, Wide(text), length, &extent);
    const CanvasPoint at = TextReferencePoint(extent.cx, extent.cy, angleDegrees);
    ExtTextOutW(dc, at.x, at.y, ETO_CLIPPED, &canvas, Wide(text), static_cast<UINT>(length),
                nullptr);
}

}  // namespace

LOGFONTW TextWatermarkFont(HDC dc, const TextWatermarkSpec& spec) {
    LOGFONTW font = {};
    EnumerateFace(dc, spec.faceName, &font);
    font.lfHeight = -MulDiv(spec.pointSize, GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch);
    font.lfWidth = 0;
    font.lfEscapement = spec.angleDegrees * kTenthsPerDegree;
    font.lfOrientation = spec.angleDegrees * kTenthsPerDegree;
    ApplyStyle(spec.style, &font);
    font.lfClipPrecision = CLIP_LH_ANGLES;
    return font;
}

HBITMAP DrawTextWatermarkCanvas(HWND window, const TextWatermarkSpec& spec) {
    gdi::WindowDc windowDc(window);
    if (!windowDc.get()) return nullptr;
    const LOGFONTW description = TextWatermarkFont(windowDc.get(), spec);
    gdi::Owned<HFONT> font(CreateFontIndirectW(&description));
    gdi::Owned<HBITMAP> canvas(
        CreateCompatibleBitmap(windowDc.get(), kTextCanvasSize, kTextCanvasSize));
    if (!canvas.get()) return nullptr;
    {
        gdi::MemoryDc dc(windowDc.get());
        if (!dc.get()) return nullptr;
        dc.Select(canvas.get());
        if (font.get()) dc.Select(font.get());
        DrawCentredText(dc.get(), spec.text, spec.angleDegrees);
    }
    return canvas.release();
}

std::vector<uint8_t> ReadTextCanvasPixels(HBITMAP canvas) {
    std::vector<uint8_t> pixels(kCanvasBytes32, 0xFF);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kTextCanvasSize;
    info.bmiHeader.biHeight = kTextCanvasSize;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    gdi::WindowDc screen(nullptr);
    if (canvas && screen.get())
        GetDIBits(screen.get(), canvas, 0, kTextCanvasSize, pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

bool WriteTextWatermark(HWND window, const TextWatermarkSpec& spec, std::u16string_view path) {
    gdi::Owned<HBITMAP> canvas(DrawTextWatermarkCanvas(window, spec));
    if (!canvas.get()) return false;
    const std::vector<uint8_t> pixels = ReadTextCanvasPixels(canvas.get());
    return WriteTextWatermarkFile(path, pixels, CanvasPixels::Bgra32);
}

}  // namespace krv
