// The arithmetic of the watermark preview and of the text drawing, apart from any drawing:
// where the rotated text goes on its canvas, which rectangles of the preview frame receive
// which part of the watermark bitmap, and the brightness added to the watermark's pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace krv {

// Degrees to radians, as the text drawing has always converted them.
constexpr double kDegreesToRadians = 0.017453292522222223;
// A tiled watermark is never narrower than this percentage of the page.
constexpr int kTileMinimumPercent = 20;
// The largest image watermark the preview shows: bytes per row x rows of its 24-bit pixels.
constexpr uint64_t kLargestWatermarkImageBytes = 10485760;

enum class WatermarkPosition : uint8_t {
    TopLeft = 0,
    TopCentre = 1,
    TopRight = 2,
    MiddleLeft = 3,
    Centre = 4,
    MiddleRight = 5,
    BottomLeft = 6,
    BottomCentre = 7,
    BottomRight = 8,
    Tile = 9,
};

// ---- the text drawing

struct CanvasPoint {
    int x;
    int y;
};

// The reference point (baseline, left) at which text whose unrotated extent is
// `textWidth` x `textHeight` is drawn at `angleDegrees` so that it is centred on the
// 300 x 300 canvas.
CanvasPoint TextReferencePoint(int textWidth, int textHeight, int angleDegrees);

// ---- the preview

struct PreviewRect {
    int x;
    int y;
    int width;
    int height;
    bool operator==(const PreviewRect&) const = default;
};

// Stretch `source` (in bitmap pixels, top row first) onto `target` (in frame pixels).
struct PreviewStretch {
    PreviewRect target;
    PreviewRect source;
    bool operator==(const PreviewStretch&) const = default;
};

struct PreviewPlacementInput {
    int position;      // the position list's index, WatermarkPosition
    int sizePercent;   // the size slider, 0..100
    int frameWidth;    // W: right of the preview frame's client rectangle
    int frameHeight;   // H: its bottom
    int bitmapWidth;   // bw
    int bitmapHeight;  // bh
};

// What to draw, in order: first paint `white`, then every stretch of `stretches`.
struct PreviewPlacement {
    std::vector<PreviewRect> white;
    std::vector<PreviewStretch> stretches;
};

// The watermark keeps its proportions and takes sizePercent of the frame's width; a source too
// tall for the frame shows its top, middle or bottom band after the vertical position. Tiling
// repeats it in columns and rows and fills the remaining strip on the right.
PreviewPlacement PlaceWatermarkPreview(const PreviewPlacementInput& input);

// ---- brightness

// target[i] = min(source[i] + brightness, 255) for `size` bytes. `target` may be `source`.
void AddBrightness(const uint8_t* source, uint8_t* target, size_t size, uint8_t brightness);

}  // namespace krv
