#!/usr/bin/env python3
"""Writes "MS Sans Serif" as a TrueType font whose outlines are the pixels of
one size of a Windows bitmap font, for the test Wine prefix.

Standard library only:

    python3 tools/make_dialog_font.py FON_FILE OUT_TTF [CELL_HEIGHT]

FON_FILE is a Windows .fon file (Wine's sserife.fon); the size taken is the
one whose character cell is CELL_HEIGHT pixels high (default 13, the cell of
"MS Sans Serif" 8 on a 96-dpi screen). Each glyph becomes squares of 100 font
units per pixel on an em of the cell less its internal leading, so at the
size the dialogs ask for, every square covers exactly one pixel: the text is
drawn pixel for pixel as the bitmap font draws it, and measured with the same
advances. As on Windows, where no font is linked to the bitmap font, the
characters it lacks (Japanese) show as boxes: the menu draws those in a
font that Windows links to its Japanese fonts.
"""

import struct
import sys

UNITS_PER_PIXEL = 100
RT_FONT = 0x8008
FAMILY = "MS Sans Serif"


def fnt_resources(data):
    """The FNT resources of an NE .fon file, as byte strings."""
    if data[:2] != b"MZ":
        raise ValueError("not an executable file")
    ne = struct.unpack_from("<I", data, 0x3C)[0]
    if data[ne:ne + 2] != b"NE":
        raise ValueError("not a 16-bit (NE) font file")
    table = ne + struct.unpack_from("<H", data, ne + 0x24)[0]
    shift = struct.unpack_from("<H", data, table)[0]
    at = table + 2
    fonts = []
    while True:
        type_id, count = struct.unpack_from("<HH", data, at)
        if type_id == 0:
            return fonts
        at += 8
        for _ in range(count):
            offset, length = struct.unpack_from("<HH", data, at)
            if type_id == RT_FONT:
                fonts.append(data[offset << shift:(offset << shift) + (length << shift)])
            at += 12


