#!/usr/bin/env python3
"""Draws the star finder's body icons into sky/icons/*.png (committed; the build only embeds them).

Ten slots: SUN, MOON, STAR1 (bright star), STAR2 (faint star), JUPITER, VENUS, SATURN, MARS, each
for the screen (on the transparent key colour black) and for the printer ("_P", dark shapes on
the key colour grey 128,128,128). Screen icons are smoothed against black, which is the sky's
own dark; printer icons have hard edges, so that no grey fringe is left on white paper.

    python3 tools/make-star-finder-icons.py     (standard library only)
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'sky', 'icons')
SUB = 4  # subsamples per pixel side


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse_ring(cx, cy, a, b, w):
    def inside(x, y, aa, bb):
        return ((x - cx) / aa) ** 2 + ((y - cy) / bb) ** 2 <= 1
    return lambda x, y: inside(x, y, a, b) and not inside(x, y, a - w, b - w)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rays(cx, cy, r0, r1, w, n):
    def f(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if not r0 <= d <= r1:
            return False
        for k in range(n):
            a = 2 * math.pi * k / n
            # distance from the ray's line
            if abs(-math.sin(a) * dx + math.cos(a) * dy) <= w / 2 and math.cos(a) * dx + math.sin(a) * dy > 0:
                return True
        return False
    return f


def both(f, g):
    return lambda x, y: f(x, y) and g(x, y)


def minus(f, g):
    return lambda x, y: f(x, y) and not g(x, y)


def sparkle(cx, cy, arm, w, core):
    return lambda x, y: (disc(cx, cy, core)(x, y) or (abs(x - cx) <= w / 2 and abs(y - cy) <= arm)
                         or (abs(y - cy) <= w / 2 and abs(x - cx) <= arm))


def render(w, h, layers, key, smooth):
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x = px + (sx + 0.5) / SUB
                    y = py + (sy + 0.5) / SUB
                    colour = key
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    for i in range(3):
                        acc[i] += colour[i]
            n = SUB * SUB
            c = tuple(round(v / n) for v in acc)
            if not smooth:
                # hard edge: the colour of the pixel centre
                colour = key
                for shape, col in layers:
                    if shape(px + 0.5, py + 0.5):
                        colour = col
                c = colour
            if c == key and any(shape(px + 0.5, py + 0.5) for shape, _ in layers):
                c = tuple(min(255, v + 1) for v in c)  # a drawn pixel is never the key
            row.append(c)
        rows.append(row)
    return rows


def write_png(path, rows):
    h = len(rows)
    w = len(rows[0])
    raw = b''.join(b'\x00' + bytes(v for px in row for v in px) for row in rows)

    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


def icons(printer):
    ink = (0, 0, 0) if printer else None
    pick = (lambda screen: ink) if printer else (lambda screen: screen)
    white = (255, 255, 255)
    return {
        'SUN': (15, 15, [(rays(7.5, 7.5, 5.0, 7.4, 1.3, 8), pick((255, 200, 0))),
                         (disc(7.5, 7.5, 4.2), pick((255, 230, 40)))]
                + ([(disc(7.5, 7.5, 2.6), (255, 255, 255))] if printer else [])),
        'MOON': (15, 15, [(disc(7.5, 7.5, 6.0), pick((225, 225, 215)))]
                 + ([(minus(disc(7.5, 7.5, 4.8), disc(10.0, 6.0, 4.8)), (255, 255, 255))] if printer
                    else [(disc(5.5, 5.0, 1.3), (180, 180, 170)), (disc(9.5, 9.5, 1.6), (180, 180, 170))])),
        'STAR1': (11, 11, [(sparkle(5.5, 5.5, 5.0, 1.2, 1.8), pick(white))]),
        'STAR2': (7, 7, [(sparkle(3.5, 3.5, 3.0, 1.0, 1.2), pick((220, 220, 255)))]),
        'JUPITER': (11, 11, [(disc(5.5, 5.5, 4.5), pick((235, 200, 150))),
                             (both(disc(5.5, 5.5, 4.5), rect(0, 3.6, 11, 4.6)), pick((170, 110, 70)) if not printer else (255, 255, 255)),
                             (both(disc(5.5, 5.5, 4.5), rect(0, 6.4, 11, 7.4)), pick((170, 110, 70)) if not printer else (255, 255, 255))]),
        'VENUS': (11, 11, [(disc(5.5, 5.5, 4.2), pick((255, 255, 200)))]),
        'SATURN': (15, 11, [(disc(7.5, 5.5, 3.6), pick((230, 200, 120))),
                            (ellipse_ring(7.5, 5.5, 7.2, 2.6, 1.1), pick((200, 170, 110)))]),
        'MARS': (11, 11, [(disc(5.5, 5.5, 3.8), pick((240, 80, 40)))]),
    }


def main():
    os.makedirs(OUT, exist_ok=True)
    for printer in (False, True):
        key = (128, 128, 128) if printer else (0, 0, 0)
        for name, (w, h, layers) in icons(printer).items():
            fname = name + ('_P' if printer else '') + '.png'
            write_png(os.path.join(OUT, fname), render(w, h, layers, key, smooth=not printer))
            print(fname, w, h)


if __name__ == '__main__':
    main()
