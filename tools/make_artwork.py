#!/usr/bin/python3
"""Draws the disc menu's pictures and icon and writes them as resource files.

Run with Debian's python3 and python3-pil:

    /usr/bin/python3 tools/make_artwork.py [output-folder]

The output folder defaults to src/res/pictures beside this script's parent.
Pillow only draws; the BMP and ICO files are written byte by byte here, so
their headers are exactly the classic forms the resource compiler and
LoadImage expect (24-bit BI_RGB bottom-up bitmaps, DIB icon images with an
AND mask). The output is deterministic: no clocks, fixed noise seeds.
"""

import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

# Picture sizes in pixels, by resource number.
MAIN_FACE_SIZE = (763, 560)      # 131
EXIT_STRIP_SIZE = (21, 84)       # 132
TEXT_STRIP_SIZE = (202, 104)     # 133
SMALL_FACE_SIZE = (202, 311)     # 143
STRIP_FRAMES = 4

# Fixed colours (RGB).
BLACK = (0x00, 0x00, 0x00)
WHITE = (0xFF, 0xFF, 0xFF)
MAGENTA = (0xFF, 0x00, 0xFF)     # the main dialog's transparent colour
PANEL_FILL = (0x29, 0x52, 0x68)
PANEL_BORDER = (0xDB, 0xE1, 0xE5)
TEXT_NORMAL_FILL = (0x14, 0x3D, 0x53)
LIT_FILL = (0x6F, 0x98, 0xAE)
EXIT_NORMAL_FILL = (0x3C, 0x65, 0x7B)
EXIT_FADED_CROSS = (0x77, 0x94, 0xA3)

# Rectangles of the main face (x0, y0, x1, y1 exclusive, in face pixels) that
# the dialog covers with controls; the artwork keeps its figures out of them.
BUTTON_COLUMNS = ((326, 531), (542, 747))
BUTTON_ROWS = (195, 244, 293, 342, 391, 440)
BUTTON_HEIGHT = 26
LANGUAGE_BUTTON = (542, 511, 746, 543)
EXIT_BUTTON = (724, 20, 746, 42)
DESCRIPTION_AREA = (45, 319, 303, 411)

# Strongest trace (0..255) of a figure allowed under a control.
FIGURE_TOLERANCE = 8

# Horizontal band behind the buttons and the description line.
BAND_TOP = 178
BAND_BOTTOM = 482

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
FONT_BOOK = os.path.join(FONT_DIR, "DejaVuSans.ttf")
FONT_LIGHT = os.path.join(FONT_DIR, "DejaVuSans-ExtraLight.ttf")

SCALE = 2                        # the main face is drawn at twice its size
NOISE_SEED = 0x7A11

BMP_HEADER_SIZE = 14
DIB_HEADER_SIZE = 40
PELS_PER_METRE = 2835            # 72 dots per inch


# ---------------------------------------------------------------------------
# Writers

def dib_header(width, height, bpp, image_size, colours_used=0):
    """Packs a BITMAPINFOHEADER; a positive height means bottom-up rows."""
    return struct.pack("<IiiHHIIiiII", DIB_HEADER_SIZE, width, height, 1, bpp,
                       0, image_size, PELS_PER_METRE, PELS_PER_METRE,
                       colours_used, 0)


def row_stride(width, bpp):
    """Bytes per DIB row: rows are padded to a multiple of four bytes."""
    return ((width * bpp + 31) // 32) * 4


def bmp24_bytes(image):
    """Encodes an RGB image as a complete 24-bit BI_RGB bottom-up .bmp file."""
    image = image.convert("RGB")
    width, height = image.size
    stride = row_stride(width, 24)
    pad = b"\0" * (stride - width * 3)
    bgr = image.tobytes("raw", "BGR")
    rows = [bgr[y * width * 3:(y + 1) * width * 3] + pad
            for y in range(height - 1, -1, -1)]
    pixels = b"".join(rows)
    offset = BMP_HEADER_SIZE + DIB_HEADER_SIZE
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0,
                              offset)
    return file_header + dib_header(width, height, 24, len(pixels)) + pixels


