#!/usr/bin/env python3
"""Checks the vrncli nmea golden files (tests/apps/vrncli/nmea_*_tsv) against a second,
independent reading of the same captures: this script frames, checks and parses the NMEA
sentences itself (with Python's own number and calendar code) and compares every line of the
expected TSV and the summary on standard error. Run after tools/gen-vrncli-golden.sh.

  tools/review-nmea-golden.py
"""
import datetime
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
CASES = os.path.join(ROOT, "tests", "apps", "vrncli")
EPOCH = datetime.datetime(1899, 12, 30)


def sentences(data):
    """Framing: '$' starts, CR or LF ends, '$' restarts, 257 bytes drop."""
    out, buf = [], None
    for b in data:
        c = chr(b)
        if buf is None:
            if c == "$":
                buf = "$"
        elif c in "\r\n":
            out.append(buf)
            buf = None
        elif c == "$":
            buf = "$"
        elif len(buf) == 256:
            buf = None
        else:
            buf += c
    return out


def strip_checksum(s):
    star = s.rfind("*")
    if star < 0:
        return s
    m = re.fullmatch(r"([0-9A-Fa-f]{2})[ \t]*", s[star + 1:])
    if not m:
        return None
    x = 0
    for c in s[1:star]:
        x ^= ord(c)
    return s[:star] if x == int(m.group(1), 16) else None


def kind(s):
    m = re.match(r"\$([A-Z]{2})(GLL|RMC)(,|$)", s)
    if not m or m.group(1)[0] == "P":
        return None
    return m.group(2)


def number(t):
    t = t.strip(" \t")
    if not re.fullmatch(r"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?", t):
        return None
    return float(t)


def coord(t):
    t = t.strip(" \t")
    if not re.fullmatch(r"\d*\.?\d*", t) or not re.search(r"\d", t):
        return None
    v = float(t)
    d = int(v // 100)
    m = v - 100 * d
    return None if m >= 60 else d + m / 60


def tod(t):
    m = re.fullmatch(r"(\d\d)(\d\d)(\d\d)(\.\d*)?", t.strip(" \t"))
    if not m:
        return None
    h, mi, s = (int(g) for g in m.groups()[:3])
    if h > 23 or mi > 59 or s > 59:
        return None
    return (h * 3600 + mi * 60 + s) / 86400


def date(t):
    m = re.fullmatch(r"(\d\d)(\d\d)(\d\d)", t.strip(" \t"))
    if not m:
        return None
    d, mo, y = (int(g) for g in m.groups())
    try:
        return (datetime.datetime(2000 + y if y < 80 else 1900 + y, mo, d) - EPOCH).days
    except ValueError:
        return None


class Receiver:
    def __init__(self):
        self.lat = self.lon = self.time = 0.0
        self.valid = False
        self.last = "NONE"
        self.sog = self.cog = 0.0

    def gll(self, f):
        if len(f) > 6 and not f[6].strip(" \t")[:1].upper() == "A":
            self.valid = False
        try:
            lat, lon = coord(f[1]), coord(f[3])
            ns, ew, t, st = f[2], f[4], tod(f[5]), f[6]
        except IndexError:
            return False
        if lat is None or lon is None or t is None:
            return False
        self.lat = -lat if ns.strip().upper() == "S" else lat
        self.lon = -lon if ew.strip().upper() == "E" else lon
        self.time, self.valid, self.last = t, st.strip()[:1].upper() == "A", "GLL"
        return True

    def rmc(self, f):
        if len(f) > 2 and not f[2].strip(" \t")[:1].upper() == "A":
            self.valid = False
        try:
            lat, ns, lon, ew = coord(f[3]), f[4], coord(f[5]), f[6]
            t, d, st, sog, cog = tod(f[1]), date(f[9]), f[2], f[7], f[8]
        except IndexError:
            return False
        if lat is None or lon is None or t is None or d is None:
            return False
        s = 0.0 if not sog.strip() else number(sog)
        if s is None:
            return False
        self.sog = s
        c = 0.0 if not cog.strip() else number(cog)
        if c is None:
            return False
        self.cog = c
        self.lat = -lat if ns.strip().upper() == "S" else lat
        self.lon = -lon if ew.strip().upper() == "E" else lon
        self.time, self.valid, self.last = d + t, st.strip()[:1].upper() == "A", "RMC"
        return True


def num(v):
    return repr(v).removesuffix(".0") if v == int(v) else repr(v)


def timetext(v):
    dt = EPOCH + datetime.timedelta(days=v)
    return dt.strftime("%Y-%m-%d %H:%M:%S") if v >= 1 else dt.strftime("%H:%M:%S")


def run(args):
    path = os.path.join(ROOT, args[1])
    accept = {"GLL", "RMC"}
    count = 0
    if "--accept" in args:
        accept = set(args[args.index("--accept") + 1].upper().split(","))
    if "--count" in args:
        count = int(args[args.index("--count") + 1])
    r = Receiver()
    lines = ["seq\tkind\tparsed\tlast_message\tlat\tlon_west\tgmt_time\tvalid\tsog_kn\tcog_deg"]
    notified = parsed = valid = bad = 0
    for s in sentences(open(path, "rb").read()):
        body = strip_checksum(s)
        if body is None:
            bad += 1
            continue
        k = kind(body)
        if k is None or k not in accept:
            continue
        ok = (r.gll if k == "GLL" else r.rmc)(body.split(","))
        notified += 1
        parsed += ok
        valid += ok and r.valid
        lines.append("\t".join([str(notified), k, str(int(ok)), r.last, "%.7f" % r.lat,
                                "%.7f" % r.lon, timetext(r.time), str(int(r.valid)), num(r.sog),
                                num(r.cog)]))
        if count and notified == count:
            break
    summary = "%d notified, %d parsed, %d valid, %d checksum errors\n" % (
        notified, parsed, valid, bad)
    return "\n".join(lines) + "\n", summary


failures = 0
for name in sorted(os.listdir(CASES)):
    if not (name.startswith("nmea_") and name.endswith("_tsv.args")):
        continue
    case = os.path.join(CASES, name[:-5])
    args = open(case + ".args").read().split("\n")[:-1]
    out, err = run(args)
    if out != open(case + ".expected").read() or err != open(case + ".err").read():
        failures += 1
        print("%s: differs from the independent reading" % name[:-5])
    else:
        print("%s: agrees" % name[:-5])
sys.exit(1 if failures else 0)
