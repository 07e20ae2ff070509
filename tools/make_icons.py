#!/usr/bin/env python3
"""Draws Pavix's icons and writes them as .ico files (standard library only).

    make_icons.py [OUTPUT_DIR]      (default: resources/icons beside this script's parent)
    make_icons.py --hicolor DIR NAME
                                    the program's picture as DIR/<size>x<size>/apps/NAME.png for
                                    the icon theme, at the sizes desktops ask for (HICOLOR_SIZES)

pavix.ico     group 101, the program's file icon: a key cap carrying two chevrons.
              32x32 1-bit, 16x16 24-bit, 16x16 4-bit.
idle.ico      group 110: a white disc under a white horizontal bar.
seeking.ico   group 111: a red disc above a white horizontal bar.
disabled.ico  group 112: a grey disc crossed by a white X.
              Each tray picture at 48, 32, 24, 20 and 16 pixels, in 32-bit BGRA and in 4-bit: the
              small icon's size at 100, 125, 150 and 200 % display scaling has an image of its own.

Every picture is a stack of opaque layers, each a shape given by its signed distance function,
sampled on a grid of points per pixel. The true-colour images take their alpha from the covered
share of the samples, so their outer edges are anti-aliased; larger ones blend the colours too.
The palette images, and the colours of the 16-pixel true-colour ones, give each pixel to the layer
that owns most of its samples, which keeps small features crisp instead of smearing them. The output depends
on nothing but this file, so running it again reproduces the committed icons byte for byte.
"""
import math
import os
import struct
import sys
import zlib

SAMPLES = 8  # per pixel and axis