class BitmapFont:
    """One size of a Windows FNT bitmap font (versions 2 and 3)."""

    def __init__(self, fnt):
        version = struct.unpack_from("<H", fnt, 0)[0]
        if version not in (0x200, 0x300):
            raise ValueError("unknown FNT version %#x" % version)
        (self.ascent, self.internal_leading) = struct.unpack_from("<HH", fnt, 74)
        self.weight = struct.unpack_from("<H", fnt, 83)[0]
        self.charset = fnt[85]
        self.height = struct.unpack_from("<H", fnt, 88)[0]
        self.average_width = struct.unpack_from("<H", fnt, 91)[0]
        first, last, default = fnt[95], fnt[96], fnt[97]
        self.default_char = first + default
        entry_size, table = (4, 118) if version == 0x200 else (6, 148)
        self.glyphs = {}
        for index in range(last - first + 1):
            at = table + index * entry_size
            width = struct.unpack_from("<H", fnt, at)[0]
            offset = struct.unpack_from("<H" if version == 0x200 else "<I", fnt, at + 2)[0]
            rows = []
            for y in range(self.height):
                row = []
                for x in range(width):
                    byte = fnt[offset + (x // 8) * self.height + y]
                    row.append(bool(byte & (0x80 >> (x % 8))))
                rows.append(row)
            self.glyphs[first + index] = (width, rows)


def rectangles(rows):
    """The set pixels as (x0, y0, x1, y1) rectangles, rows counted from the top:
    runs of each row, joined with the same run of the rows below."""
    open_runs = {}
    done = []
    for y, row in enumerate(rows + [[]]):
        runs = set()
        x = 0
        while x < len(row):
            if row[x]:
                start = x
                while x < len(row) and row[x]:
                    x += 1
                runs.add((start, x))
            else:
                x += 1
        for run in list(open_runs):
            if run not in runs:
                done.append((run[0], open_runs.pop(run), run[1], y))
        for run in runs:
            open_runs.setdefault(run, y)
    return done


def glyph_data(rows, ascent):
    """A simple TrueType glyph of one clockwise square contour per rectangle,
    and its bounds; empty data for an empty glyph."""
    boxes = rectangles(rows)
    if not boxes:
        return b"", (0, 0, 0, 0)
    points = []
    for x0, y0, x1, y1 in boxes:
        top = (ascent - y0) * UNITS_PER_PIXEL
        bottom = (ascent - y1) * UNITS_PER_PIXEL
        left, right = x0 * UNITS_PER_PIXEL, x1 * UNITS_PER_PIXEL
        points.append([(left, top), (right, top), (right, bottom), (left, bottom)])
    flat = [point for contour in points for point in contour]
    xs = [p[0] for p in flat]
    ys = [p[1] for p in flat]
    bounds = (min(xs), min(ys), max(xs), max(ys))
    out = struct.pack(">hhhhh", len(points), *bounds)
    out += b"".join(struct.pack(">H", 4 * (i + 1) - 1) for i in range(len(points)))
    out += struct.pack(">H", 0)  # no instructions
    out += b"\x01" * len(flat)  # every point on the curve, coordinates as words
    previous = 0
    for x in xs:
        out += struct.pack(">h", x - previous)
        previous = x
    previous = 0
    for y in ys:
        out += struct.pack(">h", y - previous)
        previous = y
    return out, bounds


def cmap_table(mapping):
    """A format 4 character map (Windows, Unicode BMP) for {code point: glyph}."""
    segments = []
    for code in sorted(mapping):
        if segments and code == segments[-1][1] + 1 and mapping[code] == mapping[segments[-1][1]] + 1:
            segments[-1][1] = code
        else:
            segments.append([code, code])
    segments.append([0xFFFF, 0xFFFF])
    count = len(segments)
    power = 1
    while power * 2 <= count:
        power *= 2
    ends = b"".join(struct.pack(">H", end) for _, end in segments)
    starts = b"".join(struct.pack(">H", start) for start, _ in segments)
    deltas = b"".join(struct.pack(">H", (mapping.get(start, 1) - start) & 0xFFFF if start != 0xFFFF else 1)
                      for start, _ in segments)
    offsets = b"\x00\x00" * count
    body = (struct.pack(">HHHH", count * 2, power * 2, power.bit_length() - 1, count * 2 - power * 2)
            + ends + b"\x00\x00" + starts + deltas + offsets)
    subtable = struct.pack(">HHH", 4, 6 + len(body), 0) + body
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + subtable


def name_table(names):
    records = b""
    strings = b""
    for name_id, text in names:
        encoded = text.encode("utf-16-be")
        records += struct.pack(">HHHHHH", 3, 1, 0x409, name_id, len(encoded), len(strings))
        strings += encoded
    return struct.pack(">HHH", 0, len(names), 6 + len(records)) + records + strings


def checksum(data):
    data += b"\x00" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def sfnt(tables):
    tags = sorted(tables)
    count = len(tags)
    power = 1
    while power * 2 <= count:
        power *= 2
    header = struct.pack(">IHHHH", 0x00010000, count, power * 16, power.bit_length() - 1, count * 16 - power * 16)
    offset = len(header) + 16 * count
    directory = b""
    body = b""
    for tag in tags:
        data = tables[tag]
        directory += struct.pack(">4sIII", tag.encode(), checksum(data), offset + len(body), len(data))
        body += data + b"\x00" * (-len(data) % 4)
    font = bytearray(header + directory + body)
    head_at = struct.unpack_from(">I", font, len(header) + 16 * tags.index("head") + 8)[0]
    struct.pack_into(">I", font, head_at + 8, (0xB1B0AFBA - checksum(bytes(font))) & 0xFFFFFFFF)
    return bytes(font)


def make_font(bitmap):
    em = bitmap.height - bitmap.internal_leading
    descent = bitmap.height - bitmap.ascent
    units_per_em = em * UNITS_PER_PIXEL
    order = [bitmap.default_char] + sorted(bitmap.glyphs)
    mapping = {}
    for index, byte in enumerate(order[1:], start=1):
        try:
            mapping[ord(bytes([byte]).decode("cp1252"))] = index
        except UnicodeDecodeError:
            pass
    glyf = b""
    loca = []
    hmtx = b""
    all_bounds = []
    most_points = most_contours = 0
    for byte in order:
        width, rows = bitmap.glyphs[byte]
        data, bounds = glyph_data(rows, bitmap.ascent)
        loca.append(len(glyf))
        glyf += data + b"\x00" * (-len(data) % 4)
        hmtx += struct.pack(">Hh", width * UNITS_PER_PIXEL, bounds[0])
        if data:
            all_bounds.append(bounds)
            contours = struct.unpack_from(">h", data, 0)[0]
            most_contours = max(most_contours, contours)
            most_points = max(most_points, 4 * contours)
    loca.append(len(glyf))
    x_min = min(b[0] for b in all_bounds)
    y_min = min(b[1] for b in all_bounds)
    x_max = max(b[2] for b in all_bounds)
    y_max = max(b[3] for b in all_bounds)
    widest = max(width for width, _ in bitmap.glyphs.values()) * UNITS_PER_PIXEL
    ascender, descender = bitmap.ascent * UNITS_PER_PIXEL, descent * UNITS_PER_PIXEL
    codes = sorted(mapping)
    tables = {
        "head": struct.pack(">IIIIHHqqhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0x0009, units_per_em,
                            0, 0, x_min, y_min, x_max, y_max, 1 if bitmap.weight >= 700 else 0, 8, 2, 1, 0),
        "hhea": struct.pack(">IhhhHhhhhhh5hH", 0x00010000, ascender, -descender, 0, widest, 0, 0, x_max, 1, 0, 0,
                            0, 0, 0, 0, 0, len(order)),
        "maxp": struct.pack(">IHHHHHHHHHHHHHH", 0x00010000, len(order), most_points, most_contours, 0, 0, 2,
                            0, 0, 0, 0, 0, 0, 0, 0),
        # Version 1; Latin 1 (code page 1252) is the only code page it covers.
        "OS/2": struct.pack(">HhHHH10hh10sIIII4sHHHhhhHHII", 1, bitmap.average_width * UNITS_PER_PIXEL,
                            bitmap.weight, 5, 0, *([0] * 10), 0, b"\x02\x0b\x06\x04\x02\x02\x02\x02\x02\x04",
                            3, 0, 0, 0, b"WINE", 0x40, codes[0], min(codes[-1], 0xFFFF), ascender, -descender, 0,
                            ascender, descender, 1, 0),
        "hmtx": hmtx,
        "loca": b"".join(struct.pack(">I", at) for at in loca),
        "glyf": glyf,
        "cmap": cmap_table(mapping),
        "name": name_table([(1, FAMILY), (2, "Regular"), (3, FAMILY + " pixels"), (4, FAMILY),
                            (6, FAMILY.replace(" ", ""))]),
        "post": struct.pack(">IIhhIIIII", 0x00030000, 0, -descender, UNITS_PER_PIXEL, 0, 0, 0, 0, 0),
        # No smoothing and no grid-fitting at any size: pixels stay pixels.
        "gasp": struct.pack(">HHHH", 0, 1, 0xFFFF, 0),
    }
    return sfnt(tables)


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    height = int(argv[3]) if len(argv) == 4 else 13
    with open(argv[1], "rb") as source:
        sizes = [BitmapFont(fnt) for fnt in fnt_resources(source.read())]
    chosen = [size for size in sizes if size.height == height]
    if not chosen:
        sys.stderr.write("%s has no size with a %d-pixel cell (it has %s)\n"
                         % (argv[1], height, ", ".join(str(size.height) for size in sizes)))
        return 1
    with open(argv[2], "wb") as out:
        out.write(make_font(chosen[0]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
