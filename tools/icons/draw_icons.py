#!/usr/bin/env python3
"""Draws the programs' icons: 16, 32 and 48 pixels in one .ico each.

    python3 tools/icons/draw_icons.py   (writes devtool/VORTALIS0.ico, converter/VTP2SDS.ico,
                                         pece/pece.ico)

Shapes are laid out on a 16-unit square and filled with 4 x 4 samples a
pixel, so every size is drawn from the same picture; outlines stay one pixel
wide at every size. Only the standard library is needed.
"""
import math
import os
import struct

SIZES = (16, 32, 48)
SAMPLES = 4

OUTLINE = (0x30, 0x30, 0x30)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rect(x0, y0, x1, y1):
    return rounded_rect(x0, y0, x1, y1, 0)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def handheld(px):
    """A grey handheld lying flat: screen in the middle, pad left, buttons right."""
    body = (0, 2, 16, 15)
    return [
        (rounded_rect(*body, 2.5), OUTLINE),
        (rounded_rect(body[0] + px, body[1] + px, body[2] - px, body[3] - px, 2.5 - px), (0xA8, 0xA8, 0xA8)),
        (rect(4, 4, 12, 13), (0x48, 0x48, 0x48)),
        (rect(5, 5, 11, 12), (0xD8, 0xD8, 0xD8)),
        (rect(6, 9, 8, 11), (0x80, 0x80, 0x80)),
        (rect(9, 7, 10, 11), (0x50, 0x50, 0x50)),
        (rect(2, 7, 3, 10), OUTLINE),
        (rect(1, 8, 4, 9), OUTLINE),
        (circle(13.5, 9.5, 0.8), OUTLINE),
        (circle(14.5, 7.5, 0.8), OUTLINE),
    ]


def page(x0, y0, x1, y1, fold, px, paper):
    """A sheet with its top right corner folded, and lines of text on it."""
    c = x1 - fold - y0  # the fold's edge is the line x - y = c
    d = px
    inner = [(x0 + d, y0 + d), (c - d * math.sqrt(2) + y0 + d, y0 + d),
             (x1 - d, x1 - d - c + d * math.sqrt(2)), (x1 - d, y1 - d), (x0 + d, y1 - d)]
    shapes = [
        (polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]), OUTLINE),
        (polygon(inner), paper),
        (polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]), (0x90, 0x90, 0x90)),
    ]
    for top in range(int(y0 + fold + 1.5), int(y1 - 1), 2):
        shapes.append((rect(x0 + 2, top, x1 - 2, top + px), (0x70, 0x70, 0x70)))
    return shapes


def arrow_between_files(px):
    """An older file, an arrow, the new file."""
    arrow = [(3, 7), (8, 7), (8, 4), (12.5, 8.5), (8, 13), (8, 10), (3, 10)]
    inner = [(3 + px, 7 + px), (8 + px, 7 + px), (8 + px, 4 + 2.4 * px), (12.5 - 1.4 * px, 8.5),
             (8 + px, 13 - 2.4 * px), (8 + px, 10 - px), (3 + px, 10 - px)]
    return (page(0, 0, 8, 11, 3, px, (0xE0, 0xE0, 0xE0)) +
            page(8, 5, 16, 16, 3, px, (0xFF, 0xFF, 0xFF)) +
            [(polygon(arrow), (0x10, 0x40, 0x90)), (polygon(inner), (0x30, 0x80, 0xE0))])


def console_prompt(px):
    """A console window: its title bar, and a prompt with a cursor on the dark pane."""
    light = (0xD8, 0xD8, 0xD8)
    return [
        (rounded_rect(0, 1, 16, 15, 1.5), OUTLINE),
        (rect(px, 1 + px, 16 - px, 4), (0x30, 0x80, 0xE0)),
        (rect(px, 4, 16 - px, 15 - px), (0x18, 0x18, 0x18)),
        (polygon([(3, 6), (7.5, 8.75), (3, 11.5), (3, 10), (5.2, 8.75), (3, 7.5)]), light),
        (rect(8.5, 10.5, 13, 11.75), light),
    ]


def render(picture, size):
    """Rows from the top, each pixel (b, g, r, a)."""
    shapes = picture(16 / size)
    unit = 16 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * unit
                    y = (py + (sy + 0.5) / SAMPLES) * unit
                    colour = None
                    for inside, fill in shapes:
                        if inside(x, y):
                            colour = fill
                    if colour:
                        r, g, b, a = r + colour[0], g + colour[1], b + colour[2], a + 1
            n = SAMPLES * SAMPLES
            row.append((round(b / a), round(g / a), round(r / a), round(255 * a / n)) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows


def ico_image(rows):
    """BITMAPINFOHEADER, 32-bit colour rows from the bottom, then the AND mask."""
    size = len(rows)
    mask_stride = (size + 31) // 32 * 4
    colour = b"".join(bytes(c for p in row for c in p) for row in reversed(rows))
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def ico(picture):
    images = [ico_image(render(picture, size)) for size in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return data + b"".join(images)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    for path, picture in (("devtool/VORTALIS0.ico", handheld), ("converter/VTP2SDS.ico", arrow_between_files),
                          ("pece/pece.ico", console_prompt)):
        with open(os.path.join(root, path), "wb") as f:
            f.write(ico(picture))


if __name__ == "__main__":
    main()
