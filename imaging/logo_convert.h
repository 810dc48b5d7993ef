// The logo converters: each reads one source bitmap, converts it and writes its work bitmap
// (LogoWorkFile) where the caller says. Every converter takes the source as the bytes of the
// bitmap file in memory; the overload taking a path reads the file first (ReadBitmapFile). The
// page relies only on whether the work file exists; the numeric results tell the tests and the
// tool why not.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "imaging/halftone.h"

namespace krv {

constexpr int kConvertWritten = 1;
constexpr int kConvertAlreadyMono = 2;  // halftoning a 1-bit source: use the source itself
constexpr int kConvertCannotOpen = -1;  // cannot open, allocate or write
constexpr int kConvertWrongForm = -2;   // not a bitmap of the accepted form, or malformed

struct ConvertResult {
    int code = kConvertCannotOpen;
    // The file to use afterwards: the work file when written, the source for kConvertAlreadyMono
    // (empty when the source was given as bytes), empty otherwise.
    std::u16string pathToUse;

    bool Written() const { return code == kConvertWritten; }
};

using BitmapBytes = std::span<const uint8_t>;

// Grey work bitmaps (8 bits, grey palette) from 24-, 8- and 1-bit sources.
ConvertResult ConvertRgb24ToGrey8(BitmapBytes source, std::u16string_view workFile, int contrast,
                                  int brightness);
ConvertResult ConvertGrey8ToGrey8(BitmapBytes source, std::u16string_view workFile, int contrast,
                                  int brightness);
ConvertResult ConvertMono1ToGrey8(BitmapBytes source, std::u16string_view workFile, int contrast,
                                  int brightness);

// 1-bit work bitmaps (entry 0 black, entry 1 white). HalftoneToMono dispatches a 24- or 8-bit
// uncompressed "BM" source and returns -1 for any other file without touching anything.
ConvertResult HalftoneToMono(BitmapBytes source, std::u16string_view workFile,
                             HalftoneMethod method, int contrast, int brightness);
ConvertResult HalftoneRgb24ToMono1(BitmapBytes source, std::u16string_view workFile,
                                   HalftoneMethod method, int contrast, int brightness);
ConvertResult HalftoneGrey8ToMono1(BitmapBytes source, std::u16string_view workFile,
                                   HalftoneMethod method, int contrast, int brightness);

// The same, reading the source file at `sourcePath`.
ConvertResult ConvertRgb24ToGrey8(std::u16string_view sourcePath, std::u16string_view workFile,
                                  int contrast, int brightness);
ConvertResult ConvertGrey8ToGrey8(std::u16string_view sourcePath, std::u16string_view workFile,
                                  int contrast, int brightness);
ConvertResult ConvertMono1ToGrey8(std::u16string_view sourcePath, std::u16string_view workFile,
                                  int contrast, int brightness);
ConvertResult HalftoneToMono(std::u16string_view sourcePath, std::u16string_view workFile,
                             HalftoneMethod method, int contrast, int brightness);
ConvertResult HalftoneRgb24ToMono1(std::u16string_view sourcePath, std::u16string_view workFile,
                                   HalftoneMethod method, int contrast, int brightness);
ConvertResult HalftoneGrey8ToMono1(std::u16string_view sourcePath, std::u16string_view workFile,
                                   HalftoneMethod method, int contrast, int brightness);

}  // namespace krv
