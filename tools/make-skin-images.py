#!/usr/bin/env python3
"""Draws the skin's images and the program's icons.

    tools/make-skin-images.py [--skin DIR] [--icons DIR] [--check]

Writes every PNG that the skin archive carries into skin/ and the icon
groups 107 and 108 into res/icons/. Each picture but the shadow also comes at
150 % and 200 % ("home@1.5x.png", "home@2x.png"), drawn from the same shapes,
for displays at those scalings. The output is the same on every run (no
timestamps, fixed compression). With --check nothing is written: the files
on disk are compared with what the generator draws (PNG pixels after
decompression, so another zlib build does not matter) and any difference
fails, which keeps the committed pictures and their generator together.
Standard library only.

Each picture is built from shapes given as signed distance functions and
rendered with 4x4 supersampling, which gives clean anti-aliased edges at
these small sizes without any drawing library.
"""

import argparse
import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4

# Pictures for high-density displays ("name@2x.png" beside "name.png") are
# the same shapes drawn on a canvas this many times larger: the shapes keep
# their 100 % coordinates, so every edge is drawn, not enlarged.
SCALE = 1.0
VARIANTS = (("@1.5x", 1.5), ("@2x", 2.0))

# Palette shared by the pictures so that they read as one set.
TITLE_GLYPH = (0xD8, 0xD8, 0xDC, 255)   # glyphs on the dark title bar
TITLE_GLYPH_HOT = (0xFF, 0xFF, 0xFF, 255)
TITLE_TEXT = (0xF9, 0xF9, 0xF9, 255)     # same as the title bar's text colour
BRAND = (0x2D, 0x8C, 0xF0, 255)
BRAND_HOT = (0x4F, 0xA3, 0xF5, 255)
BRAND_DOWN = (0x1F, 0x6F, 0xC8, 255)
CLOSE_HOT = (0xE8, 0x11, 0x23, 255)
CLOSE_DOWN = (0xB0, 0x0D, 0x1A, 255)
WHITE = (0xFF, 0xFF, 0xFF, 255)
CHECK_BORDER = (0xB4, 0xB4, 0xB4, 255)


# ---------------------------------------------------------------- shapes

def sd_box(px, py, cx, cy, hw, hh, r=0.0):
    """Signed distance to a rounded box centred at (cx, cy)."""
    qx = abs(px - cx) - hw + r
    qy = abs(py - cy) - hh + r
    ox, oy = max(qx, 0.0), max(qy, 0.0)
    return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r


def sd_segment(px, py, ax, ay, bx, by):
    """Distance to the segment a-b."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def line(ax, ay, bx, by, width):
    return lambda x, y: sd_segment(x, y, ax, ay, bx, by) - width / 2.0


def polyline(points, width):
    segments = list(zip(points, points[1:]))
    return lambda x, y: min(sd_segment(x, y, a[0], a[1], b[0], b[1]) for a, b in segments) - width / 2.0


def box(left, top, right, bottom, r=0.0):
    cx, cy = (left + right) / 2.0, (top + bottom) / 2.0
    hw, hh = (right - left) / 2.0, (bottom - top) / 2.0
    return lambda x, y: sd_box(x, y, cx, cy, hw, hh, r)


def outline(shape, width):
    """The band of the given width centred on a shape's edge."""
    return lambda x, y: abs(shape(x, y)) - width / 2.0


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def polygon(points):
    """Signed distance to a simple polygon (negative inside)."""
    def sd(x, y):
        d = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            d = min(d, sd_segment(x, y, ax, ay, bx, by))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d
    return sd


# ---------------------------------------------------------------- canvas

