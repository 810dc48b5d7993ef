#include "docpages/watermark_stretch.h"

#include <algorithm>
#include <vector>

namespace krv {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// The span [first, last) of source positions that target position t of `count` stands for,
// held inside [0, limit).
struct Span {
    int first;
    int last;
};

Span SourceSpan(int t, int count, int origin, int extent, int limit) {
    const int64_t from = origin + int64_t(t) * extent / count;
    const int64_t to = std::max(from + 1, origin + int64_t(t + 1) * extent / count);
    const int64_t top = int64_t(limit) - 1;
    return {int(std::clamp<int64_t>(from, 0, top)), int(std::clamp<int64_t>(to - 1, 0, top)) + 1};
}

uint32_t PixelAt(const SourcePixels& s, int x, int rowFromTop) {
    const uint8_t* p =
        s.bits + size_t(s.height - 1 - rowFromTop) * s.stride + size_t(x) * size_t(s.bytesPerPixel);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

// Black-on-white: the source pixels a frame pixel stands for, combined with AND.
uint32_t CombinedPixel(const SourcePixels& s, Span columns, Span rows) {
    uint32_t value = kWhite;
    for (int y = rows.first; y < rows.last; ++y)
        for (int x = columns.first; x < columns.last; ++x)
            value &= PixelAt(s, x, y);
    return value;
}

}  // namespace

void PaintFrameWhite(FramePixels frame, const PreviewRect& area) {
    const int left = std::max(area.x, 0);
    const int right = int(std::min<int64_t>(int64_t(area.x) + area.width, frame.width));
    const int top = std::max(area.y, 0);
    const int bottom = int(std::min<int64_t>(int64_t(area.y) + area.height, frame.height));
    for (int y = top; y < bottom; ++y)
        std::fill(frame.bits + size_t(y) * frame.width + left,
                  frame.bits + size_t(y) * frame.width + std::max(left, right), kWhite);
}

void StretchIntoFrame(const SourcePixels& source, FramePixels frame, const PreviewStretch& stretch,
                      StretchMode mode, uint8_t brightness) {
    const PreviewRect& to = stretch.target;
    const PreviewRect& from = stretch.source;
    if (!source.bits || source.width <= 0 || source.height <= 0 || to.width <= 0 ||
        to.height <= 0 || from.width <= 0 || from.height <= 0)
        return;
    const int left = std::max(0, -to.x);
    const int right = int(std::min<int64_t>(to.width, int64_t(frame.width) - to.x));
    const int top = std::max(0, -to.y);
    const int bottom = int(std::min<int64_t>(to.height, int64_t(frame.height) - to.y));
    if (left >= right || top >= bottom) return;
    // The source columns of every target column, worked out once for all rows.
    std::vector<Span> columns(size_t(right - left));
    for (int tx = left; tx < right; ++tx)
        columns[size_t(tx - left)] = SourceSpan(tx, to.width, from.x, from.width, source.width);
    // The saturating add as a table: one look-up per component.
    uint8_t brighter[256];
    for (unsigned v = 0; v < 256; ++v)
        brighter[v] = static_cast<uint8_t>(std::min(v + brightness, 255u));
    for (int ty = top; ty < bottom; ++ty) {
        const Span rows = SourceSpan(ty, to.height, from.y, from.height, source.height);
        uint32_t* out = frame.bits + size_t(to.y + ty) * frame.width + size_t(to.x);
        for (int tx = left; tx < right; ++tx) {
            const Span c = columns[size_t(tx - left)];
            const uint32_t p = mode == StretchMode::BlackOnWhite
                                   ? CombinedPixel(source, c, rows)
                                   : PixelAt(source, c.first, rows.first);
            out[tx] = uint32_t(brighter[p & 0xFF]) | uint32_t(brighter[(p >> 8) & 0xFF]) << 8 |
                      uint32_t(brighter[(p >> 16) & 0xFF]) << 16;
        }
    }
}

}  // namespace krv
