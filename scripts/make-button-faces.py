#!/usr/bin/env python3
"""Draws the two faces of the image buttons: a round dark metallic bezel ring with a black centre
on a teal background that fills the corners. 37 x 37 pixels, 8 bits per pixel with a 256-entry
palette, uncompressed. The up face is lit from the upper left with a bright highlight; the held
face is the same ring darker, its highlight mostly gone, so the button looks pressed in.

Writes resources/faces/up.bmp and resources/faces/held.bmp. Pack them into the bitmap list with
  build/tools/pack-bitmap-list resources/faces/LMDBitmapList1.bin \
      resources/faces/up.bmp resources/faces/held.bmp
"""
import math
import struct
from pathlib import Path

SIZE = 37
CENTRE = (SIZE - 1) / 2
OUTER = 18.4  # the ring reaches the middle of every edge; the corners stay teal
INNER = 11.6  # the black centre that carries the caption
SAMPLES = 4   # per axis, for the soft inner edge

TEAL, BLACK, RAMP = 0, 1, 2  # palette indices; the ramp fills the rest


def ramp_colour(t):
    """Metal from dark blue-grey (t = 0) to near white (t = 1)."""
    v = 14 + 236 * t
    shade = 1 - t
    return tuple(max(0, min(255, round(c))) for c in (v - 14 * shade, v - 6 * shade, v + 16 * shade))


PALETTE = [(0, 128, 128), (0, 0, 0)] + [ramp_colour(i / 253) for i in range(254)]
assert len(PALETTE) == 256 and PALETTE.count((0, 128, 128)) == 1


def brightness(x, y, held):
    """Lambert and specular light on a rounded ring, lit from the upper left."""
    dx, dy = x - CENTRE, y - CENTRE
    r = math.hypot(dx, dy) or 1e-9
    u = (r - INNER) / (OUTER - INNER)  # 0 at the inner edge, 1 at the outer
    slope = -math.cos(math.pi * u) * 1.4  # rises from the centre, falls to the outside
    normal = (slope * dx / r, slope * dy / r, 1.0)
    n = math.sqrt(sum(c * c for c in normal))
    normal = tuple(c / n for c in normal)
    light = (-0.55, -0.55, 0.63)
    diffuse = max(0.0, sum(a * b for a, b in zip(normal, light)))
    half = (light[0], light[1], light[2] + 1)
    h = math.sqrt(sum(c * c for c in half))
    specular = max(0.0, sum(a * b / h for a, b in zip(normal, half))) ** 24
    if held:
        return 0.04 + 0.30 * diffuse + 0.06 * specular
    return 0.10 + 0.50 * diffuse + 0.55 * specular


def pixel(x, y, held):
    if math.hypot(x - CENTRE, y - CENTRE) > OUTER:
        return TEAL  # hard outer edge: no pixel mixes with the key colour
    ring = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            px = x - 0.5 + (sx + 0.5) / SAMPLES
            py = y - 0.5 + (sy + 0.5) / SAMPLES
            ring += math.hypot(px - CENTRE, py - CENTRE) >= INNER
    coverage = ring / SAMPLES ** 2
    if coverage == 0:
        return BLACK
    t = min(1.0, brightness(x, y, held)) * coverage
    if math.hypot(x - CENTRE, y - CENTRE) > OUTER - 1:
        t *= 0.55  # a dark rim sets the ring off the form
    return RAMP + round(t * 253)


def bmp(held):
    stride = (SIZE + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = bytes(pixel(x, y, held) for x in range(SIZE))
        pixels += row.ljust(stride, b'\0')
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 8, 0, len(pixels), 3780, 3780, 256, 0)
    return header + info + palette + bytes(pixels)


out = Path(__file__).resolve().parent.parent / 'resources' / 'faces'
out.mkdir(parents=True, exist_ok=True)
for name, held in (('up.bmp', False), ('held.bmp', True)):
    data = bmp(held)
    assert len(data) == 2558
    (out / name).write_bytes(data)
    print(out / name)
