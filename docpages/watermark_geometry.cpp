#include "docpages/watermark_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace krv {

namespace {

constexpr int kCanvasCentre = 150;

int ClampToInt(double v) {
    // Text extents are small; the clamp only keeps an absurd one from being undefined.
    return static_cast<int>(std::clamp(v, -1e9, 1e9));
}

int Narrow(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

PreviewRect Rect(int64_t x, int64_t y, int64_t w, int64_t h) {
    return {Narrow(x), Narrow(y), Narrow(w), Narrow(h)};
}

// Frame and bitmap in 64 bits, so that no product of the arithmetic below can overflow.
struct Metrics {
    int64_t S, W, H, bw, bh;
    int64_t sh, th, tw;
};

Metrics Measure(const PreviewPlacementInput& in, bool tiled) {
    Metrics m{};
    m.S = std::clamp(in.sizePercent, 0, 100);
    if (tiled && m.S < kTileMinimumPercent) m.S = kTileMinimumPercent;
    m.W = in.frameWidth;
    m.H = in.frameHeight;
    m.bw = in.bitmapWidth;
    m.bh = in.bitmapHeight;
    // Callers have ruled out W, H, bw and bh below 1, so only S can still be 0.
    m.sh = m.S == 0 ? m.bh : std::min(m.bh, (m.H * m.bw * 100) / (m.S * m.W));
    m.th = std::min(m.H, (m.S * m.sh * m.W) / (m.bw * 100));
    m.tw = m.S * m.W / 100;
    return m;
}

PreviewPlacement AllWhite(const Metrics& m) {
    return {{Rect(0, 0, m.W, m.H)}, {}};
}

// The frame around the drawn rectangle, as up to four bands.
std::vector<PreviewRect> Around(const Metrics& m, const PreviewRect& drawn) {
    std::vector<PreviewRect> white;
    const int64_t bottom = int64_t(drawn.y) + drawn.height;
    const int64_t right = int64_t(drawn.x) + drawn.width;
    if (drawn.y > 0) white.push_back(Rect(0, 0, m.W, drawn.y));
    if (bottom < m.H) white.push_back(Rect(0, bottom, m.W, m.H - bottom));
    if (drawn.x > 0) white.push_back(Rect(0, drawn.y, drawn.x, drawn.height));
    if (right < m.W) white.push_back(Rect(right, drawn.y, m.W - right, drawn.height));
    return white;
}

PreviewPlacement PlaceOnce(const Metrics& m, int position) {
    if (m.tw <= 0 || m.th <= 0) return AllWhite(m);
    const int column = position % 3;
    const int row = position / 3;
    const int64_t x = column == 0 ? 0 : column == 1 ? (m.W - m.tw) / 2 : m.W - m.tw;
    const int64_t y = row == 0 ? 0 : row == 1 ? (m.H - m.th) / 2 : m.H - m.th;
    const int64_t sy = row == 0 ? 0 : row == 1 ? (m.bh - m.sh) / 2 : m.bh - m.sh;
    PreviewPlacement p;
    const PreviewStretch stretch{Rect(x, y, m.tw, m.th), Rect(0, sy, m.bw, m.sh)};
    p.white = Around(m, stretch.target);
    p.stretches.push_back(stretch);
    return p;
}

// One column of tiles at `x`, `width` pixels wide, showing `sourceWidth` of the bitmap: full
// rows, then the part of a row that the frame still holds.
void TileColumn(const Metrics& m, int64_t x, int64_t width, int64_t sourceWidth,
                std::vector<PreviewStretch>* out) {
    const int64_t rows = m.H / m.th;
    const int64_t rest = m.H - rows * m.th;
    for (int64_t r = 0; r < rows; ++r)
        out->push_back({Rect(x, r * m.th, width, m.th), Rect(0, 0, sourceWidth, m.sh)});
    // A partial row shorter than one source row's share still shows that one row.
    if (rest > 0)
        out->push_back({Rect(x, rows * m.th, width, rest),
                        Rect(0, 0, sourceWidth, std::max<int64_t>(1, rest * m.sh / m.th))});
}

// A zero tile height (a very wide, very short bitmap) or tile width (a tiny frame) leaves
// nothing that could be repeated: the frame is painted white. Otherwise the frame is painted
// white first, so the pixel columns that integer division leaves between tiles never show a
// previous drawing.
PreviewPlacement PlaceTiled(const Metrics& m) {
    if (m.tw <= 0 || m.th <= 0) return AllWhite(m);
    PreviewPlacement p = AllWhite(m);
    const int64_t columns = 100 / m.S;
    for (int64_t c = 0; c < columns; ++c)
        TileColumn(m, m.W * (c * m.S) / 100, m.tw, m.bw, &p.stretches);
    // The strip that whole tiles leave, where the next column would start: it shows as much
    // of the bitmap as its width holds. Where it would reach past the frame's right edge (all
    // of it when S divides 100) it is cut there, with the part of the bitmap it would show.
    const int64_t x = m.W * (m.S * columns) / 100;
    const int64_t w = std::min(m.W - m.tw * columns, m.W - x);
    if (w > 0) TileColumn(m, x, w, std::clamp<int64_t>(w * m.bw / m.tw, 1, m.bw), &p.stretches);
    return p;
}

}  // namespace

CanvasPoint TextReferencePoint(int textWidth, int textHeight, int angleDegrees) {
    const double hx = textWidth / 2;
    const double hy = textHeight / 2;
    const double a = angleDegrees * kDegreesToRadians;
    const int dx = ClampToInt(hx * std::cos(a) - hy * std::sin(a));
    const int dy = ClampToInt(hx * std::sin(a) + hy * std::cos(a));
    return {kCanvasCentre - dx, kCanvasCentre + dy};
}

PreviewPlacement PlaceWatermarkPreview(const PreviewPlacementInput& input) {
    if (input.frameWidth <= 0 || input.frameHeight <= 0) return {};
    const bool tiled = input.position == static_cast<int>(WatermarkPosition::Tile);
    const bool known = input.position >= 0 && input.position <= 9;
    Metrics m{};
    m.W = input.frameWidth;
    m.H = input.frameHeight;
    // An empty bitmap or a position outside the list shows nothing: the frame stays white.
    if (!known || input.bitmapWidth <= 0 || input.bitmapHeight <= 0) return AllWhite(m);
    m = Measure(input, tiled);
    return tiled ? PlaceTiled(m) : PlaceOnce(m, input.position);
}

void AddBrightness(const uint8_t* source, uint8_t* target, size_t size, uint8_t brightness) {
    const unsigned add = brightness;
    size_t i = 0;
#if defined(__SSE2__) || defined(__ARM_NEON) || defined(_M_X64)
    // Blocks of a fixed length, worked in a local copy: with a known trip count and no
    // question of the two buffers overlapping, the compiler makes the inner loop saturating
    // vector adds even at its cheapest vectorisation setting.
    constexpr size_t kBlock = 64;
    for (; i + kBlock <= size; i += kBlock) {
        uint8_t block[kBlock];
        std::memcpy(block, source + i, kBlock);
        for (size_t j = 0; j < kBlock; ++j) {
            const unsigned v = block[j] + add;
            block[j] = static_cast<uint8_t>(v > 255 ? 255 : v);
        }
        std::memcpy(target + i, block, kBlock);
    }
#else
    // Without vector registers (the 32-bit Windows build targets plain i686), one machine word
    // at a time: add the low seven bits of each byte, restore the top bit, and turn every byte
    // that carried out into 0xFF.
    using Word = uintptr_t;
    constexpr Word kLow7 = static_cast<Word>(0x7F7F7F7F7F7F7F7Full);
    constexpr Word kTop = static_cast<Word>(0x8080808080808080ull);
    const Word y = static_cast<Word>(0x0101010101010101ull) * add;
    for (; i + sizeof(Word) <= size; i += sizeof(Word)) {
        Word x;
        std::memcpy(&x, source + i, sizeof x);
        const Word sum = ((x & kLow7) + (y & kLow7)) ^ ((x ^ y) & kTop);
        const Word carried = ((x & y) | ((x | y) & ~sum)) & kTop;
        const Word result = sum | ((carried << 1) - (carried >> 7));  // 0x80 -> 0xFF
        std::memcpy(target + i, &result, sizeof result);
    }
#endif
    for (; i < size; ++i) {
        const unsigned v = source[i] + add;
        target[i] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
}

}  // namespace krv
