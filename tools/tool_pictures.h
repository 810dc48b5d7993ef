// Pictures given on the command line (BMP, PNG, JPEG), recognised by their content rather than
// their name, and the work files the commands convert them into.
#pragma once

#include <string>

#include "devpages/logo_rows.h"
#include "imaging/grey_image.h"
#include "pictures/picture_decode.h"
#include "tools/tool.h"

namespace krv::tool {

struct SourcePicture {
    std::string path;  // as given
    PictureFormat format = PictureFormat::Unknown;
    Bytes bmp;  // BMP: the file itself; PNG, JPEG: the 24-bit bitmap decoded from it
};
// Refused naming the path: not a regular file (after `pageOpenMessage` when given), not a
// picture of a known kind, or a PNG or JPEG the decoder refuses.
SourcePicture ReadSourcePicture(const std::string& path, const char* pageOpenMessage = nullptr);

// The picture as grey levels, top row first: PNG and JPEG by their decoder, a BMP of 1, 8 or
// 24 bits through its palette. Refused like ReadSourcePicture, and a bitmap that lacks rows.
GreyImage ReadGreyPicture(const std::string& path);

// A new work file in `folder` (the logo page's own kind of folder, under the temporary folder
// and removed with its files); refused when the folder cannot be made.
std::string NewWorkFile(LogoWorkFolder& folder);

}  // namespace krv::tool
