#!/usr/bin/env python3
"""Draws the button bitmaps of ovkres (24-bit BMP files): the tool bar button's stand-in for a
missing bitmap, and the pictures of the animated button's predefined animations. Run it in this
folder; the files it writes are committed, so the build does not need it."""
import math
import struct

BACK = (212, 208, 200)
MAGENTA = (255, 0, 255)


class Picture:
    def __init__(self, width, height, back):
        self.width, self.height = width, height
        self.pixels = [[back] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def disc(self, cx, cy, r, colour):
        for y in range(self.height):
            for x in range(self.width):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, colour)

    def ring(self, cx, cy, r, width, colour):
        for y in range(self.height):
            for x in range(self.width):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if r - width <= d <= r:
                    self.put(x, y, colour)

    def box(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def polygon(self, points, colour):
        for y in range(self.height):
            for x in range(self.width):
                if inside(points, x + 0.5, y + 0.5):
                    self.put(x, y, colour)

    def save(self, name):
        row = (self.width * 3 + 3) & ~3
        data = bytearray()
        for y in reversed(range(self.height)):
            line = bytearray()
            for r, g, b in self.pixels[y]:
                line += bytes((b, g, r))
            data += line + bytes(row - len(line))
        header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 24, 0, len(data),
                           2835, 2835, 0, 0)
        with open(name, 'wb') as f:
            f.write(header + info + data)


def inside(points, x, y):
    result = False
    for i in range(len(points)):
        (x0, y0), (x1, y1) = points[i], points[i - 1]
        if (y0 > y) != (y1 > y) and x < (x1 - x0) * (y - y0) / (y1 - y0) + x0:
            result = not result
    return result


def star(cx, cy, outer, inner, tips):
    return [(cx + (outer if i % 2 == 0 else inner) * math.sin(i * math.pi / tips),
             cy - (outer if i % 2 == 0 else inner) * math.cos(i * math.pi / tips))
            for i in range(2 * tips)]


def missing():
    p = Picture(20, 17, MAGENTA)
    p.box(3, 1, 17, 16, (255, 255, 255))
    for x0, y0, x1, y1 in ((3, 1, 17, 2), (3, 15, 17, 16), (3, 1, 4, 16), (16, 1, 17, 16)):
        p.box(x0, y0, x1, y1, (64, 64, 64))
    p.ring(10, 6.5, 3.6, 1.6, (0, 0, 160))
    p.box(6, 5, 8, 8, (255, 255, 255))
    p.box(9, 9, 11, 11, (0, 0, 160))
    p.box(9, 12, 11, 14, (0, 0, 160))
    p.save('missing.bmp')


def singles():
    size = 24
    c = size / 2
    shapes = {
        0x7113: lambda p: p.disc(c, c, 9, (200, 30, 30)),
        0x7114: lambda p: p.box(4, 4, 20, 20, (30, 90, 200)),
        0x7115: lambda p: p.polygon([(c, 3), (21, 21), (3, 21)], (40, 160, 60)),
        0x7116: lambda p: p.polygon([(c, 2), (22, c), (c, 22), (2, c)], (220, 150, 20)),
        0x7117: lambda p: p.polygon(star(c, c, 10, 4, 5), (230, 200, 0)),
        0x7118: lambda p: p.polygon([(3, 9), (13, 9), (13, 4), (21, 12), (13, 20), (13, 15),
                                     (3, 15)], (30, 130, 130)),
        0x7119: lambda p: p.polygon([(21, 9), (11, 9), (11, 4), (3, 12), (11, 20), (11, 15),
                                     (21, 15)], (130, 30, 130)),
        0x711A: lambda p: p.polygon([(9, 21), (9, 11), (4, 11), (12, 3), (20, 11), (15, 11),
                                     (15, 21)], (90, 90, 200)),
        0x711B: lambda p: p.polygon([(9, 3), (9, 13), (4, 13), (12, 21), (20, 13), (15, 13),
                                     (15, 3)], (200, 90, 90)),
        0x711C: lambda p: p.ring(c, c, 10, 3, (60, 60, 60)),
        0x712E: lambda p: (p.box(10, 3, 14, 21, (200, 40, 40)), p.box(3, 10, 21, 14, (200, 40, 40))),
        0x712F: lambda p: p.polygon(star(c, c, 10, 7, 8), (0, 140, 200)),
        0x7130: lambda p: (p.disc(c, c, 10, (40, 40, 40)), p.disc(c, c, 6, (250, 250, 250))),
    }
    for number, draw in shapes.items():
        p = Picture(size, size, BACK)
        draw(p)
        p.save('anim%04X.bmp' % number)


def sequences():
    size = 24
    c = size / 2
    # Five frames of a pulsing disc.
    for i, r in enumerate((3, 5, 7, 9, 11)):
        p = Picture(size, size, BACK)
        p.disc(c, c, r, (220, 60, 40))
        p.save('anim%04X.bmp' % (0x7129 + i))
    # Six frames of a dot going round a ring.
    for i in range(6):
        p = Picture(size, size, BACK)
        p.ring(c, c, 10, 1.5, (120, 120, 120))
        a = i * math.pi / 3
        p.disc(c + 7.5 * math.sin(a), c - 7.5 * math.cos(a), 3.2, (20, 80, 200))
        p.save('anim%04X.bmp' % (0x711D + i))
    # Six frames of a bar filling up.
    for i in range(6):
        p = Picture(size, size, BACK)
        p.box(3, 8, 21, 16, (255, 255, 255))
        p.box(3, 8, 3 + 3 * (i + 1), 16, (40, 170, 60))
        for x0, y0, x1, y1 in ((2, 7, 22, 8), (2, 16, 22, 17), (2, 7, 3, 17), (21, 7, 22, 17)):
            p.box(x0, y0, x1, y1, (60, 60, 60))
        p.save('anim%04X.bmp' % (0x7123 + i))


if __name__ == '__main__':
    missing()
    singles()
    sequences()
