#!/usr/bin/env bash
# Builds the libFuzzer targets (preset linux-fuzz) and runs each for a short
# while: the image decoders from the sample images of libpng and
# libjpeg-turbo, the hostile host (vst_host_fuzz) against the plug-in module
# from an empty corpus. Exits non-zero when a fuzzer finds a crash, a leak,
# a broken host check or a timeout; the failing input is left in
# build/linux-fuzz/fuzz-smoke/.
#   scripts/fuzz-smoke.sh [seconds per decoder fuzzer, default 10
#                          [seconds for the host fuzzer, default 60]]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
host_seconds="${2:-60}"
jobs="${VK_JOBS:-2}"
build=build/linux-fuzz
src=/opt/vorn-kettle-deps/src

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset linux-fuzz >/dev/null
fi
cmake --build "$build" --target png_decoder_fuzz jpeg_decoder_fuzz vst_host_fuzz -j "$jobs"

work="$build/fuzz-smoke"
rm -rf "$work"
mkdir -p "$work/png-seeds" "$work/jpeg-seeds" "$work/png-corpus" "$work/jpeg-corpus" \
  "$work/host-corpus"
png_src=$(find "$src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
jpeg_src=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$png_src" ] || [ -z "$jpeg_src" ]; then
  echo "fuzz-smoke: sample images of libpng or libjpeg-turbo missing under $src" >&2
  exit 1
fi
find "$png_src/contrib/pngsuite" "$png_src/contrib/testpngs" -name '*.png' -exec cp {} "$work/png-seeds/" \;
cp "$jpeg_src"/testimages/*.jpg "$work/jpeg-seeds/"

# A few hundred bytes of arithmetic-coded JPEG can describe a
# ninety-megapixel image, which takes seconds to decode under the sanitizers;
# only a unit slower than 30 s counts as a hang.
status=0
run() { # run NAME: one fuzzer for $seconds on its seeds
  local name=$1 kind=${1%%_*}
  local log="$work/$name.log"
  if "$build/raster/images/fuzz/$name" "$work/$kind-corpus" "$work/$kind-seeds" \
       -max_total_time="$seconds" -max_len=65536 -timeout=30 -rss_limit_mb=2560 \
       -print_final_stats=1 -artifact_prefix="$work/$name-" >"$log" 2>&1; then
    printf 'fuzz-smoke: %s: %s runs, no findings\n' "$name" \
      "$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  else
    printf 'fuzz-smoke: %s FAILED, see %s\n' "$name" "$log" >&2
    tail -n 30 "$log" >&2
    status=1
  fi
}
run png_decoder_fuzz
run jpeg_decoder_fuzz

# The host plays a session per input: a few hundred calls at most, so a unit
# slower than 30 s is a hang.
log="$work/vst_host_fuzz.log"
if "$build/tests/fuzz/vst_host_fuzz" "$work/host-corpus" -max_total_time="$host_seconds" \
     -max_len=4096 -timeout=30 -rss_limit_mb=2560 -print_final_stats=1 \
     -artifact_prefix="$work/vst_host_fuzz-" >"$log" 2>&1; then
  printf 'fuzz-smoke: vst_host_fuzz: %s runs, no findings\n' \
    "$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
else
  printf 'fuzz-smoke: vst_host_fuzz FAILED, see %s\n' "$log" >&2
  tail -n 30 "$log" >&2
  status=1
fi
exit $status
