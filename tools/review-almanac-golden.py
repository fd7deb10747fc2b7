#!/usr/bin/python3
"""Review of the golden almanac pages (tests/data/sky/almanac_*.expected) before they are committed.

Two checks, independent of the program that wrote the pages:
  layout  every line of both pages against the fixed layout: 91 lines, the column bars in their
          places, hour labels, the vertical weekday names, the star column on lines 7-11, 13-17,
          ..., 73-77 and nowhere else;
  values  every number on the pages against PyEphem (libastro), an independent ephemeris:
          apparent geocentric places of date, GHA = Greenwich apparent sidereal time - RA,
          SHA = GHA(star) - GHA(Aries); the Moon's HP = asin(6378.14 km / distance), its SD =
          asin(1737.4 km / distance), the Sun's SD from PyEphem's radius; v, d and the summary
          lines recomputed from those places by their almanac definitions.

It prints, per column, the largest difference in minutes of arc (page value minus reference)
and exits 1 when a column exceeds its bound (the engine's accuracy goals plus the 0.05' of the
page's rounding). Run it with Debian's python3 (python3-ephem):
  /usr/bin/python3 tools/review-almanac-golden.py tests/data/sky/almanac_2024-03-30
"""

import datetime
import math
import re
import sys

import ephem

AU_KM = 149597870.7
EARTH_RADIUS_KM = 6378.14
MOON_RADIUS_KM = 1737.4

PLANETS = {"Venus": ephem.Venus, "Mars": ephem.Mars, "Jupiter": ephem.Jupiter,
           "Saturn": ephem.Saturn}
STAR_NAMES = {"Albireo": "Albereo", "Al Na-ir": "Alnair", "Gienah": "Gienah Corvi",
              "Kaus Austr.": "Kaus Australis", "Rigil Kent": "Rigil Kentaurus",
              "Zuben-ubi": "Zubenelgenubi"}
MONTHS = ["JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"]
DAYS = ["MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY", "SUNDAY"]

# Bounds in minutes of arc: the engine's goals (Sun and Aries 0.1', planets and stars 0.2',
# Moon 0.3') plus 0.05' of rounding; v, d, HP and SD are differences or sizes of 0.1' tenths.
BOUNDS = {"Aries GHA": 0.15, "planet GHA": 0.25, "planet Dec": 0.25, "Sun GHA": 0.15,
          "Sun Dec": 0.15, "Moon GHA": 0.35, "Moon Dec": 0.35, "Moon v": 0.25, "Moon d": 0.25,
          "Moon HP": 0.15, "star SHA": 0.35, "star Dec": 0.25, "planet v": 0.15,
          "planet d": 0.15, "Sun SD": 0.15, "Sun d": 0.15, "Moon SD": 0.15}


def gast_deg(date):
    obs = ephem.Observer()
    obs.lon, obs.lat, obs.elevation, obs.pressure = "0", "0", 0, 0
    obs.date = date
    return math.degrees(obs.sidereal_time())


def place(body, when):
    """GHA, Dec (degrees) and the computed body at a datetime."""
    date = ephem.Date(when)
    body.compute(date)
    gha = (gast_deg(date) - math.degrees(body.g_ra)) % 360.0
    return gha, math.degrees(body.g_dec), body


def almanac_dm(text):
    """'123 07.3' -> degrees."""
    deg, minutes = text.split()
    return int(deg) + float(minutes) / 60.0


def almanac_decl(text):
    """'N 5 07.3' / 'S10 38.5' -> signed degrees."""
    sign = 1 if text[0] == "N" else -1
    deg, minutes = text[1:].split()
    return sign * (int(deg) + float(minutes) / 60.0)


def wrap180(x):
    return (x + 180.0) % 360.0 - 180.0