class Canvas:
    """Straight (not premultiplied) RGBA pixels, composited with 'over'."""

    def __init__(self, width, height):
        self.scale = SCALE
        # Half up, as the window rounds a scaled size.
        width, height = int(math.floor(width * SCALE + 0.5)), int(math.floor(height * SCALE + 0.5))
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def fill(self, shape, colour):
        r, g, b, a = (c / 255.0 for c in colour)
        step = 1.0 / SUPERSAMPLE
        offsets = [(i + 0.5) * step for i in range(SUPERSAMPLE)]
        k = self.scale
        # The shapes are distance bounds: a pixel whose centre lies further
        # from the edge than its samples do is wholly inside or outside.
        margin = 0.75 / k
        full = SUPERSAMPLE * SUPERSAMPLE
        for y in range(self.height):
            for x in range(self.width):
                centre = shape((x + 0.5) / k, (y + 0.5) / k)
                if centre > margin:
                    continue
                if centre < -margin:
                    hits = full
                else:
                    hits = 0
                    for oy in offsets:
                        for ox in offsets:
                            if shape((x + ox) / k, (y + oy) / k) <= 0.0:
                                hits += 1
                if hits:
                    self.blend(x, y, r, g, b, a * hits / (SUPERSAMPLE * SUPERSAMPLE))

    def blend(self, x, y, r, g, b, a):
        p = self.pixels[y * self.width + x]
        out_a = a + p[3] * (1.0 - a)
        if out_a <= 0.0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = (c * a + p[i] * p[3] * (1.0 - a)) / out_a
        p[3] = out_a

    def put(self, x, y, colour, alpha):
        self.pixels[y * self.width + x] = [colour[0] / 255.0, colour[1] / 255.0, colour[2] / 255.0, alpha]

    def rgba_rows(self):
        rows = []
        for y in range(self.height):
            row = bytearray()
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                a8 = int(round(a * 255))
                if a8 == 0:
                    row += b"\0\0\0\0"  # fully transparent pixels carry no colour
                else:
                    row += bytes((int(round(r * 255)), int(round(g * 255)), int(round(b * 255)), a8))
            rows.append(bytes(row))
        return rows


# ---------------------------------------------------------------- file formats

