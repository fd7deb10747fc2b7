#!/usr/bin/python3
"""Throughput of `vrncli ephem` against PyEphem on the same lines, in one run.

Workloads (seeded; UTC instants 1950-2050, whole seconds):
  grouped  300 instants x all 67 bodies, the bodies of an instant together (an almanac's order);
  random   400 instants x 67 bodies = 26,800 lines in random order;
  <class>  26,800 lines of one class alone (Sun, Moon, Planets, Stars, Aries), each line at an
           instant of its own and a body of the class drawn at random.
`vrncli ephem` reads each workload from a file and writes its answers to /dev/null, a new
process per run, its start-up included; PyEphem computes the same quantities in this process:
the text instant is converted, the body computed, and the apparent sidereal time at Greenwich
read for the GHA. Each side is timed --repeat times and the median is used. The ratios are
PyEphem's time over vrncli's, with and without vrncli's start-up (an empty input). The goals
(5x on grouped and random, 2x on every class, start-up included) are judged on processor time
(user + system: vrncli's from the child's resource usage, PyEphem's from time.process_time),
since on a machine shared with other work the wall clock also counts the neighbours; the wall
clock ratio is printed beside it.

  /usr/bin/python3 bench/speed/ephem_speed.py --vrncli build/apps/vrncli/vrncli
"""

import argparse
import datetime
import os
import random
import resource
import statistics
import subprocess
import sys
import tempfile
import time

import ephem

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "accuracy"))
from accuracy import CLASSES, PLANETS, STARS, all_bodies, body_class  # noqa: E402

GOALS = {"grouped": 5.0, "random": 5.0}
CLASS_GOAL = 2.0


def draw_instants(rng, count):
    start = datetime.datetime(1950, 1, 1)
    span = int((datetime.datetime(2051, 1, 1) - start).total_seconds())
    return [(start + datetime.timedelta(seconds=rng.randrange(span))).strftime("%Y-%m-%dT%H:%M:%S")
            for _ in range(count)]


def workloads(seed):
    rng = random.Random(seed)
    bodies = all_bodies()
    work = {"grouped": [(u, b) for u in draw_instants(rng, 300) for b in bodies]}
    lines = [(u, b) for u in draw_instants(rng, 400) for b in bodies]
    rng.shuffle(lines)
    work["random"] = lines
    for c in CLASSES:
        of_class = [b for b in bodies if body_class(b) == c]
        work[c] = [(u, rng.choice(of_class)) for u in draw_instants(rng, 26800)]
    return work


def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def time_vrncli(vrncli, requests, repeat):
    """(median processor time, median wall time) of vrncli ephem on the lines, seconds."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write("".join(f"{u};{b}\n" for u, b in requests))
        path = f.name
    try:
        cpu, wall = [], []
        for _ in range(repeat):
            with open(path) as inp, open(os.devnull, "w") as out:
                c0, t0 = children_cpu(), time.perf_counter()
                rc = subprocess.run([vrncli, "ephem"], stdin=inp, stdout=out,
                                    stderr=subprocess.PIPE, check=False).returncode
                wall.append(time.perf_counter() - t0)
                cpu.append(children_cpu() - c0)
            if rc != 0:
                sys.exit(f"vrncli ephem failed with status {rc}")
        return statistics.median(cpu), statistics.median(wall)
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
    """(median processor time, median wall time) of PyEphem on the lines, seconds."""
    obs = ephem.Observer()
    obs.lon, obs.lat, obs.elevation, obs.pressure = "0", "0", 0, 0
    cpu, wall = [], []
    for _ in range(repeat):
        c0, t0 = time.process_time(), time.perf_counter()
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
        wall.append(time.perf_counter() - t0)
        cpu.append(time.process_time() - c0)
    return statistics.median(cpu), statistics.median(wall)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--vrncli", required=True)
    ap.add_argument("--seed", type=int, default=7)
    ap.add_argument("--repeat", type=int, default=5)
    args = ap.parse_args()

    work = workloads(args.seed)
    objs = pyephem_objects()
    startup, startup_wall = time_vrncli(args.vrncli, [], args.repeat)
    print(f"PyEphem {ephem.__version__}; median of {args.repeat} runs each; vrncli start-up "
          f"alone {startup * 1000:.1f} ms of processor time ({startup_wall * 1000:.1f} ms wall), "
          "included in every vrncli time")
    print(f"{'workload':9} {'lines':>6} {'vrncli s':>9} {'PyEphem s':>10} {'us/line vrncli':>15} "
          f"{'us/line PyEphem':>16} {'ratio':>7} {'w/o start-up':>13} {'wall ratio':>11} "
          f"{'goal':>5}")
    missed = []
    for name, requests in work.items():
        tv, tv_wall = time_vrncli(args.vrncli, requests, args.repeat)
        tp, tp_wall = time_pyephem(requests, objs, args.repeat)
        n = len(requests)
        ratio = tp / tv
        bare = tp / max(tv - startup, 1e-9)
        goal = GOALS.get(name, CLASS_GOAL)
        if ratio < goal:
            missed.append(name)
        print(f"{name:9} {n:6} {tv:9.3f} {tp:10.3f} {tv / n * 1e6:15.2f} {tp / n * 1e6:16.2f} "
              f"{ratio:6.1f}x {bare:12.1f}x {tp_wall / tv_wall:10.1f}x {goal:4.0f}x")
    print("(seconds and microseconds of processor time)")
    print("goals met" if not missed else "goals missed (start-up included): " + ", ".join(missed))


if __name__ == "__main__":
    main()
