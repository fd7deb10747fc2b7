"""The engine's ΔT (TT − UT, seconds) for the reference computations of the review and accuracy
scripts, read from the committed sources so that it cannot drift from the engine:
engine/DeltaTTable.cpp (observed values, mean recent rate) and engine/AATIME.h (the year up to
which the last value is held). Covers 1657 onwards, which is all these scripts ask for.

A reference ephemeris computed at the engine's ΔT compares the theories alone; how the engine's
ΔT compares with the leap seconds is a separate check (accuracy.py prints it).
"""

import bisect
import os
import re

_ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def _read(path):
    with open(os.path.join(_ROOT, path), encoding="utf-8") as f:
        return f.read()


def _load():
    table = _read("engine/DeltaTTable.cpp")
    points = [(float(y), float(s)) for y, s in
              re.findall(r"\{\s*([0-9.]+),\s*(-?[0-9.]+)\s*\}", table)]
    rate = float(re.search(r"kDeltaTMeanRecentRate\s*=\s*([0-9.]+)", table).group(1))
    hold = float(re.search(r"kDeltaTHoldUntilYear\s*=\s*([0-9.]+)", _read("engine/AATIME.h"))
                 .group(1))
    if len(points) < 1000 or any(b[0] <= a[0] for a, b in zip(points, points[1:])):
        raise RuntimeError("engine/DeltaTTable.cpp: unexpected table")
    return points, rate, hold


_POINTS, _RATE, _HOLD = _load()
_YEARS = [p[0] for p in _POINTS]


def year_of_jd(jd):
    """The engine's year scale, 2000 + 100·T."""
    return 2000.0 + (jd - 2451545.0) / 365.25


def delta_t(year):
    """ΔT in seconds at year Y = 2000 + 100·T, as the engine computes it (from 1657)."""
    if year < _YEARS[0]:
        raise ValueError(f"year {year}: before the observed ΔT table")
    last_year, last = _POINTS[-1]
    if year > last_year:
        return last if year <= _HOLD else last + _RATE * (year - _HOLD)
    i = bisect.bisect_right(_YEARS, year)
    if i >= len(_POINTS):
        return last
    (ya, a), (yb, b) = _POINTS[i - 1], _POINTS[i]
    return a + (b - a) * (year - ya) / (yb - ya)
