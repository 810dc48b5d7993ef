#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into build/fuzz/corpus/<target>/ (or the folder
given as the first argument). The seeds are made here from their description, so the repository
holds no binary files: small well-formed bitmaps of every depth the readers take, the same with
lying headers, default and damaged private records, command texts, barcode data for every rule,
INI files in both encodings, top/bottom lines and logo-page requests. Each target's input layout
(control bytes first, then the payload) is described at the top of its fuzz/*_fuzz.cpp."""

import os
import struct
import sys
import zlib


# ------------------------------------------------------------------ bitmaps
def bmp(bits, width, height, *, palette=None, offset=None, file_size=None, compression=0,
        info_size=40, pixels=None, truncate=None):
    """A bottom-up BMP of the given depth; every header field can be made to lie."""
    if bits == 1:
        stride = (width + 31) // 32 * 4
        palette = palette if palette is not None else [(0, 0, 0), (255, 255, 255)]
    elif bits == 8:
        stride = (width + 3) // 4 * 4
        palette = palette if palette is not None else [(i, i, i) for i in range(256)]
    else:
        stride = (3 * width + 3) // 4 * 4
        palette = palette if palette is not None else []
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    if pixels is None:
        pixels = bytes((x * 37 + y * 11) & 0xFF for y in range(abs(height)) for x in range(stride))
    off = offset if offset is not None else 54 + len(pal)
    size = file_size if file_size is not None else off + len(pixels)
    head = struct.pack("<2sIHHI", b"BM", size, 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, 1, bits, compression,
                       len(pixels), 2835, 2835, len(palette), 0)
    data = head + info + pal + pixels
    return data[:truncate] if truncate is not None else data


def bitmaps():
    """Well-formed and lying bitmaps of the three depths."""
    seeds = {}
    for bits in (1, 8, 24):
        for (w, h) in ((1, 1), (8, 8), (9, 3), (33, 24), (17, 25)):
            seeds[f"ok{bits}_{w}x{h}"] = bmp(bits, w, h)
        seeds[f"short{bits}"] = bmp(bits, 16, 16, truncate=60)
        seeds[f"lyingsize{bits}"] = bmp(bits, 16, 16, file_size=0xFFFFFFFF)
        seeds[f"hugeclaim{bits}"] = bmp(bits, 0x7FFFFFFF, 0x7FFFFFFF, pixels=b"\0" * 64)
        seeds[f"toobig{bits}"] = bmp(bits, 1025, 2, pixels=b"\x55" * 64)
        seeds[f"negative{bits}"] = bmp(bits, 8, -8)
        seeds[f"rle{bits}"] = bmp(bits, 8, 8, compression=1)
        seeds[f"zerowidth{bits}"] = bmp(bits, 0, 8, pixels=b"")
        seeds[f"maxsize{bits}"] = bmp(bits, 1024, 768, pixels=b"\x0f" * 256)
    # Whole bitmaps wider than the page admits: the converters still take them.
    seeds["wide1_2053x2"] = bmp(1, 2053, 2)
    seeds["wide8_2500x1"] = bmp(8, 2500, 1)
    seeds["reversed1"] = bmp(1, 16, 8, palette=[(255, 255, 255), (0, 0, 0)])
    seeds["nopolarity1"] = bmp(1, 16, 8, palette=[(10, 20, 30), (40, 50, 60)])
    seeds["twocolour8"] = bmp(8, 8, 8, palette=[(0, 0, 0), (255, 255, 255)])
    seeds["offset24at62"] = bmp(24, 8, 8, offset=62)
    seeds["info12"] = bmp(24, 8, 8, info_size=12)
    seeds["notbm"] = b"XX" + bmp(24, 4, 4)[2:]
    seeds["empty"] = b""
    return seeds


# ------------------------------------------------------------------ private record
def devmode(size=1468, signature=0x564B5254, version=1, length=1468):
    body = bytearray(length)
    body[0:12] = struct.pack("<III", size, signature, version)[:length] if length >= 12 else b""
    return bytes(body[:length])


def devmode_seeds():
    seeds = {}
    records = {
        "default": devmode(),
        "small_claim": devmode(size=8),
        "huge_claim": devmode(size=0xFFFFFFFF),
        "one_more": devmode(size=1469, length=1469),
        "short_record": devmode(length=600),
        "seven_bytes": devmode(length=7),
        "eight_bytes": devmode(length=8),
        "foreign": devmode(signature=0x12345678),
        "old_version": devmode(version=0),
    }
    for name, record in records.items():
        for control in (0, 1, 2, 3):
            target = 0xFFFFFFFF if control & 1 else 1468
            seeds[f"{name}_{control}"] = bytes([control]) + struct.pack("<I", target) + record
    return seeds


# ------------------------------------------------------------------ texts
def u16(text):
    return text.encode("utf-16-le")


def chunk(data):
    return struct.pack("<H", len(data)) + data


def command_text_seeds():
    texts = ["1D 56 42 00", "1D5642", "1b 40 ", "F", "1 2 3", "  ", "", "G0 zz -.",
             "FF " * 128, "AB" * 200, "1D 28 41 02 00 00 02", "中文 1B"]
    seeds = {}
    for i, t in enumerate(texts):
        for area in (0, 3, 128, 255):
            seeds[f"text{i}_area{area}"] = bytes([area]) + u16(t)
    return seeds


BARCODE_DATA = [b"123456789012", b"12345678901", b"0123456", b"01234565", b"1234567",
                b"A1234B", b"a123d", b"*CODE39*", b"CODE 39", b"{A12{B34", b"{C123456",
                b"{C12345", b"{B" + bytes(range(32, 127)), b"\x00\x01\x7f\xff", b"9" * 255,
                b"(01)12345678901231", b"[)>"]


def barcode_data_seeds():
    seeds = {}
    for code in list(range(0, 20)) + [65, 72, 73, 74]:
        for i, d in enumerate(BARCODE_DATA):
            seeds[f"rule{code}_{i}"] = bytes([code + 3]) + d
    return seeds


def barcode_font(barcode_type):
    return struct.pack("<BB2xIBB2xIIB3xIIBBBB", barcode_type, 3, 163, 2, 0, 24, 163, 2, 100, 2,
                       1, 1, 1, 0)


def two_dimensional_font(code_type):
    return struct.pack("<BBBBBBBxIIBBBBBBBB", code_type, 3, 3, 3, 3, 5, 2, 100, 2, 2, 4, 1, 1,
                       3, 0, 1, 1)


def barcode_test_print_seeds():
    seeds = {}
    for t in range(9):
        fonts = b"".join(barcode_font(t) for _ in range(8))
        fonts += two_dimensional_font(t % 4) * 2
        for i, d in enumerate(BARCODE_DATA[:8]):
            for control in (0, 1, 2, 3, 14, 15, 16, 255):
                seeds[f"type{t}_data{i}_c{control}"] = (
                    bytes([control]) + chunk(fonts) + u16(d.decode("latin-1")))
    return seeds


def ini_seeds():
    section = "[Character Translation Table]\r\n"
    rows = "".join(f"{c:X}=1B {c:02X} \r\n" for c in range(0x20, 0x80, 7))
    long_value = "41=" + "1B " * 140 + "\r\n"
    too_long = "42=" + "F" * 500 + "\r\n"
    texts = {
        "table": section + rows,
        "long": section + long_value + too_long,
        "quoted": section + '43="1B 40"\r\n44=  1D 56  \r\n',
        "other_section": "[Other]\r\n41=00\r\n\r\n" + section + "41=1B\r\n",
        "no_newline": section + "41=1B 40",
        "lower": "[character translation table]\r\n41=1b 40\r\n",
        "garbage": "=\r\n[\r\n]\r\n[[x]]\r\n=x\r\n41\r\n",
    }
    seeds = {name: t.encode("ascii") for name, t in texts.items()}
    seeds["utf16"] = b"\xff\xfe" + u16(section + rows)
    seeds["utf16_odd"] = b"\xff\xfe" + u16(section + "41=1B")[:-1]
    seeds["gbk"] = (section + "41=中文\r\n").encode("gbk")
    seeds["empty"] = b""
    return seeds


def top_bottom_seeds():
    lines = [["Line one", "", "第三行", "4"], ["", "", "", ""], ["A" * 48, "B" * 49, "", ""],
             ["中" * 48, "中" * 49, "", ""], ["x\0y", "", "", "z" * 199], ["z" * 250, "", "", ""]]
    return {f"lines{i}": b"".join(chunk(u16(t)) for t in four) for i, four in enumerate(lines)}


def logo_jobs_seeds():
    seeds = {}
    sources = {"mono": bmp(1, 24, 30), "grey": bmp(8, 16, 9), "rgb": bmp(24, 5, 5),
               "reversed": bmp(1, 16, 8, palette=[(255, 255, 255), (0, 0, 0)])}
    works = {"none": b"", "mono": bmp(1, 24, 30), "grey": bmp(8, 16, 9)}
    texts = ["", "ABC", "中文字符", "x" * 1100]
    controls = (0, 1, 2, 3, 4, 5, 7, 9, 19, 21, 39, 57)
    for sname, source in sources.items():
        for wname, work in works.items():
            for ti, text in enumerate(texts):
                for control in controls:
                    seeds[f"{sname}_{wname}_t{ti}_c{control}"] = (
                        bytes([control, control % 4]) + chunk(u16(text)) + chunk(source) + work)
    return seeds


def watermark_preview_seeds():
    """Position, size, frame and picture sizes (each byte read modulo its range), pixel format,
    brightness, stretch mode, then pixel bytes."""
    seeds = {}
    for position in range(12):
        for (fw, fh, bw, bh) in ((80, 60, 30, 20), (96, 96, 80, 1), (5, 90, 1, 80), (1, 1, 1, 1)):
            for size in (0, 25, 105, 124):
                control = bytes([position, size, fw, fh, bw, bh, position & 1, 50, size & 1])
                seeds[f"p{position}_s{size}_{fw}x{fh}_{bw}x{bh}"] = control + bytes(range(64))
    return seeds


# ------------------------------------------------------------------ PNG and JPEG pictures
def png(width, height, color_type, depth, rows, *, palette=None, trns=None, interlace=0):
    """A PNG of raw filtered-free rows (filter byte 0 is added here)."""
    def chunk_of(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    ihdr = struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, interlace)
    out = b"\x89PNG\r\n\x1a\n" + chunk_of(b"IHDR", ihdr)
    if palette:
        out += chunk_of(b"PLTE", bytes(c for rgb in palette for c in rgb))
    if trns:
        out += chunk_of(b"tRNS", trns)
    out += chunk_of(b"IDAT", zlib.compress(b"".join(b"\x00" + r for r in rows)))
    return out + chunk_of(b"IEND", b"")


# Two small JPEG files written by ImageMagick: a 16 x 8 progressive colour gradient and an
# 8 x 8 grey baseline one.
JPEG_COLOUR_PROGRESSIVE = bytes.fromhex(
    "ffd8ffe000104a46494600010100000100010000ffdb004300140e0f120f0d14121012171514181e32211e1c1c"
    "1e3d2c2e243249404c4b47404645505a736250556d5645466488656d777b8182814e608d978c7d96737e817cff"
    "db0043011517171e1a1e3b21213b7c5346537c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c"
    "7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7c7cffc200110800080010030122000211"
    "01031101ffc4001500010100000000000000000000000000000004ffc400150101010000000000000000000000"
    "0000000304ffda000c03010002100310000001805e9fffc4001510010100000000000000000000000000000012"
    "ffda0008010100010502a53fffc400161100030000000000000000000000000000000213ffda0008010301013f"
    "01b39fffc400161100030000000000000000000000000000000213ffda0008010201013f01821fffc400141001"
    "00000000000000000000000000000010ffda0008010100063f023fffc400141001000000000000000000000000"
    "00000010ffda0008010100013f210fffda000c0301000200030000001003ffc400151101010000000000000000"
    "0000000000000061ffda0008010301013f10b3ffc4001511010100000000000000000000000000000061ffda00"
    "08010201013f109bffc4001510010100000000000000000000000000000071ffda0008010100013f10a53fffd9")
JPEG_GREY = bytes.fromhex(
    "ffd8ffe000104a46494600010100000100010000ffdb004300140e0f120f0d14121012171514181e32211e1c1c"
    "1e3d2c2e243249404c4b47404645505a736250556d5645466488656d777b8182814e608d978c7d96737e817cff"
    "c0000b080008000801011100ffc40014000100000000000000000000000000000000ffc4001710000301000000"
    "00000000000000000000001663a1ffda0008010100003f0036534fffd9")


def picture_seeds():
    rgb = [bytes((x * 40 + y) & 0xFF for x in range(3 * 5)) for y in range(4)]
    rgba = [bytes((x * 20 + y * 7) & 0xFF for x in range(4 * 5)) for y in range(4)]
    grey2 = [bytes([0b00011011, 0b11100100]) for _ in range(3)]
    seeds = {
        "png_rgb": png(5, 4, 2, 8, rgb),
        "png_rgba_interlaced": png(5, 4, 6, 8, rgba, interlace=1),
        "png_grey2": png(8, 3, 0, 2, grey2),
        "png_palette_trns": png(8, 3, 3, 2, grey2, palette=[(255, 0, 0), (0, 255, 0),
                                                            (0, 0, 255), (9, 9, 9)],
                                trns=b"\x00\x80"),
        "png_rgb16": png(2, 2, 2, 16, [bytes(range(12)), bytes(range(12, 24))]),
        "jpeg_colour_progressive": JPEG_COLOUR_PROGRESSIVE,
        "jpeg_grey": JPEG_GREY,
    }
    seeds["png_truncated"] = seeds["png_rgb"][:60]
    seeds["jpeg_truncated"] = JPEG_GREY[:120]
    return seeds


# ------------------------------------------------------------------ printer jobs
def job_seeds():
    """One job of each kind the faces write, as the printer receives it."""
    band = b"\x1b\x2a\x21\x03\x00" + bytes(range(9)) + b"\x0a"
    logo = b"\x02\x00\x01\x00" + bytes(range(16))
    grey = b"\x01\x00\x01\x00\x01\x00" + bytes(range(8))
    return {
        "selftest": b"\x1d\x28\x41\x02\x00\x00\x02",
        "clear": b"\x1c\x71\x00\x00\x0a",
        "logo": b"\x1b\x40\x1c\x71\x02" + logo + logo + b"\x0a",
        "grey": b"\x1b\x40\x1c\x72\x01" + grey + b"\x0a",
        "picture": (b"\x1b\x40\x1b\x61\x01\x1b\x33\x18\x1b\x4a\x18" + band + band +
                    b"\x1b\x32\x1b\x61\x00\x1d\x56\x42\x00\x1b\x70\x00\x1e\x32"),
        "backside": (b"\x1f\x68\x1b\x61\x01\x1b\x33\x18AB\x00\x00\x0d\x0a" + band +
                     bytes(96) + b"\x0a\x1f\x68"),
        "topbottom": b"\x1f\x65\x00\x00ABC\x00\x00\x00\x00",
        "barcode": (b"\x0a\x0a\x1d\x66\x00\x1d\x48\x00\x1d\x77\x03\x1d\x68\xa3\x1d\x6b"
                    b"\x49\x00\x1d\x77\x03\x1d\x68\xa3\x1d\x6b\x49\x04{C\x0c\x22\x00"
                    b"\x0a\x1d\x56\x42\x00"),
        "twod": (b"\x1d\x70\x01\x01\x03\x03\x03\x03\x1d\x71\x05\x1d\x6b\x0a0123\x00"
                 b"\x1d\x6f\x00\x03\x00\x01\x1d\x6b\x0bMA,xy\x00"
                 b"\x1d\x73\x01\x02\x64\x02\x01\x02\x01\x01\x1d\x6b\x0d01\x00"),
    }


def printer_page_seeds():
    """Pages of the printer application: pictures, raster lines and rendered PDF pages."""
    options = bytes([0xFF, 0x01, 3, 100, 100, 1])  # 512 dots, diffusion, no tone, centred
    seeds = {f"picture_{name}": bytes([0]) + options + data
             for name, data in picture_seeds().items()}
    line = struct.pack("<H", 566) + bytes(range(256)) + bytes(310)
    seeds["raster_grey"] = bytes([1]) + options + struct.pack("<H", 566) + b"\x00" + line * 30
    seeds["raster_black_kept"] = bytes([9]) + options + struct.pack("<H", 300) + b"\x01" + line * 5
    seeds["pgm"] = bytes([2]) + options + b"P5\n4 3\n255\n" + bytes(range(0, 240, 20))
    seeds["pgm_fit"] = bytes([6]) + options + b"P5\n2 2\n255\n\x00\xff\xff\x00"
    return seeds


def prefixed(seeds, prefixes):
    return {f"{name}_p{'_'.join(map(str, p))}": bytes(p) + data
            for name, data in seeds.items() for p in prefixes}


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "build", "fuzz", "corpus")
    images = bitmaps()
    mono = {k: v for k, v in images.items() if "1" in k or k in ("notbm", "empty")}
    corpora = {
        "bmp_headers_fuzz": images,
        "logo_grey_fuzz": prefixed(images, [(0, 0, 0), (1, 100, 156), (2, 200, 50)]),
        "logo_halftone_fuzz": prefixed(images, [(m + 4 * e, 0, 0) for e in range(3)
                                                for m in range(4)]),
        "mono_print_fuzz": prefixed(mono, [(0,), (1,), (2,), (3,)]),
        "grey_planes_fuzz": images,
        "watermark_convert_fuzz": images,
        "oem_devmode_fuzz": devmode_seeds(),
        "command_text_fuzz": command_text_seeds(),
        "barcode_data_fuzz": barcode_data_seeds(),
        "barcode_test_print_fuzz": barcode_test_print_seeds(),
        "control_font_ini_fuzz": ini_seeds(),
        "top_bottom_fuzz": top_bottom_seeds(),
        "logo_jobs_fuzz": logo_jobs_seeds(),
        "watermark_preview_fuzz": watermark_preview_seeds(),
        "picture_decode_fuzz": prefixed(picture_seeds(), [(0,), (1,), (3,)]),
        "job_decode_fuzz": job_seeds(),
        "printer_pages_fuzz": printer_page_seeds(),
    }
    for target, seeds in corpora.items():
        folder = os.path.join(root, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        print(f"{target}: {len(seeds)} seeds")


if __name__ == "__main__":
    main()
