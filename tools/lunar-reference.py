#!/usr/bin/env python3
"""Independent reference values for the two-object calculations and the clearing of lunar
distances, from PyEphem (Debian package python3-ephem):

    /usr/bin/python3 tools/lunar-reference.py

1. Two-object table: for each instant and pair of bodies, the distance between the centres of
   the apparent geocentric places (PyEphem's g_ra/g_dec), the position angle of the second body
   from the first (north through east, from the standard formula
   tan P = sin(a2 - a1) cos d2 / (cos d1 sin d2 - sin d1 cos d2 cos(a2 - a1))) and the
   semi-diameters in minutes of arc.

2. Lunar worked examples: an observer at a known place and instant. PyEphem gives the true
   topocentric places (observer on the spheroid, pressure 0 so that no refraction is applied)
   and the topocentric semi-diameters. The limb points of each body facing (or, for a far limb,
   turned away from) the other are taken on the true topocentric sky, then each point and each
   centre is lifted by refraction (Bennett's formula with its correction term, Meeus ch. 16,
   inverted by iteration since it takes the apparent altitude). The sextant reading is the
   angle between the refracted limb points less the index correction; the sextant altitudes of
   the centres are the refracted altitudes less the index correction and the dip
   (0.97' per square root of a foot of height of eye). The cleared distance must come back as
   the geocentric distance, and the GMT as the instant.
"""
import math
import sys

import ephem

STAR_NAMES = {"Rigil Kent": "Rigil Kentaurus", "Kaus Austr.": "Kaus Australis"}
BODIES = {"Sun": ephem.Sun, "Moon": ephem.Moon, "Venus": ephem.Venus, "Mars": ephem.Mars,
          "Jupiter": ephem.Jupiter, "Saturn": ephem.Saturn}


def body(name):
    if name in BODIES:
        return BODIES[name]()
    return ephem.star(STAR_NAMES.get(name, name))


def edate(utc):
    return ephem.Date(utc.replace("-", "/").replace("T", " "))


def position_angle(a1, d1, a2, d2):
    da = a2 - a1
    y = math.sin(da) * math.cos(d2)
    x = math.cos(d1) * math.sin(d2) - math.sin(d1) * math.cos(d2) * math.cos(da)
    return math.degrees(math.atan2(y, x)) % 360


def place(name, d):
    """Apparent geocentric right ascension and declination of date, radians; the first point
    of Aries is the equinox of date itself."""
    if name == "Aries *":
        return 0.0, 0.0
    b = body(name)
    b.compute(d)
    return b.g_ra, b.g_dec


def semi_diameter(name, d):
    if name not in ("Sun", "Moon"):
        return 0.0
    b = body(name)
    b.compute(d)
    return b.size / 2 / 60


def two_objects(utc, n1, n2):
    d = edate(utc)
    a1, d1 = place(n1, d)
    a2, d2 = place(n2, d)
    dist = math.degrees(ephem.separation((a1, d1), (a2, d2)))
    pa = position_angle(a1, d1, a2, d2)
    return dist, pa, semi_diameter(n1, d), semi_diameter(n2, d)


# Refraction in minutes of arc for an apparent altitude, as the sextant corrections take it.
def bennett(ha):
    r0 = 1 / math.tan(math.radians(ha + 7.31 / (ha + 4.4)))
    return r0 - 0.06 * math.sin(math.radians(14.7 * r0 + 13))


def refracted(h):
    """Apparent altitude of a true altitude h (degrees)."""
    ha = h
    for _ in range(50):
        ha = h + bennett(ha) / 60
    return ha


def unit(alt, az):
    return (math.cos(alt) * math.sin(az), math.cos(alt) * math.cos(az), math.sin(alt))


def angle(u, v):
    c = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
    return math.atan2(math.sqrt(sum(x * x for x in c)), sum(a * b for a, b in zip(u, v)))