class Review:
    def __init__(self):
        self.worst = {}
        self.errors = []

    def diff(self, column, got, want):
        d = abs(got - want)
        self.worst[column] = max(self.worst.get(column, 0.0), d)

    def angle(self, column, got_deg, want_deg, weight=1.0):
        self.diff(column, abs(wrap180(got_deg - want_deg)) * 60 * weight, 0.0)

    def layout(self, condition, message):
        if not condition:
            self.errors.append(message)


def first_date(title):
    m = re.match(r"\s*(\d+) ([A-Z]+)\. (\d+),", title)
    return datetime.datetime(int(m.group(1)), MONTHS.index(m.group(2)) + 1, int(m.group(3)))


def row_lines(lines):
    """(page line index, day, hour) of the 72 hourly rows by the fixed layout."""
    rows = []
    for day in range(3):
        base = 6 + day * 28
        for hour in range(24):
            rows.append((base + hour + (hour > 5) + (hour > 11) + (hour > 17), day, hour))
    return rows


def check_weekday(review, lines, start, page):
    for day in range(3):
        want = DAYS[(start + datetime.timedelta(days=day)).weekday()]
        base = 6 + day * 28 + 5
        got = "".join(lines[base + k][1] for k in range(len(want)))
        review.layout(got == want, f"{page}: weekday of day {day + 1} reads {got!r}, not {want!r}")
        review.layout(lines[base + len(want)][1] == " " or len(want) == 22,
                      f"{page}: weekday of day {day + 1} runs on")


def review_left(review, lines):
    review.layout(len(lines) == 91, f"left: {len(lines)} lines, not 91")
    start = first_date(lines[0])
    check_weekday(review, lines, start, "left")
    bars = [6, 17, 37, 57, 77]
    for i, line in enumerate(lines[1:90], start=1):
        if len(line) <= 2:  # the separators after hours 5, 11 and 17
            continue
        for b in bars:
            review.layout(len(line) > b and line[b] in "|+",
                          f"left line {i + 1}: no column bar at {b + 1}: {line!r}")
    at = {}
    for index, day, hour in row_lines(lines):
        line = lines[index]
        when = start + datetime.timedelta(days=day, hours=hour)
        label = f"{when.day:2d} {hour:2d} | " if hour == 0 else f"   {hour:2d} | "
        review.layout(line[2:].startswith(label[2:]) and (hour != 0 or line.startswith(label)),
                      f"left line {index + 1}: hour label {line[:8]!r}")
        aries = gast_deg(ephem.Date(when)) % 360.0
        review.angle("Aries GHA", almanac_dm(line[8:16]), aries)
        for k, name in enumerate(PLANETS):
            gha, dec, _ = place(PLANETS[name](), when)
            column = 19 + 20 * k
            review.angle("planet GHA", almanac_dm(line[column:column + 8]), gha)
            review.angle("planet Dec", almanac_decl(line[column + 9:column + 17]), dec)
            if hour == 0 and day in (1, 2):
                at[(name, day)] = (gha, dec)
    summary = lines[90]
    review.layout(summary.startswith(" " * 17 + "|"), "left: summary line lead")
    for k, cell in enumerate(summary[18:].split("|")):
        m = re.match(r"\s*v\s+(-?\d+\.\d)\s+d\s+(\d+\.\d)", cell)
        review.layout(m is not None, f"left: summary cell {cell!r}")
        name = list(PLANETS)[k]
        (g1, d1), (g2, d2) = at[(name, 1)], at[(name, 2)]
        review.diff("planet v", float(m.group(1)), wrap180(g2 - g1) * 60 / 24)
        review.diff("planet d", float(m.group(2)), abs(d2 - d1) * 60 / 24)


