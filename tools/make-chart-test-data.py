#!/usr/bin/env python3
"""Writes the small pictures and chart image data files of tests/data/charts.

Usage: tools/make-chart-test-data.py VRNCLI  (needs ImageMagick's convert)

The BMP files are written here byte by byte from the picture below, independently of the
readers under test; the GIF and JPEG files are converted from the 24-bit BMP by ImageMagick.
"sample.jpg" is a real raster chart: the world coastline around the English Channel drawn by
"vrncli render" (plate carree, so its calibration is linear), with "sample.CID" written from the
view's own geometry.
"""
import hashlib
import math
import os
import struct
import subprocess
import sys

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "charts")

# 6 x 4 pixels: red, green / blue, white quadrants (3 x 2 each), as (r, g, b) rows top first.
W, H = 6, 4
QUAD = [[(255, 0, 0)] * 3 + [(0, 255, 0)] * 3] * 2 + [[(0, 0, 255)] * 3 + [(255, 255, 255)] * 3] * 2
PALETTE = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]


def bmp(path, bits, top_down=False):
    rows = QUAD if top_down else list(reversed(QUAD))
    if bits <= 8:
        palette = PALETTE if bits >= 2 else [(255, 0, 0), (255, 255, 255)]
        pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    else:
        pal = b""
    data = b""
    for row in rows:
        if bits == 24:
            line = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row)
        elif bits == 32:
            line = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in row)
        elif bits == 8:
            line = bytes(PALETTE.index(p) for p in row)
        elif bits == 4:
            idx = [PALETTE.index(p) for p in row]
            line = bytes((idx[i] << 4) | (idx[i + 1] if i + 1 < len(idx) else 0)
                         for i in range(0, len(idx), 2))
        elif bits == 1:  # red is 0, anything else white (1)
            v = 0
            for i, p in enumerate(row):
                v |= (0 if p == (255, 0, 0) else 1) << (7 - i)
            line = bytes([v])
        line += b"\0" * ((-len(line)) % 4)
        data += line
    off = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, W, -H if top_down else H, 1, bits, 0, len(data),
                       2835, 2835, len(pal) // 4, 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def scale_geometry(lat_c, lon_c, span, w, h):
    """The chart scale of a w x h surface (30-pixel cells)."""
    lat_span = math.cos(math.radians(lat_c)) * span * (h / 30) / (w / 30)
    return lat_c + lat_span / 2, lon_c + span / 2, lat_c - lat_span / 2, lon_c - span / 2


def cid(path, picture, description, ref, limit):
    md5 = hashlib.md5(open(os.path.join(HERE, picture), "rb").read()).hexdigest()
    fmt = lambda p: "%10.6f;%10.6f;%10.6f;%10.6f" % p
    lines = ["Content=Varunel Chart Image Data", "Creator=Varunel Kartograv 4.0",
             "ChartDescription=" + description, "Date=01/01/2025 12:00:00",
             "ImageName=" + picture, "MD5ImageSignature=" + md5, "MercatorLatitudeScale=false",
             "", "[ReferencePoints] // x; y; Lon; Lat"]
    lines += ["RefPoint%d=%s" % (i + 1, fmt(p)) for i, p in enumerate(ref)]
    lines += ["", "[LimitPoints]     // x; y; Lon; Lat"]
    lines += ["LimitPoint%d=%s" % (i + 1, fmt(p)) for i, p in enumerate(limit)]
    with open(os.path.join(HERE, path), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    vrncli = sys.argv[1]
    os.makedirs(HERE, exist_ok=True)
    for bits in (1, 4, 8, 24, 32):
        bmp(os.path.join(HERE, "quad%d.bmp" % bits), bits)
    bmp(os.path.join(HERE, "quad24-topdown.bmp"), 24, top_down=True)
    src = os.path.join(HERE, "quad24.bmp")
    subprocess.run(["convert", src, os.path.join(HERE, "quad.gif")], check=True)
    subprocess.run(["convert", src, "-quality", "100", "-sampling-factor", "1x1",
                    os.path.join(HERE, "quad.jpg")], check=True)

    lat_c, lon_c, span, w, h = 49.5, 2.0, 10.0, 400, 300
    png = os.path.join(HERE, "sample.png")
    world = os.path.join(HERE, "..", "..", "..", "charts", "data", "world.cht")
    subprocess.run([vrncli, "render", world, "--center", "%g,%g" % (lat_c, lon_c), "--span",
                    "%g" % span, "--size", "%dx%d" % (w, h), "--png", png], check=True)
    subprocess.run(["convert", png, "-quality", "85", os.path.join(HERE, "sample.jpg")],
                   check=True)
    os.remove(png)
    lat_max, lon_max, lat_min, lon_min = scale_geometry(lat_c, lon_c, span, w, h)
    # Pixel (x, y) of the picture is surface pixel (x, y) of the view it was drawn in.
    at = lambda x, y: (x, y, lon_max - x * span / w, lat_max - y * (lat_max - lat_min) / h)
    cid("sample.CID", "sample.jpg", "English Channel (world coastline)",
        [at(0, 0), at(w, 0), at(0, h)], [at(0, 0), at(w - 1, 0), at(w - 1, h - 1), at(0, h - 1)])


if __name__ == "__main__":
    main()
