// WatermarkPreview: the watermark page's live preview in its frame (IDC_WATERMARK_PREVIEW), and
// WatermarkPreviewCache, the process-wide bitmap and pixels behind it. An image is read from
// file only when the cache must reload it; every other redraw stretches the cached pixels into
// the frame, adding the brightness to the pixels it draws. The cached pixels stay as read, so
// brightness never accumulates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "docpages/watermark_canvas_win.h"
#include "docpages/watermark_page_rules.h"

namespace krv {

struct WatermarkPreviewCache {
    WatermarkPreviewCache() = default;
    WatermarkPreviewCache(const WatermarkPreviewCache&) = delete;
    WatermarkPreviewCache& operator=(const WatermarkPreviewCache&) = delete;
    ~WatermarkPreviewCache();

    // The image watermark as read back from its work file: header (40, width, height, 1 plane,
    // 24 bits) and bottom-up 24-bit pixels, never more than the largest admitted image.
    BITMAPINFOHEADER header = {};
    std::vector<uint8_t> pixels;
    // The image file and work file the cached pixels came from.
    std::u16string imagePath;
    std::u16string workFile;
    // The text drawing with the brightness added, bottom-up 32-bit, 300 x 300.
    std::vector<uint8_t> shown;
    // While set, the next image preview reads the image afresh.
    bool reloadImage = true;
    // Cleared after the first load-error message: later load errors stay silent.
    bool reportPreviewErrors = true;
    // The frame as last drawn, top-down 32-bit: drawn here whole, then copied to the frame.
    HBITMAP frame = nullptr;
    uint32_t* frameBits = nullptr;
    int frameWidth = 0;
    int frameHeight = 0;
};

WatermarkPreviewCache& PreviewCache();
void SetReloadImage();

// What the preview shows, read from the page's controls.
struct WatermarkPreviewRequest {
    WatermarkMode mode = WatermarkMode::None;  // the checked mode radio
    std::u16string imagePath;                  // IDC_WATERMARK_IMAGE_PATH
    TextWatermarkSpec text;
    int position = 0;         // IDC_WATERMARK_POSITION
    int sizePercent = 0;      // IDC_WATERMARK_SIZE
    int brightness = 0;       // IDC_WATERMARK_BRIGHTNESS
    std::u16string workFile;  // WatermarkWorkFile of the sheet's printer
    // The too-large message returns on every redraw a change asks for; a repaint the system
    // asks for (after that very message box closed, say) stays silent.
    bool reportTooLarge = true;
};

enum class PreviewResult { White, Drawn, NotDrawn };

// Draws the preview into `frame`; messages are owned by `page`. NotDrawn: an error stopped it
// (reported as the rules say) and the frame keeps what it showed.
PreviewResult WatermarkPreview(HWND page, HWND frame, const WatermarkPreviewRequest& request);

}  // namespace krv
