#!/usr/bin/env python3
"""Review aid for the golden files of vrncli leg and vrncli distance
(tests/apps/vrncli/leg_*.expected, distance_*.expected): recomputes each one independently and
prints the differences. Run after tools/gen-vrncli-golden.sh:

    /usr/bin/python3 tools/review-leg-distance-golden.py

Legs: great circle by Vincenty's spherical distance and the atan2 initial course, rhumb line by
the stretched latitude difference (Bowditch, Mercator sailing); over the pole, from a pole and at
the same point the leg calculator's own rules. Route points: the distance of each great-circle
point from the plane of the circle, and the course and distance of each rhumb-line point from the
start. Distances between bodies: PyEphem's apparent geocentric places (tools/lunar-reference.py).
Lunar clearings: the GMT found against the true instant of the worked example.
"""
import importlib.util
import math
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
GOLDEN = ROOT / "tests/apps/vrncli"

module_spec = importlib.util.spec_from_file_location("lunar", ROOT / "tools/lunar-reference.py")
lunar = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(lunar)


def arg_list(case):
    return (GOLDEN / f"{case}.args").read_text(encoding="utf-8").splitlines()


def option(args, name):
    return args[args.index(name) + 1] if name in args else None


def angle(s):
    """45.12N, 45°07.3'S or a signed number, north and west positive."""
    sign = -1 if s[-1] in "SE" else 1
    s = s.rstrip("NSEW").rstrip("'")
    if "°" in s:
        d, m = s.split("°")
        return sign * (int(d) + float(m) / 60)
    return sign * float(s)


def position(text):
    lat, lon = text.split(",")
    return angle(lat), angle(lon)


def gc(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dl = math.radians(math.remainder(lon1 - lon2, 360))  # eastward
    y = math.hypot(math.cos(p2) * math.sin(dl),
                   math.cos(p1) * math.sin(p2) - math.sin(p1) * math.cos(p2) * math.cos(dl))
    x = math.sin(p1) * math.sin(p2) + math.cos(p1) * math.cos(p2) * math.cos(dl)
    c = math.degrees(math.atan2(math.sin(dl) * math.cos(p2),
                                math.cos(p1) * math.sin(p2) - math.sin(p1) * math.cos(p2) * math.cos(dl)))
    return c % 360, math.degrees(math.atan2(y, x)) * 60


def rl(lat1, lon1, lat2, lon2):
    p1, p2 = math.radians(lat1), math.radians(lat2)
    dl = math.radians(math.remainder(lon1 - lon2, 360))
    if abs(abs(lat1) - 90) < 1e-9 or abs(abs(lat2) - 90) < 1e-9:
        return (180.0 if lat1 > lat2 else 0.0), abs(lat2 - lat1) * 60
    dpsi = math.log(math.tan(math.pi / 4 + p2 / 2) / math.tan(math.pi / 4 + p1 / 2))
    q = (p2 - p1) / dpsi if abs(dpsi) > 1e-12 else math.cos(p1)
    return math.degrees(math.atan2(dl, dpsi)) % 360, math.degrees(math.hypot(p2 - p1, q * dl)) * 60


def leg_rules(lat1, lon1, lat2, lon2):
    """The great circle where the leg calculator's own rules apply, else None."""
    if abs(abs(lat1) - 90) < 1e-9:
        return (180.0 if lat1 > 0 else 0.0), abs(lat2 - lat1) * 60
    if abs(abs(lat2) - 90) < 1e-9:
        return (0.0 if lat2 > 0 else 180.0), abs(lat2 - lat1) * 60
    if abs(abs(math.remainder(lon2 - lon1, 360)) - 180) < 1e-9:
        north = lat1 + lat2 >= 0
        return (0.0 if north else 180.0), ((180 - lat1 - lat2) if north else (180 + lat1 + lat2)) * 60
    return None


def vec(lat, lon):
    la, lo = math.radians(lat), math.radians(lon)
    return (math.cos(la) * math.cos(lo), math.cos(la) * math.sin(lo), math.sin(la))


def review_leg(case, args, lines):
    (lat1, lon1), (lat2, lon2) = position(option(args, "--from")), position(option(args, "--to"))
    route = option(args, "--route")
    if route:
        pts = [tuple(map(float, l.split(";")[1:])) for l in lines[1:]]
        if route == "gc" and leg_rules(lat1, lon1, lat2, lon2) is None:
            a, b = vec(lat1, lon1), vec(lat2, lon2)
            n = (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])
            nn = math.sqrt(sum(x * x for x in n))
            off = max(abs(sum(x * y for x, y in zip(n, vec(*p)))) / nn for p in pts)
            print(f"{case}: {len(pts)} points, largest distance from the circle "
                  f"{math.degrees(off) * 60:.2e} NM")
        elif route == "rl":
            c0, d0 = rl(lat1, lon1, lat2, lon2)
            worst = max(abs(rl(lat1, lon1, *p)[0] - c0) for p in pts[1:])
            steps = [rl(lat1, lon1, *p)[1] - k * d0 / (len(pts) - 1) for k, p in enumerate(pts)]
            print(f"{case}: {len(pts)} points, course off by {worst:.2e}°, "
                  f"distance off by {max(map(abs, steps)):.2e} NM")
        else:
            print(f"{case}: {len(pts)} points over the pole or along a meridian:", pts)
        return
    if "--csv" not in args:
        print(f"{case}: text form, see the csv cases")
        return
    want = {"rhumb_line": rl(lat1, lon1, lat2, lon2),
            "great_circle": leg_rules(lat1, lon1, lat2, lon2) or gc(lat1, lon1, lat2, lon2)}
    for l in lines[1:]:
        method, course, dist = l.split(";")
        c, d = want[method]
        dc = math.remainder(float(course) - c, 360) if course else float("nan")
        print(f"{case}: {method:12} course off {dc:+.5f}°  distance off {float(dist) - d:+.5f} NM")