# The sixteen colours every display can show, in the order of the standard 4-bit palette.
VGA16 = ((0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
         (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
         (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
         (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255))
MONO = ((0, 0, 0), (255, 255, 255))


# ---- Shapes: signed distance functions, negative inside, in the units of the design ----

def disc(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def stroke(x0, y0, x1, y1, radius):
    """A straight stroke with round ends."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def sdf(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / length2
        t = min(1.0, max(0.0, t))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) - radius
    return sdf


def rounded_rect(left, top, right, bottom, radius):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return sdf


def union(*shapes):
    return lambda x, y: min(shape(x, y) for shape in shapes)


def grown(shape, amount):
    return lambda x, y: shape(x, y) - amount


# ---- Pictures: lists of (shape, colour) from bottom to top, in pixel units ----

WHITE = (255, 255, 255)
OUTLINE = (20, 20, 24)
RED = (232, 36, 36)
GREY = (146, 146, 150)


def tray_outline_width(size):
    """About one pixel at 16 and a little more when larger: enough to separate the white parts
    from a light taskbar without swallowing them at the smallest size. Up to 24 pixels it is one
    unit of the design, so that the outline of the bar fills the edge row of the icon."""
    return {16: 1.0, 20: 1.25, 24: 1.5, 32: 1.5}.get(size, size / 24)


def bar_and_disc(size, disc_colour, disc_on_top):
    """Designed on a 16-unit grid whose straight edges fall on pixel edges at every size: at 16
    pixels the outline takes the first and last row, the bar three rows, the disc ten rows, with
    one row of outline between them."""
    unit = size / 16
    bar_top, disc_centre = (12, 6) if disc_on_top else (1, 10)
    bar_middle = (bar_top + 1.5) * unit
    bar = stroke(3.5 * unit, bar_middle, 12.5 * unit, bar_middle, 1.5 * unit)
    ball = disc(8 * unit, disc_centre * unit, 5 * unit)
    edge = grown(union(bar, ball), tray_outline_width(size))
    return [(edge, OUTLINE), (bar, WHITE), (ball, disc_colour)]


def idle_picture(size):
    return bar_and_disc(size, WHITE, disc_on_top=False)


def seeking_picture(size):
    return bar_and_disc(size, RED, disc_on_top=True)


def disabled_picture(size):
    unit = size / 16
    width = tray_outline_width(size)
    ball = disc(8 * unit, 8 * unit, 7 * unit)
    low, high, half = 4.5 * unit, 11.5 * unit, 1.2 * unit
    cross = union(stroke(low, low, high, high, half), stroke(high, low, low, high, half))
    return [(grown(ball, width), OUTLINE), (ball, GREY),
            (grown(cross, width), OUTLINE), (cross, WHITE)]


KEY_EDGE = (36, 40, 52)
KEY_SIDE = (168, 172, 182)
KEY_RIM = (112, 118, 130)
KEY_FACE = (250, 250, 252)
CHEVRON = (32, 72, 216)


def chevron(points, radius):
    return union(*(stroke(*points[i], *points[i + 1], radius) for i in range(len(points) - 1)))


def program_picture(size):
    """A key cap seen from the front: dark edge, lighter side with a deeper lip at the bottom,
    and the top face carrying two right-pointing chevrons, a sequence moving on. The 16-pixel
    drawing drops the rim line, which would be half a pixel there, and places the chevrons' 45
    degree strokes two pixels wide on whole pixels with a blunt two-row tip."""
    if size == 32:
        body = rounded_rect(2, 3, 30, 29, 5)
        marks = [chevron([(x, 8.75), (x + 5, 13.75), (x, 18.75)], 1.3) for x in (10.25, 16.25)]
        return [(body, KEY_EDGE),
                (grown(body, -1.5), KEY_SIDE),
                (rounded_rect(5.5, 5, 26.5, 22.5, 3.5), KEY_RIM),
                (rounded_rect(6.5, 6, 25.5, 21.5, 2.5), KEY_FACE),
                (union(*marks), CHEVRON)]
    body = rounded_rect(1, 1.5, 15, 15, 2.5)
    marks = [chevron([(x, 4.5), (x + 2, 6.5), (x + 2, 7.5), (x, 9.5)], 0.72) for x in (5, 9)]
    return [(body, KEY_EDGE),
            (grown(body, -1), KEY_SIDE),
            (rounded_rect(3, 2.5, 13, 11.5, 1.5), KEY_FACE),
            (union(*marks), CHEVRON)]


# ---- Rasterising ----

def sample_owners(picture, size, samples=SAMPLES):
    """For each pixel, the index of the topmost layer under each sample (-1: none)."""
    offsets = [(i + 0.5) / samples for i in range(samples)]
    pixels = []
    for row in range(size):
        for column in range(size):
            owners = []
            for oy in offsets:
                for ox in offsets:
                    x, y = column + ox, row + oy
                    owner = -1
                    for index in range(len(picture) - 1, -1, -1):
                        if picture[index][0](x, y) <= 0:
                            owner = index
                            break
                    owners.append(owner)
            pixels.append(owners)
    return pixels


def majority(samples):
    """The layer that owns most samples; between layers a tie goes to the upper one, so thin
    strokes drawn over a fill survive. A pixel only half covered goes to the background (-1),
    so round edges get no stray single pixels."""
    counts = {}
    for owner in samples:
        counts[owner] = counts.get(owner, 0) + 1
    return max(counts, key=lambda owner: (counts[owner], owner if owner >= 0 else 1 << 16))


def smooth_pixels(picture, owners, crisp_inside):
    """Straight (not premultiplied) RGBA, 0-255, rows from the top. Alpha is the covered share
    of the samples. The colour is the covered samples' average, or with crisp_inside the colour
    of the layer owning most of them: at 16 pixels a blended edge between two layers is a grey
    smear, while a smooth outer edge still looks right."""
    result = []
    for samples in owners:
        covered = [owner for owner in samples if owner >= 0]
        if not covered:
            result.append((0, 0, 0, 0))
            continue
        alpha = round(255 * len(covered) / len(samples))
        if crisp_inside:
            result.append(picture[majority(covered)][1] + (alpha,))
            continue
        colours = [picture[owner][1] for owner in covered]
        result.append(tuple(round(sum(colour[c] for colour in colours) / len(colours))
                            for c in range(3)) + (alpha,))
    return result


def hard_pixels(picture, owners):
    """The majority layer's colour per pixel, or None where the background wins."""
    result = []
    for samples in owners:
        winner = majority(samples)
        result.append(None if winner < 0 else picture[winner][1])
    return result


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][c] - colour[c]) ** 2 for c in range(3)))


# ---- Icon image encoding: BITMAPINFOHEADER, palette, XOR bitmap, AND mask ----

def row_stride(size, bits):
    return (size * bits + 31) // 32 * 4


