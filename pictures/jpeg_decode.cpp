// JPEG through libjpeg(-turbo). Its errors leave by longjmp, so the part that runs under it
// (ReadUnderLibjpeg) keeps only plain locals and reaches C++ objects through the job; nothing
// it calls may throw. Warnings that mean picture data is lost (the file ends early, corrupt
// entropy data) are errors here: a damaged photograph is refused, not printed half grey.
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "pictures/picture_decode.h"

namespace krv {

namespace {

// Progressive files can ask for any number of scans, each a pass over the whole picture.
constexpr int kMaxScans = 500;

struct JpegJob {
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    const PictureLimits* limits = nullptr;
    PictureRowSink* sink = nullptr;
    std::vector<uint8_t> row;
    std::vector<uint8_t> rgb;
    PictureResult result;
    PictureError failure = PictureError::Malformed;
    char message[JMSG_LENGTH_MAX] = {};
};

JpegJob* JobOf(j_common_ptr cinfo) {
    return static_cast<JpegJob*>(cinfo->client_data);
}

[[noreturn]] void Fail(j_common_ptr cinfo, PictureError failure) {
    JpegJob* job = JobOf(cinfo);
    job->failure = failure;
    cinfo->err->format_message(cinfo, job->message);
    std::longjmp(job->jump, 1);
}

void OnError(j_common_ptr cinfo) {
    Fail(cinfo, cinfo->err->msg_code == JERR_NO_BACKING_STORE ? PictureError::TooLarge
                                                              : PictureError::Malformed);
}

void OnMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;  // trace messages
    switch (cinfo->err->msg_code) {
        case JWRN_JPEG_EOF:
            Fail(cinfo, PictureError::Truncated);
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_MUST_RESYNC:
            Fail(cinfo, PictureError::Malformed);
        default:
            break;  // e.g. stray bytes before a marker, common in camera files and harmless
    }
}

void OnProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        JpegJob* job = JobOf(cinfo);
        std::snprintf(job->message, sizeof job->message, "more than %d scans", kMaxScans);
        job->failure = PictureError::Malformed;
        std::longjmp(job->jump, 1);
    }
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

// Four-channel files are CMYK; those Adobe software writes hold the inks inverted.
void CmykToRgb(const uint8_t* cmyk, uint32_t width, bool inverted, uint8_t* rgb) {
    for (uint32_t x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const int ink = inverted ? cmyk[c] : 255 - cmyk[c];
            rgb[c] = static_cast<uint8_t>((ink * k + 127) / 255);
        }
    }
}

void ReadUnderLibjpeg(JpegJob* job, jpeg_decompress_struct* cinfo, std::span<const uint8_t> bytes) {
    if (setjmp(job->jump)) {
        job->result = {job->failure, job->message};
        return;
    }
    jpeg_mem_src(cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(cinfo, TRUE);
    const uint32_t width = cinfo->image_width;
    const uint32_t height = cinfo->image_height;
    if (!PictureFitsLimits(width, height, *job->limits)) {
        job->result = {PictureError::TooLarge, {}};
        return;
    }
    // Whole-picture coefficient buffers (progressive files) are bounded like the picture.
    cinfo->mem->max_memory_to_use = static_cast<long>(8 * job->limits->maxPixels + (16 << 20));
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(cinfo);
    const int channels = cinfo->output_components;
    bool tooLarge = false;
    if (cinfo->output_width != width || cinfo->output_height != height ||
        channels != (cmyk ? 4 : 3)) {
        job->result = {PictureError::Malformed, "unexpected sample layout"};
        jpeg_abort_decompress(cinfo);
        return;
    }
    if (!Allocate(job->row, static_cast<size_t>(width) * channels) ||
        !Allocate(job->rgb, static_cast<size_t>(width) * 3) ||
        !job->sink->Begin(width, height, &tooLarge)) {
        job->result = {tooLarge ? PictureError::TooLarge : PictureError::OutOfMemory, {}};
        jpeg_abort_decompress(cinfo);
        return;
    }
    JSAMPROW rows[1] = {job->row.data()};
    while (cinfo->output_scanline < height) {
        const uint32_t y = cinfo->output_scanline;
        if (jpeg_read_scanlines(cinfo, rows, 1) != 1) {
            job->result = {PictureError::Truncated, {}};
            jpeg_abort_decompress(cinfo);
            return;
        }
        if (cmyk) {
            CmykToRgb(job->row.data(), width, cinfo->saw_Adobe_marker, job->rgb.data());
            job->sink->Row(y, job->rgb.data());
        } else {
            job->sink->Row(y, job->row.data());
        }
    }
    jpeg_finish_decompress(cinfo);
    job->result = {};
}

}  // namespace

PictureResult DecodeJpeg(std::span<const uint8_t> bytes, const PictureLimits& limits,
                         PictureRowSink& sink) {
    JpegJob job;
    job.limits = &limits;
    job.sink = &sink;
    jpeg_decompress_struct cinfo;
    cinfo.client_data = &job;
    cinfo.err = jpeg_std_error(&job.errors);
    job.errors.error_exit = OnError;
    job.errors.emit_message = OnMessage;
    job.progress.progress_monitor = OnProgress;
    if (setjmp(job.jump)) {
        // Only jpeg_create_decompress runs under this one: it fails for want of memory.
        return {PictureError::OutOfMemory, job.message};
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &job.progress;
    ReadUnderLibjpeg(&job, &cinfo, bytes);
    jpeg_destroy_decompress(&cinfo);
    return job.result;
}

}  // namespace krv
