#!/usr/bin/python3
"""Throughput of `vrncli ephem` against PyEphem over the same body-instants, in one run.

Draws seeded random instants between 1950 and 2050 (UTC, whole seconds), 100,000 body-instants
by default, in equal shares for the five classes of body (within a class the bodies are drawn at
random). `vrncli ephem` reads them as "UTC;BODY" lines from a file and writes its answer lines
(a new process per class, its start-up included); PyEphem computes the same quantities in this
process: the text instant is converted, the body computed, and the apparent sidereal time at
Greenwich read for the GHA. Each side is timed as the best of --repeat runs (wall clock).

  /usr/bin/python3 bench/speed/ephem_speed.py --vrncli build/apps/vrncli/vrncli
"""

import argparse
import datetime
import math
import os
import random
import subprocess
import sys
import tempfile
import time

import ephem

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "accuracy"))
from accuracy import CLASSES, PLANETS, STARS, all_bodies, body_class  # noqa: E402


def draw(rng, count, bodies):
    start = datetime.datetime(1950, 1, 1)
    span = int((datetime.datetime(2051, 1, 1) - start).total_seconds())
    out = []
    for _ in range(count):
        t = start + datetime.timedelta(seconds=rng.randrange(span))
        out.append((t.strftime("%Y-%m-%dT%H:%M:%S"), rng.choice(bodies)))
    return out


def time_vrncli(vrncli, requests, repeat):
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write("".join(f"{u};{b}\n" for u, b in requests))
        path = f.name
    try:
        best = math.inf
        for _ in range(repeat):
            with open(path) as inp, open(os.devnull, "w") as out:
                t0 = time.perf_counter()
                rc = subprocess.run([vrncli, "ephem"], stdin=inp, stdout=out,
                                    stderr=subprocess.PIPE, check=False).returncode
                best = min(best, time.perf_counter() - t0)
            if rc != 0:
                sys.exit(f"vrncli ephem failed with status {rc}")
        return best
    finally:
        os.unlink(path)


def pyephem_objects():
    objs = {"Sun": ephem.Sun(), "Moon": ephem.Moon()}
    for name, cls in PLANETS.items():
        objs[name] = cls()
    for name, alias in STARS.items():
        objs[name] = ephem.star(alias or name)
    return objs


def time_pyephem(requests, objs, repeat):
    obs = ephem.Observer()
    obs.lon, obs.lat, obs.elevation, obs.pressure = "0", "0", 0, 0
    best = math.inf
    for _ in range(repeat):
        t0 = time.perf_counter()
        for utc, name in requests:
            date = ephem.Date(utc.replace("-", "/").replace("T", " "))
            obs.date = date
            gast = obs.sidereal_time()
            if name == "Aries *":
                continue
            body = objs[name]
            body.compute(date)
            if name in STARS:
                _ = (gast - body.g_ra, body.g_dec)
            else:
                _ = (gast - body.g_ra, body.g_dec, body.radius, body.earth_distance)
        best = min(best, time.perf_counter() - t0)
    return best


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--vrncli", required=True)
    ap.add_argument("--count", type=int, default=100000, help="body-instants in all")
    ap.add_argument("--seed", type=int, default=7)
    ap.add_argument("--repeat", type=int, default=3)
    args = ap.parse_args()

    rng = random.Random(args.seed)
    by_class = {c: [b for b in all_bodies() if body_class(b) == c] for c in CLASSES}
    share = args.count // len(CLASSES)
    work = {c: draw(rng, share, by_class[c]) for c in CLASSES}
    objs = pyephem_objects()

    startup = time_vrncli(args.vrncli, [], args.repeat)
    print(f"{share * len(CLASSES)} body-instants, {share} per class, best of {args.repeat}; "
          f"PyEphem {ephem.__version__}; vrncli start-up alone {startup:.3f} s (in every "
          "vrncli time below)")
    print(f"{'class':8} {'vrncli s':>9} {'PyEphem s':>10} {'us/inst vrncli':>15} "
          f"{'us/inst PyEphem':>16} {'PyEphem/vrncli':>15}")
    total_v = total_p = 0.0
    vrncli_times, pyephem_times = {}, {}
    for c in CLASSES:
        tv = time_vrncli(args.vrncli, work[c], args.repeat)
        tp = time_pyephem(work[c], objs, args.repeat)
        vrncli_times[c], pyephem_times[c] = tv, tp
        total_v += tv
        total_p += tp
        print(f"{c:8} {tv:9.3f} {tp:10.3f} {tv / share * 1e6:15.2f} {tp / share * 1e6:16.2f} "
              f"{tp / tv:14.1f}x")
    everything = [r for c in CLASSES for r in work[c]]
    tv_all = time_vrncli(args.vrncli, everything, args.repeat)
    print(f"{'all':8} {tv_all:9.3f} {total_p:10.3f} {tv_all / len(everything) * 1e6:15.2f} "
          f"{total_p / len(everything) * 1e6:16.2f} {total_p / tv_all:14.1f}x")
    print("(vrncli: one process for all classes; PyEphem: the sum of the classes)")
    print(f"without the start-up: all {total_p / max(tv_all - startup, 1e-9):.1f}x; per class "
          + ", ".join(f"{c} {pyephem_times[c] / max(vrncli_times[c] - startup, 1e-9):.1f}x"
                      for c in CLASSES))


if __name__ == "__main__":
    main()
