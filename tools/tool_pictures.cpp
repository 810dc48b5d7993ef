#include "tools/tool_pictures.h"

#include "channel/ansi_text.h"
#include "imaging/bmp_format.h"
#include "imaging/tone.h"

namespace krv::tool {

namespace {

// The level of a palette entry (blue, green, red, 0); an index past the palette is read as the
// logo converters read one: an 8-bit index is its own level, a 1-bit one black or white.
uint8_t PaletteLevel(const BitmapView& v, uint32_t index) {
    if (index >= v.PaletteEntries())
        return static_cast<uint8_t>(v.headers.bitCount == 1 ? index * 255 : index);
    const uint8_t* e = v.palette.data() + 4 * index;
    return static_cast<uint8_t>(Luma(e[2], e[1], e[0]));
}

// Stored row y (bottom-up) of a 1-, 8- or 24-bit bitmap as grey levels.
void GreyRow(const BitmapView& v, uint32_t y, uint8_t* out) {
    const uint8_t* row = v.Row(y);
    for (uint32_t x = 0; x < v.width; ++x) {
        switch (v.headers.bitCount) {
            case 24:
                out[x] = static_cast<uint8_t>(Luma(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
                break;
            case 8:
                out[x] = PaletteLevel(v, row[x]);
                break;
            default:
                out[x] = PaletteLevel(v, (row[x / 8] >> (7 - x % 8)) & 1);
                break;
        }
    }
}

GreyImage GreyOfBitmap(const std::string& path, const Bytes& file) {
    BitmapView v;
    switch (ReadBitmap(file, &v)) {
        case BitmapStatus::Ok:
            break;
        case BitmapStatus::Unsupported:
            throw Refusal(path,
                          "a bitmap of a kind that cannot be printed (1, 8 or 24 bits, "
                          "uncompressed)");
        default:
            throw Refusal(path, "not a readable bitmap");
    }
    if (!PictureFitsLimits(v.width, v.height, PictureLimits{}))
        throw Refusal(path, PictureErrorMessage({PictureError::TooLarge, {}}));
    if (!v.HoldsEveryRow()) throw Refusal(path, "the file ends before its last row");
    GreyImage grey;
    grey.width = v.width;
    grey.height = v.height;
    grey.pixels.resize(static_cast<size_t>(v.width) * v.height);
    for (uint32_t y = 0; y < v.height; ++y)
        GreyRow(v, y, grey.Row(v.height - 1 - y));
    return grey;
}

Bytes ReadPictureFile(const std::string& path, const char* pageOpenMessage) {
    Bytes bytes = ReadInputFile(path, kPictureReadLimit + 1, pageOpenMessage);
    if (bytes.size() > kPictureReadLimit)
        throw Refusal(path, "larger than " + std::to_string(kPictureReadLimit >> 20) +
                                " MiB: not a picture that can be printed");
    return bytes;
}

PictureFormat KnownFormat(const std::string& path, const Bytes& bytes) {
    const PictureFormat format = SniffPictureFormat(bytes);
    if (format == PictureFormat::Unknown)
        throw Refusal(path, PictureErrorMessage({PictureError::UnknownFormat, {}}));
    return format;
}

}  // namespace

SourcePicture ReadSourcePicture(const std::string& path, const char* pageOpenMessage) {
    SourcePicture picture;
    picture.path = path;
    Bytes bytes = ReadPictureFile(path, pageOpenMessage);
    picture.format = KnownFormat(path, bytes);
    if (picture.format == PictureFormat::Bmp) {
        picture.bmp = std::move(bytes);
        return picture;
    }
    const PictureResult r = DecodePictureToBmp24(bytes, PictureLimits{}, &picture.bmp);
    if (!r.ok()) throw Refusal(path, PictureErrorMessage(r));
    return picture;
}

GreyImage ReadGreyPicture(const std::string& path) {
    const Bytes bytes = ReadPictureFile(path, nullptr);
    if (KnownFormat(path, bytes) == PictureFormat::Bmp) return GreyOfBitmap(path, bytes);
    GreyImage grey;
    const PictureResult r = DecodePictureToGrey(bytes, PictureLimits{}, &grey);
    if (!r.ok()) throw Refusal(path, PictureErrorMessage(r));
    return grey;
}

std::string NewWorkFile(LogoWorkFolder& folder) {
    std::string file = Utf16ToPath(folder.NewWorkFile());
    if (file.empty())
        throw Refusal("krv857", "cannot create a work folder in the temporary folder");
    return file;
}

}  // namespace krv::tool
