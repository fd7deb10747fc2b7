#!/usr/bin/env python3
"""Review aid for the vrncli starfinder golden files: recomputes the altitude and azimuth of every
listed body of tests/apps/vrncli/starfinder_*csv.expected with PyEphem (Debian package
python3-ephem) and prints the differences in minutes of arc, then the bodies PyEphem puts above
the horizon that the list lacks (or the reverse).

    /usr/bin/python3 tools/review-starfinder-golden.py

PyEphem gives the apparent geocentric place of date (g_ra, g_dec); altitude and azimuth follow
from the local hour angle by the spherical triangle, without refraction, like the star finder.
"""
import math
import sys
from pathlib import Path

import ephem


STAR_NAMES = {"Rigil Kent": "Rigil Kentaurus", "Kaus Austr.": "Kaus Australis"}
BODIES = {"Sun": ephem.Sun, "Moon": ephem.Moon, "Venus": ephem.Venus, "Mars": ephem.Mars,
          "Jupiter": ephem.Jupiter, "Saturn": ephem.Saturn}
REPO = Path(__file__).resolve().parent.parent


def parse_angle(text, negative_letters):
    text = text.strip()
    sign = -1 if text[-1] in negative_letters else 1
    if text[-1].isalpha():
        text = text[:-1]
    if "°" in text:
        d, m = text.split("°")
        return sign * (float(d) + float(m.rstrip("'")) / 60)
    return sign * float(text)


def alt_az(utc, name, lat, lon_west):
    date = ephem.Date(utc.replace("-", "/").replace("T", " "))
    obs = ephem.Observer()
    obs.lon, obs.lat, obs.date = "0", "0", date
    gast = math.degrees(obs.sidereal_time())
    body = BODIES[name]() if name in BODIES else ephem.star(STAR_NAMES.get(name, name))
    body.compute(date)
    lha = math.radians((gast - math.degrees(body.g_ra) - lon_west) % 360)
    dec, phi = float(body.g_dec), math.radians(lat)
    sin_h = math.sin(phi) * math.sin(dec) + math.cos(phi) * math.cos(dec) * math.cos(lha)
    h = math.degrees(math.asin(sin_h))
    z = math.degrees(math.atan2(-math.cos(dec) * math.sin(lha),
                                math.sin(dec) * math.cos(phi) - math.cos(dec) * math.sin(phi) * math.cos(lha)))
    return h, z % 360


def main():
    catalogue = [l.split('"')[1] for l in (REPO / "engine/Stars.cpp").read_text().splitlines()
                 if l.strip().startswith('{"')]
    for expected in sorted((REPO / "tests/apps/vrncli").glob("starfinder_*csv.expected")):
        args = expected.with_suffix(".args").read_text().splitlines()
        opt = {args[i]: args[i + 1] for i in range(1, len(args) - 1) if args[i].startswith("--")}
        lat = parse_angle(opt["--lat"], "S")
        lon = parse_angle(opt["--lon"], "E")
        utc = opt["--utc"]
        print(f"{expected.name}: {lat:.4f} {lon:.4f} {utc}")
        listed = set()
        worst = 0.0
        for line in expected.read_text().splitlines()[1:]:
            name, hc, zn, _ = line.split(";")
            listed.add(name)
            try:
                h, z = alt_az(utc, name, lat, lon)
            except KeyError:
                print(f"  {name:14} not in PyEphem's catalogue")
                continue
            dh = (float(hc) - h) * 60
            dz = ((float(zn) - z + 180) % 360 - 180) * 60 * math.cos(math.radians(h))
            worst = max(worst, abs(dh), abs(dz))
            print(f"  {name:14} dHc {dh:7.3f}'  dZn·cos h {dz:7.3f}'")
        print(f"  largest difference {worst:.3f}'")
        if "--best" in opt:
            continue
        for name in ["Sun", "Moon", "Venus", "Saturn", "Mars", "Jupiter"] + catalogue:
            try:
                h, _ = alt_az(utc, name, lat, lon)
            except KeyError:
                continue
            if (h >= 0) != (name in listed) and abs(h) > 0.01:
                print(f"  MISMATCH {name}: PyEphem altitude {h:.3f}°, listed {name in listed}")


if __name__ == "__main__":
    sys.exit(main())
