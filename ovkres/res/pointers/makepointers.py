#!/usr/bin/env python3
"""Writes the drag pointers of the class library: 32 by 32 monochrome cursors whose picture is a
badge in the lower right corner, so that a drag image merged with one at the pointer's hot spot
shows the badge beside the pointer. Run from this folder; the .cur files are committed."""
import struct

SIZE = 32
BOX = (18, 18, 30, 30)  # left, top, right, bottom (exclusive) of the badge


def badge(symbol):
    """Rows of characters: '.' transparent, '#' black, 'o' white."""
    grid = [['.'] * SIZE for _ in range(SIZE)]
    left, top, right, bottom = BOX
    for y in range(top, bottom):
        for x in range(left, right):
            edge = x in (left, right - 1) or y in (top, bottom - 1)
            grid[y][x] = '#' if edge else 'o'
    for x, y in symbol:
        grid[top + y][left + x] = '#'
    return grid


def plus():
    return [(x, 5) for x in range(3, 9)] + [(x, 6) for x in range(3, 9)] + \
           [(5, y) for y in range(3, 9)] + [(6, y) for y in range(3, 9)]


def link():
    # An arrow pointing up and right.
    points = [(3 + i, 8 - i) for i in range(6)] + [(4 + i, 8 - i) for i in range(5)]
    return points + [(x, 3) for x in range(5, 9)] + [(8, y) for y in range(3, 7)]


def never():
    # A circle with a bar through it.
    points = []
    for x in range(2, 10):
        for y in range(2, 10):
            d = (x - 5.5) ** 2 + (y - 5.5) ** 2
            if 9 <= d <= 17:
                points.append((x, y))
    return points + [(3 + i, 3 + i) for i in range(6)]


def cursor(grid, path):
    xor_rows, and_rows = [], []
    for row in reversed(grid):  # bottom-up
        xor_bits = and_bits = 0
        for x, c in enumerate(row):
            bit = 1 << (31 - x)
            if c == '.':
                and_bits |= bit
            elif c == 'o':
                xor_bits |= bit
        xor_rows.append(struct.pack('>I', xor_bits))
        and_rows.append(struct.pack('>I', and_bits))
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack('<II', 0x000000, 0xFFFFFF)
    image = header + palette + b''.join(xor_rows) + b''.join(and_rows)
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, 0, 0, len(image), 6 + 16)
    with open(path, 'wb') as out:
        out.write(directory + entry + image)


cursor(badge(never()), 'never.cur')
cursor(badge(plus()), 'copy.cur')
cursor(badge(link()), 'link.cur')
