// PNG through libpng's sequential reader and writer. libpng reports every error by longjmp, so
// the parts that run under it (ReadUnderLibpng, WriteUnderLibpng) keep only plain locals and
// touch C++ objects through the job they are given; nothing they call lets an exception out.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "pictures/picture_decode.h"

namespace krv {

namespace {

// Ancillary chunks (text, profiles) are never needed; this bounds what one may cost.
constexpr png_alloc_size_t kChunkMemoryLimit = 8u << 20;

struct PngJob {
    std::span<const uint8_t> bytes;
    size_t at = 0;
    const PictureLimits* limits = nullptr;
    PictureRowSink* sink = nullptr;
    std::vector<uint8_t> pixels;  // one row, or the whole picture when interlaced
    std::vector<png_bytep> rowPointers;
    std::vector<uint8_t> rgb;
    PictureResult result;
    bool truncated = false;
    char message[160] = {};
};

void OnError(png_structp png, png_const_charp message) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, size_t n) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (n > job->bytes.size() - job->at) {
        job->truncated = true;
        png_error(png, "the file ends early");
    }
    std::memcpy(out, job->bytes.data() + job->at, n);
    job->at += n;
}

template <typename T>
bool Allocate(std::vector<T>& v, size_t n) noexcept {
    try {
        v.assign(n, T{});
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Hands one decoded row (RGB, or RGBA composited over white) to the sink.
void Deliver(PngJob* job, uint32_t y, const uint8_t* row, int channels, uint32_t width) {
    if (channels == 3) {
        job->sink->Row(y, row);
        return;
    }
    uint8_t* rgb = job->rgb.data();
    for (uint32_t x = 0; x < width; ++x, row += 4, rgb += 3) {
        rgb[0] = OverWhite(row[0], row[3]);
        rgb[1] = OverWhite(row[1], row[3]);
        rgb[2] = OverWhite(row[2], row[3]);
    }
    job->sink->Row(y, job->rgb.data());
}

// Sets job->result for refusals found here; errors raised by libpng land after setjmp.
void ReadUnderLibpng(PngJob* job, png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) {
        job->result = {job->truncated ? PictureError::Truncated : PictureError::Malformed,
                       job->message};
        return;
    }
    png_set_read_fn(png, job, OnRead);
    // The size is judged against our limits below, so that it is refused as too large.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_chunk_malloc_max(png, kChunkMemoryLimit);
    // Every chunk's CRC is still checked, so damaged data is refused; the compressed stream's
    // own checksum over the same bytes would add a tenth of the decoding time.
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    png_read_info(png, info);
    const uint32_t width = png_get_image_width(png, info);
    const uint32_t height = png_get_image_height(png, info);
    if (!PictureFitsLimits(width, height, *job->limits)) {
        job->result = {PictureError::TooLarge, {}};
        return;
    }
    // Every form becomes 8-bit RGB, with an alpha channel when the picture has transparency.
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int channels = png_get_channels(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    if ((channels != 3 && channels != 4) || rowBytes != static_cast<size_t>(width) * channels) {
        job->result = {PictureError::Malformed, "unexpected sample layout"};
        return;
    }
    const size_t bufferRows = passes > 1 ? height : 1;
    bool tooLarge = false;
    if (!Allocate(job->pixels, rowBytes * bufferRows) ||
        !Allocate(job->rgb, static_cast<size_t>(width) * 3) ||
        (passes > 1 && !Allocate(job->rowPointers, height)) ||
        !job->sink->Begin(width, height, &tooLarge)) {
        job->result = {tooLarge ? PictureError::TooLarge : PictureError::OutOfMemory, {}};
        return;
    }
    if (passes > 1) {
        for (uint32_t y = 0; y < height; ++y)
            job->rowPointers[y] = job->pixels.data() + rowBytes * y;
        png_read_image(png, job->rowPointers.data());
        for (uint32_t y = 0; y < height; ++y)
            Deliver(job, y, job->rowPointers[y], channels, width);
    } else {
        for (uint32_t y = 0; y < height; ++y) {
            png_read_row(png, job->pixels.data(), nullptr);
            Deliver(job, y, job->pixels.data(), channels, width);
        }
    }
    // The chunks after the picture must be whole too: a cut file is refused, not half-printed.
    png_read_end(png, nullptr);
    job->result = {};
}

struct PngWriteJob {
    std::vector<uint8_t>* out;
    const GreyImage* picture;
    bool outOfMemory = false;
    char message[160] = {};
};

void OnWrite(png_structp png, png_bytep data, size_t n) {
    auto* job = static_cast<PngWriteJob*>(png_get_io_ptr(png));
    try {
        job->out->insert(job->out->end(), data, data + n);
    } catch (const std::bad_alloc&) {
        job->outOfMemory = true;
    }
    // Outside the handler: libpng leaves by longjmp, which must not cross an exception.
    if (job->outOfMemory) png_error(png, "out of memory");
}

void OnWriteError(png_structp png, png_const_charp message) {
    auto* job = static_cast<PngWriteJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof job->message, "%s", message);
    png_longjmp(png, 1);
}

void OnFlush(png_structp) {}

// Under libpng's error handling, like ReadUnderLibpng.
bool WriteUnderLibpng(PngWriteJob* job, png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, job, OnWrite, OnFlush);
    png_set_IHDR(png, info, job->picture->width, job->picture->height, 8, PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < job->picture->height; ++y)
        png_write_row(png, job->picture->Row(y));
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

PictureResult EncodeGreyPng(const GreyImage& picture, std::vector<uint8_t>* out) {
    out->clear();
    if (picture.width == 0 || picture.height == 0 || picture.width > PNG_UINT_31_MAX ||
        picture.height > PNG_UINT_31_MAX)
        return {PictureError::TooLarge, {}};
    PngWriteJob job{out, &picture};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnWriteError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written = info && WriteUnderLibpng(&job, png, info);
    png_destroy_write_struct(&png, &info);
    if (written) return {};
    out->clear();
    if (job.outOfMemory || !info) return {PictureError::OutOfMemory, {}};
    return {PictureError::Malformed, job.message};
}

PictureResult DecodePng(std::span<const uint8_t> bytes, const PictureLimits& limits,
                        PictureRowSink& sink) {
    PngJob job;
    job.bytes = bytes;
    job.limits = &limits;
    job.sink = &sink;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, OnError, OnWarning);
    if (!png) return {PictureError::OutOfMemory, {}};
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return {PictureError::OutOfMemory, {}};
    }
    ReadUnderLibpng(&job, png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    return job.result;
}

}  // namespace krv
