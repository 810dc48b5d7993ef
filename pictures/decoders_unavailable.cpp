// The decoders of a build without libpng and libjpeg (the Windows tool): PNG and JPEG files are
// recognised by their signature and refused with a reason, never misread as something else; no
// PNG is written.
#include "pictures/picture_decode.h"

namespace krv {

PictureResult DecodePng(std::span<const uint8_t>, const PictureLimits&, PictureRowSink&) {
    return {PictureError::NotInThisBuild, {}};
}

PictureResult EncodeGreyPng(const GreyImage&, std::vector<uint8_t>*) {
    return {PictureError::NotInThisBuild, {}};
}

PictureResult DecodeJpeg(std::span<const uint8_t>, const PictureLimits&, PictureRowSink&) {
    return {PictureError::NotInThisBuild, {}};
}

}  // namespace krv