def review_right(review, lines):
    review.layout(len(lines) == 91, f"right: {len(lines)} lines, not 91")
    start = first_date(lines[0])
    check_weekday(review, lines, start, "right")
    for i, line in enumerate(lines[1:90], start=1):
        for b in (6, 26):
            review.layout(line[b] in "|+", f"right line {i + 1}: no column bar at {b + 1}")
        review.layout(line[61] in "|+", f"right line {i + 1}: no column bar at 62")
    prev_gha, prev_dec, _ = place(ephem.Moon(), start - datetime.timedelta(hours=1))
    sun_at = {}
    moon_sd = {}
    for index, day, hour in row_lines(lines):
        line = lines[index]
        when = start + datetime.timedelta(days=day, hours=hour)
        sun = line[8:25]
        moon = line[28:60]
        gha, dec, sun_body = place(ephem.Sun(), when)
        review.angle("Sun GHA", almanac_dm(sun[:8]), gha)
        review.angle("Sun Dec", almanac_decl(sun[9:17]), dec)
        if hour == 0 and day in (1, 2):
            sun_at[day] = (dec, math.degrees(sun_body.radius) * 60)
        gha, dec, moon_body = place(ephem.Moon(), when)
        dist = moon_body.earth_distance * AU_KM
        review.angle("Moon GHA", almanac_dm(moon[:8]), gha)
        review.diff("Moon v", float(moon[9:13]),
                    ((gha - prev_gha) % 360.0 - 15) * 60 + 41)
        review.angle("Moon Dec", almanac_decl(moon[14:22]), dec)
        review.diff("Moon d", float(moon[23:27]), abs(dec - prev_dec) * 60)
        review.diff("Moon HP", float(moon[28:32]),
                    math.degrees(math.asin(EARTH_RADIUS_KM / dist)) * 60)
        if hour == 12:
            moon_sd[day] = math.degrees(math.asin(MOON_RADIUS_KM / dist)) * 60
        prev_gha, prev_dec = gha, dec
    # Stars: 60 entries on lines 7-11, 13-17, ..., 73-77 (1-based), nothing on the others.
    noon = start + datetime.timedelta(days=1, hours=12)
    aries = gast_deg(ephem.Date(noon))
    star_lines = [6 + k + k // 5 for k in range(60)]
    for i in range(6, 90):
        tail = lines[i][63:]
        if i in star_lines:
            name = tail[:11].rstrip()
            star = ephem.star(STAR_NAMES.get(name, name))
            gha, dec, _ = place(star, noon)
            review.angle("star SHA", almanac_dm(tail[12:20]), (gha - aries) % 360.0,
                         math.cos(math.radians(dec)))
            review.angle("star Dec", almanac_decl(tail[21:29]), dec)
        else:
            review.layout(tail.strip() == "", f"right line {i + 1}: text off the star column")
    summary = lines[90]
    m = re.match(r" {6}\|S\.D\. (..\..)   d (..\..) \| S\.D\.    (..\..)    (..\..)    (..\..)    "
                 r" \|$", summary)
    review.layout(m is not None, f"right: summary line {summary!r}")
    if m:
        review.diff("Sun SD", float(m.group(1)), sun_at[2][1])
        review.diff("Sun d", float(m.group(2)), abs(sun_at[2][0] - sun_at[1][0]) * 60 / 24)
        for k in range(3):
            review.diff("Moon SD", float(m.group(3 + k)), moon_sd[k])


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: review-almanac-golden.py tests/data/sky/almanac_YYYY-MM-DD")
    stem = sys.argv[1]
    review = Review()
    with open(stem + "_left.expected", encoding="utf-8") as f:
        review_left(review, f.read().split("\n")[:-1])
    with open(stem + "_right.expected", encoding="utf-8") as f:
        review_right(review, f.read().split("\n")[:-1])
    failed = bool(review.errors)
    for e in review.errors:
        print("layout:", e)
    print(f"{'column':12} {'max |page - PyEphem|':>22}  bound (arcmin)")
    for column, worst in review.worst.items():
        bound = BOUNDS[column]
        flag = "" if worst <= bound else "  EXCEEDED"
        failed |= worst > bound
        print(f"{column:12} {worst:22.3f}  {bound:.2f}{flag}")
    print("layout: ok" if not review.errors else f"layout: {len(review.errors)} problem(s)")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
