#include "pictures/picture_decode.h"

#include <cstring>
#include <new>

#include "imaging/bmp_format.h"
#include "imaging/tone.h"

namespace krv {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool StartsWith(std::span<const uint8_t> bytes, const uint8_t* prefix, size_t n) {
    return bytes.size() >= n && std::memcmp(bytes.data(), prefix, n) == 0;
}

// Grey rows: the luminance of each pixel, as the 24-bit logo converters compute it.
class GreySink : public PictureRowSink {
  public:
    explicit GreySink(GreyImage* out) : out_(out) {}
    bool Begin(uint32_t width, uint32_t height, bool*) override {
        try {
            out_->pixels.assign(static_cast<size_t>(width) * height, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        out_->width = width;
        out_->height = height;
        return true;
    }
    void Row(uint32_t y, const uint8_t* rgb) override {
        uint8_t* row = out_->Row(y);
        for (uint32_t x = 0; x < out_->width; ++x, rgb += 3)
            row[x] = static_cast<uint8_t>(Luma(rgb[0], rgb[1], rgb[2]));
    }

  private:
    GreyImage* out_;
};

// The file image of a 24-bit bitmap: rows bottom-up, blue, green, red.
class Bmp24Sink : public PictureRowSink {
  public:
    explicit Bmp24Sink(std::vector<uint8_t>* out) : out_(out) {}
    bool Begin(uint32_t width, uint32_t height, bool* tooLarge) override {
        stride_ = Stride24(width);
        height_ = height;
        if (width > 0x7FFFFFFF || height > 0x7FFFFFFF || !FitsBitmapFile(stride_ * height)) {
            *tooLarge = true;
            return false;
        }
        try {
            *out_ = MakeRgb24Bitmap(static_cast<int32_t>(width), static_cast<int32_t>(height));
        } catch (const std::bad_alloc&) {
            return false;
        }
        width_ = width;
        return true;
    }
    void Row(uint32_t y, const uint8_t* rgb) override {
        uint8_t* p = out_->data() + kBmpHeadersSize + (height_ - 1 - y) * stride_;
        for (uint32_t x = 0; x < width_; ++x, rgb += 3, p += 3) {
            p[0] = rgb[2];
            p[1] = rgb[1];
            p[2] = rgb[0];
        }
    }

  private:
    std::vector<uint8_t>* out_;
    uint64_t stride_ = 0;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
};

PictureResult Decode(std::span<const uint8_t> bytes, const PictureLimits& limits,
                     PictureRowSink& sink) {
    switch (SniffPictureFormat(bytes)) {
        case PictureFormat::Png:
            return DecodePng(bytes, limits, sink);
        case PictureFormat::Jpeg:
            return DecodeJpeg(bytes, limits, sink);
        default:
            return {PictureError::UnknownFormat, {}};
    }
}

}  // namespace

PictureFormat SniffPictureFormat(std::span<const uint8_t> bytes) {
    static const uint8_t kJpeg[3] = {0xFF, 0xD8, 0xFF};
    static const uint8_t kBmp[2] = {'B', 'M'};
    if (StartsWith(bytes, kPngSignature, sizeof kPngSignature)) return PictureFormat::Png;
    if (StartsWith(bytes, kJpeg, sizeof kJpeg)) return PictureFormat::Jpeg;
    if (StartsWith(bytes, kBmp, sizeof kBmp)) return PictureFormat::Bmp;
    return PictureFormat::Unknown;
}

const char* PictureFormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp:
            return "BMP";
        case PictureFormat::Png:
            return "PNG";
        case PictureFormat::Jpeg:
            return "JPEG";
        default:
            return "unknown";
    }
}

bool PictureFitsLimits(uint64_t width, uint64_t height, const PictureLimits& limits) {
    return width > 0 && height > 0 && width <= limits.maxWidth && height <= limits.maxHeight &&
           width * height <= limits.maxPixels;
}

std::string PictureErrorMessage(const PictureResult& r) {
    std::string text;
    switch (r.error) {
        case PictureError::None:
            return "decoded";
        case PictureError::UnknownFormat:
            text = "not a BMP, PNG or JPEG picture";
            break;
        case PictureError::NotInThisBuild:
            text = "PNG and JPEG pictures are read by the Linux build only; use a BMP here";
            break;
        case PictureError::Malformed:
            text = "not a readable picture";
            break;
        case PictureError::Truncated:
            text = "the picture's data ends early (truncated file)";
            break;
        case PictureError::TooLarge:
            text = "the picture's size is beyond what can be printed";
            break;
        case PictureError::OutOfMemory:
            text = "not enough memory for the picture";
            break;
    }
    if (!r.detail.empty()) text += " (" + r.detail + ")";
    return text;
}

PictureResult DecodePictureToGrey(std::span<const uint8_t> bytes, const PictureLimits& limits,
                                  GreyImage* out) {
    *out = GreyImage{};
    GreySink sink(out);
    PictureResult r = Decode(bytes, limits, sink);
    if (!r.ok()) *out = GreyImage{};
    return r;
}

PictureResult DecodePictureToBmp24(std::span<const uint8_t> bytes, const PictureLimits& limits,
                                   std::vector<uint8_t>* out) {
    out->clear();
    Bmp24Sink sink(out);
    PictureResult r = Decode(bytes, limits, sink);
    if (!r.ok()) std::vector<uint8_t>().swap(*out);
    return r;
}

}  // namespace krv
