#!/usr/bin/env python3
"""Draws the Help menu glyph: a purple book with a yellow question mark, 16 x 16 pixels in the
16-colour palette, with dark red as the transparent corner colour. Writes resources/glyphs/help.bmp."""
import struct
from pathlib import Path

PALETTE = [  # the classic 16-colour palette, in its usual order
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
INDEX = {'.': 1, 'k': 0, 'p': 5, 'm': 13, 'y': 11, 'w': 15, 's': 7}

ROWS = [
    "................",
    "..kkkkkkkkkkkk..",
    "..kmpppppppppk..",
    "..kmpppyyyyppk..",
    "..kmppyyppyypk..",
    "..kmppppppyypk..",
    "..kmpppppyyppk..",
    "..kmppppyypppk..",
    "..kmppppyypppk..",
    "..kmpppppppppk..",
    "..kmppppyypppk..",
    "..kmpppppppppk..",
    "..kkwwwwwwwwwk..",
    "..kswwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
    "................",
]


def bmp(rows):
    width, height = len(rows[0]), len(rows)
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for x in range(0, width, 2):
            line.append(INDEX[row[x]] << 4 | INDEX[row[x + 1]])
        pixels += line.ljust(stride, b'\0')
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 3780, 3780, 16, 0)
    return header + info + palette + bytes(pixels)


assert all(len(row) == 16 for row in ROWS) and len(ROWS) == 16
out = Path(__file__).resolve().parent.parent / 'resources' / 'glyphs' / 'help.bmp'
out.write_bytes(bmp(ROWS))
print(out)
