#include "docpages/watermark_preview_win.h"

#include <algorithm>
#include <cstdlib>

#include "docpages/watermark_bitmap.h"
#include "docpages/watermark_gdi_win.h"
#include "docpages/watermark_geometry.h"
#include "frame/page_protocol_win.h"

namespace krv {

namespace {

const wchar_t kFileMissing[] = L"指定的文件不存在！";
const wchar_t kNoRights[] = L"请确认该用户拥有管理员权限！";
const wchar_t kTooLarge[] = L"所选择的位图文件过大！";

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

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
    const ConvertResult result = ConvertBitmapTo24(request.imagePath, request.workFile);
    if (result == ConvertResult::Done) return true;
    ReportLoadError(page, result == ConvertResult::TargetNotCreated ? kNoRights : kFileMissing);
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

// The work bitmap's pixels into the cache, and a section of our own to receive them
// brightened on every redraw.
bool KeepPixels(HBITMAP work, int width, int height, const WatermarkPreviewRequest& request) {
    WatermarkPreviewCache& cache = PreviewCache();
    BITMAPINFO info = BottomUpInfo(width, height, 24);
    cache.pixels.resize(static_cast<size_t>(PixelBytes24(width, height)));
    gdi::WindowDc screen(nullptr);
    if (GetDIBits(screen.get(), work, 0, height, cache.pixels.data(), &info, DIB_RGB_COLORS) !=
        height)
        return false;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section) return false;
    cache.DropBitmap();
    cache.bitmap = section;
    cache.bitmapBits = bits;
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
    return !cache.reloadImage && cache.bitmapBits && cache.imagePath == request.imagePath &&
           cache.workFile == request.workFile;
}

// The cached pixels stay as read, so brightness never accumulates.
void BrightenImage(int brightness) {
    WatermarkPreviewCache& cache = PreviewCache();
    GdiFlush();
    AddBrightness(cache.pixels.data(), static_cast<uint8_t*>(cache.bitmapBits), cache.pixels.size(),
                  static_cast<uint8_t>(brightness));
}

// ---- the text drawing

bool CacheText(HWND frame, const TextWatermarkSpec& text, int brightness) {
    WatermarkPreviewCache& cache = PreviewCache();
    cache.reloadImage = true;
    gdi::Owned<HBITMAP> canvas(DrawTextWatermarkCanvas(frame, text));
    if (!canvas.get()) return false;
    std::vector<uint8_t> pixels = ReadTextCanvasPixels(canvas.get());
    AddBrightness(pixels.data(), pixels.data(), pixels.size(), static_cast<uint8_t>(brightness));
    BITMAPINFO info = BottomUpInfo(kTextCanvasSize, kTextCanvasSize, 32);
    gdi::WindowDc screen(nullptr);
    SetDIBits(screen.get(), canvas.get(), 0, kTextCanvasSize, pixels.data(), &info, DIB_RGB_COLORS);
    cache.DropBitmap();
    cache.bitmap = canvas.release();
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

void PaintWhite(HDC dc, const PreviewRect& r) {
    const RECT rect = {r.x, r.y, r.x + r.width, r.y + r.height};
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void DrawPlacement(HDC target, const PreviewPlacement& placement, int stretchMode) {
    for (const PreviewRect& white : placement.white)
        PaintWhite(target, white);
    if (placement.stretches.empty()) return;
    gdi::MemoryDc source(target);
    source.Select(PreviewCache().bitmap);
    SetStretchBltMode(target, stretchMode);
    for (const PreviewStretch& s : placement.stretches)
        StretchBlt(target, s.target.x, s.target.y, s.target.width, s.target.height, source.get(),
                   s.source.x, s.source.y, s.source.width, s.source.height, SRCCOPY);
}

// The finished frame goes to the screen in one copy, so a redraw never flickers; the etched
// edge of the frame is drawn again over it.
void Present(HWND frame, const PreviewPlacement& placement, int stretchMode) {
    const WatermarkPreviewCache& cache = PreviewCache();
    gdi::WindowDc screen(frame);
    if (!screen.get()) return;
    gdi::MemoryDc buffer(screen.get());
    buffer.Select(cache.frame);
    DrawPlacement(buffer.get(), placement, stretchMode);
    BitBlt(screen.get(), 0, 0, cache.frameWidth, cache.frameHeight, buffer.get(), 0, 0, SRCCOPY);
    RECT edge = {0, 0, cache.frameWidth, cache.frameHeight};
    DrawEdge(screen.get(), &edge, EDGE_ETCHED, BF_RECT);
}

PreviewPlacement WhiteFrame(int width, int height) {
    return {{PreviewRect{0, 0, width, height}}, {}};
}

}  // namespace

WatermarkPreviewCache::~WatermarkPreviewCache() {
    DropBitmap();
    if (frame) DeleteObject(frame);
}

void WatermarkPreviewCache::DropBitmap() {
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
    bitmapBits = nullptr;
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
    WatermarkPreviewCache& cache = PreviewCache();
    const bool image = request.mode == WatermarkMode::Image && !request.imagePath.empty();
    if (request.mode != WatermarkMode::Text && !image) {
        cache.reloadImage = true;
        Present(frame, WhiteFrame(width, height), COLORONCOLOR);
        return PreviewResult::White;
    }
    const int brightness = std::clamp(request.brightness, 0, kWatermarkBrightnessMax);
    int stretchMode = BLACKONWHITE;
    int bitmapWidth = kTextCanvasSize;
    int bitmapHeight = kTextCanvasSize;
    if (image) {
        if (!ImageCached(request) && !CacheImage(page, request)) return PreviewResult::NotDrawn;
        BrightenImage(brightness);
        stretchMode = COLORONCOLOR;
        bitmapWidth = cache.header.biWidth;
        bitmapHeight = cache.header.biHeight;
    } else if (!CacheText(frame, request.text, brightness)) {
        return PreviewResult::NotDrawn;
    }
    const PreviewPlacement placement = PlaceWatermarkPreview(
        {request.position, request.sizePercent, width, height, bitmapWidth, bitmapHeight});
    Present(frame, placement, stretchMode);
    return PreviewResult::Drawn;
}

}  // namespace krv