def png_bytes(canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def lzw_codes(indices, min_size):
    """The LZW code stream of a GIF image's colour indices, packed least
    significant bit first."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, bits, nbits = bytearray(), 0, 0

    def emit(code, size):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    def fresh():
        return {bytes((i,)): i for i in range(clear)}, end + 1, min_size + 1

    table, next_code, size = fresh()
    emit(clear, size)
    word = b""
    for index in indices:
        longer = word + bytes((index,))
        if longer in table:
            word = longer
            continue
        emit(table[word], size)
        if next_code < 4096:
            table[longer] = next_code
            next_code += 1
            # The reader adds each entry one code later than the writer, so
            # it widens its codes one code later too.
            if next_code - 1 == (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = fresh()
        word = bytes((index,))
    if word:
        emit(table[word], size)
    emit(end, size)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif_bytes(frames, delay):
    """An animated GIF that loops for ever: opaque frames sharing one
    palette of the colours they use."""
    width, height = frames[0].width, frames[0].height
    rows = [b"".join(f.rgba_rows()) for f in frames]
    colours = sorted({bytes(r[i:i + 3]) for r in rows for i in range(0, len(r), 4)})
    if len(colours) > 256:
        raise ValueError("loading frames use %d colours, more than a GIF holds" % len(colours))
    palette = b"".join(colours) + b"\0\0\0" * (256 - len(colours))
    index = {c: i for i, c in enumerate(colours)}
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF7, 0, 0) + palette
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for r in rows:
        out += b"\x21\xF9\x04" + struct.pack("<BHBB", 0, delay, 0, 0)
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        data = lzw_codes([index[bytes(r[i:i + 3])] for i in range(0, len(r), 4)], 8)
        out += b"\x08" + b"".join(bytes((len(data[i:i + 255]),)) + data[i:i + 255]
                                  for i in range(0, len(data), 255)) + b"\0"
    return out + b"\x3B"


def ico_bytes(canvases):
    """An icon file of 32-bit DIB images (with the 1-bit AND mask that
    older loaders still expect), one per canvas."""
    images = []
    for c in canvases:
        rows = c.rgba_rows()
        xor = bytearray()
        for row in reversed(rows):  # DIBs are stored bottom-up
            for i in range(0, len(row), 4):
                r, g, b, a = row[i:i + 4]
                xor += bytes((b, g, r, a))
        mask_stride = ((c.width + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x in range(c.width):
                if row[4 * x + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, c.width, c.height * 2, 1, 32, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        images.append((c.width, c.height, header + bytes(xor) + bytes(mask)))

    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


# ---------------------------------------------------------------- pictures

def title_button(glyph, background, glyph_colour):
    """A 28x30 title-bar button: an optional state background behind a glyph
    drawn in a 10x10 box centred on the button."""
    c = Canvas(28, 30)
    if background is not None:
        c.fill(box(0, 0, 28, 30), background)
    c.fill(glyph, glyph_colour)
    return c


def glyph_close():
    return union(line(9.5, 10.5, 18.5, 19.5, 1.4), line(18.5, 10.5, 9.5, 19.5, 1.4))


def glyph_max():
    return outline(box(9.5, 10.5, 18.5, 19.5), 1.2)


def glyph_restore():
    back = outline(box(11.5, 9.5, 19.5, 17.5), 1.2)
    front = box(8.5, 12.5, 16.5, 20.5)
    return union(subtract(back, box(8.0, 12.0, 17.0, 21.0)), outline(front, 1.2))


def glyph_min():
    return line(9.5, 15.5, 18.5, 15.5, 1.4)


def title_button_states(name, glyph):
    hot_bg = CLOSE_HOT if name == "close" else (0xFF, 0xFF, 0xFF, 0x2E)
    down_bg = CLOSE_DOWN if name == "close" else (0xFF, 0xFF, 0xFF, 0x1A)
    return {
        f"btn_{name}_nor.png": title_button(glyph, None, TITLE_GLYPH),
        f"btn_{name}_hot.png": title_button(glyph, hot_bg, TITLE_GLYPH_HOT),
        f"btn_{name}_down.png": title_button(glyph, down_bg, TITLE_GLYPH_HOT),
    }


def link_glyph(size, width):
    """Two interlocking chain links on the diagonal: the product's mark."""
    s = size / 24.0
    angle = -math.pi / 4
    ca, sa = math.cos(angle), math.sin(angle)

    def rotated(shape):
        cx = cy = size / 2.0
        return lambda x, y: shape(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca)

    link_a = outline(box(2.5 * s, 8.0 * s, 14.0 * s, 16.0 * s, 4.0 * s), width * s)
    link_b = outline(box(10.0 * s, 8.0 * s, 21.5 * s, 16.0 * s, 4.0 * s), width * s)
    return rotated(union(link_a, link_b))


def logo(size, tile_colour):
    c = Canvas(size, size)
    s = size / 24.0
    c.fill(box(0.5 * s, 0.5 * s, 23.5 * s, 23.5 * s, 5.0 * s), tile_colour)
    c.fill(link_glyph(size, 2.2), WHITE)
    return c


def home():
    c = Canvas(18, 18)
    roof = polyline([(2.0, 9.0), (9.0, 2.5), (16.0, 9.0)], 1.6)
    walls = subtract(outline(box(4.5, 8.0, 13.5, 15.5), 1.5), box(4.0, 5.0, 14.0, 8.3))
    door = box(7.6, 10.8, 10.4, 15.5)
    c.fill(union(roof, walls, door), TITLE_TEXT)
    return c


def call():
    """A speech bubble with three dots: "contact us"."""
    c = Canvas(18, 18)
    bubble = union(box(1.5, 3.0, 16.5, 13.0, 3.0), polygon([(4.0, 12.0), (4.0, 16.5), (8.5, 12.0)]))
    dots = union(circle(5.5, 8.0, 1.2), circle(9.0, 8.0, 1.2), circle(12.5, 8.0, 1.2))
    c.fill(subtract(bubble, dots), TITLE_TEXT)
    return c


def blue_button(colour):
    c = Canvas(72, 26)
    c.fill(box(0, 0, 72, 26, 3.0), colour)
    return c


def check_box(selected):
    c = Canvas(16, 16)
    frame = box(0.5, 0.5, 15.5, 15.5, 2.0)
    if selected:
        c.fill(frame, BRAND)
        c.fill(polyline([(3.8, 8.2), (6.7, 11.0), (12.3, 5.0)], 1.8), WHITE)
    else:
        c.fill(frame, WHITE)
        c.fill(outline(box(1.0, 1.0, 15.0, 15.0, 1.5), 1.0), CHECK_BORDER)
    return c


def aero():
    """The drop shadow stretched around both windows.

    The window covers the image except a band of 5 pixels left and top,
    9 right and 11 bottom (the larger "shadowborder" of the two windows);
    the shadow falls from a soft dark edge at the window's border to
    nothing on the image's outermost pixels (a hard outer edge would show
    as a frame), deeper below and to the right as if lit
    from the upper left. The corners (10,10,10,11) hold the whole fall-off,
    so the nine-grid stretches only the flat middle parts."""
    width, height = 40, 41
    left, top, right, bottom = 5, 5, 9, 11
    inner = (left, top, width - right, height - bottom)
    peak = 0x58 / 255.0
    c = Canvas(width, height)
    for y in range(height):
        for x in range(width):
            px, py = x + 0.5, y + 0.5
            tx = ty = 0.0
            if px < inner[0]:
                tx = (inner[0] - px) / (left - 0.5)
            elif px > inner[2]:
                tx = (px - inner[2]) / (right - 0.5)
            if py < inner[1]:
                ty = (inner[1] - py) / (top - 0.5)
            elif py > inner[3]:
                ty = (py - inner[3]) / (bottom - 0.5)
            t = min(1.0, math.hypot(tx, ty))
            fall = (1.0 - t) ** 2 * (1.0 + 2.0 * t)  # smooth at both ends
            c.put(x, y, (0, 0, 0), peak * fall)
    return c


def turned(shape, cx, cy, degrees):
    """The shape turned clockwise (on screen) about (cx, cy)."""
    a = math.radians(degrees)
    ca, sa = math.cos(a), math.sin(a)
    return lambda x, y: shape(cx + (x - cx) * ca + (y - cy) * sa, cy - (x - cx) * sa + (y - cy) * ca)


def rocket():
    """The loading panel's picture: a rocket taking off to the upper right
    over a pale disc, in the brand's colours."""
    c = Canvas(223, 207)
    cx, cy = 111.5, 103.5
    c.fill(circle(cx, cy, 96.0), (0xE8, 0xF2, 0xFE, 255))
    body = union(box(cx - 21, cy - 36, cx + 21, cy + 36, 8.0),
                 polygon([(cx - 21, cy - 30), (cx, cy - 74), (cx + 21, cy - 30)]))
    fins = union(polygon([(cx - 20, cy + 2), (cx - 44, cy + 40), (cx - 44, cy + 50), (cx - 20, cy + 34)]),
                 polygon([(cx + 20, cy + 2), (cx + 44, cy + 40), (cx + 44, cy + 50), (cx + 20, cy + 34)]),
                 box(cx - 4, cy + 10, cx + 4, cy + 50, 4.0))
    flame = polygon([(cx - 15, cy + 38), (cx, cy + 84), (cx + 15, cy + 38)])
    core = polygon([(cx - 7, cy + 38), (cx, cy + 64), (cx + 7, cy + 38)])
    tilt = 45
    c.fill(turned(flame, cx, cy, tilt), (0xFF, 0x9F, 0x1C, 255))
    c.fill(turned(core, cx, cy, tilt), (0xFF, 0xE0, 0x6A, 255))
    c.fill(turned(fins, cx, cy, tilt), BRAND_DOWN)
    c.fill(turned(body, cx, cy, tilt), BRAND)
    c.fill(turned(circle(cx, cy - 16, 12.0), cx, cy, tilt), WHITE)
    c.fill(turned(circle(cx, cy - 16, 7.5), cx, cy, tilt), (0xBF, 0xDF, 0xFF, 255))
    return c


# The loading bar: a pale track with a brand-coloured run going round it,
# this many frames of this many hundredths of a second each.
LOADING_FRAMES = 25
LOADING_DELAY = 4


def loading_frames():
    """The frames of loading.gif, opaque on the panel's white."""
    width, height, run = 200, 9, 56
    frames = []
    for i in range(LOADING_FRAMES):
        c = Canvas(width, height)
        c.fill(box(0, 0, width, height), WHITE)
        c.fill(box(0, 0, width, height, height / 2.0), (0xE3, 0xE9, 0xF2, 255))
        # The run enters at the left and leaves at the right, then again.
        left = -run + (width + run) * i / LOADING_FRAMES
        track = box(0, 0, width, height, height / 2.0)
        moving = box(left, 0, left + run, height, height / 2.0)
        c.fill(lambda x, y: max(track(x, y), moving(x, y)), BRAND)
        frames.append(c)
    return frames


def loading_animations():
    """(suffix, frames) of loading.gif and its larger animations."""
    global SCALE
    animations = []
    for suffix, scale in (("", 1.0),) + VARIANTS:
        SCALE = scale
        try:
            animations.append((suffix, loading_frames()))
        finally:
            SCALE = 1.0
    return animations


def skin_images():
    global SCALE
    images = {"Aero.png": aero()}  # a soft shadow: resizing it loses nothing
    for suffix, scale in (("", 1.0),) + VARIANTS:
        SCALE = scale
        try:
            pictures = scalable_skin_images()
        finally:
            SCALE = 1.0
        for name, canvas in pictures.items():
            stem, extension = os.path.splitext(name)
            images[stem + suffix + extension] = canvas
    return images


def scalable_skin_images():
    images = {
        "rocket.png": rocket(),
        "logo.png": logo(24, BRAND),
        "home.png": home(),
        "call.png": call(),
        "blue_nor.png": blue_button(BRAND),
        "blue_hot.png": blue_button(BRAND_HOT),
        "blue_down.png": blue_button(BRAND_DOWN),
        "cb_nor.png": check_box(False),
        "cb_sel.png": check_box(True),
    }
    images.update(title_button_states("close", glyph_close()))
    images.update(title_button_states("max", glyph_max()))
    images.update(title_button_states("min", glyph_min()))
    images.update(title_button_states("restore", glyph_restore()))
    return images


def icons():
    # 107 is the main window's icon; 108 is the same mark on a dark tile.
    sizes = (16, 24, 32, 48)
    return {
        "Vornex107.ico": [logo(s, BRAND) for s in sizes],
        "Vornex108.ico": [logo(s, (0x25, 0x1F, 0x29, 255)) for s in sizes],
    }


def png_raw_pixels(data):
    """The decompressed scanlines of a PNG written by png_bytes, or None."""
    if not data.startswith(b"\x89PNG\r\n\x1a\n"):
        return None
    at, header, idat = 8, None, b""
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    try:
        return header, zlib.decompress(idat)
    except zlib.error:
        return None


def check(path, expected, kind):
    """True when the file on disk holds what the generator draws."""
    try:
        with open(path, "rb") as f:
            actual = f.read()
    except OSError:
        print(f"{path}: missing")
        return False
    same = (png_raw_pixels(actual) == png_raw_pixels(expected)) if kind == "png" else actual == expected
    if not same:
        print(f"{path}: differs from what tools/make-skin-images.py draws")
    return same


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--skin", default=os.path.join(root, "skin"))
    parser.add_argument("--icons", default=os.path.join(root, "res", "icons"))
    parser.add_argument("--check", action="store_true",
                        help="compare the files on disk with the drawing instead of writing them")
    args = parser.parse_args()
    outputs = [(os.path.join(args.skin, name), png_bytes(canvas), "png")
               for name, canvas in sorted(skin_images().items())]
    outputs += [(os.path.join(args.skin, "loading%s.gif" % suffix), gif_bytes(frames, LOADING_DELAY), "gif")
                for suffix, frames in loading_animations()]
    outputs += [(os.path.join(args.icons, name), ico_bytes(canvases), "ico")
                for name, canvases in sorted(icons().items())]
    if args.check:
        results = [check(path, data, kind) for path, data, kind in outputs]
        return 0 if all(results) else 1
    os.makedirs(args.skin, exist_ok=True)
    os.makedirs(args.icons, exist_ok=True)
    for path, data, _ in outputs:
        write(path, data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
