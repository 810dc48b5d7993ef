#include "docpages/watermark_preview_win.h"

#include <algorithm>
#include <cstdlib>

#include "docpages/watermark_bitmap.h"
#include "docpages/watermark_geometry.h"
#include "docpages/watermark_stretch.h"
#include "frame/dialog_controls_win.h"
#include "frame/gdi_owners_win.h"
#include "frame/page_protocol_win.h"

namespace krv {

namespace {

const wchar_t kFileMissing[] = L"指定的文件不存在！";
const wchar_t kNoRights[] = L"请确认该用户拥有管理员权限！";
const wchar_t kTooLarge[] = L"所选择的位图文件过大！";

BITMAPINFO BottomUpInfo(int width, int height, WORD bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

uint64_t PixelBytes24(int width, int height) {
    const uint64_t row = (uint64_t(width) * 3 + 3) / 4 * 4;
    return row * uint64_t(height);
}

// ---- reading the image

// Load errors are reported once while the module stays loaded.
void ReportLoadError(HWND page, const wchar_t* text) {
    WatermarkPreviewCache& cache = PreviewCache();
    if (!cache.reportPreviewErrors) return;
    cache.reportPreviewErrors = false;
    ShowPageError(page, text);
}

HBITMAP LoadBitmapFile(const std::u16string& path) {
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, Wide(path), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

bool ConvertToWorkFile(HWND page, const WatermarkPreviewRequest& request) {
    const WatermarkConvertResult result = ConvertBitmapTo24(request.imagePath, request.workFile);
    if (result == WatermarkConvertResult::Done) return true;
    ReportLoadError(page,
                    result == WatermarkConvertResult::TargetNotCreated ? kNoRights : kFileMissing);
    return false;
}

// The chosen file must load as a bitmap; the preview then shows its 24-bit work file, which
// the conversion rewrites for the rendering side on the way.
HBITMAP LoadWorkBitmap(HWND page, const WatermarkPreviewRequest& request) {
    gdi::Owned<HBITMAP> source(LoadBitmapFile(request.imagePath));
    if (!source.get()) {
        PreviewCache().reloadImage = true;
        ReportLoadError(page, kFileMissing);
        return nullptr;
    }
    if (!ConvertToWorkFile(page, request)) return nullptr;
    source.reset(nullptr);
    HBITMAP work = LoadBitmapFile(request.workFile);
    if (work) return work;
    if (!ConvertToWorkFile(page, request)) return nullptr;
    return LoadBitmapFile(request.workFile);
}

// The work bitmap's pixels into the cache, bottom-up 24-bit whatever the file's own layout.
bool KeepPixels(HBITMAP work, int width, int height, const WatermarkPreviewRequest& request) {
    WatermarkPreviewCache& cache = PreviewCache();
    BITMAPINFO info = BottomUpInfo(width, height, 24);
    cache.pixels.resize(static_cast<size_t>(PixelBytes24(width, height)));
    gdi::WindowDc screen(nullptr);
    if (GetDIBits(screen.get(), work, 0, height, cache.pixels.data(), &info, DIB_RGB_COLORS) !=
        height)
        return false;
    cache.header = info.bmiHeader;
    cache.imagePath = request.imagePath;
    cache.workFile = request.workFile;
    return true;
}

bool CacheImage(HWND page, const WatermarkPreviewRequest& request) {
    gdi::Owned<HBITMAP> work(LoadWorkBitmap(page, request));
    if (!work.get()) return false;
    BITMAP shape = {};
    GetObjectW(work.get(), sizeof shape, &shape);
    const int width = shape.bmWidth;
    const int height = std::abs(shape.bmHeight);
    if (PixelBytes24(width, height) > kLargestWatermarkImageBytes) {
        if (request.reportTooLarge) ShowPageError(page, kTooLarge);
        return false;
    }
    if (width <= 0 || height <= 0 || !KeepPixels(work.get(), width, height, request)) return false;
    PreviewCache().reloadImage = false;
    return true;
}

bool ImageCached(const WatermarkPreviewRequest& request) {
    const WatermarkPreviewCache& cache = PreviewCache();
    // Another sheet's image (another job, another printer) is never shown for this one.
    return !cache.reloadImage && !cache.pixels.empty() && cache.imagePath == request.imagePath &&
           cache.workFile == request.workFile;
}

// ---- the text drawing

// The text drawing, brightened as a whole before it is stretched: black-on-white combines
// the pixels it shrinks, so they must already be as bright as they will be shown.
bool ShowText(HWND frame, const TextWatermarkSpec& text, int brightness) {
    WatermarkPreviewCache& cache = PreviewCache();
    cache.reloadImage = true;
    gdi::Owned<HBITMAP> canvas(DrawTextWatermarkCanvas(frame, text));
    if (!canvas.get()) return false;
    cache.shown = ReadTextCanvasPixels(canvas.get());
    AddBrightness(cache.shown.data(), cache.shown.data(), cache.shown.size(),
                  static_cast<uint8_t>(brightness));
    return true;
}

// ---- drawing the frame

bool EnsureFrameBuffer(int width, int height) {
    WatermarkPreviewCache& cache = PreviewCache();
    if (cache.frame && cache.frameWidth == width && cache.frameHeight == height) return true;
    if (cache.frame) DeleteObject(cache.frame);
    cache.frame = nullptr;
    cache.frameBits = nullptr;
    BITMAPINFO info = BottomUpInfo(width, -height, 32);  // top-down
    void* bits = nullptr;
    gdi::WindowDc screen(nullptr);
    cache.frame = CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!cache.frame) return false;
    cache.frameBits = static_cast<uint32_t*>(bits);
    cache.frameWidth = width;
    cache.frameHeight = height;
    return true;
}

size_t Stride(int width, int bytesPerPixel) {
    return (size_t(width) * size_t(bytesPerPixel) + 3) / 4 * 4;
}

// What the preview stretches: the cached image pixels as read (brightened while stretched),
// or the brightened text drawing.
SourcePixels ShownPixels(bool image) {
    const WatermarkPreviewCache& cache = PreviewCache();
    if (image) {
        const int width = cache.header.biWidth;
        const int height = cache.header.biHeight;
        if (cache.pixels.size() < Stride(width, 3) * size_t(height)) return {};
        return {cache.pixels.data(), width, height, Stride(width, 3), 3};
    }
    if (cache.shown.size() < Stride(kTextCanvasSize, 4) * kTextCanvasSize) return {};
    return {cache.shown.data(), kTextCanvasSize, kTextCanvasSize, Stride(kTextCanvasSize, 4), 4};
}

void DrawPlacement(const PreviewPlacement& placement, const SourcePixels& source, StretchMode mode,
                   int brightness) {
    const WatermarkPreviewCache& cache = PreviewCache();
    const FramePixels frame{cache.frameBits, cache.frameWidth, cache.frameHeight};
    for (const PreviewRect& white : placement.white)
        PaintFrameWhite(frame, white);
    for (const PreviewStretch& stretch : placement.stretches)
        StretchIntoFrame(source, frame, stretch, mode, static_cast<uint8_t>(brightness));
}

// The finished frame goes to the screen in one copy, so a redraw never flickers; the etched
// edge of the frame is drawn again over it.
void Present(HWND frame) {
    const WatermarkPreviewCache& cache = PreviewCache();
    gdi::WindowDc screen(frame);
    if (!screen.get()) return;
    gdi::MemoryDc buffer(screen.get());
    if (!buffer.get()) return;
    GdiFlush();
    buffer.Select(cache.frame);
    BitBlt(screen.get(), 0, 0, cache.frameWidth, cache.frameHeight, buffer.get(), 0, 0, SRCCOPY);
    RECT edge = {0, 0, cache.frameWidth, cache.frameHeight};
    DrawEdge(screen.get(), &edge, EDGE_ETCHED, BF_RECT);
}

}  // namespace

WatermarkPreviewCache::~WatermarkPreviewCache() {
    if (frame) DeleteObject(frame);
}

WatermarkPreviewCache& PreviewCache() {
    static WatermarkPreviewCache cache;
    return cache;
}

void SetReloadImage() {
    PreviewCache().reloadImage = true;
}

PreviewResult WatermarkPreview(HWND page, HWND frame, const WatermarkPreviewRequest& request) {
    RECT client = {};
    GetClientRect(frame, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0 || !EnsureFrameBuffer(width, height))
        return PreviewResult::NotDrawn;
    const bool image = request.mode == WatermarkMode::Image && !request.imagePath.empty();
    if (request.mode != WatermarkMode::Text && !image) {
        PreviewCache().reloadImage = true;
        DrawPlacement({{PreviewRect{0, 0, width, height}}, {}}, {}, StretchMode::ColourOnColour, 0);
        Present(frame);
        return PreviewResult::White;
    }
    const int brightness = std::clamp(request.brightness, 0, kWatermarkBrightnessMax);
    if (image ? !ImageCached(request) && !CacheImage(page, request)
              : !ShowText(frame, request.text, brightness))
        return PreviewResult::NotDrawn;
    const SourcePixels source = ShownPixels(image);
    const PreviewPlacement placement = PlaceWatermarkPreview(
        {request.position, request.sizePercent, width, height, source.width, source.height});
    if (image)
        DrawPlacement(placement, source, StretchMode::ColourOnColour, brightness);
    else
        DrawPlacement(placement, source, StretchMode::BlackOnWhite, 0);
    Present(frame);
    return PreviewResult::Drawn;
}

}  // namespace krv
