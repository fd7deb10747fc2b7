#!/usr/bin/env python3
"""Writes the sample desktop the chart viewer offers on first start (share/desktops).

Usage: tools/make-sample-desktop.py VRNCLI  (needs ImageMagick's convert)

"EnglishChannel.jpg" is a raster chart made from the world coastline: "vrncli render" draws the
Channel (plate carree, so the calibration is linear), ImageMagick gives it the colours of a paper
chart, a title and a compass rose (the grid is left to the viewer, which draws its own), and "EnglishChannel.CID" ties its corners to the positions of
the view it was drawn in. "Sample.vrn" opens the world coastline on the Channel with that chart,
a route, a track with times and three marks; its paths are relative, so the folder works where
it is installed (share/varunel/share/desktops beside share/varunel/charts/data).
"""
import hashlib
import math
import os
import subprocess
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
HERE = os.path.join(ROOT, "share", "desktops")
WORLD = os.path.join(ROOT, "charts", "data", "world.cht")

LAT_C, LON_C, SPAN, W, H = 49.8, 2.5, 8.0, 1000, 750  # longitudes west positive


def scale_geometry(lat_c, lon_c, span, w, h):
    """The chart scale of a w x h surface: the view is plate carree, latitude span by cos(latC)."""
    lat_span = math.cos(math.radians(lat_c)) * span * h / w
    return lat_c + lat_span / 2, lon_c + span / 2, lat_c - lat_span / 2, lon_c - span / 2


def picture(vrncli):
    png = os.path.join(HERE, "render.png")
    subprocess.run([vrncli, "render", WORLD, "--center", "%g,%g" % (LAT_C, LON_C), "--span",
                    "%g" % SPAN, "--size", "%dx%d" % (W, H), "--no-grid", "--png", png], check=True)
    # Sea, land, shore and grid of the chart view ($00BBGGRR navy, olive, yellow, white) become
    # the colours of a paper chart.
    rose = ["-stroke", "#7a3b2e", "-strokewidth", "2", "-fill", "none",
            "-draw", "circle 780,290 780,240", "-draw", "circle 780,290 780,250",
            "-strokewidth", "1", "-draw", "line 780,230 780,350", "-draw", "line 720,290 840,290",
            "-fill", "#7a3b2e", "-draw", "polygon 780,230 774,290 786,290",
            "-stroke", "none", "-font", "DejaVu-Sans-Bold", "-pointsize", "16",
            "-draw", "text 774,225 'N'"]
    title = ["-fill", "#1f2a44", "-font", "DejaVu-Serif-Bold", "-pointsize", "26",
             "-draw", "text 40,392 'ENGLISH CHANNEL'",
             "-font", "DejaVu-Serif", "-pointsize", "15",
             "-draw", "text 42,418 'Sample chart from the world coastline'",
             "-fill", "#a01010", "-font", "DejaVu-Sans-Bold", "-pointsize", "14",
             "-draw", "text 42,444 'NOT FOR NAVIGATION'"]
    jpg = os.path.join(HERE, "EnglishChannel.jpg")
    # The grid and its labels first: the new sea colour is pale enough to pass for white.
    subprocess.run(["convert", png, "-fuzz", "12%",
                    "-fill", "#6d8296", "-opaque", "#ffffff",
                    "-fill", "#dbeaf3", "-opaque", "#000080",
                    "-fill", "#efdca2", "-opaque", "#808000",
                    "-fill", "#5a4020", "-opaque", "#ffff00"] + rose + title
                   + ["-quality", "88", jpg], check=True)
    os.remove(png)


def cid(lat_max, lon_max, lat_min, lon_min):
    md5 = hashlib.md5(open(os.path.join(HERE, "EnglishChannel.jpg"), "rb").read()).hexdigest()
    # Pixel (x, y) of the picture is pixel (x, y) of the view it was drawn in.
    at = lambda x, y: (x, y, lon_max - x * SPAN / W, lat_max - y * (lat_max - lat_min) / H)
    fmt = lambda p: "%10.6f;%10.6f;%10.6f;%10.6f" % p
    ref = [at(0, 0), at(W, 0), at(0, H)]
    limit = [at(0, 0), at(W - 1, 0), at(W - 1, H - 1), at(0, H - 1)]
    lines = ["Content=Varunel Chart Image Data", "Creator=Varunel Kartograv 4.0",
             "ChartDescription=English Channel (sample)", "Date=01/07/2024 12:00:00",
             "ImageName=EnglishChannel.jpg", "MD5ImageSignature=" + md5,
             "MercatorLatitudeScale=false", "", "[ReferencePoints] // x; y; Lon; Lat"]
    lines += ["RefPoint%d=%s" % (i + 1, fmt(p)) for i, p in enumerate(ref)]
    lines += ["", "[LimitPoints]     // x; y; Lon; Lat"]
    lines += ["LimitPoint%d=%s" % (i + 1, fmt(p)) for i, p in enumerate(limit)]
    with open(os.path.join(HERE, "EnglishChannel.CID"), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def point(lat, lon, name="", when=""):
    line = "P;%10.5f;%10.5f;%s" % (lat, lon, name)
    return line + ";" + when if when else line


def desktop():
    lines = ["O;Chart;../../charts/data/world.cht;%10.5f;%10.5f;%10.5f" % (50.05, 2.2, 6.5), "",
             "O;ImgChart;", "A;CIDFile=EnglishChannel.CID", "A;Visible=TRUE", "A;Opacity=100",
             ""]
    lines += ["O;Route;Solent to Cherbourg", "A;Color=$000000FF", "A;Visible=TRUE",
              point(50.55, 1.65, "Needles"), point(50.20, 1.75), point(49.95, 1.70),
              point(49.72, 1.62, "Cherbourg"), ""]
    log = [(50.45, 2.60), (50.30, 2.90), (50.15, 3.20), (50.00, 3.50), (49.85, 3.80),
           (49.70, 4.05)]
    lines += ["O;Track;Portland passage", "A;Color=$00008000", "A;Visible=TRUE"]
    lines += [point(lat, lon, "", "01/07/2024 %02d:00:00" % (8 + i))
              for i, (lat, lon) in enumerate(log)]
    lines += [""]
    marks = [("Needles", 50.60, 1.70, "http://www.trinityhouse.co.uk", "WARNING"),
             ("Cherbourg", 49.70, 1.62, "", "ANCOR"),
             ("Channel Islands", 49.45, 2.55, "", "INFO")]
    for name, lat, lon, url, icon in marks:
        lines += ["O;URL;%s;%10.5f;%10.5f;%10.5f;%s;%s" % (name, lat, lon, 0.1, url, icon), ""]
    with open(os.path.join(HERE, "Sample.vrn"), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(HERE, exist_ok=True)
    picture(sys.argv[1])
    cid(*scale_geometry(LAT_C, LON_C, SPAN, W, H))
    desktop()


if __name__ == "__main__":
    main()