def toward(u, v, s):
    """The point at arc s from u on the great circle towards v."""
    d = sum(a * b for a, b in zip(u, v))
    t = [b - d * a for a, b in zip(u, v)]
    n = math.sqrt(sum(x * x for x in t))
    t = [x / n for x in t]
    return [math.cos(s) * a + math.sin(s) * b for a, b in zip(u, t)]


def alt_az(u):
    return math.asin(u[2]), math.atan2(u[0], u[1])


def lunar(utc, lat, lon_west, n1, limb1, n2, limb2, ic_arcmin, eye_m):
    d = edate(utc)
    obs = ephem.Observer()
    obs.lat, obs.lon = str(lat), str(-lon_west)
    obs.elevation, obs.pressure, obs.date = eye_m, 0, d
    b1, b2 = body(n1), body(n2)
    b1.compute(obs)
    b2.compute(obs)
    u1, u2 = unit(b1.alt, b1.az), unit(b2.alt, b2.az)
    s1 = b1.size / 2 / 3600 if n1 in ("Sun", "Moon") else 0.0
    s2 = b2.size / 2 / 3600 if n2 in ("Sun", "Moon") else 0.0
    sign = {"near": 1, "far": -1, "center": 0}
    p1 = toward(u1, u2, math.radians(sign[limb1] * s1))
    p2 = toward(u2, u1, math.radians(sign[limb2] * s2))

    def lift(p):
        alt, az = alt_az(p)
        return unit(math.radians(refracted(math.degrees(alt))), az)

    reading = math.degrees(angle(lift(p1), lift(p2))) - ic_arcmin / 60
    dip = -0.97 * math.sqrt(eye_m / 0.3048) / 60
    hs1 = refracted(math.degrees(b1.alt)) - ic_arcmin / 60 - dip
    hs2 = refracted(math.degrees(b2.alt)) - ic_arcmin / 60 - dip
    geo = two_objects(utc, n1, n2)[0]
    return reading, hs1, hs2, geo


TWO_OBJECTS = [
    ("2024-03-15T18:00:00", "Moon", "Sun"),
    ("2024-03-15T18:00:00", "Sun", "Moon"),
    ("2024-09-10T06:30:00", "Moon", "Sun"),
    ("2024-03-15T22:00:00", "Moon", "Regulus"),
    ("2025-01-20T03:00:00", "Sirius", "Canopus"),
    ("2025-01-20T03:00:00", "Betelgeuse", "Rigel"),
    ("2025-01-20T03:00:00", "Aries *", "Aldebaran"),
    ("2025-06-01T00:00:00", "Moon", "Jupiter"),
]

LUNARS = [
    # utc, lat, lon (west +), body 1, limb 1, body 2, limb 2, index correction ', eye m
    ("2024-03-15T18:00:00", 35.0, 45.0, "Moon", "near", "Sun", "near", -1.2, 3.0),
    ("2024-03-15T22:00:00", 40.0, 0.0, "Moon", "far", "Regulus", "center", 0.0, 0.0),
    ("2024-09-10T06:30:00", -20.0, -150.0, "Sun", "near", "Moon", "near", 0.8, 4.5),
]


def main():
    print("# two objects: utc; body1; body2; distance deg; position angle deg; sd1'; sd2'")
    for utc, n1, n2 in TWO_OBJECTS:
        dist, pa, sd1, sd2 = two_objects(utc, n1, n2)
        print(f"{utc};{n1};{n2};{dist:.5f};{pa:.3f};{sd1:.3f};{sd2:.3f}")
    print("# lunars: utc; lat; lon; body1; limb1; body2; limb2; ic'; eye m; "
          "reading deg; hs1 deg; hs2 deg; geocentric distance deg")
    for case in LUNARS:
        reading, hs1, hs2, geo = lunar(*case)
        print(";".join(str(x) for x in case) + f";{reading:.6f};{hs1:.6f};{hs2:.6f};{geo:.6f}")


if __name__ == "__main__":
    sys.exit(main())
