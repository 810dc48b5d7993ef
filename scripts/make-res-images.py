#!/usr/bin/env python3
"""Draws the plug-in's bitmaps and icons and writes them as 16-colour BMP and ICO files.

The pictures are simple line drawings on the standard 16-colour palette, so the resource
files can be rebuilt byte for byte from this script (Python 3 standard library only):

    scripts/make-res-images.py            # writes into res/images/
    scripts/make-res-images.py --check    # exits 1 when a file in res/images/ differs

Bitmaps (4 bits per pixel, bottom-up, uncompressed):
    129 page_upright.bmp        76 x 76   a page standing upright, marked "A"
    130 page_rotated.bmp        76 x 76   the same page turned by 180 degrees
    136 binding_long_edge.bmp  180 x 180  a two-sided receipt bound on its long edge
    139 binding_none.bmp       102 x 180  a one-sided receipt, no binding
    145 binding_short_edge.bmp 150 x 247  a two-sided receipt bound on its short edge
Icons (16 x 16, 4 bits per pixel, with an AND mask for the transparent pixels):
    125 printer.ico             a printer
    126 printer_arrow_card.ico  a printer, a red curved arrow and a small card
    127 page_and_printer.ico    a page of text beside a printer
"""

import math
import os
import struct
import sys

# The standard 16-colour palette, in its usual order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

PIXELS_PER_METRE = 3780  # 96 dots per inch


class Canvas:
    """A grid of palette indices; None marks a transparent pixel (icons only)."""

    def __init__(self, width, height, fill=WHITE):
        self.width = width
        self.height = height
        self.rows = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the rectangle from (x0, y0) up to but excluding (x1, y1)."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1):
            self.put(x, y0, colour)
            self.put(x, y1 - 1, colour)
        for y in range(y0, y1):
            self.put(x0, y, colour)
            self.put(x1 - 1, y, colour)

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            self.dot(x, y, colour, width)

    def dot(self, x, y, colour, width):
        lo = -(width // 2)
        for dy in range(lo, lo + width):
            for dx in range(lo, lo + width):
                self.put(x + dx, y + dy, colour)

    def triangle(self, points, colour):
        """Fills a triangle by testing every pixel centre of its bounding box."""
        (ax, ay), (bx, by), (cx, cy) = points

        def side(px, py, x0, y0, x1, y1):
            return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0)

        for y in range(min(ay, by, cy), max(ay, by, cy) + 1):
            for x in range(min(ax, bx, cx), max(ax, bx, cx) + 1):
                s1 = side(x, y, ax, ay, bx, by)
                s2 = side(x, y, bx, by, cx, cy)
                s3 = side(x, y, cx, cy, ax, ay)
                if (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0):
                    self.put(x, y, colour)

    def arc(self, cx, cy, rx, ry, start_deg, end_deg, colour, width=1):
        """Draws an elliptic arc; angles count counter-clockwise from the positive x axis
        with y pointing down the picture, as a person sees it."""
        steps = int(abs(end_deg - start_deg) * max(rx, ry) / 20) + 8
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            self.dot(round(cx + rx * math.cos(a)), round(cy - ry * math.sin(a)), colour, width)

    def rotated_180(self):
        turned = Canvas(self.width, self.height)
        turned.rows = [list(reversed(row)) for row in reversed(self.rows)]
        return turned


# ------------------------------------------------------------------ drawing helpers

# Digits for page numbers, 5 x 7 cells.
GLYPHS = {
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
}


def glyph(canvas, x, y, char, colour, scale=2):
    for row, bits in enumerate(GLYPHS[char]):
        for col, bit in enumerate(bits):
            if bit == "#":
                canvas.fill(x + col * scale, y + row * scale, x + (col + 1) * scale,
                            y + (row + 1) * scale, colour)


