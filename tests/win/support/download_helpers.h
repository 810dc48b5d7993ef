// What the download page's tests need beyond the sheet harness: bitmap files written byte by
// byte from the published layout into a scratch folder under the Wine prefix's temp folder,
// and the list-view and trackbar gestures of a user.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/common/scratch_folder.h"
#include "tests/common/test_bitmaps.h"

namespace krv::test {

using FileBytes = std::vector<uint8_t>;

using Colour = Rgb;
inline constexpr Colour kBlackEntry = kBlack;
inline constexpr Colour kWhiteEntry = kWhite;

// Pixel functions take (x, stored row y). 1-bit: a set bit uses palette entry 1.
inline FileBytes MonoBitmap(int width, int height, const std::function<bool(int, int)>& bit,
                            Colour entry0 = kBlackEntry, Colour entry1 = kWhiteEntry) {
    return Mono1File(width, height, bit, entry0, entry1);
}
inline FileBytes ColourBitmap(int width, int height, const std::function<Colour(int, int)>& pixel) {
    return Rgb24File(width, height, pixel);
}

bool FileExists(const std::wstring& path);
FileBytes ReadWholeFile(const std::wstring& path);
// The download page's own work folder in the temporary folder; empty unless exactly one such
// folder exists (one page lives).
std::wstring LogoWorkFolder();
// The work file of the n-th row (1-based) the page added, in that folder.
std::wstring LogoWorkFileOfRow(int n);

// The list view of a page.
int ListRows(HWND page, int listId);
std::wstring ListCell(HWND page, int listId, int row, int column);
// Selects `row` (-1: none) and clicks it, as a user's click on the row does.
void ClickListRow(HWND page, int listId, int row);

// Drags a trackbar to `position` and lets it go: WM_HSCROLL while moving, then the release
// of the mouse capture.
void DragTrackbar(HWND page, int trackbarId, int position);
// Only the moving part, without the release.
void ScrollTrackbar(HWND page, int trackbarId, int position);

}  // namespace krv::test
