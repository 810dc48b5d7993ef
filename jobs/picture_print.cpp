#include "jobs/picture_print.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "imaging/bmp_format.h"
#include "imaging/tone.h"

namespace krv {

namespace {

// The source pixels under each output pixel of one axis. Output pixel o covers
// [o * src, (o + 1) * src) and source pixel i covers [i * dst, (i + 1) * dst) on a common
// scale, so every overlap is a whole number and each output's weights add up to src.
struct AxisSpans {
    std::vector<uint32_t> first;   // per output: its first source pixel
    std::vector<uint32_t> start;   // per output: its first entry in `weight` (one more at the end)
    std::vector<uint64_t> weight;  // overlaps, source pixel after source pixel
};

AxisSpans SpansOf(uint32_t src, uint32_t dst) {
    AxisSpans s;
    s.first.resize(dst);
    s.start.resize(dst + 1);
    for (uint32_t o = 0; o < dst; ++o) {
        const uint64_t lo = static_cast<uint64_t>(o) * src;
        const uint64_t hi = lo + src;
        s.first[o] = static_cast<uint32_t>(lo / dst);
        s.start[o] = static_cast<uint32_t>(s.weight.size());
        for (uint64_t i = lo / dst; i * dst < hi; ++i)
            s.weight.push_back(std::min(hi, (i + 1) * dst) - std::max(lo, i * dst));
    }
    s.start[dst] = static_cast<uint32_t>(s.weight.size());
    return s;
}

// One source row reduced across: each output column's sum of level x overlap.
void SumAcross(const uint8_t* row, const AxisSpans& across, std::vector<uint64_t>* sums) {
    for (size_t o = 0; o < sums->size(); ++o) {
        const uint8_t* p = row + across.first[o];
        uint64_t sum = 0;
        for (uint32_t k = across.start[o]; k < across.start[o + 1]; ++k)
            sum += *p++ * across.weight[k];
        (*sums)[o] = sum;
    }
}

// The ordered dithers compare levels with thresholds that reach the ends of the range, so on
// their own they leave one dot in 64 (M3) or 256 (M4) on white paper, and error diffusion can
// carry a dot into white next to dark areas. On a receipt white must stay white (blank bands
// then go as paper feed) and black black: a level adjusted to 255 is never a dot, one adjusted
// to 0 always is. `bits` marks white pixels, as the halftone passes write them.
void KeepWhiteAndBlackPure(const uint8_t* levels, uint32_t w, uint32_t h, const LevelTable& adjust,
                           uint8_t* bits, uint64_t stride) {
    for (uint32_t y = 0; y < h; ++y, levels += w, bits += stride) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t level = adjust[levels[x]];
            const auto mask = static_cast<uint8_t>(0x80 >> (x % 8));
            if (level == 255) bits[x / 8] |= mask;
            if (level == 0) bits[x / 8] &= static_cast<uint8_t>(~mask);
        }
    }
}

// The dots a picture prints as: its printed size, scaled and halftoned.
PicturePrintBuild::Status PrintedDots(const GreyImage& picture, const PicturePrintOptions& o,
                                      PrintedSize* size, MonoRaster* dots) {
    const uint32_t printable = std::clamp<uint32_t>(o.printableWidth, 1, kMaxPrintableWidth);
    *size = PrintedSizeOf(picture.width, picture.height, printable, o.fit);
    if (size->width == 0) return PicturePrintBuild::Status::Empty;
    if (size->height > kMaxPrintedHeight) return PicturePrintBuild::Status::TooLong;
    GreyImage scaled;
    const bool same = size->width == picture.width && size->height == picture.height;
    if (!same && !ScaleGrey(picture, size->width, size->height, &scaled))
        return PicturePrintBuild::Status::OutOfMemory;
    if (!HalftonePage(same ? picture : scaled, o.method, o.contrast, o.brightness, dots))
        return PicturePrintBuild::Status::OutOfMemory;
    return PicturePrintBuild::Status::Built;
}

}  // namespace

PrintedSize PrintedSizeOf(uint32_t width, uint32_t height, uint32_t printableWidth, bool fit) {
    if (width == 0 || height == 0 || printableWidth == 0) return {};
    if (width <= printableWidth && !fit) return {width, height};
    const uint64_t scaled = (static_cast<uint64_t>(height) * printableWidth + width / 2) / width;
    const uint64_t rows = std::max<uint64_t>(scaled, 1);
    return {printableWidth, static_cast<uint32_t>(std::min<uint64_t>(rows, UINT32_MAX))};
}

