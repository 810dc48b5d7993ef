// What the download page's tests need beyond the sheet harness: bitmap files written byte by
// byte from the published layout into a scratch folder under the Wine prefix's temp folder,
// and the list-view and trackbar gestures of a user.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace krv::test {

using FileBytes = std::vector<uint8_t>;

struct Colour {
    uint8_t red, green, blue;
};
inline constexpr Colour kBlackEntry{0, 0, 0};
inline constexpr Colour kWhiteEntry{255, 255, 255};

// Pixel functions take (x, stored row y). 1-bit: a set bit uses palette entry 1.
FileBytes MonoBitmap(int width, int height, const std::function<bool(int, int)>& bit,
                     Colour entry0 = kBlackEntry, Colour entry1 = kWhiteEntry);
FileBytes ColourBitmap(int width, int height, const std::function<Colour(int, int)>& pixel);

// A fresh folder under GetTempPathW, removed with its files.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }
    std::wstring Write(const std::wstring& name, const FileBytes& bytes) const;

  private:
    std::wstring folder_;
};

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
