#!/usr/bin/env python3
"""Builds the world coastline chart file (land polygons) from the GSHHG shorelines.

Source: GSHHG (Global Self-consistent, Hierarchical, High-resolution Geography Database) by
P. Wessel and W. H. F. Smith, low resolution, as shipped by Debian's gmt-gshhg-low package and
extracted with GMT's "gmt coast -M -W". Licence: GNU LGPL 3 or later.

Usage: tools/make-world-coastline.py OUT.cht   (needs: apt-get install gmt gmt-gshhg-low)

GMT dumps the shoreline clipped to its storage bins; the pieces are stitched back into closed
polygons by their shared end points. Polygons cut by the 180th meridian are closed along it, and
Antarctica along the south pole's parallel. Longitudes are written WEST positive, as every
Varunel chart file is.
"""
import subprocess
import sys

RESOLUTION = "l"  # low: about 60 000 vertices, 1.6 MB of chart file
MIN_AREA_KM2 = "0"


def read_segments():
    out = subprocess.run(
        ["gmt", "coast", "-Rd", "-D" + RESOLUTION, "-W", "-M", "-A%s/1/1" % MIN_AREA_KM2],
        check=True, capture_output=True, text=True).stdout
    segments, cur = [], None
    for line in out.splitlines():
        if line.startswith(">"):
            cur = []
            segments.append(cur)
            continue
        lon, lat = map(float, line.split()[:2])
        if cur and cur[-1] == (lon, lat):
            continue
        cur.append((lon, lat))
    return [s for s in segments if len(s) >= 2]


def key(p):
    return (round(p[0], 7), round(p[1], 7))


def stitch(segments):
    closed = [s for s in segments if key(s[0]) == key(s[-1])]
    open_ = [s for s in segments if key(s[0]) != key(s[-1])]
    by_start, by_end = {}, {}
    for i, s in enumerate(open_):
        by_start.setdefault(key(s[0]), []).append(i)
        by_end.setdefault(key(s[-1]), []).append(i)
    used = [False] * len(open_)
    chains = []
    for i in range(len(open_)):
        if used[i]:
            continue
        used[i] = True
        chain = list(open_[i])
        while key(chain[-1]) != key(chain[0]):
            nxt = [j for j in by_start.get(key(chain[-1]), []) if not used[j]]
            if not nxt:
                break
            used[nxt[0]] = True
            chain.extend(open_[nxt[0]][1:])
        # A polygon cut by the 180th meridian never closes: collect its pieces before this one.
        while key(chain[-1]) != key(chain[0]):
            prev = [j for j in by_end.get(key(chain[0]), []) if not used[j]]
            if not prev:
                break
            used[prev[0]] = True
            chain = open_[prev[0]][:-1] + chain
        chains.append(chain)
    polygons = []
    for c in closed + chains:
        if key(c[0]) != key(c[-1]):
            a, b = c[0], c[-1]
            if abs(abs(a[0]) - 180) < 1e-9 and abs(abs(b[0]) - 180) < 1e-9 and a[0] != b[0]:
                # Around the world (Antarctica): close along the bottom of the map.
                c = c + [(b[0], -90.0), (a[0], -90.0)]
        if key(c[0]) == key(c[-1]):
            c = c[:-1]
        if len(c) >= 3:
            polygons.append(c)
    return polygons


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    polygons = stitch(read_segments())
    polygons.sort(key=lambda p: -len(p))
    lines = [
        ";" + "-" * 49,
        "; World coastline (land polygons) for Varunel",
        "; Source: GSHHG %s resolution, P. Wessel and W. H. F. Smith," % RESOLUTION,
        "; via GMT (gmt coast -M -W). Licence: GNU LGPL 3 or later.",
        "; Made by tools/make-world-coastline.py. NEVER navigate using this data.",
        "; Longitude signal: West positive, East negative",
        ";" + "-" * 49,
    ]
    for n, poly in enumerate(polygons, 1):
        lines.append("O;Polygon;Land %d" % n)
        for lon, lat in poly:
            lines.append("P;%10.5f;%10.5f" % (lat, -lon + 0.0))
    with open(sys.argv[1], "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
    print("%d polygons, %d points" % (len(polygons), sum(len(p) for p in polygons)))


if __name__ == "__main__":
    main()