bool ScaleGrey(const GreyImage& source, uint32_t width, uint32_t height, GreyImage* out) {
    if (source.width == 0 || source.height == 0 || width == 0 || height == 0) return false;
    try {
        const AxisSpans across = SpansOf(source.width, width);
        const AxisSpans down = SpansOf(source.height, height);
        GreyImage scaled;
        scaled.width = width;
        scaled.height = height;
        scaled.pixels.resize(static_cast<size_t>(width) * height);
        std::vector<uint64_t> sums(width), total(width);
        uint32_t summedRow = UINT32_MAX;  // neighbouring output rows share their edge row
        const uint64_t area = static_cast<uint64_t>(source.width) * source.height;
        for (uint32_t y = 0; y < height; ++y) {
            std::fill(total.begin(), total.end(), 0);
            uint32_t row = down.first[y];
            for (uint32_t k = down.start[y]; k < down.start[y + 1]; ++k, ++row) {
                if (row != summedRow) SumAcross(source.Row(row), across, &sums);
                summedRow = row;
                for (uint32_t x = 0; x < width; ++x)
                    total[x] += sums[x] * down.weight[k];
            }
            uint8_t* o = scaled.Row(y);
            for (uint32_t x = 0; x < width; ++x)
                o[x] = static_cast<uint8_t>((total[x] + area / 2) / area);
        }
        *out = std::move(scaled);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool AppendGreyRow(GreyImage* page, const uint8_t* line, size_t length) {
    if (page->width == 0) return false;
    try {
        page->pixels.resize(page->pixels.size() + page->width, 255);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memcpy(page->Row(page->height), line, std::min<size_t>(length, page->width));
    ++page->height;
    return true;
}

bool HalftonePage(const GreyImage& page, HalftoneMethod method, int contrast, int brightness,
                  MonoRaster* out) {
    if (page.width == 0 || page.height == 0 || page.width > INT32_MAX ||
        page.height > INT32_MAX - 23)
        return false;
    const uint32_t w = page.width, h = page.height;
    try {
        // The rows in stored order, bottom row first, as the halftone passes take them.
        std::vector<uint8_t> stored(static_cast<size_t>(w) * h);
        for (uint32_t y = 0; y < h; ++y)
            std::memcpy(&stored[static_cast<size_t>(h - 1 - y) * w], page.Row(y), w);
        MonoRaster r;
        r.width = w;
        r.stride = static_cast<uint32_t>(Stride1(w));
        r.height = r.paddedHeight = (h + 23) / 24 * 24;
        r.rows.assign(static_cast<size_t>(r.stride) * r.paddedHeight, 0);
        // The picture takes the top rows of the field; the blank rows below it end the last band.
        uint8_t* picture = r.rows.data() + static_cast<size_t>(r.paddedHeight - h) * r.stride;
        HalftoneGrey8Rows({stored.data(), static_cast<int>(w), static_cast<int>(h), w}, method,
                          contrast, brightness, {picture, r.stride});
        KeepWhiteAndBlackPure(stored.data(), w, h, MakeLevelTable(contrast, brightness), picture,
                              r.stride);
        // Halftoning marks white pixels; the printer wants dots.
        NormalizeMonoRows(picture, static_cast<int>(w), r.stride, static_cast<int>(h));
        *out = std::move(r);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

Bytes PicturePrintStart(PictureAlign align) {
    Bytes start = {0x1B, 0x40};
    const Bytes bands = PictureBandsStart(align);
    start.insert(start.end(), bands.begin(), bands.end());
    return start;
}

Bytes PictureBandsStart(PictureAlign align) {
    const auto p = static_cast<uint8_t>(align);
    return {0x1B, 0x61, static_cast<uint8_t>(p <= 2 ? p : 0), 0x1B, 0x33, 0x18};
}

void AppendBands(const MonoRaster& page, uint32_t columns, Bytes* out) {
    uint32_t blankRows = 0;
    for (uint32_t band = 0; band < BandCount(page); ++band) {
        if (BandIsBlank(page, band)) {
            blankRows += 24;
            continue;
        }
        AppendPaperFeed(blankRows, out);
        blankRows = 0;
        AppendBandBitImage(page, band, columns, out);
    }
}

Bytes PicturePrintEnd() {
    return {0x1B, 0x32, 0x1B, 0x61, 0x00};
}

PicturePrintBuild BuildPicturePrintJob(const GreyImage& picture, const PicturePrintOptions& o) {
    PicturePrintBuild b;
    MonoRaster dots;
    b.status = PrintedDots(picture, o, &b.size, &dots);
    if (b.status != PicturePrintBuild::Status::Built) return b;
    try {
        b.job.documentName = kPictureDocumentName;
        b.job.Add(PicturePrintStart(o.align));
        Bytes bands;
        AppendBands(dots, b.size.width, &bands);
        if (!bands.empty()) b.job.Add(std::move(bands));
        b.job.Add(PicturePrintEnd());
        if (Bytes cut = CutCommand(o.cut); !cut.empty()) b.job.Add(std::move(cut));
        if (o.drawer == 1 || o.drawer == 2) b.job.Add(CashDrawerPulse(o.drawer));
    } catch (const std::bad_alloc&) {
        b.job = {};
        b.status = PicturePrintBuild::Status::OutOfMemory;
    }
    return b;
}

PicturePrintBuild::Status AppendPicturePage(const GreyImage& picture, const PicturePrintOptions& o,
                                            bool keepLength, Bytes* out) {
    PrintedSize size;
    MonoRaster dots;
    const PicturePrintBuild::Status status = PrintedDots(picture, o, &size, &dots);
    if (status != PicturePrintBuild::Status::Built) return status;
    try {
        Bytes page = PictureBandsStart(o.align);
        AppendBands(dots, size.width, &page);
        if (keepLength) {
            // The bands end after the last one with dots; the rest of the page is paper.
            uint32_t bands = BandCount(dots);
            while (bands > 0 && BandIsBlank(dots, bands - 1))
                --bands;
            const uint32_t printed = 24 * bands;
            AppendPaperFeed(size.height > printed ? size.height - printed : 0, &page);
        }
        const Bytes end = PicturePrintEnd();
        page.insert(page.end(), end.begin(), end.end());
        out->insert(out->end(), page.begin(), page.end());
    } catch (const std::bad_alloc&) {
        return PicturePrintBuild::Status::OutOfMemory;
    }
    return PicturePrintBuild::Status::Built;
}

std::string PicturePrintStatusMessage(PicturePrintBuild::Status status) {
    switch (status) {
        case PicturePrintBuild::Status::Built:
            return "built";
        case PicturePrintBuild::Status::Empty:
            return "the picture has no pixels";
        case PicturePrintBuild::Status::TooLong:
            return "the picture would print longer than " + std::to_string(kMaxPrintedHeight) +
                   " dot rows";
        case PicturePrintBuild::Status::OutOfMemory:
            return "not enough memory to print the picture";
    }
    return {};
}

}  // namespace krv
