// The watermark preview's redraw time for the largest admitted image, after its first load:
// the real page in the real sheet, the brightness slider moved as a user drags it, each move a
// whole refresh (the sheet told, brightness added to the cached pixels, the frame stretched
// and shown). The figures are printed; timing never fails the program, the drawing does.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "docpages/watermark_geometry.h"
#include "docpages/watermark_page_rules.h"
#include "docpages/watermark_preview_win.h"
#include "res/watermark_page_ids.h"
#include "tests/common/test_bitmaps.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

constexpr int kWatermarkPage = 2;
constexpr int kRedraws = 60;

// The widest picture of a common shape that stays within the limit: 1870 x 1868 pixels,
// 5,612 bytes a row, 10,483,216 bytes in all.
std::vector<uint8_t> LargestImage() {
    const int width = 1870, height = 1868, row = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> pixels(size_t(row) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 7 + i / 5612);
    return MakeBmp({54, 24, width, height, {}, pixels});
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

class WatermarkPreviewBench : public ScratchFolderTest {};

TEST_F(WatermarkPreviewBench, RedrawOfTheLargestImageAfterItsFirstLoad) {
    const std::vector<uint8_t> image = LargestImage();
    ASSERT_LE(image.size() - 54, kLargestWatermarkImageBytes);
    Write("largest.bmp", image);
    ModalWatcher watcher;
    Sheet sheet(Sheet::Kind::Document);
    sheet.record.watermarkMode = 1;
    sheet.record.watermarkPosition = 9;  // tiled: the most stretches a redraw makes
    sheet.record.watermarkSizePercent = 20;
    StoreWatermarkImagePath(sheet.record, Path("largest.bmp"));
    PreviewCache().reloadImage = true;
    sheet.Open();
    HWND page = sheet.Page(kWatermarkPage);
    HWND slider = GetDlgItem(page, IDC_WATERMARK_BRIGHTNESS);
    SendMessageW(page, WM_HSCROLL, TB_THUMBTRACK, reinterpret_cast<LPARAM>(slider));  // first load
    ASSERT_FALSE(PreviewCache().reloadImage) << "the image is cached";
    ASSERT_TRUE(watcher.seen.empty());

    std::vector<double> times;
    for (int i = 0; i < kRedraws; ++i) {
        SendMessageW(slider, TBM_SETPOS, TRUE, (i * 37) % 256);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        SendMessageW(page, WM_HSCROLL, TB_THUMBTRACK, reinterpret_cast<LPARAM>(slider));
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    EXPECT_FALSE(PreviewCache().reloadImage) << "no redraw read the file again";
    EXPECT_EQ(sheet.record.watermarkBrightness, ((kRedraws - 1) * 37) % 256);
    const WatermarkPreviewCache& cache = PreviewCache();
    ASSERT_NE(cache.frameBits, nullptr);
    const size_t frame = size_t(cache.frameWidth) * size_t(cache.frameHeight);
    EXPECT_TRUE(std::any_of(cache.frameBits, cache.frameBits + frame, [](uint32_t p) {
        return (p & 0xFFFFFF) != 0xFFFFFF;
    })) << "the image is drawn";

    std::sort(times.begin(), times.end());
    std::printf("watermark preview redraw, %d x %d image (%zu bytes of pixels), %d redraws:\n",
                int(cache.header.biWidth), int(cache.header.biHeight), cache.pixels.size(),
                kRedraws);
    std::printf("  min %.2f ms, median %.2f ms, max %.2f ms (one frame: 16 ms)\n", times.front(),
                times[times.size() / 2], times.back());
}

}  // namespace
}  // namespace krv::test
