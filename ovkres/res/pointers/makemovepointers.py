#!/usr/bin/env python3
"""Draws the move pointers of ovkres (32 by 32 monochrome cursor files): for each side of a frame a
pointer that shows a bar along that side, and one that shows the bar beside a second bar (next to
a tool bar already there). Run it in this folder; the files it writes are committed, so the build
does not need it."""
import struct

SIZE = 32
SIDES = ["top", "bottom", "left", "right"]


def draw(side, next_to):
    # 0: transparent, 1: black, 2: white.
    grid = [[0] * SIZE for _ in range(SIZE)]

    def box(x0, y0, x1, y1, value):
        for y in range(max(0, y0), min(SIZE, y1)):
            for x in range(max(0, x0), min(SIZE, x1)):
                grid[y][x] = value

    def framed(x0, y0, x1, y1):
        box(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 2)
        box(x0, y0, x1, y1, 1)

    # The frame outline in the middle.
    box(5, 5, 27, 27, 2)
    box(6, 6, 26, 26, 1)
    box(7, 7, 25, 25, 2)
    bars = {
        "top": [(8, 8, 24, 12)],
        "bottom": [(8, 20, 24, 24)],
        "left": [(8, 8, 12, 24)],
        "right": [(20, 8, 24, 24)],
    }[side]
    if next_to:
        bars = {
            "top": [(8, 8, 15, 12), (17, 8, 24, 12)],
            "bottom": [(8, 20, 15, 24), (17, 20, 24, 24)],
            "left": [(8, 8, 12, 15), (8, 17, 12, 24)],
            "right": [(20, 8, 24, 15), (20, 17, 24, 24)],
        }[side]
    for bar in bars:
        framed(*bar)
    return grid


def cursor_file(grid, hotspot):
    # AND mask: 1 where transparent; XOR mask: 1 where white (with AND 0).
    def rows(bit_of):
        data = b""
        for y in range(SIZE - 1, -1, -1):
            row = 0
            for x in range(SIZE):
                row = (row << 1) | bit_of(grid[y][x])
            data += struct.pack(">I", row)
        return data

    xor = rows(lambda v: 1 if v == 2 else 0)
    mask = rows(lambda v: 1 if v == 0 else 0)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(mask),
                         0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    for index, side in enumerate(SIDES):
        for next_to, first in ((True, 357), (False, 361)):
            with open("move%d.cur" % (first + index), "wb") as out:
                out.write(cursor_file(draw(side, next_to), (16, 16)))


if __name__ == "__main__":
    main()
