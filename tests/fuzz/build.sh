#!/usr/bin/env bash
# Builds the libFuzzer targets of the chart readers, the NMEA receiver and the web transfer's readers with clang (the main build uses g++) and
# runs each for a while. Usage: tests/fuzz/build.sh [SECONDS_PER_TARGET]  (0 = build only)
# Needs clang-14 and libclang-rt-14-dev; writes into build-fuzz/ at the repository root.
set -euo pipefail
cd "$(dirname "$0")/../.."
SECONDS_EACH=${1:-0}
OUT=build-fuzz
mkdir -p "$OUT"
CXX=${CXX:-clang++-14}
FLAGS=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I.)
SOURCES=(charts/ChartPaths.cpp charts/ChartSurface.cpp charts/ChtFile.cpp charts/ChtObjects.cpp
         charts/EscalaCarta.cpp charts/EXBitmap.cpp charts/ImgCarta.cpp charts/KaMD5.cpp
         charts/Mercator.cpp charts/PictureReaders.cpp charts/PictureWriters.cpp common/strtoken.cpp
         engine/NumText.cpp engine/TextCodec.cpp engine/DateTime.cpp engine/Trigonom.cpp
         net/HttpLocation.cpp net/HttpRequest.cpp net/HttpResponse.cpp net/Htmldoc.cpp
         net/LnStream.cpp net/WebCharts.cpp common/FileIO.cpp charts/ChartDesktop.cpp
         charts/ChartDesk.cpp charts/ChartTools.cpp charts/ChartDialogs.cpp gps/GpsPosition.cpp
         gps/NmeaReceiver.cpp)
LIBS=(-ljpeg -lgif -lcrypto)
if [ ! -f "$OUT/libcharts.a" ] || [ -n "$(find "${SOURCES[@]}" charts/*.h net/*.h gps/*.h -newer "$OUT/libcharts.a")" ]; then
  rm -f "$OUT"/*.o
  for s in "${SOURCES[@]}"; do
    "$CXX" "${FLAGS[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" -c "$s" \
      -o "$OUT/$(echo "$s" | tr / _).o" &
    while [ "$(jobs -r | wc -l)" -ge 2 ]; do sleep 0.2; done
  done
  wait
  ar rcs "$OUT/libcharts.a" "$OUT"/*.o
fi
for kind in JPEG GIF BMP; do
  "$CXX" "${FLAGS[@]}" -DVRN_FUZZ_$kind tests/fuzz/FuzzPictures.cpp "$OUT/libcharts.a" "${LIBS[@]}" \
    -o "$OUT/fuzz_$(echo $kind | tr A-Z a-z)"
done
for kind in CHT CID; do
  "$CXX" "${FLAGS[@]}" -DVRN_FUZZ_$kind tests/fuzz/FuzzChartText.cpp "$OUT/libcharts.a" "${LIBS[@]}" \
    -o "$OUT/fuzz_$(echo $kind | tr A-Z a-z)"
done
"$CXX" "${FLAGS[@]}" tests/fuzz/FuzzHttp.cpp "$OUT/libcharts.a" "${LIBS[@]}" -o "$OUT/fuzz_http"
"$CXX" "${FLAGS[@]}" tests/fuzz/FuzzNmea.cpp "$OUT/libcharts.a" -o "$OUT/fuzz_nmea"
[ "$SECONDS_EACH" -gt 0 ] || exit 0
# Seeds: the committed test pictures and chart data; the corpus grows in build-fuzz/corpus-*.
for kind in jpeg gif bmp cht cid http nmea; do mkdir -p "$OUT/corpus-$kind"; done
cp -n tests/fuzz/seeds/*.http "$OUT/corpus-http/"
cp -n tests/data/gps/*.nmea "$OUT/corpus-nmea/"
cp -n tests/data/charts/*.jpg "$OUT/corpus-jpeg/"; cp -n tests/data/charts/*.gif "$OUT/corpus-gif/"
cp -n tests/data/charts/*.bmp "$OUT/corpus-bmp/"; cp -n tests/data/charts/*.CID "$OUT/corpus-cid/"
cp -n tests/fuzz/seeds/*.cht "$OUT/corpus-cht/"
# The chart image data file reader gets the test pictures beside its scratch file.
mkdir -p "$OUT/cid-dir"
cp tests/data/charts/*.jpg tests/data/charts/*.bmp tests/data/charts/*.gif "$OUT/cid-dir/"
export VRN_FUZZ_DIR=$PWD/$OUT/cid-dir
status=0
for kind in jpeg gif bmp cht cid http nmea; do
  echo "== fuzz_$kind for ${SECONDS_EACH}s"
  "$OUT/fuzz_$kind" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -max_len=65536 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$OUT/$kind-" "$OUT/corpus-$kind" \
    > "$OUT/fuzz_$kind.log" 2>&1 || status=1
  grep -E "^#[0-9]+.*(DONE|pulse)|ERROR|SUMMARY|stat::(number_of_executed_units|peak_rss)" \
    "$OUT/fuzz_$kind.log" | tail -6
done
exit $status
