#!/usr/bin/env bash
# The main job: set up the machine, build all three targets, then load the
# 64-bit plug-in in our host under Wine and render the demo through it at the
# default settings, with the cabinet off and with the effect off (out/*.wav),
# and print what a host sees of both Windows DLLs.
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
"$run64" --start-server
"$run32" --start-server
trap '"$run64" --stop-server; "$run32" --stop-server' EXIT

"$run64" "$host64" render "$dll64" --generate demo out/demo.wav
"$run64" "$host64" render "$dll64" --generate demo out/demo-cabinet-off.wav --param 3=0
"$run64" "$host64" render "$dll64" --generate demo out/demo-effect-off.wav --param 2=0
echo "Rendered: $(ls out/*.wav | tr '\n' ' ')"
echo
"$run64" "$host64" info "$dll64"
echo
"$run32" "$host32" info "$dll32"
