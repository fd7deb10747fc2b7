#!/usr/bin/env python3
"""Review aid for the vrncli fix goldens run with --method: recomputes the least-squares fix, its
1-sigma error ellipse and the suspect LOP of every such case from its .in file, independently of
the program (spherical trigonometry instead of vectors, a Nelder-Mead search instead of
Gauss-Newton, a finite-difference Jacobian instead of azimuths), and prints them beside the
values of the .expected file.

    python3 tools/review-lsq-golden.py

Each LOP is its circle of position: the centre 90 - Hc from the assumed position along the
azimuth, the radius 90 - (Hc + intercept/60). Residual = distance to the centre - radius.
"""
import math
from pathlib import Path

CASES = Path(__file__).resolve().parent.parent / "tests" / "apps" / "vrncli"
FLOOR_NM = 0.5
SUSPECT_FACTOR = 3.0


def destination(lat, lon_w, bearing, dist_deg):
    p1, l1 = math.radians(lat), -math.radians(lon_w)
    b, d = math.radians(bearing), math.radians(dist_deg)
    p2 = math.asin(math.sin(p1) * math.cos(d) + math.cos(p1) * math.sin(d) * math.cos(b))
    l2 = l1 + math.atan2(math.sin(b) * math.sin(d) * math.cos(p1),
                         math.cos(d) - math.sin(p1) * math.sin(p2))
    return math.degrees(p2), -math.degrees(l2)


def distance_deg(a, b):
    p1, p2 = math.radians(a[0]), math.radians(b[0])
    dl = math.radians(a[1] - b[1])
    c = math.sin(p1) * math.sin(p2) + math.cos(p1) * math.cos(p2) * math.cos(dl)
    return math.degrees(math.acos(max(-1.0, min(1.0, c))))


def circles_of(path):
    circles = []
    lines = path.read_bytes().decode("cp1252").splitlines()
    for line in lines[1:]:
        f = line.split(";")
        if len(f) < 18 or (len(f) > 18 and f[18].strip() == "0"):
            continue
        ap = (float(f[8]), float(f[9]))
        hc, intercept, zn = float(f[14]), float(f[16]), float(f[17])
        circles.append((destination(ap[0], ap[1], zn, 90 - hc), 90 - hc - intercept / 60))
    return circles


def residuals(circles, x):
    return [(distance_deg(x, c) - r) * 60 for c, r in circles]


def nelder_mead(f, x0, step=0.2, tol=1e-11):
    pts = [list(x0), [x0[0] + step, x0[1]], [x0[0], x0[1] + step]]
    for _ in range(20000):
        pts.sort(key=f)
        if abs(f(pts[2]) - f(pts[0])) < tol and max(abs(pts[2][i] - pts[0][i]) for i in (0, 1)) < 1e-9:
            break
        c = [(pts[0][i] + pts[1][i]) / 2 for i in (0, 1)]
        r = [c[i] + (c[i] - pts[2][i]) for i in (0, 1)]
        if f(r) < f(pts[0]):
            e = [c[i] + 2 * (c[i] - pts[2][i]) for i in (0, 1)]
            pts[2] = e if f(e) < f(r) else r
        elif f(r) < f(pts[1]):
            pts[2] = r
        else:
            k = [c[i] + 0.5 * (pts[2][i] - c[i]) for i in (0, 1)]
            if f(k) < f(pts[2]):
                pts[2] = k
            else:
                pts = [pts[0]] + [[(pts[0][i] + p[i]) / 2 for i in (0, 1)] for p in pts[1:]]
    return min(pts, key=f)


def solve(circles, start):
    x = nelder_mead(lambda p: sum(v * v for v in residuals(circles, p)), start)
    return x, sum(v * v for v in residuals(circles, x))


def ellipse(circles, x, sumsq):
    n = len(circles)
    s = math.sqrt(sumsq / (n - 2))
    sigma = max(s, FLOOR_NM) if n == 3 else s
    h = 1e-4  # nautical miles
    base = residuals(circles, x)
    cols = []
    for bearing in (0, 90):
        moved = destination(x[0], x[1], bearing, h / 60)
        cols.append([(a - b) / h for a, b in zip(residuals(circles, moved), base)])
    a = sum(v * v for v in cols[0])
    b = sum(u * v for u, v in zip(*cols))
    c = sum(v * v for v in cols[1])
    det = a * c - b * b
    cnn, cne, cee = sigma ** 2 * c / det, -sigma ** 2 * b / det, sigma ** 2 * a / det
    mean, spread = (cnn + cee) / 2, math.hypot((cnn - cee) / 2, cne)
    orient = math.degrees(0.5 * math.atan2(2 * cne, cnn - cee)) % 180
    return s, math.sqrt(mean + spread), math.sqrt(mean - spread), orient


def suspect(circles, x, s):
    n, best, who = len(circles), 0.0, None
    if n < 4:
        return None
    for i in range(n):
        others = circles[:i] + circles[i + 1:]
        _, ss = solve(others, x)
        ratio = s / max(math.sqrt(ss / (n - 3)), FLOOR_NM)
        if ratio >= SUSPECT_FACTOR and ratio > best:
            best, who = ratio, i + 1
    return who


def main():
    for args in sorted(CASES.glob("fix_*.args")):
        argv = args.read_text().split()
        inp = args.with_suffix(".in")
        if "--method" not in argv or not inp.exists():
            continue
        circles = circles_of(inp)
        first = inp.read_bytes().decode("cp1252").splitlines()[1].split(";")
        start = [float(first[8]), float(first[9])]
        x, ss = solve(circles, start)
        print(f"{args.stem}: lat {x[0]:.5f} lon {x[1]:.5f}", end="")
        if len(circles) >= 3:
            s, major, minor, orient = ellipse(circles, x, ss)
            print(f"  scatter {s:.2f}  ellipse {major:.2f} x {minor:.2f} at {orient:.1f}"
                  f"  suspect {suspect(circles, x, s)}")
        else:
            print("  (two LOPs: no ellipse)")
        lines = args.with_suffix(".expected").read_text().splitlines()
        if "Least-squares fix ------------" in lines:
            lines = lines[lines.index("Least-squares fix ------------"):]
        for line in lines:
            if line[:1].isdigit() or line.startswith(("Lat:", "Lon:", "Error", "Suspect", "Scatter")):
                print("    expected: " + line)


if __name__ == "__main__":
    main()
