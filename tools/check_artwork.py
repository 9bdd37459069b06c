#!/usr/bin/env python3
"""Reads back the menu's pictures and icon and checks their format and colours.

Standard library only:

    python3 tools/check_artwork.py [picture-folder]

Checks every BMP for the classic 24-bit BI_RGB bottom-up form and its size,
the strip frames and the small face at sample pixels, the main face for the
transparent colour, and the icon group for its three DIB images. Prints one
line per check and a closing "N passed, N failed" line; exits non-zero on
any failure.
"""

import os
import struct
import sys

BLACK = (0x00, 0x00, 0x00)
WHITE = (0xFF, 0xFF, 0xFF)
MAGENTA = (0xFF, 0x00, 0xFF)
PANEL_FILL = (0x29, 0x52, 0x68)
PANEL_BORDER = (0xDB, 0xE1, 0xE5)
TEXT_NORMAL_FILL = (0x14, 0x3D, 0x53)
LIT_FILL = (0x6F, 0x98, 0xAE)
EXIT_NORMAL_FILL = (0x3C, 0x65, 0x7B)
EXIT_FADED_CROSS = (0x77, 0x94, 0xA3)

BI_RGB = 0


class Bitmap:
    """A decoded 24-bit .bmp file; pixel() takes top-down coordinates."""

    def __init__(self, data):
        if len(data) < 54 or data[:2] != b"BM":
            raise ValueError("not a BMP file")
        (_, self.file_size, _, _, self.offset) = struct.unpack_from(
            "<2sIHHI", data, 0)
        (self.header_size, self.width, self.height, self.planes, self.bpp,
         self.compression, self.image_size, _, _, self.colours_used,
         _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
        self.data = data
        self.stride = ((abs(self.width) * self.bpp + 31) // 32) * 4

    def pixel(self, x, y):
        """RGB of the pixel at column x, row y counted from the top."""
        row = self.height - 1 - y if self.height > 0 else y
        at = self.offset + row * self.stride + x * 3
        b, g, r = self.data[at:at + 3]
        return (r, g, b)

    def pixels(self):
        """Every pixel as an RGB triple, row by row from the top."""
        for y in range(abs(self.height)):
            for x in range(self.width):
                yield self.pixel(x, y)


def parse_icon(data):
    """Splits an .ico file into its directory entries and decoded images."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    entries = []
    for i in range(count):
        (width, height, colour_count, entry_reserved, planes, bpp, size,
         offset) = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        blob = data[offset:offset + size]
        (header_size, dib_width, dib_height, dib_planes, dib_bpp, compression,
         image_size, _, _, colours_used, _) = struct.unpack_from(
             "<IiiHHIIiiII", blob, 0)
        entries.append({
            "width": width or 256, "height": height or 256,
            "colour_count": colour_count, "reserved": entry_reserved,
            "planes": planes, "bpp": bpp, "size": size, "offset": offset,
            "blob": blob, "header_size": header_size,
            "dib_width": dib_width, "dib_height": dib_height,
            "dib_planes": dib_planes, "dib_bpp": dib_bpp,
            "compression": compression, "colours_used": colours_used,
        })
    return (reserved, kind, count), entries


def icon_rgb(entry):
    """Decodes one DIB icon image to top-down rows of RGB or None (clear)."""
    blob = entry["blob"]
    width, bpp = entry["dib_width"], entry["dib_bpp"]
    height = entry["dib_height"] // 2
    colours = entry["colours_used"] or (1 << bpp)
    table_at = entry["header_size"]
    palette = [tuple(reversed(blob[table_at + 4 * i:table_at + 4 * i + 3]))
               for i in range(colours)]
    xor_at = table_at + 4 * colours
    xor_stride = ((width * bpp + 31) // 32) * 4
    and_at = xor_at + xor_stride * height
    and_stride = ((width + 31) // 32) * 4
    rows = []
    for y in range(height):
        src = height - 1 - y
        row = []
        for x in range(width):
            byte = blob[xor_at + src * xor_stride + x * bpp // 8]
            shift = 8 - bpp - (x * bpp) % 8
            index = (byte >> shift) & ((1 << bpp) - 1)
            mask_byte = blob[and_at + src * and_stride + x // 8]
            clear = (mask_byte >> (7 - x % 8)) & 1
            row.append(None if clear else palette[index])
        rows.append(row)
    return rows


class Checker:
    """Counts and prints the outcome of each check."""

    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, what, ok, detail=""):
        if ok:
            self.passed += 1
            print("ok    %s" % what)
        else:
            self.failed += 1
            print("FAIL  %s %s" % (what, detail))
        return ok


def load_bitmap(checker, folder, name, size):
    """Reads a BMP and checks the form every picture of the menu shares."""
    path = os.path.join(folder, name)
    if not checker.check("%s exists" % name, os.path.isfile(path)):
        return None
    with open(path, "rb") as f:
        data = f.read()
    try:
        bmp = Bitmap(data)
    except ValueError as error:
        checker.check("%s is a BMP" % name, False, str(error))
        return None
    width, height = size
    checker.check("%s header is BITMAPINFOHEADER" % name,
                  bmp.header_size == 40, "(%d bytes)" % bmp.header_size)
    checker.check("%s is %d x %d" % (name, width, height),
                  (bmp.width, abs(bmp.height)) == size,
                  "(%d x %d)" % (bmp.width, abs(bmp.height)))
    checker.check("%s is bottom-up" % name, bmp.height > 0)
    checker.check("%s has 24 bits per pixel in one plane" % name,
                  bmp.bpp == 24 and bmp.planes == 1,
                  "(%d bpp, %d planes)" % (bmp.bpp, bmp.planes))
    checker.check("%s is uncompressed" % name, bmp.compression == BI_RGB,
                  "(compression %d)" % bmp.compression)
    expected_pixels = bmp.stride * abs(bmp.height)
    checker.check("%s pixel data is complete" % name,
                  bmp.offset == 54 and bmp.file_size == len(data)
                  and len(data) - bmp.offset == expected_pixels
                  and bmp.image_size in (0, expected_pixels),
                  "(offset %d, %d bytes)" % (bmp.offset, len(data)))
    if bmp.bpp != 24 or bmp.compression != BI_RGB or (
            bmp.width, abs(bmp.height)) != size:
        return None
    return bmp


def check_samples(checker, name, bmp, samples):
    """Compares pixels at (label, x, y, colour) points."""
    for label, x, y, colour in samples:
        got = bmp.pixel(x, y)
        checker.check("%s %s at (%d, %d) is %02X %02X %02X"
                      % ((name, label, x, y) + colour), got == colour,
                      "(found %02X %02X %02X)" % got)


def frame_samples(state, top, width, height, fill, border):
    """Border corners and edges plus fill points of one strip frame."""
    right, bottom = width - 1, top + height - 1
    return [
        ("%s border top-left" % state, 0, top, border),
        ("%s border top" % state, width // 2, top, border),
        ("%s border bottom-right" % state, right, bottom, border),
        ("%s border left" % state, 0, top + height // 2, border),
        ("%s border right" % state, right, top + height // 2, border),
        ("%s border bottom" % state, width // 3, bottom, border),
        ("%s fill" % state, 1, top + 1, fill),
        ("%s fill" % state, right - 1, bottom - 1, fill),
    ]


def check_text_strip(checker, folder):
    bmp = load_bitmap(checker, folder, "TextStrip.bmp", (202, 104))
    if not bmp:
        return
    looks = (("normal", TEXT_NORMAL_FILL, BLACK), ("pressed", LIT_FILL, WHITE),
             ("hover", LIT_FILL, BLACK), ("disabled", TEXT_NORMAL_FILL, BLACK))
    samples = []
    for index, (state, fill, border) in enumerate(looks):
        samples += frame_samples(state, index * 26, 202, 26, fill, border)
        samples.append(("%s fill centre" % state, 101, index * 26 + 13, fill))
    check_samples(checker, "TextStrip.bmp", bmp, samples)
    frames = [[bmp.pixel(x, y) for y in range(i * 26, i * 26 + 26)
               for x in range(202)] for i in range(4)]
    checker.check("TextStrip.bmp disabled frame equals normal frame",
                  frames[3] == frames[0])
    for index, (state, fill, border) in enumerate(looks):
        colours = set(frames[index])
        checker.check("TextStrip.bmp %s frame holds only fill and border"
                      % state, colours == {fill, border},
                      "(%d colours)" % len(colours))


def check_exit_strip(checker, folder):
    bmp = load_bitmap(checker, folder, "ExitStrip.bmp", (21, 84))
    if not bmp:
        return
    looks = (("normal", EXIT_NORMAL_FILL, BLACK, WHITE),
             ("pressed", LIT_FILL, WHITE, WHITE),
             ("hover", LIT_FILL, BLACK, WHITE),
             ("disabled", EXIT_NORMAL_FILL, BLACK, EXIT_FADED_CROSS))
    samples = []
    for index, (state, fill, border, cross) in enumerate(looks):
        top = index * 21
        samples += frame_samples(state, top, 21, 21, fill, border)
        samples += [
            ("%s cross centre" % state, 10, top + 10, cross),
            ("%s cross upper-left arm" % state, 7, top + 7, cross),
            ("%s cross lower-right arm" % state, 13, top + 13, cross),
            ("%s cross upper-right arm" % state, 13, top + 7, cross),
            ("%s cross lower-left arm" % state, 7, top + 13, cross),
            ("%s fill between arms" % state, 10, top + 5, fill),
            ("%s fill beside cross" % state, 4, top + 10, fill),
        ]
    check_samples(checker, "ExitStrip.bmp", bmp, samples)
    for index, (state, fill, border, cross) in enumerate(looks):
        colours = {bmp.pixel(x, y) for y in range(index * 21, index * 21 + 21)
                   for x in range(21)}
        checker.check("ExitStrip.bmp %s frame holds only its three colours"
                      % state, colours == {fill, border, cross},
                      "(%d colours)" % len(colours))


def check_small_face(checker, folder):
    bmp = load_bitmap(checker, folder, "SmallFace.bmp", (202, 311))
    if not bmp:
        return
    width, height = 202, 311
    wrong = []
    for y in range(height):
        for x in range(width):
            edge = x in (0, width - 1) or y in (0, height - 1)
            expected = PANEL_BORDER if edge else PANEL_FILL
            if bmp.pixel(x, y) != expected:
                wrong.append((x, y))
    checker.check("SmallFace.bmp is a 29 52 68 panel with a DB E1 E5 border",
                  not wrong, "(%d pixels differ, first %s)"
                  % (len(wrong), wrong[:1]))


def check_main_face(checker, folder):
    bmp = load_bitmap(checker, folder, "MainFace.bmp", (763, 560))
    if not bmp:
        return
    colours = set(bmp.pixels())
    checker.check("MainFace.bmp holds no FF 00 FF pixel",
                  MAGENTA not in colours)
    checker.check("MainFace.bmp is a picture, not a flat fill",
                  len(colours) > 1000, "(%d colours)" % len(colours))
    # The description line writes white text at (45, 319)-(302, 410): its
    # ground must stay dark.
    brightest = max(max(bmp.pixel(x, y)) for y in range(319, 411)
                    for x in range(45, 303))
    checker.check("MainFace.bmp description area is dark",
                  brightest < 0x50, "(brightest channel %d)" % brightest)


def check_icon(checker, folder):
    path = os.path.join(folder, "Menu.ico")
    if not checker.check("Menu.ico exists", os.path.isfile(path)):
        return
    with open(path, "rb") as f:
        data = f.read()
    (reserved, kind, count), entries = parse_icon(data)
    checker.check("Menu.ico is an icon file with three images",
                  (reserved, kind, count) == (0, 1, 3),
                  "(%d, %d, %d)" % (reserved, kind, count))
    expected = ((32, 4, 16), (32, 8, 0), (16, 4, 16))
    for index, entry in enumerate(entries[:3]):
        size, bpp, colour_count = expected[index]
        name = "Menu.ico image %d (%dx%d, %d bpp)" % (index, size, size, bpp)
        checker.check("%s directory entry" % name,
                      (entry["width"], entry["height"], entry["bpp"],
                       entry["colour_count"], entry["planes"],
                       entry["reserved"]) == (size, size, bpp, colour_count,
                                              1, 0),
                      "(%dx%d %d bpp, %d colours)" % (
                          entry["width"], entry["height"], entry["bpp"],
                          entry["colour_count"]))
        checker.check("%s lies inside the file" % name,
                      entry["offset"] + entry["size"] <= len(data)
                      and len(entry["blob"]) == entry["size"])
        checker.check("%s is a DIB, not PNG" % name,
                      entry["blob"][:4] != b"\x89PNG"
                      and entry["header_size"] == 40)
        checker.check("%s DIB header: doubled height, %d bpp, BI_RGB"
                      % (name, bpp),
                      (entry["dib_width"], entry["dib_height"],
                       entry["dib_planes"], entry["dib_bpp"],
                       entry["compression"]) == (size, 2 * size, 1, bpp,
                                                 BI_RGB))
        colours = entry["colours_used"] or (1 << bpp)
        xor_size = ((size * bpp + 31) // 32) * 4 * size
        and_size = ((size + 31) // 32) * 4 * size
        checker.check("%s holds palette, XOR and AND maps" % name,
                      entry["size"] == 40 + 4 * colours + xor_size + and_size,
                      "(%d bytes)" % entry["size"])
        rows = icon_rgb(entry)
        opaque = [p for row in rows for p in row if p is not None]
        checker.check("%s is mostly opaque with a drawn emblem" % name,
                      len(opaque) > size * size // 2
                      and len(set(opaque)) >= 4,
                      "(%d opaque, %d colours)" % (len(opaque),
                                                   len(set(opaque))))
        centre = rows[size // 2][size // 2]
        checker.check("%s centre pixel is opaque" % name, centre is not None)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    folder = (argv[1] if len(argv) > 1
              else os.path.join(here, "..", "src", "res", "pictures"))
    checker = Checker()
    check_main_face(checker, folder)
    check_small_face(checker, folder)
    check_text_strip(checker, folder)
    check_exit_strip(checker, folder)
    check_icon(checker, folder)
    print("%d passed, %d failed" % (checker.passed, checker.failed))
    return 1 if checker.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
