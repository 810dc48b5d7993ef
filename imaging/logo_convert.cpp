#include "imaging/logo_convert.h"

#include <cstring>
#include <new>
#include <optional>

#include "imaging/bmp_format.h"
#include "files/files.h"
#include "imaging/bmp_file.h"
#include "imaging/mono_print.h"

namespace krv {

namespace {

// A source read whole for conversion, its rows bottom-up.
struct Source {
    BitmapView bitmap;
    Bytes rows;

    int Width() const { return static_cast<int>(bitmap.width); }
    int Height() const { return static_cast<int>(bitmap.height); }
    RowsView View() const { return {rows.data(), Width(), Height(), bitmap.stride}; }
};

ConvertResult Fail(int code) {
    return {code, {}};
}

// Reads a source of the given bit count: kConvertWritten when `out` holds it, otherwise the
// converters' result. With `monoIsAlreadyDone`, a 1-bit "BM" source answers
// kConvertAlreadyMono. Malformed sources (sizes no file can have, fewer rows than the header
// promises) are the wrong form, found before anything is allocated.
int ReadSource(BitmapBytes file, uint16_t bitCount, bool monoIsAlreadyDone, Source* out) {
    BmpHeaders h;
    if (!ParseBmpHeaders(file, &h) || h.type != kBmpType) return kConvertWrongForm;
    if (monoIsAlreadyDone && h.bitCount == 1) return kConvertAlreadyMono;
    BitmapView& b = out->bitmap;
    if (ReadBitmap(file, &b) != BitmapStatus::Ok || h.bitCount != bitCount || !b.HoldsEveryRow())
        return kConvertWrongForm;
    // The work bitmap written from the rows must be a possible file too.
    if (!FitsBitmapFile(Stride8(b.width) * b.height) || b.height > INT32_MAX)
        return kConvertWrongForm;
    try {
        out->rows.resize(b.stride * b.height);
    } catch (const std::bad_alloc&) {
        return kConvertCannotOpen;
    }
    for (uint32_t y = 0; y < b.height; ++y)
        std::memcpy(out->rows.data() + y * b.stride, b.Row(y), b.stride);
    return kConvertWritten;
}

ConvertResult WriteWork(std::u16string_view workFile, const Bytes& file) {
    if (!WriteWholeFile(workFile, file.data(), file.size())) {
        // The page would preview and download an older work bitmap as this one.
        DeleteFileAt(workFile);
        return Fail(kConvertCannotOpen);
    }
    return {kConvertWritten, std::u16string(workFile)};
}

template <typename Convert>
ConvertResult ToGrey(BitmapBytes source, std::u16string_view workFile, uint16_t bitCount,
                     Convert convert) {
    Source s;
    const int read = ReadSource(source, bitCount, false, &s);
    if (read != kConvertWritten) return Fail(read);
    try {
        Bytes file = MakeGreyWorkBitmap(s.Width(), s.Height());
        convert(s, MutableRows{file.data() + PixelOffsetOf(8), Stride8(s.bitmap.width)});
        return WriteWork(workFile, file);
    } catch (const std::bad_alloc&) {
        return Fail(kConvertCannotOpen);
    }
}

template <typename Halftone>
ConvertResult ToMono(BitmapBytes source, std::u16string_view workFile, uint16_t bitCount,
                     Halftone halftone) {
    Source s;
    const int read = ReadSource(source, bitCount, true, &s);
    if (read == kConvertAlreadyMono) return {kConvertAlreadyMono, {}};
    if (read != kConvertWritten) return Fail(read);
    try {
        Bytes file = MakeMonoWorkBitmap(s.Width(), s.Height());
        halftone(s.View(), MutableRows{file.data() + PixelOffsetOf(1), Stride1(s.bitmap.width)});
        return WriteWork(workFile, file);
    } catch (const std::bad_alloc&) {
        return Fail(kConvertCannotOpen);
    }
}

// The file's bytes, converted; a 1-bit source the halftoning leaves alone is used by its path.
template <typename Convert>
ConvertResult FromFile(std::u16string_view sourcePath, Convert convert) {
    const std::optional<Bytes> file = ReadBitmapFile(sourcePath);
    if (!file) return Fail(kConvertCannotOpen);
    ConvertResult result = convert(BitmapBytes(*file));
    if (result.code == kConvertAlreadyMono) result.pathToUse = sourcePath;
    return result;
}

}  // namespace

ConvertResult ConvertRgb24ToGrey8(BitmapBytes source, std::u16string_view workFile, int contrast,
                                  int brightness) {
    return ToGrey(source, workFile, 24, [&](const Source& s, MutableRows out) {
        Rgb24RowsToGrey8(s.View(), contrast, brightness, out);
    });
}

ConvertResult ConvertGrey8ToGrey8(BitmapBytes source, std::u16string_view workFile, int contrast,
                                  int brightness) {
    // The pixel byte is the grey level; the source palette is not consulted.
    return ToGrey(source, workFile, 8, [&](const Source& s, MutableRows out) {
        Grey8RowsToGrey8(s.View(), contrast, brightness, out);
    });
}

ConvertResult ConvertMono1ToGrey8(BitmapBytes source, std::u16string_view workFile, int contrast,
                                  int brightness) {
    return ToGrey(source, workFile, 1, [&](Source& s, MutableRows out) {
        // With entry 0 black a set bit is white already; any other palette is inverted first.
        if (PolarityOf(s.bitmap.palette) != MonoPolarity::Normal)
            NormalizeMonoRows(s.rows.data(), s.Width(), s.bitmap.stride, s.Height());
        Mono1RowsToGrey8(s.View(), contrast, brightness, out);
    });
}

ConvertResult HalftoneToMono(BitmapBytes source, std::u16string_view workFile,
                             HalftoneMethod method, int contrast, int brightness) {
    BmpHeaders h;
    if (!ParseBmpHeaders(source, &h) || h.type != kBmpType || h.compression != 0)
        return Fail(kConvertCannotOpen);
    if (h.bitCount == 24)
        return HalftoneRgb24ToMono1(source, workFile, method, contrast, brightness);
    if (h.bitCount == 8)
        return HalftoneGrey8ToMono1(source, workFile, method, contrast, brightness);
    return Fail(kConvertCannotOpen);
}

ConvertResult HalftoneRgb24ToMono1(BitmapBytes source, std::u16string_view workFile,
                                   HalftoneMethod method, int contrast, int brightness) {
    return ToMono(source, workFile, 24, [&](const RowsView& rows, MutableRows out) {
        HalftoneRgb24Rows(rows, method, contrast, brightness, out);
    });
}

ConvertResult HalftoneGrey8ToMono1(BitmapBytes source, std::u16string_view workFile,
                                   HalftoneMethod method, int contrast, int brightness) {
    return ToMono(source, workFile, 8, [&](const RowsView& rows, MutableRows out) {
        HalftoneGrey8Rows(rows, method, contrast, brightness, out);
    });
}

ConvertResult ConvertRgb24ToGrey8(std::u16string_view sourcePath, std::u16string_view workFile,
                                  int contrast, int brightness) {
    return FromFile(sourcePath, [&](BitmapBytes bytes) {
        return ConvertRgb24ToGrey8(bytes, workFile, contrast, brightness);
    });
}

ConvertResult ConvertGrey8ToGrey8(std::u16string_view sourcePath, std::u16string_view workFile,
                                  int contrast, int brightness) {
    return FromFile(sourcePath, [&](BitmapBytes bytes) {
        return ConvertGrey8ToGrey8(bytes, workFile, contrast, brightness);
    });
}

ConvertResult ConvertMono1ToGrey8(std::u16string_view sourcePath, std::u16string_view workFile,
                                  int contrast, int brightness) {
    return FromFile(sourcePath, [&](BitmapBytes bytes) {
        return ConvertMono1ToGrey8(bytes, workFile, contrast, brightness);
    });
}

ConvertResult HalftoneToMono(std::u16string_view sourcePath, std::u16string_view workFile,
                             HalftoneMethod method, int contrast, int brightness) {
    return FromFile(sourcePath, [&](BitmapBytes bytes) {
        return HalftoneToMono(bytes, workFile, method, contrast, brightness);
    });
}

ConvertResult HalftoneRgb24ToMono1(std::u16string_view sourcePath, std::u16string_view workFile,
                                   HalftoneMethod method, int contrast, int brightness) {
    return FromFile(sourcePath, [&](BitmapBytes bytes) {
        return HalftoneRgb24ToMono1(bytes, workFile, method, contrast, brightness);
    });
}

ConvertResult HalftoneGrey8ToMono1(std::u16string_view sourcePath, std::u16string_view workFile,
                                   HalftoneMethod method, int contrast, int brightness) {
    return FromFile(sourcePath, [&](BitmapBytes bytes) {
        return HalftoneGrey8ToMono1(bytes, workFile, method, contrast, brightness);
    });
}

}  // namespace krv
