// Stretching the watermark's pixels into the preview frame without the system's drawing
// calls: nearest pixels for pictures (colour-on-colour) and, for the text drawing, every source
// pixel that a frame pixel stands for combined so that thin black strokes survive shrinking
// (black-on-white). Brightness is added to the drawn pixels on the way, so a redraw costs what
// the frame holds, not what the image holds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "docpages/watermark_geometry.h"

namespace krv {

// Pixels as the system reads bitmaps back: rows bottom-up, blue-green-red(-unused), each row
// `stride` bytes.
struct SourcePixels {
    const uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    size_t stride = 0;
    int bytesPerPixel = 3;  // 3 or 4
};

// The frame: top-down rows of 32-bit pixels 0x00RRGGBB.
struct FramePixels {
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
};

enum class StretchMode { ColourOnColour, BlackOnWhite };

// Paints `area` of the frame white (clipped to the frame).
void PaintFrameWhite(FramePixels frame, const PreviewRect& area);

// Stretches `stretch.source` (top row first, as the preview placement gives it) onto
// `stretch.target`, adding `brightness` to every colour component of what it draws (255 at
// most). Parts of the target outside the frame are left out; source coordinates outside the
// bitmap are held at its edge.
void StretchIntoFrame(const SourcePixels& source, FramePixels frame, const PreviewStretch& stretch,
                      StretchMode mode, uint8_t brightness = 0);

}  // namespace krv
