// PNG and JPEG files made by the tests with libpng's and libjpeg's own writers, in every form
// the decoders must take, and the pictures' expected pixels computed here independently.
#pragma once

#include <png.h>
#include <jpeglib.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <cstdlib>
#include <vector>

namespace krv::test {

using PictureBytes = std::vector<uint8_t>;

// A colour picture as the tests define it: 8-bit R, G, B, A of pixel (x, row from the top).
struct Rgba {
    uint8_t r, g, b, a;
};
using RgbaFunction = std::function<Rgba(int x, int y)>;

// libpng's writer into memory. `samples` gives the stored samples of pixel (x, y) in the
// colour type's order (at most 4); values fit `bitDepth`.
inline PictureBytes PngFile(int w, int h, int colorType, int bitDepth, bool interlaced,
                            const std::function<void(int, int, uint16_t*)>& samples,
                            const std::vector<png_color>& palette = {},
                            const std::vector<uint8_t>& paletteAlpha = {}) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PictureBytes out;  // libpng aborts the test program if it cannot write
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t n) {
            auto* o = static_cast<PictureBytes*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, w, h, bitDepth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!paletteAlpha.empty())
        png_set_tRNS(png, info, paletteAlpha.data(), static_cast<int>(paletteAlpha.size()),
                     nullptr);
    png_write_info(png, info);
    int channels = 1;
    if (colorType == PNG_COLOR_TYPE_RGB) channels = 3;
    if (colorType == PNG_COLOR_TYPE_RGB_ALPHA) channels = 4;
    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) channels = 2;
    const size_t rowBytes = (static_cast<size_t>(w) * channels * bitDepth + 7) / 8;
    std::vector<std::vector<uint8_t>> rows(h, std::vector<uint8_t>(rowBytes, 0));
    for (int y = 0; y < h; ++y) {
        size_t bit = 0;
        for (int x = 0; x < w; ++x) {
            uint16_t s[4] = {};
            samples(x, y, s);
            for (int c = 0; c < channels; ++c, bit += bitDepth) {
                if (bitDepth == 16) {
                    rows[y][bit / 8] = static_cast<uint8_t>(s[c] >> 8);
                    rows[y][bit / 8 + 1] = static_cast<uint8_t>(s[c]);
                } else {
                    const int shift = 8 - bitDepth - static_cast<int>(bit % 8);
                    rows[y][bit / 8] |= static_cast<uint8_t>(s[c] << shift);
                }
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& r : rows)
        pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// An 8-bit RGB or RGBA PNG of a picture function.
inline PictureBytes PngOf(int w, int h, const RgbaFunction& pixel, bool alpha = false) {
    return PngFile(w, h, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8, false,
                   [&](int x, int y, uint16_t* s) {
                       const Rgba p = pixel(x, y);
                       s[0] = p.r, s[1] = p.g, s[2] = p.b, s[3] = p.a;
                   });
}

// libjpeg's writer: `components` 1 (grey, from r), 3 (RGB) or 4 (CMYK from r, g, b, a with an
// Adobe marker, so the inks are stored inverted as Adobe software writes them).
inline PictureBytes JpegOf(int w, int h, const RgbaFunction& pixel, int components = 3,
                           int quality = 90, bool progressive = false) {
    jpeg_compress_struct c;
    jpeg_error_mgr errors;
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(w) * components);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgba p = pixel(x, y);
            const uint8_t all[4] = {p.r, p.g, p.b, p.a};
            std::memcpy(&row[static_cast<size_t>(x) * components], all, components);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    PictureBytes out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

// The RGB pixels libjpeg itself decodes from a file with its default settings: the picture
// a JPEG "is", which a BMP of the same picture must hold.
inline std::vector<uint8_t> JpegPixels(const PictureBytes& file, int* w, int* h) {
    jpeg_decompress_struct d;
    jpeg_error_mgr errors;
    d.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    *w = static_cast<int>(d.output_width);
    *h = static_cast<int>(d.output_height);
    std::vector<uint8_t> rgb(static_cast<size_t>(*w) * *h * 3);
    while (d.output_scanline < d.output_height) {
        JSAMPROW r = &rgb[static_cast<size_t>(d.output_scanline) * *w * 3];
        jpeg_read_scanlines(&d, &r, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return rgb;
}

// An 8-bit grey picture read from a PNG file by libpng's simplified reader; width 0 when it
// cannot be read.
struct GreyPng {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;
};
inline GreyPng ReadGreyPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    GreyPng out;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_GRAY;
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) return {};
    out.width = image.width;
    out.height = image.height;
    return out;
}

// CRC-32 of PNG chunks, for tests that rewrite a chunk.
inline uint32_t PngCrc(const uint8_t* data, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// Rewrites the IHDR's width and height (the chunk right after the signature) and its CRC.
inline void SetPngSize(PictureBytes& png, uint32_t w, uint32_t h) {
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<uint8_t>(w >> (24 - 8 * i));
        png[20 + i] = static_cast<uint8_t>(h >> (24 - 8 * i));
    }
    const uint32_t crc = PngCrc(&png[12], 17);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
}

// Rewrites the frame size of a baseline or progressive JPEG (the first SOF0 or SOF2 marker).
inline void SetJpegSize(PictureBytes& jpeg, uint16_t w, uint16_t h) {
    for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<uint8_t>(h >> 8), jpeg[i + 6] = static_cast<uint8_t>(h);
            jpeg[i + 7] = static_cast<uint8_t>(w >> 8), jpeg[i + 8] = static_cast<uint8_t>(w);
            return;
        }
    }
}

}  // namespace krv::test
