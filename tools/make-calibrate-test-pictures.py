#!/usr/bin/env python3
"""Makes the chart pictures of the `vrncli calibrate` tests (tests/apps/vrncli/calibrate/):
white 24-bit BMP pictures with coloured 5x5 dots at known positions, a plain latitude scale of
50 pixels per degree with 50N 5W at the top left, one north-up and one turned 3 degrees
clockwise about its centre, as a crooked scan is. Prints the --ref arguments of the dots (pixel
to a hundredth) and the north angle and scale a calibration must find.

    tools/make-calibrate-test-pictures.py
"""
import math
import os
import struct

HERE = os.path.join(os.path.dirname(__file__), "..", "tests", "apps", "vrncli", "calibrate")
W, H = 200, 150
LAT_TOP, LON_LEFT, PX_PER_DEG = 50.0, 5.0, 50.0
DOTS = [  # latitude, longitude (west positive), colour (r, g, b)
    (49.5, 4.5, (255, 0, 0)),
    (49.4, 2.0, (0, 160, 0)),
    (47.8, 4.2, (0, 0, 255)),
    (48.3, 2.4, (255, 0, 255)),
]


def pixel_of(lat, lon, turn_rad):
    x = (LON_LEFT - lon) * PX_PER_DEG
    y = (LAT_TOP - lat) * PX_PER_DEG
    cx, cy = W / 2, H / 2
    c, s = math.cos(turn_rad), math.sin(turn_rad)
    return cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c


def write_bmp(path, turn_rad):
    rows = [bytearray(b"\xff" * (3 * W)) for _ in range(H)]
    for lat, lon, (r, g, b) in DOTS:
        x, y = pixel_of(lat, lon, turn_rad)
        for j in range(round(y) - 2, round(y) + 3):
            for i in range(round(x) - 2, round(x) + 3):
                rows[j][3 * i:3 * i + 3] = bytes((b, g, r))
    stride = (3 * W + 3) & ~3
    data = b"".join(bytes(row) + b"\0" * (stride - 3 * W) for row in reversed(rows))
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


for name, turn_deg in (("north-up.bmp", 0.0), ("turned.bmp", 3.0)):
    turn = math.radians(turn_deg)
    write_bmp(os.path.join(HERE, name), turn)
    refs = []
    for lat, lon, _ in DOTS[:3]:
        x, y = pixel_of(lat, lon, turn)
        refs.append("--ref %.2f,%.2f,%g,%g" % (x, y, lat, lon))
    print(name, " ".join(refs))
    print("  north angle %.3f degrees, %.1f pixels per degree of longitude and latitude"
          % (turn_deg, PX_PER_DEG))