def receipt_text(canvas, x0, y0, x1, y1, seed):
    """Rows of printed text: a centred heading, item lines with a price on the right, a rule
    and a total. `seed` varies the line lengths so the two sides of a sheet differ."""
    width = x1 - x0
    y = y0
    heading = width // 2
    canvas.fill(x0 + (width - heading) // 2, y, x0 + (width + heading) // 2, y + 3, BLACK)
    y += 8
    lengths = [0.55, 0.35, 0.6, 0.45, 0.3, 0.5, 0.4, 0.65]
    i = seed
    while y + 10 < y1:
        text = int(width * lengths[i % len(lengths)])
        canvas.fill(x0, y, x0 + text, y + 2, GREY)
        canvas.fill(x1 - 8, y, x1, y + 2, GREY)
        y += 6
        i += 3
    canvas.fill(x0, y, x1, y + 1, BLACK)
    canvas.fill(x1 - 14, y + 3, x1, y + 6, BLACK)


def sheet(canvas, x0, y0, x1, y1, number, seed):
    """One side of a receipt sheet with its printed text and its side number."""
    canvas.fill(x0 + 2, y0 + 2, x1 + 2, y1 + 2, SILVER)  # shadow
    canvas.fill(x0, y0, x1, y1, WHITE)
    canvas.frame(x0, y0, x1, y1, BLACK)
    receipt_text(canvas, x0 + 6, y0 + 8, x1 - 6, y1 - 22, seed)
    glyph(canvas, (x0 + x1) // 2 - 5, y1 - 19, number, NAVY)


def rings_vertical(canvas, x, y0, y1):
    """Binding rings across a vertical edge at column x."""
    for y in range(y0, y1, 12):
        canvas.frame(x - 4, y, x + 5, y + 5, NAVY)
        canvas.fill(x - 3, y + 1, x + 4, y + 4, AQUA)


def rings_horizontal(canvas, y, x0, x1):
    """Binding rings across a horizontal edge at row y."""
    for x in range(x0, x1, 12):
        canvas.frame(x, y - 4, x + 5, y + 5, NAVY)
        canvas.fill(x + 1, y - 3, x + 4, y + 4, AQUA)


def panel(width, height):
    """A white picture with a grey border, the common background of the duplex pictures."""
    canvas = Canvas(width, height, WHITE)
    canvas.frame(0, 0, width, height, GREY)
    return canvas


# ------------------------------------------------------------------ the bitmaps

def binding_long_edge():
    """Front and back side by side, joined at their long (vertical) edge; the arrow turns the
    front over that edge."""
    c = panel(180, 180)
    sheet(c, 14, 34, 88, 168, "1", 0)
    sheet(c, 92, 34, 166, 168, "2", 1)
    rings_vertical(c, 90, 40, 162)
    c.arc(90, 34, 40, 20, 160, 25, RED, width=3)
    tip = (round(90 + 40 * math.cos(math.radians(25))), round(34 - 20 * math.sin(math.radians(25))))
    c.triangle([(tip[0] - 7, tip[1] - 5), (tip[0] + 7, tip[1] - 1), (tip[0] + 1, tip[1] + 8)], RED)
    return c


def binding_short_edge():
    """Front above back, joined at their short (horizontal) edge; the arrow turns the front
    over that edge."""
    c = panel(150, 247)
    sheet(c, 26, 12, 112, 120, "1", 0)
    sheet(c, 26, 124, 112, 232, "2", 1)
    rings_horizontal(c, 122, 32, 108)
    c.arc(112, 122, 22, 48, 70, -70, RED, width=3)
    tip = (round(112 + 22 * math.cos(math.radians(-70))),
           round(122 - 48 * math.sin(math.radians(-70))))
    c.triangle([(tip[0] + 6, tip[1] - 7), (tip[0] + 2, tip[1] + 7), (tip[0] - 8, tip[1] - 1)], RED)
    return c


def binding_none():
    """A single printed receipt torn off below: one side, nothing bound."""
    c = panel(102, 180)
    x0, y0, x1, y1 = 16, 10, 86, 164
    c.fill(x0 + 2, y0 + 2, x1 + 2, y1 + 2, SILVER)
    c.fill(x0, y0, x1, y1, WHITE)
    for x in range(x0, x1):
        c.put(x, y0, BLACK)
    for y in range(y0, y1):
        c.put(x0, y, BLACK)
        c.put(x1 - 1, y, BLACK)
    # Torn edge: a zigzag that leaves the background below it.
    for x in range(x0, x1):
        tooth = abs((x - x0) % 8 - 4)
        for y in range(y1 - 4 + tooth, y1 + 2):
            c.put(x, y, WHITE)
        c.put(x, y1 - 4 + tooth, BLACK)
    receipt_text(c, x0 + 6, y0 + 8, x1 - 6, y1 - 24, 0)
    glyph(c, (x0 + x1) // 2 - 5, y1 - 22, "1", NAVY)
    return c


def page_upright():
    """A portrait page with a folded corner and a large letter A."""
    c = Canvas(76, 76, WHITE)
    x0, y0, x1, y1, fold = 16, 5, 60, 71, 10
    c.fill(x0 + 2, y0 + 2, x1 + 2, y1 + 2, SILVER)
    c.fill(x0, y0, x1, y1, WHITE)
    c.fill(x1 - fold, y0, x1 + 2, y0 + fold, WHITE)  # no shadow behind the fold
    c.line(x0, y0, x1 - fold, y0, BLACK)
    c.line(x0, y0, x0, y1 - 1, BLACK)
    c.line(x0, y1 - 1, x1 - 1, y1 - 1, BLACK)
    c.line(x1 - 1, y0 + fold, x1 - 1, y1 - 1, BLACK)
    c.line(x1 - fold, y0, x1 - 1, y0 + fold, BLACK)
    c.line(x1 - fold, y0, x1 - fold, y0 + fold, BLACK)
    c.line(x1 - fold, y0 + fold, x1 - 1, y0 + fold, BLACK)
    # The letter: two legs and a bar, three pixels wide.
    c.line(38, 20, 27, 58, NAVY, width=3)
    c.line(38, 20, 49, 58, NAVY, width=3)
    c.line(31, 45, 45, 45, NAVY, width=3)
    return c


def page_rotated():
    return page_upright().rotated_180()


# ------------------------------------------------------------------ the icons

ICON_COLOURS = {
    ".": None, "k": BLACK, "w": WHITE, "s": SILVER, "g": GREY, "r": RED, "m": MAROON,
    "l": LIME, "n": NAVY, "b": BLUE, "y": YELLOW, "a": AQUA,
}

ICON_PRINTER = [
    "................",
    "....kkkkkkkk....",
    "....kwwwwwwk....",
    "....kwggggwk....",
    "....kwwwwwwk....",
    "..kkkkkkkkkkkk..",
    ".kssssssssssssk.",
    ".kwwwwwwwwwwwwk.",
    ".ksssssssssllsk.",
    ".ksssssssssssgk.",
    ".kggggggggggggk.",
    ".kkkwwwwwwwwkkk.",
    "...kwggggggwk...",
    "...kwwwwwwwwk...",
    "...kkkkkkkkkk...",
    "................",
]

ICON_PRINTER_ARROW_CARD = [
    "................",
    "......rrrr......",
    ".....r....r.....",
    "....r......r....",
    "....r.......r...",
    "....r.......r...",
    "..kkkkkk..rrrrr.",
    "..kwwwwk...rrr..",
    "kkkkkkkkkk..r...",
    "kssssssssk.kkkkk",
    "kwwwwwwwwk.knnnk",
    "ksssssllsk.kwwwk",
    "kggggggggk.kkkkk",
    "kkkwwwwkkk......",
    "..kwggwk........",
    "..kkkkkk........",
]

ICON_PAGE_AND_PRINTER = [
    "kkkkkkk.........",
    "kwwwwwkk........",
    "kwkkwwkwk.......",
    "kwwwwwkkkk......",
    "kwkkkkwwwk......",
    "kwwwwwwwwk......",
    "kwkkkkkwwk......",
    "kwwwwwwwwk......",
    "kwkkkkwwwkkkkkk.",
    "kwwwwwwwkssssssk",
    "kwkkkkkwkwwwwwwk",
    "kwwwwwwwksssllsk",
    "kkkkkkkkkggggggk",
    ".........kwwwwk.",
    ".........kwggwk.",
    ".........kkkkkk.",
]


def icon_canvas(art):
    assert len(art) == 16 and all(len(row) == 16 for row in art), "icons are 16 x 16"
    c = Canvas(16, 16)
    c.rows = [[ICON_COLOURS[ch] for ch in row] for row in art]
    return c


# ------------------------------------------------------------------ file formats

def row_bytes(indices):
    """Packs palette indices two to a byte (high nibble first) and pads the row to 4 bytes."""
    packed = bytearray()
    for i in range(0, len(indices), 2):
        hi = indices[i]
        lo = indices[i + 1] if i + 1 < len(indices) else 0
        packed.append((hi << 4) | lo)
    while len(packed) % 4:
        packed.append(0)
    return bytes(packed)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size,
                       PIXELS_PER_METRE, PIXELS_PER_METRE, 16, 0)


def xor_rows(canvas):
    """The colour rows, bottom-up; transparent pixels are black under the mask."""
    return b"".join(row_bytes([BLACK if p is None else p for p in row])
                    for row in reversed(canvas.rows))


def bmp_bytes(canvas):
    pixels = xor_rows(canvas)
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info_header(canvas.width, canvas.height, len(pixels)) + palette_bytes() + pixels


def and_rows(canvas):
    """The AND mask, one bit per pixel (1 = transparent), rows padded to 4 bytes, bottom-up."""
    out = bytearray()
    for row in reversed(canvas.rows):
        bits = bytearray((canvas.width + 7) // 8)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        while len(bits) % 4:
            bits.append(0)
        out += bits
    return bytes(out)


def ico_bytes(canvas):
    xor = xor_rows(canvas)
    mask = and_rows(canvas)
    image = (info_header(canvas.width, canvas.height * 2, len(xor) + len(mask)) + palette_bytes()
             + xor + mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", canvas.width, canvas.height, 16, 0, 1, 4, len(image),
                        6 + 16)
    return directory + entry + image


# ------------------------------------------------------------------ main

OUTPUTS = [
    ("page_upright.bmp", lambda: bmp_bytes(page_upright())),
    ("page_rotated.bmp", lambda: bmp_bytes(page_rotated())),
    ("binding_long_edge.bmp", lambda: bmp_bytes(binding_long_edge())),
    ("binding_none.bmp", lambda: bmp_bytes(binding_none())),
    ("binding_short_edge.bmp", lambda: bmp_bytes(binding_short_edge())),
    ("printer.ico", lambda: ico_bytes(icon_canvas(ICON_PRINTER))),
    ("printer_arrow_card.ico", lambda: ico_bytes(icon_canvas(ICON_PRINTER_ARROW_CARD))),
    ("page_and_printer.ico", lambda: ico_bytes(icon_canvas(ICON_PAGE_AND_PRINTER))),
]


def main(argv):
    check = "--check" in argv[1:]
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "images")
    os.makedirs(folder, exist_ok=True)
    stale = []
    for name, make in OUTPUTS:
        data = make()
        path = os.path.join(folder, name)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
