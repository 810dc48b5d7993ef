// PDF documents printed page by page: poppler's pdfinfo tells each page's size and pdftoppm
// renders one page at a time as grey levels at the printer's 180 dots per inch, each in its
// own process with a deadline. What they print is checked before it is used.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/grey_image.h"
#include "printerapp/page_rows.h"

namespace krv::app {

// A page's size in dots at 180 dots per inch, as it is shown (its rotation applied).
struct PdfPageSize {
    int width = 0;
    int height = 0;
};

// Reads pdfinfo's report ("Page    N size: W x H pts" and "Page    N rot: R" lines). Empty
// when a page is missing from it or a size is not a number above zero.
std::optional<std::vector<PdfPageSize>> ParsePdfInfo(std::string_view report, int pages);
// "Pages: N"; -1 when absent.
int ParsePdfPageCount(std::string_view report);

// Reads a grey picture in the binary PGM form pdftoppm writes ("P5", width, height, 255, then
// the rows). Empty when it is anything else, wider than `maxWidth`, taller than `maxRows`, or
// shorter than its header promises.
std::optional<GreyImage> ParsePgm(std::string_view data, uint32_t maxWidth, uint32_t maxRows);

// How wide a page is rendered: wider than `printable` dots (or `fit` asked): the printable
// width; else its own width.
int RenderWidth(const PdfPageSize& page, int printable, bool fit);

class PdfDocument {
  public:
    // Runs pdfinfo on `path`; nothing, with `error` set to why, when it is not a PDF it can read.
    static std::optional<PdfDocument> Open(const std::string& path, std::string* error);

    int pageCount() const { return static_cast<int>(pages_.size()); }
    const PdfPageSize& page(int index) const { return pages_[static_cast<size_t>(index)]; }

    // Page `index` (from 0) `width` dots wide, at most kMaxPageRows tall (a longer page is cut).
    std::optional<GreyImage> Render(int index, int width, std::string* error) const;

  private:
    std::string path_;
    std::vector<PdfPageSize> pages_;
};

}  // namespace krv::app
