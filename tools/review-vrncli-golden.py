#!/usr/bin/env python3
"""Review aid for the vrncli ephem golden file: recomputes every line of
tests/apps/vrncli/ephem_bodies.expected with PyEphem (Debian package python3-ephem) and prints the
differences in minutes of arc (GHA on the sky, i.e. scaled by cos dec; SD and HP directly).

    /usr/bin/python3 tools/review-vrncli-golden.py

PyEphem gives the apparent geocentric place of date; GHA = apparent sidereal time - RA. The
bodies are computed at the engine's ΔT (TT = UT + ΔT of engine/DeltaTTable.cpp), so that the
columns compare the theories; the last column gives PyEphem's own ΔT minus the engine's (after
the observed values PyEphem extrapolates: 33 s more by 2050, 0.3' of the Moon's motion).
"""
import math
import os
import sys
from pathlib import Path

import ephem

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench",
                                "accuracy"))
import system_deltat  # noqa: E402

# PyEphem spells some catalogue stars in full.
STAR_NAMES = {"Rigil Kent": "Rigil Kentaurus", "Kaus Austr.": "Kaus Australis"}
BODIES = {"Sun": ephem.Sun, "Moon": ephem.Moon, "Venus": ephem.Venus, "Mars": ephem.Mars,
          "Jupiter": ephem.Jupiter, "Saturn": ephem.Saturn}


def ddt(date):
    """The engine's ΔT minus PyEphem's, seconds."""
    year = system_deltat.year_of_jd(float(date) + 2415020.0)
    return system_deltat.delta_t(year) - ephem.delta_t(date)


def reference(utc, name):
    date = ephem.Date(utc.replace("-", "/").replace("T", " "))
    obs = ephem.Observer()
    obs.lon, obs.lat, obs.date = "0", "0", date
    gast = math.degrees(obs.sidereal_time())
    if name == "Aries *":
        return gast % 360, 0.0, 0.0, 0.0
    body = BODIES[name]() if name in BODIES else ephem.star(STAR_NAMES.get(name, name))
    body.compute(ephem.Date(date + ddt(date) / 86400.0))
    gha = (gast - math.degrees(body.g_ra)) % 360
    sd = hp = 0.0
    if name == "Sun":
        sd = body.size / 2 / 60
    if name == "Moon":
        sd = body.size / 2 / 60
        hp = math.degrees(math.asin(6378.137 / (body.earth_distance * 149597870.7))) * 60
    if name in ("Venus", "Mars", "Jupiter", "Saturn"):
        hp = 8.794 / body.earth_distance / 60
    return gha, math.degrees(body.g_dec), sd, hp


def main():
    path = Path(__file__).resolve().parent.parent / "tests/apps/vrncli/ephem_bodies.expected"
    lines = path.read_text().splitlines()[1:]
    print(f"{'utc':19} {'body':12} {'dGHA':>7} {'dDec':>7} {'dSD':>7} {'dHP':>7}  (arcmin)"
          "  PyEphem's ΔT - engine's (s)")
    for line in lines:
        utc, name, gha, dec, sd, hp, _ = line.split(";")
        rg, rd, rs, rh = reference(utc, name)
        dg = ((float(gha) - rg + 180) % 360 - 180) * 60 * math.cos(math.radians(rd))
        dd = (float(dec) - rd) * 60
        gap = -ddt(ephem.Date(utc.replace("-", "/").replace("T", " ")))
        print(f"{utc} {name:12} {dg:7.3f} {dd:7.3f} {float(sd) - rs:7.3f} {float(hp) - rh:7.3f}"
              f"  {gap:+6.1f}")


if __name__ == "__main__":
    sys.exit(main())
