// TextWatermarkCanvas: the 300 x 300 drawing of a text watermark, black text on white,
// turned by its angle about the canvas centre. The preview shows it and apply writes it to the
// watermark work file for the driver's rendering side.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krv {

// What a text watermark is drawn from: the page's controls as they stand.
struct TextWatermarkSpec {
    std::u16string text;      // IDC_WATERMARK_TEXT
    std::u16string faceName;  // IDC_WATERMARK_FACE
    int pointSize = 0;        // IDC_WATERMARK_FONT_SIZE
    int angleDegrees = 0;     // IDC_WATERMARK_ANGLE, counter-clockwise
    int style = 0;            // IDC_WATERMARK_STYLE: WatermarkFontStyle
};

// The font of the drawing on `dc`: the description the system reports for the face in the
// ANSI character set (the last one reported), then the height of the point size at the
// context's vertical pixels per inch, escapement and orientation in tenths of degrees, the
// style's weight and slant, and the clipping that rotated text needs.
LOGFONTW TextWatermarkFont(HDC dc, const TextWatermarkSpec& spec);

// The drawing as a bitmap compatible with `window`'s device context (the preview frame);
// null when GDI cannot provide one. The caller owns the bitmap.
HBITMAP DrawTextWatermarkCanvas(HWND window, const TextWatermarkSpec& spec);

// The drawing read back as bottom-up 32-bit pixels, 300 rows of 300 (360,000 bytes). The
// buffer starts white, so a failed read-back gives a white canvas.
std::vector<uint8_t> ReadTextCanvasPixels(HBITMAP canvas);

// Draws the canvas and writes it as the 270,054-byte 24-bit file `path` (created, replacing
// any file). False when the drawing cannot be made or the file not created or written.
bool WriteTextWatermark(HWND window, const TextWatermarkSpec& spec, std::u16string_view path);

}  // namespace krv
