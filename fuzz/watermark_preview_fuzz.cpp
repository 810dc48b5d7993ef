// The watermark preview's placement and stretching for any picture size, frame size, position,
// size percentage and brightness: every white area and every stretch stays inside the exactly
// sized frame and source buffers (the sanitizers catch a pixel read or written outside).
#include "docpages/watermark_geometry.h"
#include "docpages/watermark_stretch.h"
#include "fuzz/fuzz_support.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    PreviewPlacementInput p;
    p.position = in.InRange(-1, 10);
    p.sizePercent = in.InRange(-5, 120);
    p.frameWidth = in.InRange(0, 96);
    p.frameHeight = in.InRange(0, 96);
    p.bitmapWidth = in.InRange(0, 80);
    p.bitmapHeight = in.InRange(0, 80);
    const int bytesPerPixel = in.Byte() & 1 ? 4 : 3;
    const uint8_t brightness = in.Byte();
    const auto mode = in.Byte() & 1 ? StretchMode::BlackOnWhite : StretchMode::ColourOnColour;

    const PreviewPlacement placement = PlaceWatermarkPreview(p);
    if (p.bitmapWidth <= 0 || p.bitmapHeight <= 0 || p.frameWidth <= 0 || p.frameHeight <= 0)
        return 0;

    const size_t stride = (static_cast<size_t>(p.bitmapWidth) * bytesPerPixel + 3) / 4 * 4;
    std::vector<uint8_t> pixels(stride * p.bitmapHeight);
    const auto rest = in.Rest();
    for (size_t i = 0; i < pixels.size() && !rest.empty(); ++i)
        pixels[i] = rest[i % rest.size()];
    std::vector<uint32_t> frame(static_cast<size_t>(p.frameWidth) * p.frameHeight);

    const SourcePixels source{pixels.data(), p.bitmapWidth, p.bitmapHeight, stride, bytesPerPixel};
    const FramePixels target{frame.data(), p.frameWidth, p.frameHeight};
    for (const PreviewRect& white : placement.white)
        PaintFrameWhite(target, white);
    for (const PreviewStretch& stretch : placement.stretches) {
        KRV_FUZZ_CHECK(stretch.target.width >= 0 && stretch.target.height >= 0);
        StretchIntoFrame(source, target, stretch, mode, brightness);
    }
    return 0;
}
