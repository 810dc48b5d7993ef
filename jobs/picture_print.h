// A picture printed on the receipt, the everyday job: an 8-bit grey picture (top row first)
// scaled to the printable width, halftoned, sent as 24-dot bands, then cut and the cash drawer.
//
// The steps are separate so that a face which receives pages line by line (the printer
// application) can run them page by page:
//   GreyImage --PrintedSize/ScaleGrey--> page --HalftonePage--> MonoRaster
//     --AppendBands--> bands and paper feeds; PicturePrintStart before the first page,
//     CutCommand / CashDrawerPulse (receipt_commands.h) after a page or the job.
// BuildPicturePrintJob runs them all for one picture.
#pragma once

#include <cstdint>
#include <string>

#include "channel/raw_printer_channel.h"
#include "imaging/grey_image.h"
#include "imaging/halftone.h"
#include "imaging/mono_print.h"
#include "jobs/receipt_commands.h"

namespace krv {

inline constexpr char kPictureDocumentName[] = "Picture";

// Printable widths at 180 dots per inch: 80 mm and 58 mm paper.
inline constexpr uint32_t kPrintableWidth80mm = 512;
inline constexpr uint32_t kPrintableWidth58mm = 360;
// Widths a band command can carry that any receipt printer of the family has.
inline constexpr uint32_t kMaxPrintableWidth = 2048;
// The longest picture printed in one job, in dot rows (about 14 m of paper).
inline constexpr uint32_t kMaxPrintedHeight = 100000;

enum class PictureAlign : uint8_t { Left = 0, Centre = 1, Right = 2 };

// ---- scaling

struct PrintedSize {
    uint32_t width = 0;
    uint32_t height = 0;
};
// The size a picture prints at: reduced to `printableWidth` when wider, never enlarged unless
// `fit`; the height in proportion, rounded to the nearest row and at least 1.
PrintedSize PrintedSizeOf(uint32_t width, uint32_t height, uint32_t printableWidth, bool fit);

// Area-averaging resampling: each output pixel is the mean of the source area it covers, in
// exact integer arithmetic (rounded once at the end), so the same picture gives the same
// levels on every build. False (and `out` untouched) when there is no memory for it.
bool ScaleGrey(const GreyImage& source, uint32_t width, uint32_t height, GreyImage* out);

// Appends one line of a page to `page` (whose width, set beforehand, fixes the line length):
// longer lines are clipped and shorter ones made up with white. False for a page of width 0
// or when there is no memory for the line.
bool AppendGreyRow(GreyImage* page, const uint8_t* line, size_t length);

// ---- halftoning

// A page's dots with the core's halftone methods and tone adjustment, computed on the rows in
// the stored (bottom-up) order of a bitmap file, so a picture already at its printed size gets
// the dots `logo convert --to mono` gives its 8-bit bitmap, except that a level adjusted to
// white (255) never prints and one adjusted to black (0) always does (the ordered dithers
// alone leave a dot in every 64 or 256 on white paper). The result's rows are a whole number
// of bands with the picture at the top: `height` = `paddedHeight` = the page's height rounded
// up to 24; a set bit is a printed dot. False when there is no memory.
bool HalftonePage(const GreyImage& page, HalftoneMethod method, int contrast, int brightness,
                  MonoRaster* out);

// ---- encoding

// The job's opening: reset (1B 40), alignment of narrower pictures (1B 61 p), 24-dot line
// spacing (1B 33 18) so each band advances exactly its height.
Bytes PicturePrintStart(PictureAlign align);
// The same without the reset: what a page of a longer job sets before its bands.
Bytes PictureBandsStart(PictureAlign align);
// Every band of a page from the top, `columns` dots wide: a band with dots as 1B 2A 21 nL nH,
// 3 bytes a column, 0A; a run of blank bands as paper feed (1B 4A n) before the next band
// with dots; blank bands at the end are left out.
void AppendBands(const MonoRaster& page, uint32_t columns, Bytes* out);
// After the last page: line spacing and alignment back to the printer's defaults (1B 32,
// 1B 61 00), so later jobs print as they expect.
Bytes PicturePrintEnd();

// ---- one picture, one job

struct PicturePrintOptions {
    uint32_t printableWidth = kPrintableWidth80mm;
    bool fit = false;
    HalftoneMethod method = HalftoneMethod::ErrorDiffusion;  // photographs
    int contrast = 0;
    int brightness = 0;
    PictureAlign align = PictureAlign::Centre;
    CutMode cut = CutMode::Partial;
    int drawer = 0;  // 0 none, 1 or 2
};

struct PicturePrintBuild {
    enum class Status { Built, Empty, TooLong, OutOfMemory };
    Status status = Status::Empty;
    PrinterJob job;
    PrintedSize size;  // the size printed
};
// Pieces: start, bands, end, cut, drawer (empty pieces are left out).
PicturePrintBuild BuildPicturePrintJob(const GreyImage& picture,
                                       const PicturePrintOptions& options);
std::string PicturePrintStatusMessage(PicturePrintBuild::Status status);

// ---- one picture as a page of a longer job (the printer application)

// Appends to `out` the page's alignment and line spacing (PictureBandsStart), the picture's
// bands made as BuildPicturePrintJob makes them (printable width, fit, method, tone and
// alignment of `options`; its cut and drawer are the caller's), then PicturePrintEnd. The
// caller writes the job's reset and whatever comes around its pages. With `keepLength` the
// blank paper below the last band with dots is fed too, so the page keeps its whole length (a
// fixed-size page). On any status but Built, `out` is as it was.
PicturePrintBuild::Status AppendPicturePage(const GreyImage& picture,
                                            const PicturePrintOptions& options, bool keepLength,
                                            Bytes* out);

}  // namespace krv