def review_distance(case, args, lines):
    utc = option(args, "--utc")
    n1, n2 = option(args, "--body1"), option(args, "--body2")
    if "--sextant" in args:
        truth = next(ex[0] for ex in lunar.LUNARS if ex[3] == n1 and ex[5] == n2)
        if "--csv" in args:
            gmt = lines[1].split(";")[5]
        else:
            text = next(l for l in lines if l.startswith("GMT of the distance:")).split()
            day, month, year = text[4].split("/")
            gmt = f"{year}-{month}-{day}T{text[5]}"
        error = (lunar.edate(gmt) - lunar.edate(truth)) * 86400
        print(f"{case}: worked example at {truth}, GMT found {gmt}: {error:+.0f} s")
        return
    if "--csv" not in args:
        print(f"{case}: report, see the csv cases")
        return
    dist, pa, sd1, sd2 = lunar.two_objects(utc, n1, n2)
    sign = {"near": -1, "far": 1, "center": 0, None: 0}
    corrected = dist + (sign[option(args, "--limb1")] * sd1 + sign[option(args, "--limb2")] * sd2) / 60
    _, _, _, bearing, d, c = lines[1].split(";")
    print(f"{case}: bearing off {float(bearing) - pa:+.4f}°, distance off "
          f"{(float(d) - dist) * 60:+.3f}', corrected off {(float(c) - corrected) * 60:+.3f}'")


def main():
    for path in sorted(GOLDEN.glob("leg_*.expected")) + sorted(GOLDEN.glob("distance_*.expected")):
        case = path.stem
        args = arg_list(case)
        lines = path.read_text(encoding="utf-8").splitlines()
        status = (GOLDEN / f"{case}.status").read_text().strip()
        if status != "0":
            print(f"{case}: exit {status}:", (GOLDEN / f"{case}.err").read_text().strip())
            continue
        (review_leg if args[0] == "leg" else review_distance)(case, args, lines)


if __name__ == "__main__":
    sys.exit(main())
