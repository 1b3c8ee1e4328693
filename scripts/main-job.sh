#!/usr/bin/env bash
# The main job: set up the machine, build all three targets, then load the
# 64-bit plug-in in our host under Wine and render the demo through it at the
# default settings, with the cabinet off and with the effect off (out/*.wav),
# photograph the pedal's editor as a host shows it (out/editor-x64.png, and
# out/editor-x86.png where this machine runs 32-bit programs) next to the face
# the native build renders headlessly (out/editor-native.png), and print what
# a host sees of both Windows DLLs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh linux win64 win32

dll64="dist/win64/Vorn-Kettle[Ge]_x64.dll"
dll32="dist/win32/Vorn-Kettle[Ge]_x86.dll"
host64=dist/win64/vsthost.exe
host32=dist/win32/vsthost.exe
mkdir -p out
run64=build/win64/wine-run
run32=build/win32/wine-run

# The editor needs an X display for the whole Wine session, set before the
# Wine servers start: an Xvfb of our own when there is none.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  for n in $(seq 90 99); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    xvfb_pid=$!
    sleep 1
    if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; break; fi
    xvfb_pid=""
  done
fi
"$run64" --start-server
"$run32" --start-server
trap '"$run64" --stop-server; "$run32" --stop-server; [ -z "$xvfb_pid" ] || kill "$xvfb_pid"' EXIT

"$run64" "$host64" render "$dll64" --generate demo out/demo.wav
"$run64" "$host64" render "$dll64" --generate demo out/demo-cabinet-off.wav --param 3=0
"$run64" "$host64" render "$dll64" --generate demo out/demo-effect-off.wav --param 2=0
echo "Rendered: $(ls out/*.wav | tr '\n' ' ')"
echo

build/linux/tests/effect/effect_face_render out/editor-native.png
if [ -n "${DISPLAY:-}" ]; then
  "$run64" "$host64" editor "$dll64" --screenshot out/editor-x64.png >/dev/null
  python3 tests/effect/compare_faces.py out/editor-x64.png out/editor-native.png || true
  if bash scripts/runs-32bit.sh; then
    "$run32" "$host32" editor "$dll32" --screenshot out/editor-x86.png >/dev/null
    python3 tests/effect/compare_faces.py out/editor-x86.png out/editor-native.png || true
  else
    echo "editor-x86.png: not taken, this machine runs no 32-bit programs"
  fi
else
  echo "editor screenshots: not taken, no X display (Xvfb not found)"
fi
echo "Editor: $(ls out/*.png | tr '\n' ' ')"
echo
"$run64" "$host64" info "$dll64"
echo
if bash scripts/runs-32bit.sh; then
  "$run32" "$host32" info "$dll32"
else
  echo "$dll32: built, but vsthost info not run: this machine runs no 32-bit programs"
fi
