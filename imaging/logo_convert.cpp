#include "imaging/logo_convert.h"

#include <cstring>
#include <new>

#include "imaging/bmp_format.h"
#include "imaging/file_io.h"
#include "imaging/mono_print.h"

namespace krv {

namespace {

// A source read whole for conversion.
struct Source {
    BmpHeaders headers;
    uint8_t first62[kMonoHeadersSize] = {};
    Bytes rows;
    uint64_t stride = 0;

    RowsView View() const { return {rows.data(), headers.width, headers.height, stride}; }
};

// Reads a source of the given bit count: kConvertWritten when `out` holds it, otherwise the
// converters' result. With `monoIsAlreadyDone`, a 1-bit "BM" source answers
// kConvertAlreadyMono. Malformed sources (non-positive sizes, top-down rows, fewer rows than
// the header promises) are the wrong form, found before anything is allocated.
int ReadSource(const std::string& path, uint16_t bitCount, bool monoIsAlreadyDone, Source* out) {
    FilePtr file = OpenFileForReading(path);
    if (!file) return kConvertCannotOpen;
    const size_t got = ReadFileAt(file.get(), 0, out->first62, sizeof out->first62);
    BmpHeaders& h = out->headers;
    if (!ParseBmpHeaders({out->first62, got}, &h) || h.type != kBmpType) return kConvertWrongForm;
    if (monoIsAlreadyDone && h.bitCount == 1) return kConvertAlreadyMono;
    if (h.bitCount != bitCount || h.compression != 0) return kConvertWrongForm;
    if (h.width <= 0 || h.height <= 0) return kConvertWrongForm;
    out->stride = RowStrideOf(bitCount, static_cast<uint64_t>(h.width));
    const uint64_t dataSize = out->stride * static_cast<uint64_t>(h.height);
    // Both the source rows and the work bitmap written from them must be possible files.
    const uint64_t greySize = Stride8(static_cast<uint64_t>(h.width)) * h.height;
    if (!FitsBitmapFile(dataSize) || !FitsBitmapFile(greySize)) return kConvertWrongForm;
    const uint64_t offset = PixelOffsetOf(bitCount);
    const int64_t fileSize = OpenFileSize(file.get());
    if (fileSize < 0 || static_cast<uint64_t>(fileSize) < offset ||
        static_cast<uint64_t>(fileSize) - offset < dataSize)
        return kConvertWrongForm;
    try {
        out->rows.resize(dataSize);
    } catch (const std::bad_alloc&) {
        return kConvertCannotOpen;
    }
    if (ReadFileAt(file.get(), offset, out->rows.data(), dataSize) != dataSize)
        return kConvertWrongForm;
    return kConvertWritten;
}

ConvertResult Fail(int code) {
    return {code, {}};
}

ConvertResult WriteWork(const std::string& source, const Bytes& file) {
    const std::string work = LogoWorkFile(source);
    if (!WriteWholeFile(work, file.data(), file.size())) return Fail(kConvertCannotOpen);
    return {kConvertWritten, work};
}

template <typename Convert>
ConvertResult ToGrey(const std::string& path, uint16_t bitCount, Convert convert) {
    Source s;
    const int read = ReadSource(path, bitCount, false, &s);
    if (read != kConvertWritten) return Fail(read);
    try {
        Bytes file = MakeGreyWorkBitmap(s.headers.width, s.headers.height);
        convert(s, MutableRows{file.data() + PixelOffsetOf(8), Stride8(s.headers.width)});
        return WriteWork(path, file);
    } catch (const std::bad_alloc&) {
        return Fail(kConvertCannotOpen);
    }
}

template <typename Halftone>
ConvertResult ToMono(const std::string& path, uint16_t bitCount, Halftone halftone) {
    Source s;
    const int read = ReadSource(path, bitCount, true, &s);
    if (read == kConvertAlreadyMono) return {kConvertAlreadyMono, path};
    if (read != kConvertWritten) return Fail(read);
    try {
        Bytes file = MakeMonoWorkBitmap(s.headers.width, s.headers.height);
        halftone(s.View(), MutableRows{file.data() + PixelOffsetOf(1), Stride1(s.headers.width)});
        return WriteWork(path, file);
    } catch (const std::bad_alloc&) {
        return Fail(kConvertCannotOpen);
    }
}

}  // namespace

ConvertResult ConvertRgb24ToGrey8(const std::string& source, int contrast, int brightness) {
    return ToGrey(source, 24, [&](const Source& s, MutableRows out) {
        Rgb24RowsToGrey8(s.View(), contrast, brightness, out);
    });
}

ConvertResult ConvertGrey8ToGrey8(const std::string& source, int contrast, int brightness) {
    // The pixel byte is the grey level; the source palette is not consulted.
    return ToGrey(source, 8, [&](const Source& s, MutableRows out) {
        Grey8RowsToGrey8(s.View(), contrast, brightness, out);
    });
}

ConvertResult ConvertMono1ToGrey8(const std::string& source, int contrast, int brightness) {
    return ToGrey(source, 1, [&](Source& s, MutableRows out) {
        // With entry 0 black a set bit is white already; any other palette is inverted first.
        if (PolarityOf(s.first62) != MonoPolarity::Normal)
            NormalizeMonoRows(s.rows.data(), s.headers.width, s.stride, s.headers.height);
        Mono1RowsToGrey8(s.View(), contrast, brightness, out);
    });
}

ConvertResult HalftoneToMono(const std::string& source, HalftoneMethod method, int contrast,
                             int brightness) {
    uint8_t first[kBmpHeadersSize];
    BmpHeaders h;
    {
        FilePtr file = OpenFileForReading(source);
        if (!file) return Fail(kConvertCannotOpen);
        const size_t got = ReadFileAt(file.get(), 0, first, sizeof first);
        if (!ParseBmpHeaders({first, got}, &h)) return Fail(kConvertCannotOpen);
    }
    if (h.type != kBmpType || h.compression != 0) return Fail(kConvertCannotOpen);
    if (h.bitCount == 24) return HalftoneRgb24ToMono1(source, method, contrast, brightness);
    if (h.bitCount == 8) return HalftoneGrey8ToMono1(source, method, contrast, brightness);
    return Fail(kConvertCannotOpen);
}

ConvertResult HalftoneRgb24ToMono1(const std::string& source, HalftoneMethod method, int contrast,
                                   int brightness) {
    return ToMono(source, 24, [&](const RowsView& rows, MutableRows out) {
        HalftoneRgb24Rows(rows, method, contrast, brightness, out);
    });
}

ConvertResult HalftoneGrey8ToMono1(const std::string& source, HalftoneMethod method, int contrast,
                                   int brightness) {
    return ToMono(source, 8, [&](const RowsView& rows, MutableRows out) {
        HalftoneGrey8Rows(rows, method, contrast, brightness, out);
    });
}

}  // namespace krv
