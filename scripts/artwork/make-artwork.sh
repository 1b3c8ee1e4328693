#!/usr/bin/env bash
# Draws the editor's six PNG images from the SVG sources written by
# draw_artwork.py and installs them in framework/VornKettle[Ge]/img/.
#
#   scripts/artwork/make-artwork.sh [OUTDIR]
#
# Needs python3, rsvg-convert (librsvg2-bin) and convert (imagemagick).
# Colour types, bit depth and chunks are forced so that the same tools give
# the same bytes on every run: no timestamps, no metadata, RGB for the opaque
# pictures and RGBA for the filmstrips drawn over the background.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dest=${1:-"$root/framework/VornKettle[Ge]/img"}

for tool in python3 rsvg-convert convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "make-artwork: $tool not found (install python3, librsvg2-bin and imagemagick)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/png" "$work/out" "$dest"

python3 "$here/draw_artwork.py" "$work/svg"

for svg in "$work"/svg/*.svg; do
  name=$(basename "$svg" .svg)
  rsvg-convert -f png -o "$work/png/$name.png" "$svg"
done

# Options shared by every output file.
common=(-strip -depth 8 -define png:bit-depth=8 -define png:exclude-chunks=date,time)

opaque() { # source, target
  convert "$1" -background black -alpha remove -alpha off "${common[@]}" \
    -define png:color-type=2 "PNG24:$2"
}

strip() { # target, frames top to bottom...
  local target=$1
  shift
  convert "$@" -background none -append "${common[@]}" -define png:color-type=6 "PNG32:$target"
}

p="$work/png"
o="$work/out"
opaque "$p/background.png" "$o/background.png"
opaque "$p/about.png" "$o/vornkettle_about.png"
strip "$o/vornkettle_led.png" "$p/led_0.png" "$p/led_1.png"
strip "$o/vornkettle_switch_01.png" "$p/cab_0.png" "$p/cab_1.png"
strip "$o/vornkettle_switch_02.png" "$p/foot_0.png" "$p/foot_1.png"
strip "$o/vornkettle_knob_01.png" "$p"/knob_*.png

# Install only once every image was made, so a failure leaves the old set whole.
for f in "$o"/*.png; do
  cp "$f" "$dest/.$(basename "$f").tmp"
  mv -f "$dest/.$(basename "$f").tmp" "$dest/$(basename "$f")"
done
echo "make-artwork: wrote $(ls "$o" | wc -l) images to $dest"