def pack_bits(values, width, bpp):
    """Packs one row of palette indices (or mask bits) MSB first, padded."""
    stride = row_stride(width, bpp)
    out = bytearray(stride)
    per_byte = 8 // bpp
    for x, value in enumerate(values):
        shift = 8 - bpp * (x % per_byte + 1)
        out[x // per_byte] |= (value & ((1 << bpp) - 1)) << shift
    return bytes(out)


def icon_image_bytes(indices, palette, opaque, size, bpp):
    """Encodes one classic DIB icon image: header, palette, XOR and AND maps.

    indices: palette index per pixel, top-down; palette: list of RGB triples
    (at most 2**bpp); opaque: bool per pixel, False where the icon is clear.
    """
    width = height = size
    colours = 1 << bpp
    assert len(palette) <= colours
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    table += b"\0\0\0\0" * (colours - len(palette))
    xor_rows, and_rows = [], []
    for y in range(height - 1, -1, -1):
        row = indices[y * width:(y + 1) * width]
        mask = [0 if m else 1 for m in opaque[y * width:(y + 1) * width]]
        xor_rows.append(pack_bits(row, width, bpp))
        and_rows.append(pack_bits(mask, width, 1))
    bits = b"".join(xor_rows) + b"".join(and_rows)
    header = dib_header(width, height * 2, bpp, len(bits))
    return header + table + bits


def ico_bytes(entries):
    """Builds an .ico file from (size, bpp, image bytes) in the given order."""
    count = len(entries)
    offset = 6 + 16 * count
    directory = struct.pack("<HHH", 0, 1, count)
    blobs = []
    for size, bpp, blob in entries:
        colour_count = (1 << bpp) if bpp < 8 else 0
        directory += struct.pack("<BBBBHHII", size % 256, size % 256,
                                 colour_count, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return directory + b"".join(blobs)


# ---------------------------------------------------------------------------
# Button strips and the small face

def frame_rect(draw, top, width, height, fill, border):
    """Fills one strip frame and gives it a one-pixel border."""
    draw.rectangle((0, top, width - 1, top + height - 1), fill=fill,
                   outline=border)


def make_text_strip():
    """Four frames of the text buttons: normal, pressed, hover, disabled."""
    width, height = TEXT_STRIP_SIZE
    frame = height // STRIP_FRAMES
    image = Image.new("RGB", TEXT_STRIP_SIZE)
    draw = ImageDraw.Draw(image)
    looks = ((TEXT_NORMAL_FILL, BLACK), (LIT_FILL, WHITE), (LIT_FILL, BLACK),
             (TEXT_NORMAL_FILL, BLACK))
    for index, (fill, border) in enumerate(looks):
        frame_rect(draw, index * frame, width, frame, fill, border)
    return image


def cross_pixels(size):
    """Pixels of the Exit cross: two diagonals about three pixels thick."""
    low, high = 6, size - 7
    centre_sum = size - 1
    for y in range(low, high + 1):
        for x in range(low, high + 1):
            if abs(x - y) <= 1 or abs(x + y - centre_sum) <= 1:
                yield x, y


def make_exit_strip():
    """Four square frames of the Exit buttons, each with a crisp cross."""
    width, height = EXIT_STRIP_SIZE
    frame = height // STRIP_FRAMES
    image = Image.new("RGB", EXIT_STRIP_SIZE)
    draw = ImageDraw.Draw(image)
    looks = ((EXIT_NORMAL_FILL, BLACK, WHITE), (LIT_FILL, WHITE, WHITE),
             (LIT_FILL, BLACK, WHITE), (EXIT_NORMAL_FILL, BLACK,
                                        EXIT_FADED_CROSS))
    for index, (fill, border, cross) in enumerate(looks):
        top = index * frame
        frame_rect(draw, top, width, frame, fill, border)
        for x, y in cross_pixels(frame):
            image.putpixel((x, top + y), cross)
    return image


def make_small_face():
    """The plain panel shared by the language and model dialogs."""
    image = Image.new("RGB", SMALL_FACE_SIZE, PANEL_FILL)
    ImageDraw.Draw(image).rectangle(
        (0, 0, SMALL_FACE_SIZE[0] - 1, SMALL_FACE_SIZE[1] - 1),
        outline=PANEL_BORDER)
    return image


# ---------------------------------------------------------------------------
# Drawing helpers for the main face (all coordinates in face pixels)

def lerp(a, b, t):
    return a + (b - a) * t


def mix(c0, c1, t):
    return tuple(int(round(lerp(a, b, t))) for a, b in zip(c0, c1))


def smoothstep(t):
    t = min(max(t, 0.0), 1.0)
    return t * t * (3 - 2 * t)


def vertical_gradient(size, stops):
    """An RGB image whose rows run through (position 0..1, colour) stops."""
    width, height = size
    column = Image.new("RGB", (1, height))
    for y in range(height):
        t = y / (height - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                column.putpixel((0, y), mix(c0, c1, (t - p0) / (p1 - p0)))
                break
    return column.resize(size, Image.Resampling.NEAREST)


def horizontal_ramp(size, stops):
    """An L image whose columns run through (position 0..1, level) stops."""
    width, height = size
    row = Image.new("L", (width, 1))
    for x in range(width):
        t = x / (width - 1)
        for (p0, v0), (p1, v1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                row.putpixel((x, 0), int(round(lerp(v0, v1, smoothstep(
                    (t - p0) / (p1 - p0))))))
                break
    return row.resize(size, Image.Resampling.NEAREST)


def glow(canvas, centre, radii, colour, strength, blur):
    """Lays a soft elliptical light of the given colour onto the canvas."""
    mask = Image.new("L", canvas.size, 0)
    cx, cy = centre
    rx, ry = radii
    ImageDraw.Draw(mask).ellipse(
        (s(cx - rx), s(cy - ry), s(cx + rx), s(cy + ry)),
        fill=int(255 * strength))
    mask = mask.filter(ImageFilter.GaussianBlur(s(blur)))
    canvas.paste(colour, (0, 0), mask)


def s(value):
    """Scales a face coordinate to the drawing canvas."""
    return int(round(value * SCALE))


def font(path, size):
    return ImageFont.truetype(path, s(size))


def text_mask(size, position, text, face, spacing=0.0):
    """Renders text into an L mask; spacing adds pixels between letters."""
    mask = Image.new("L", size, 0)
    draw = ImageDraw.Draw(mask)
    x, y = s(position[0]), s(position[1])
    if not spacing:
        draw.text((x, y), text, font=face, fill=255)
        return mask
    for letter in text:
        draw.text((x, y), letter, font=face, fill=255)
        x += face.getlength(letter) + s(spacing)
    return mask


def text_width(text, face, spacing=0.0):
    """Width in face pixels of a text as text_mask draws it."""
    return (face.getlength(text) + s(spacing) * len(text)) / SCALE


def scaled_mask(mask, level):
    """Multiplies an L mask by level (0..1)."""
    return mask.point(lambda v: int(v * level))


# ---------------------------------------------------------------------------
# The main face

BG_TOP = (0x1E, 0x46, 0x61)
BG_MIDDLE = (0x13, 0x33, 0x4A)
BG_BOTTOM = (0x0C, 0x22, 0x33)
BAND_COLOUR = (0x06, 0x14, 0x1F)
EDGE_LIGHT = (0x6F, 0xB4, 0xD8)
ACCENT = (0x4F, 0xB8, 0xE8)
STREAK = (0xB8, 0xE6, 0xFF)


def draw_background(canvas):
    """Dark blue ground with soft light at the upper left and on the right."""
    base = vertical_gradient(canvas.size, ((0.0, BG_TOP), (0.45, BG_MIDDLE),
                                           (1.0, BG_BOTTOM)))
    canvas.paste(base)
    glow(canvas, (150, 70), (260, 120), (0x2C, 0x5F, 0x80), 0.55, 90)
    glow(canvas, (640, 95), (220, 110), (0x2A, 0x6A, 0x8E), 0.45, 80)
    glow(canvas, (120, 545), (240, 70), (0x1B, 0x44, 0x5E), 0.5, 60)


def draw_band(canvas):
    """The darker band across the middle, with lit top and bottom edges."""
    width = canvas.size[0]
    top, bottom = s(BAND_TOP), s(BAND_BOTTOM)
    shade = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(shade).rectangle((0, top, width, bottom), fill=200)
    # A soft shadow just outside the band makes it sit into the face.
    halo = shade.filter(ImageFilter.GaussianBlur(s(10)))
    canvas.paste(BAND_COLOUR, (0, 0), scaled_mask(halo, 0.35))
    canvas.paste(BAND_COLOUR, (0, 0), shade)
    # A little depth inside: lighter towards the band's centre line.
    inner = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(inner).rectangle(
        (0, s(BAND_TOP + 90), width, s(BAND_BOTTOM - 90)), fill=60)
    inner = inner.filter(ImageFilter.GaussianBlur(s(60)))
    canvas.paste((0x16, 0x34, 0x4A), (0, 0), inner)
    # Faint light behind the buttons; the description side stays darkest.
    light = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(light).ellipse((s(330), s(BAND_TOP + 40), s(800),
                                   s(BAND_BOTTOM - 40)), fill=90)
    light = ImageChops.multiply(light.filter(ImageFilter.GaussianBlur(s(70))),
                                shade.point(lambda v: 255 if v else 0))
    canvas.paste((0x1A, 0x40, 0x5A), (0, 0), light)
    # Hairline highlights along both edges, fading out at the ends.
    ramp = horizontal_ramp((width, s(1)), ((0.0, 0), (0.18, 150), (0.6, 230),
                                           (1.0, 40)))
    for y, level in ((BAND_TOP, 1.0), (BAND_BOTTOM - 1, 0.55)):
        line = Image.new("L", canvas.size, 0)
        line.paste(scaled_mask(ramp, level), (0, s(y)))
        soft = line.filter(ImageFilter.GaussianBlur(s(3)))
        canvas.paste(EDGE_LIGHT, (0, 0), scaled_mask(soft, 0.9))
        canvas.paste(EDGE_LIGHT, (0, 0), line)


def draw_title(canvas):
    """The product title "Tavrin Vexa" and its subtitle at the upper left."""
    left, top = 40, 44
    light = font(FONT_BOOK, 50)
    bold = font(FONT_BOLD, 50)
    first = "Tavrin"
    second = "Vexa"
    gap = 13
    mask_first = text_mask(canvas.size, (left, top), first, light)
    second_left = left + text_width(first, light) + gap
    mask_second = text_mask(canvas.size, (second_left, top), second, bold)
    both = ImageChops.lighter(mask_first, mask_second)
    # Shadow and a faint glow behind the letters.
    shadow = both.filter(ImageFilter.GaussianBlur(s(4)))
    shifted = Image.new("L", canvas.size, 0)
    shifted.paste(shadow, (s(2), s(3)))
    canvas.paste((0x03, 0x0C, 0x14), (0, 0), scaled_mask(shifted, 0.7))
    halo = both.filter(ImageFilter.GaussianBlur(s(14)))
    canvas.paste((0x5E, 0xA8, 0xD0), (0, 0), scaled_mask(halo, 0.25))
    # "Tavrin" in a cool light blue, "Vexa" in white with a slight sheen.
    canvas.paste((0xA9, 0xCC, 0xE0), (0, 0), mask_first)
    sheen = vertical_gradient(canvas.size, ((0.0, WHITE), (0.10, WHITE),
                                            (0.17, (0xD6, 0xE8, 0xF3)),
                                            (1.0, (0xD6, 0xE8, 0xF3))))
    canvas.paste(sheen, (0, 0), mask_second)
    # Accent rule and subtitle.
    rule_top = top + 70
    rule = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(rule).rectangle((s(left + 2), s(rule_top), s(left + 44),
                                    s(rule_top + 3) - 1), fill=255)
    canvas.paste(ACCENT, (0, 0), rule)
    sub = font(FONT_BOOK, 13)
    sub_mask = text_mask(canvas.size, (left + 56, rule_top - 7),
                         "INSTALLATION", sub, spacing=3.2)
    canvas.paste((0x9F, 0xC3, 0xD8), (0, 0), sub_mask)
    return ImageChops.lighter(ImageChops.lighter(both, rule), sub_mask)


def ribbon_curve(u, t, twist):
    """A point of the light ribbon: u runs along it, t (-1..1) across it."""
    x = lerp(345.0, 790.0, u)
    centre = (158 - 88 * smoothstep(u / 0.7) + 14 * math.sin(u * math.pi * 2)
              + 24 * smoothstep((u - 0.7) / 0.3))
    spread = 42 * math.cos(math.pi * (u * 1.25 - 0.18)) + 6
    y = centre + spread * t + twist * math.sin(math.pi * u) * (1 - t * t) * 8
    return x, y


def draw_streaks(canvas):
    """The abstract figure on the right: a twisting ribbon of light lines."""
    width, height = canvas.size
    rng = random.Random(NOISE_SEED)
    lines = Image.new("L", canvas.size, 0)
    hot = Image.new("L", canvas.size, 0)
    draw = ImageDraw.Draw(lines)
    hot_draw = ImageDraw.Draw(hot)
    count = 34
    steps = 260
    for k in range(count):
        t = lerp(-1.0, 1.0, k / (count - 1))
        twist = rng.uniform(-1.0, 1.0)
        strength = 0.45 + 0.55 * (1 - abs(t)) ** 0.7
        strength *= rng.uniform(0.75, 1.0)
        points = [ribbon_curve(i / steps, t, twist) for i in range(steps + 1)]
        for i, ((x0, y0), (x1, y1)) in enumerate(zip(points, points[1:])):
            u = i / steps
            fade = smoothstep(u / 0.4) * (1 - 0.5 * smoothstep((u - 0.75)
                                                                  / 0.25))
            level = int(255 * strength * fade * 0.5)
            if level:
                draw.line((s(x0), s(y0), s(x1), s(y1)), fill=level,
                          width=max(1, s(0.55)))
    # One brighter strand through the middle of the ribbon.
    points = [ribbon_curve(i / steps, 0.12, 0.0) for i in range(steps + 1)]
    for i, ((x0, y0), (x1, y1)) in enumerate(zip(points, points[1:])):
        u = i / steps
        level = int(255 * smoothstep((u - 0.1) / 0.45)
                    * (1 - smoothstep((u - 0.8) / 0.2)))
        if level:
            hot_draw.line((s(x0), s(y0), s(x1), s(y1)), fill=level,
                          width=s(1.4))
    # Keep the figure off the controls: clip to the space above the band
    # and around the Exit button.
    clip = Image.new("L", canvas.size, 255)
    clip_draw = ImageDraw.Draw(clip)
    clip_draw.rectangle((0, s(BAND_TOP - 8), width, height), fill=0)
    ex0, ey0, ex1, ey1 = EXIT_BUTTON
    clip_draw.ellipse((s(ex0 - 34), s(ey0 - 40), s(ex1 + 40), s(ey1 + 18)),
                      fill=0)
    clip = clip.filter(ImageFilter.GaussianBlur(s(8)))
    lines = ImageChops.multiply(lines, clip)
    hot = ImageChops.multiply(hot, clip)
    soft = ImageChops.lighter(lines, hot)
    soft = soft.filter(ImageFilter.GaussianBlur(s(6)))
    canvas.paste((0x3C, 0x9A, 0xD0), (0, 0), soft)
    bloom = hot.filter(ImageFilter.GaussianBlur(s(14)))
    canvas.paste((0x7F, 0xCF, 0xF5), (0, 0), scaled_mask(bloom, 0.8))
    canvas.paste(STREAK, (0, 0), lines)
    canvas.paste(WHITE, (0, 0), hot)
    return ImageChops.lighter(lines, hot)


def orbit_mask(size, centre, radii, angle, width, front):
    """One half of a tilted thin ellipse: the near (front) or far half."""
    cx, cy = centre
    rx, ry = radii
    pad = s(6)
    box = Image.new("L", (s(2 * rx) + 2 * pad, s(2 * rx) + 2 * pad), 0)
    bw, bh = box.size
    draw = ImageDraw.Draw(box)
    draw.ellipse((pad, bh // 2 - s(ry), bw - pad, bh // 2 + s(ry)),
                 outline=255, width=s(width))
    # The near half is the lower one before the tilt.
    if front:
        draw.rectangle((0, 0, bw, bh // 2), fill=0)
    else:
        draw.rectangle((0, bh // 2, bw, bh), fill=0)
    box = box.rotate(angle, resample=Image.Resampling.BICUBIC)
    layer = Image.new("L", size, 0)
    layer.paste(box, (s(cx) - bw // 2, s(cy) - bh // 2))
    return layer


def draw_logo(canvas):
    """The maker's emblem and "Tavrin" word mark at the lower left."""
    cx, cy, r = 60, 524, 17
    size = canvas.size
    orbit_radii, orbit_angle = (27, 7.5), 20
    # The far half of the orbit passes behind the disc.
    canvas.paste((0x9F, 0xD6, 0xF2), (0, 0),
                 scaled_mask(orbit_mask(size, (cx, cy), orbit_radii,
                                        orbit_angle, 1.6, False), 0.8))
    disc = Image.new("L", size, 0)
    ImageDraw.Draw(disc).ellipse((s(cx - r), s(cy - r), s(cx + r),
                                  s(cy + r)), fill=255)
    halo = disc.filter(ImageFilter.GaussianBlur(s(10)))
    canvas.paste((0x3A, 0x9C, 0xD2), (0, 0), scaled_mask(halo, 0.3))
    # A lit sphere: deep blue, brighter towards the upper left.
    canvas.paste((0x1A, 0x5E, 0x8A), (0, 0), disc)
    light = Image.new("L", size, 0)
    ImageDraw.Draw(light).ellipse((s(cx - r - 4), s(cy - r - 6), s(cx + 6),
                                   s(cy + 4)), fill=255)
    light = ImageChops.multiply(light.filter(ImageFilter.GaussianBlur(s(6))),
                                disc)
    canvas.paste((0x8C, 0xDC, 0xFA), (0, 0), light)
    # The cut: an offset dark disc leaves a crescent of light.
    cut = Image.new("L", size, 0)
    ImageDraw.Draw(cut).ellipse((s(cx - r + 8), s(cy - r + 5), s(cx + r + 6),
                                 s(cy + r + 3)), fill=255)
    cut = ImageChops.multiply(cut, disc)
    canvas.paste((0x0D, 0x27, 0x3A), (0, 0), cut)
    # The near half of the orbit crosses in front of it.
    canvas.paste((0xEE, 0xF8, 0xFF), (0, 0),
                 orbit_mask(size, (cx, cy), orbit_radii, orbit_angle, 2.0,
                            True))
    # Word mark.
    mark = font(FONT_BOLD, 25)
    mark_mask = text_mask(size, (cx + r + 22, cy - 16), "TAVRIN", mark,
                          spacing=3.0)
    shadow = mark_mask.filter(ImageFilter.GaussianBlur(s(2)))
    shifted = Image.new("L", size, 0)
    shifted.paste(shadow, (s(1), s(2)))
    canvas.paste((0x02, 0x0A, 0x10), (0, 0), scaled_mask(shifted, 0.6))
    canvas.paste((0xE4, 0xEE, 0xF4), (0, 0), mark_mask)
    orbit = orbit_mask(size, (cx, cy), orbit_radii, orbit_angle, 2.0, True)
    return ImageChops.lighter(ImageChops.lighter(disc, orbit), mark_mask)


def add_noise(image):
    """Adds ±1 of fixed-seed noise so the gradients do not band."""
    rng = random.Random(NOISE_SEED)
    width, height = image.size
    data = bytes(b % 3 for b in rng.randbytes(width * height))
    noise = Image.frombytes("L", image.size, data).convert("RGB")
    return ImageChops.add(image, noise, scale=1.0, offset=-1)


def control_rects():
    """Every rectangle of the face that a control of the dialog covers."""
    for x0, x1 in BUTTON_COLUMNS:
        for y in BUTTON_ROWS:
            yield (x0, y, x1, y + BUTTON_HEIGHT)
    yield LANGUAGE_BUTTON
    yield EXIT_BUTTON
    yield DESCRIPTION_AREA


def assert_clear_of_controls(name, mask):
    """Fails when a figure's mask reaches into a control's rectangle."""
    for rect in control_rects():
        x0, y0, x1, y1 = (s(v) for v in rect)
        strongest = mask.crop((x0, y0, x1, y1)).getextrema()[1]
        if strongest > FIGURE_TOLERANCE:
            raise AssertionError("%s reaches into the controls at %s"
                                 % (name, rect))


def make_main_face():
    """The face of the main menu dialog."""
    width, height = MAIN_FACE_SIZE
    canvas = Image.new("RGB", (s(width), s(height)))
    draw_background(canvas)
    streaks = draw_streaks(canvas)
    draw_band(canvas)
    title = draw_title(canvas)
    logo = draw_logo(canvas)
    for name, mask in (("the ribbon", streaks), ("the title", title),
                       ("the logo", logo)):
        assert_clear_of_controls(name, mask)
    face = canvas.resize(MAIN_FACE_SIZE, Image.Resampling.LANCZOS)
    face = add_noise(face)
    # The dialog cuts 0xFF00FF out of its window region; the face must not
    # hold a single such pixel or the window would get holes.
    if MAGENTA in set(face.getdata()):
        raise AssertionError("main face holds the transparent colour")
    return face


# ---------------------------------------------------------------------------
# The icon

def draw_icon_master(size):
    """The emblem at 8x the given size as RGBA: a light "V" on dark blue."""
    big = size * 8
    scale = big / 32.0

    def p(v):
        return v * scale

    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    tile = Image.new("L", (big, big), 0)
    inset = 1 if size >= 32 else 0.5
    ImageDraw.Draw(tile).rounded_rectangle(
        (p(inset), p(inset), big - 1 - p(inset), big - 1 - p(inset)),
        radius=p(6), fill=255)
    ground = vertical_gradient((big, big), ((0.0, (0x2A, 0x62, 0x84)),
                                            (1.0, (0x0A, 0x21, 0x33))))
    image.paste(ground.convert("RGBA"), (0, 0), tile)
    edge = Image.new("L", (big, big), 0)
    ImageDraw.Draw(edge).rounded_rectangle(
        (p(inset), p(inset), big - 1 - p(inset), big - 1 - p(inset)),
        radius=p(6), outline=255, width=max(1, int(p(1))))
    image.paste((0x05, 0x10, 0x19, 255), (0, 0), edge)
    # The "V": a left stroke in accent blue, a right stroke in white, with
    # flat tops; the small icon gets heavier strokes.
    vee = ImageDraw.Draw(image)
    if size >= 32:
        left, inner, top, bottom, notch, foot = 6.5, 11.6, 7.0, 25.5, 19.2, 2.6
    else:
        left, inner, top, bottom, notch, foot = 5.0, 11.0, 6.0, 26.0, 20.0, 2.8
    mid = 16.0
    right = 2 * mid - left
    vee.polygon([(p(left), p(top)), (p(inner), p(top)), (p(mid), p(notch)),
                 (p(mid), p(bottom)), (p(mid - foot), p(bottom))],
                fill=(0x5F, 0xC4, 0xF0, 255))
    vee.polygon([(p(mid), p(notch)), (p(2 * mid - inner), p(top)),
                 (p(right), p(top)), (p(mid + foot), p(bottom)),
                 (p(mid), p(bottom))], fill=(0xFF, 0xFF, 0xFF, 255))
    return image


def icon_pixels(size, bpp):
    """Reduces the emblem to a palette image: (indices, palette, opaque)."""
    master = draw_icon_master(size)
    small = master.resize((size, size), Image.Resampling.LANCZOS)
    alpha = small.getchannel("A")
    opaque = [a >= 128 for a in alpha.getdata()]
    solid = Image.new("RGB", small.size, (0x0A, 0x21, 0x33))
    solid.paste(small.convert("RGB"), (0, 0), alpha)
    colours = (1 << bpp) - 1     # the last entry is kept for black
    quantised = solid.quantize(colors=colours,
                               method=Image.Quantize.MEDIANCUT,
                               dither=Image.Dither.NONE)
    raw = quantised.getpalette()[:3 * colours]
    palette = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    palette += [(0, 0, 0)] * (colours - len(palette))
    black = colours
    palette.append((0, 0, 0))
    indices = [index if keep else black
               for index, keep in zip(quantised.getdata(), opaque)]
    return indices, palette, opaque


def make_icon():
    """The icon group: 32x32 in 16 and 256 colours, 16x16 in 16 colours."""
    entries = []
    for size, bpp in ((32, 4), (32, 8), (16, 4)):
        indices, palette, opaque = icon_pixels(size, bpp)
        entries.append((size, bpp, icon_image_bytes(indices, palette, opaque,
                                                    size, bpp)))
    return ico_bytes(entries)


# ---------------------------------------------------------------------------

def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = (argv[1] if len(argv) > 1
           else os.path.join(here, "..", "src", "res", "pictures"))
    os.makedirs(out, exist_ok=True)
    pictures = {
        "MainFace.bmp": make_main_face(),
        "SmallFace.bmp": make_small_face(),
        "TextStrip.bmp": make_text_strip(),
        "ExitStrip.bmp": make_exit_strip(),
    }
    for name, image in pictures.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp24_bytes(image))
    with open(os.path.join(out, "Menu.ico"), "wb") as f:
        f.write(make_icon())
    print("wrote %d files to %s" % (len(pictures) + 1, os.path.normpath(out)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