def pack_rows(size, bits, values):
    """Bottom-up rows of values of the given bit width, each row padded to 4 bytes."""
    data = bytearray()
    for row in range(size - 1, -1, -1):
        line = bytearray(row_stride(size, bits))
        for column in range(size):
            value = values[row * size + column]
            if bits == 32:
                line[column * 4:column * 4 + 4] = bytes(value)
            elif bits == 24:
                line[column * 3:column * 3 + 3] = bytes(value)
            else:
                bit = column * bits
                line[bit // 8] |= value << (8 - bits - bit % 8)
        data += line
    return bytes(data)


def icon_image(size, bits, colours, transparent, palette=()):
    """colours: per pixel a palette index (bits <= 8), (B, G, R) or (B, G, R, A).
    transparent: per pixel True where the AND mask lets the background through."""
    xor = pack_rows(size, bits, colours)
    mask = pack_rows(size, 1, [1 if clear else 0 for clear in transparent])
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + xor + mask


def true_colour_image(picture, size):
    """32-bit BGRA with alpha. The mask, used only where alpha is ignored, keeps the pixels
    that are at least half covered."""
    pixels = smooth_pixels(picture, sample_owners(picture, size), crisp_inside=size <= 16)
    colours = [(b, g, r, a) if a else (0, 0, 0, 0) for r, g, b, a in pixels]
    return icon_image(size, 32, colours, [a < 128 for _, _, _, a in pixels])


def rgb_image(picture, size):
    """24-bit without alpha: the smooth colours inside, a hard mask at the outer edge."""
    pixels = smooth_pixels(picture, sample_owners(picture, size), crisp_inside=size <= 16)
    clear = [a < 128 for _, _, _, a in pixels]
    colours = [(0, 0, 0) if off else (b, g, r) for (r, g, b, _), off in zip(pixels, clear)]
    return icon_image(size, 24, colours, clear)


def palette_image(picture, size, palette):
    bits = 4 if len(palette) == 16 else 1
    pixels = hard_pixels(picture, sample_owners(picture, size))
    colours = [0 if colour is None else nearest(palette, colour) for colour in pixels]
    return icon_image(size, bits, colours, [colour is None for colour in pixels], palette)


def ico_file(images):
    """images: (size, bits, image bytes) in directory order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    body = b""
    for size, bits, data in images:
        colour_count = 1 << bits if bits < 8 else 0
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0,
                                 1, bits, len(data), offset + len(body))
        body += data
    return directory + body


def tray_icon(draw):
    images = []
    for size in (48, 32, 24, 20, 16):
        picture = draw(size)
        images.append((size, 32, true_colour_image(picture, size)))
        images.append((size, 4, palette_image(picture, size, VGA16)))
    return ico_file(images)


def program_icon():
    large, small = program_picture(32), program_picture(16)
    return ico_file([(32, 1, palette_image(large, 32, MONO)),
                     (16, 24, rgb_image(small, 16)),
                     (16, 4, palette_image(small, 16, VGA16))])


# The menus' and launchers' sizes, the docks' and the software centres' (64 and 128).
HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def scaled(picture, factor):
    return [(lambda x, y, shape=shape: shape(x / factor, y / factor) * factor, colour)
            for shape, colour in picture]


def theme_picture(size):
    """The drawing of the .ico at 16 and 32; between them the 16-pixel design enlarged, above
    them the 32-pixel one."""
    design = 16 if size < 32 else 32
    return scaled(program_picture(design), size / design)


def png_file(size):
    """RGBA, 8 bits a channel; fewer samples per pixel at the large sizes, whose edges cover
    several pixels anyway."""
    samples = SAMPLES if size <= 32 else max(2, 256 // size)
    picture = theme_picture(size)
    pixels = smooth_pixels(picture, sample_owners(picture, size, samples), size <= 16)
    rows = b"".join(b"\0" + bytes(v for pixel in pixels[row * size:(row + 1) * size]
                                   for v in pixel) for row in range(size))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def write_hicolor(folder, name):
    for size in HICOLOR_SIZES:
        apps = os.path.join(folder, "%dx%d" % (size, size), "apps")
        os.makedirs(apps, exist_ok=True)
        with open(os.path.join(apps, name + ".png"), "wb") as out:
            out.write(png_file(size))


ICONS = {
    "pavix.ico": program_icon,
    "idle.ico": lambda: tray_icon(idle_picture),
    "seeking.ico": lambda: tray_icon(seeking_picture),
    "disabled.ico": lambda: tray_icon(disabled_picture),
}


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--hicolor":
        write_hicolor(sys.argv[2], sys.argv[3])
        return
    if len(sys.argv) > 2:
        sys.exit(__doc__)
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) == 2 else os.path.join(here, "..", "resources", "icons")
    os.makedirs(folder, exist_ok=True)
    for name, make in ICONS.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(make())


if __name__ == "__main__":
    main()
