#!/usr/bin/env python3
"""Checks the files of the `vrncli gpx` goldens (tests/apps/vrncli/gpx/) against gpsbabel.

For every import case, gpsbabel reads the case's GPX input on its own (unicsv of waypoints,
routes and tracks) and each of its points must be in the desktop the case expects, with the
latitude, the longitude negated (desktops are west positive) and the time; the points it reads
that the desktop lacks are listed for the reviewer to find in the case's .err. For every export
case, gpsbabel reads the GPX the case expects and each of its points must be one of the input
desktop. Prints one line per case and exits 1 on any difference.

    tools/review-gpx-golden.py
"""
import csv
import io
import pathlib
import re
import subprocess
import sys

DIR = pathlib.Path(__file__).resolve().parent.parent / "tests/apps/vrncli/gpx"


def babel_points(gpx):
    """(lat, lon east positive, 'dd/mm/yyyy hh:mm:ss' or '') of every point gpsbabel reads."""
    points = []
    for kind in ("-w", "-r", "-t"):
        out = subprocess.run(["gpsbabel", kind, "-i", "gpx", "-f", str(gpx), "-o",
                              "unicsv,utc=0", "-F", "-"], capture_output=True, text=True,
                             check=True)
        if out.stderr:
            sys.exit(f"gpsbabel warned about {gpx}: {out.stderr}")
        for row in csv.DictReader(io.StringIO(out.stdout)):
            when = ""
            if row.get("Date"):
                y, m, d = row["Date"].split("/")
                when = f"{d}/{m}/{y} {row['Time'][:8]}"
            points.append((float(row["Latitude"]), float(row["Longitude"]), when))
    return points


def desktop_points(vrn):
    """(lat, lon west positive, time text) of every point and mark of a desktop."""
    points = []
    for line in vrn.read_text(encoding="cp1252").splitlines():
        f = line.split(";")
        if f[0] == "P":
            points.append((float(f[1]), float(f[2]), f[4] if len(f) > 4 else ""))
        elif f[:2] == ["O", "URL"]:
            points.append((float(f[3]), float(f[4]), ""))
    return points


def missing(babel, desk):
    """The points of gpsbabel's reading that the desktop does not have."""
    # gpsbabel prints six decimals, desktops five; times to the second.
    return [(lat, lon, when) for lat, lon, when in babel
            if not any(abs(lat - dl) < 6e-6 and abs(-lon - dw) < 6e-6 and (not when or when == dt)
                       for dl, dw, dt in desk)]


def main():
    failed = False
    for args in sorted(DIR.glob("*.args")):
        case = args.stem
        argv = args.read_text().split("\n")
        files = [f for f in (DIR / f"{case}.files").read_text().split() if not f.startswith("!")]
        if not files:
            print(f"{case}: writes nothing")
            continue
        source = DIR / pathlib.Path(argv[1]).name
        written = DIR / f"{case}.{files[0]}"
        if source.suffix == ".gpx":
            # Every point gpsbabel reads from the input is in the desktop written, but those the
            # case's .err says were left out (gpsbabel takes a missing or invalid coordinate as
            # it comes): the reviewer checks the list against the .err.
            left_out = missing(babel_points(source), desktop_points(written))
            problem = None
            if left_out:
                print(f"{case}: left out, see {case}.err: {left_out}")
        else:
            # Every point of the GPX written is a point of the input desktop.
            babel = babel_points(written)
            extra = missing(babel, desktop_points(source))
            problem = f"points not in the desktop: {extra}" if extra else None
            print(f"{case}: gpsbabel reads {len(babel)} points")
        print(f"{case}: {problem or 'agrees with gpsbabel'}")
        failed = failed or problem is not None
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
