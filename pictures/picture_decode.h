// PNG and JPEG pictures decoded from bytes in memory, for the faces that print pictures (the
// krv857 tool and the printer application; never the plug-in DLL, which keeps system imports
// only). The input is untrusted: the sizes a file announces are checked against explicit limits
// before anything is allocated, and a malformed or truncated file is refused whole rather than
// printed in part.
//
// Two results: 8-bit grey rows, top row first (the luminance the logo converters use:
// (299 R + 587 G + 114 B) / 1000), and the file image of a canonical 24-bit "BM" bitmap
// (40-byte information header, rows bottom-up) that the BMP readers take. Transparency is
// composited over white; 16-bit samples are scaled to 8 bits; embedded gamma and colour
// profiles are not applied, as most viewers of receipts' pictures do not apply them either.
//
// Builds without libpng and libjpeg (the Windows tool) answer NotInThisBuild.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/grey_image.h"

namespace krv {

enum class PictureFormat { Unknown, Bmp, Png, Jpeg };
// By the file's signature, not its name.
PictureFormat SniffPictureFormat(std::span<const uint8_t> bytes);
const char* PictureFormatName(PictureFormat format);  // "BMP", "PNG", "JPEG", "unknown"

struct PictureLimits {
    uint32_t maxWidth = 20000;
    uint32_t maxHeight = 65000;  // receipts are long and narrow
    uint64_t maxPixels = 40000000;
};

enum class PictureError {
    None,
    UnknownFormat,   // neither PNG nor JPEG
    NotInThisBuild,  // PNG or JPEG, but this build has no decoder for it
    Malformed,       // the decoder refused the data (detail says why)
    Truncated,       // the data ends before the picture does
    TooLarge,        // announced sizes beyond the limits, or zero
    OutOfMemory,
};

struct PictureResult {
    PictureError error = PictureError::None;
    std::string detail;  // the decoder's own words, when it gave any

    bool ok() const { return error == PictureError::None; }
};
// A short English sentence for an error, with the detail when there is one.
std::string PictureErrorMessage(const PictureResult& result);

// Decodes a PNG or JPEG picture into grey rows. `out` is left empty on failure.
PictureResult DecodePictureToGrey(std::span<const uint8_t> bytes, const PictureLimits& limits,
                                  GreyImage* out);
// Decodes a PNG or JPEG picture into the file image of a 24-bit bitmap. The picture must also
// fit a bitmap file's 32-bit sizes (TooLarge otherwise). `out` is left empty on failure.
PictureResult DecodePictureToBmp24(std::span<const uint8_t> bytes, const PictureLimits& limits,
                                   std::vector<uint8_t>* out);

// An 8-bit grey PNG of `picture` (the decoded drawing of a job). NotInThisBuild without libpng;
// OutOfMemory or Malformed (with libpng's reason) when it cannot be made.
PictureResult EncodeGreyPng(const GreyImage& picture, std::vector<uint8_t>* out);

// ---- for the decoders: where decoded rows go

// Receives the picture's size once, then every row from the top as 8-bit R, G, B triples.
class PictureRowSink {
  public:
    virtual ~PictureRowSink() = default;
    // False when the picture cannot be held (the decode then fails with OutOfMemory or
    // TooLarge, as `tooLarge` says).
    virtual bool Begin(uint32_t width, uint32_t height, bool* tooLarge) = 0;
    virtual void Row(uint32_t y, const uint8_t* rgb) = 0;
};

// True for positive sizes within the limits.
bool PictureFitsLimits(uint64_t width, uint64_t height, const PictureLimits& limits);

// The two decoders; each checks the limits before calling Begin.
PictureResult DecodePng(std::span<const uint8_t> bytes, const PictureLimits& limits,
                        PictureRowSink& sink);
PictureResult DecodeJpeg(std::span<const uint8_t> bytes, const PictureLimits& limits,
                         PictureRowSink& sink);

// A source pixel of `alpha` (0 transparent .. 255 opaque) over white, rounded.
inline uint8_t OverWhite(uint8_t value, uint8_t alpha) {
    return static_cast<uint8_t>((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

}  // namespace krv
