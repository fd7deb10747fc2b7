#!/usr/bin/env python3
"""Writes the NMEA captures of tests/data/gps/ (hand-written receiver output with correct
checksums unless a line says otherwise). Run from anywhere; review the diff before committing.

  tools/make-gps-captures.py
"""
import math
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "gps")


def cs(body):
    """'$' + body + '*' + the XOR of the body's bytes, two upper-case hex digits."""
    x = 0
    for b in body.encode("latin-1"):
        x ^= b
    return "$%s*%02X" % (body, x)


def lower_hex(sentence):
    """The same sentence with its checksum digits in lower case."""
    return sentence[:-2] + sentence[-2:].lower()


def nmea_coord(deg, lat):
    a = abs(deg)
    d = int(a)
    m = (a - d) * 60
    if lat:
        return "%02d%07.4f" % (d, m), ("N" if deg >= 0 else "S")
    return "%03d%07.4f" % (d, m), ("W" if deg >= 0 else "E")  # west positive


def write(name, lines, end="\r\n"):
    with open(os.path.join(OUT, name), "wb") as f:
        for line in lines:
            data = line if isinstance(line, bytes) else line.encode("latin-1")
            f.write(data + end.encode())


# Several talkers (GPS, GNSS, GLONASS), sentences the receiver ignores, a maker's own sentence
# that looks like an RMC, CR LF line ends.
talkers = [
    cs("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00"),
    cs("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
    cs("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),
    cs("GPGLL,4807.038,N,01131.000,E,123519,A"),
    cs("GNRMC,123520.00,A,4807.045,N,01131.012,E,022.4,084.4,230394,003.1,W,A"),
    cs("GNGLL,4807.045,N,01131.012,E,123520.00,A,A"),
    cs("GLGSV,2,1,07,65,37,295,28,66,16,356,25,72,26,264,20,74,18,045,"),
    cs("PGRMC,123521,A,4907.000,N,01231.000,E,001.0,001.0,230394,,"),
    cs("GLRMC,123521,A,4807.052,N,01131.024,E,022.5,084.6,230394,,,A"),
    cs("GLGLL,4807.052,N,01131.024,E,123521,A,A"),
]
write("talkers_crlf.nmea", talkers)

# The same receiver behind a USB adapter that sends LF alone.
write("talkers_lf.nmea", talkers, end="\n")

# A fix lost under a bridge and regained: status V with empty fields in between.
lost = [
    cs("GPRMC,101500,A,3840.0000,N,00915.0000,W,5.0,045.0,150526,,,A"),
    cs("GPGLL,3840.0000,N,00915.0000,W,101500,A,A"),
    cs("GPRMC,101501,A,3840.0010,N,00914.9987,W,5.0,045.0,150526,,,A"),
    cs("GPGLL,3840.0010,N,00914.9987,W,101501,A,A"),
    cs("GPRMC,101502,V,,,,,,,150526,,,N"),
    cs("GPGLL,,,,,101502,V,N"),
    cs("GPRMC,101503,V,3840.0030,N,00914.9961,W,,,150526,,,N"),
    cs("GPGLL,3840.0030,N,00914.9961,W,101503,V,N"),
    cs("GPRMC,101504,A,3840.0040,N,00914.9948,W,5.1,044.0,150526,,,A"),
    cs("GPGLL,3840.0040,N,00914.9948,W,101504,A,A"),
]
write("fix_lost.nmea", lost)

# Across midnight and the turn of the century, and the two-digit year window (80 -> 1980,
# 79 -> 2079).
midnight = [
    cs("GPRMC,235958,A,0010.0000,S,17959.9000,W,4.0,090.0,311299,,"),
    cs("GPGLL,0010.0000,S,17959.9000,W,235958,A"),
    cs("GPRMC,235959,A,0010.0000,S,17959.9667,W,4.0,090.0,311299,,"),
    cs("GPGLL,0010.0000,S,17959.9667,W,235959,A"),
    cs("GPRMC,000000,A,0010.0000,S,17959.9667,E,4.0,090.0,010100,,"),
    cs("GPGLL,0010.0000,S,17959.9667,E,000000,A"),
    cs("GPRMC,000001,A,0010.0000,S,17959.9000,E,4.0,090.0,010100,,"),
    cs("GPRMC,120000,A,4916.4500,N,12311.1200,W,0.0,0.0,230380,,"),
    cs("GPRMC,120000,A,4916.4500,N,12311.1200,W,0.0,0.0,230379,,"),
]
write("midnight_year.nmea", midnight)

# What a broken line, a noisy adapter or a hostile peer sends. Each line is followed by a good
# GLL so that a test can see the receiver kept going.
good = cs("GPGLL,4916.45,N,12311.12,W,225444,A")
hostile = [
    b"\x00\x01\xff\xfe binary junk \x80\x9f\x00",
    cs("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")[:-2] + "6B",
    lower_hex(cs("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")),
    "$GPGLL,4916.45,N,12311.12,W,225444,A*7",
    "$GPGLL,4916.45,N,12311.12,W,225444,A*",
    cs("GPGLL,4916.45,N,12311.12,W,225444,A") + "0",
    b"$GPGLL,4916.45,N,12\x0011.12,W,225444,A",
    "$GPRMC," + "9" * 300,
    cs("GPGLL,4916.45,N,12311.12,W"),
    cs("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A,X,Y,Z"),
    cs("GPRMC,123519,A,-4807.038,N,01131.000,E,022.4,084.4,230394,,"),
    cs("GPRMC,123519,A,4860.000,N,01131.000,E,022.4,084.4,230394,,"),
    cs("GPRMC,253519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,"),
    cs("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,310294,,"),
    cs("GPRMC,123519,A,4807.038,N,01131.000,E,nan,084.4,230394,,"),
    cs("GPRMC,123519,A,4807.038,s,01131.000,e,,,230394,,"),
    cs("gprmc,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,"),
    "$GPRMC",
]
lines = []
for h in hostile:
    lines.append(h)
    lines.append(good)
write("hostile.nmea", lines)

# One minute of a receiver at one fix a second, as it comes off a 4800-baud line: GGA, GSA,
# three GSV, RMC, GLL and VTG each second; a boat at 6 knots on 045 off Lisbon.
track = []
lat0, lon0 = 38 + 40 / 60, 9 + 15 / 60
for s in range(60):
    t = "1015%02d" % s
    dist = 6.0 * s / 3600  # nautical miles
    lat = lat0 + dist * math.cos(math.radians(45)) / 60
    lon = lon0 - dist * math.sin(math.radians(45)) / 60 / math.cos(math.radians(lat0))
    la, ns = nmea_coord(lat, True)
    lo, ew = nmea_coord(lon, False)
    track.append(cs("GPGGA,%s.00,%s,%s,%s,%s,1,09,0.9,12.3,M,50.1,M,," % (t, la, ns, lo, ew)))
    track.append(cs("GPGSA,A,3,02,05,07,13,15,20,24,29,30,,,,1.6,0.9,1.3"))
    track.append(cs("GPGSV,3,1,10,02,45,120,42,05,30,060,40,07,12,300,33,13,67,210,45"))
    track.append(cs("GPGSV,3,2,10,15,22,150,38,20,08,330,29,24,55,030,44,29,18,260,36"))
    track.append(cs("GPGSV,3,3,10,30,40,090,41,31,03,200,"))
    track.append(cs("GPRMC,%s.00,A,%s,%s,%s,%s,6.0,45.0,150526,2.1,W,A" % (t, la, ns, lo, ew)))
    track.append(cs("GPGLL,%s,%s,%s,%s,%s.00,A,A" % (la, ns, lo, ew, t)))
    track.append(cs("GPVTG,45.0,T,47.1,M,6.0,N,11.1,K,A"))
write("track_60s.nmea", track)
