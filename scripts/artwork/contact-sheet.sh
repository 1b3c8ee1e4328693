#!/usr/bin/env bash
# Puts every image and every frame of the editor artwork on one sheet for
# review: two editor composites at 1:1 and at 2:1 (controls placed at their
# editor positions in different states), the small strips frame by frame, and
# the whole knob strip as a grid.
#
#   scripts/artwork/contact-sheet.sh [IMGDIR] [OUTFILE]
#
# Defaults: framework/VornKettle[Ge]/img and out/artwork/contact-sheet.png.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
img=${1:-"$root/framework/VornKettle[Ge]/img"}
sheet=${2:-"$root/out/artwork/contact-sheet.png"}

for tool in convert montage; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "contact-sheet: $tool not found (install imagemagick)" >&2
    exit 1
  fi
done
for f in background vornkettle_led vornkettle_switch_01 vornkettle_switch_02 vornkettle_knob_01 vornkettle_about; do
  if [ ! -f "$img/$f.png" ]; then
    echo "contact-sheet: $img/$f.png is missing (run make-artwork.sh first)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$(dirname "$sheet")"
font=DejaVu-Sans
bgcol='#2e2e33'

frame() { # strip, frame height, index (0-based), output
  convert "$1" -crop "x$2+0+$(($2 * $3))" +repage "$4"
}

# editor: led cab foot knobL knobR about(0/1) output
editor() {
  local args=("$img/background.png" -crop 213x326+0+0 +repage)
  frame "$img/vornkettle_led.png" 18 "$1" "$work/l.png"
  frame "$img/vornkettle_switch_01.png" 40 "$2" "$work/c.png"
  frame "$img/vornkettle_switch_02.png" 40 "$3" "$work/f.png"
  frame "$img/vornkettle_knob_01.png" 65 "$4" "$work/k1.png"
  frame "$img/vornkettle_knob_01.png" 65 "$5" "$work/k2.png"
  args+=("$work/l.png" -geometry +91+15 -composite)
  args+=("$work/c.png" -geometry +80+61 -composite)
  args+=("$work/f.png" -geometry +80+172 -composite)
  args+=("$work/k1.png" -geometry +18+86 -composite)
  args+=("$work/k2.png" -geometry +115+86 -composite)
  if [ "$6" = 1 ]; then
    args+=("$img/vornkettle_about.png" -geometry +5+156 -composite)
  fi
  convert "${args[@]}" "$7"
}

labelled() { # caption, input, output
  convert -background "$bgcol" -fill '#dddddd' -font "$font" -pointsize 11 "label:$1" "$2" \
    -gravity center -append -bordercolor "$bgcol" -border 6 "$3"
}

editor 1 1 0 32 16 0 "$work/e1.png"
editor 0 0 1 0 64 0 "$work/e2.png"
editor 1 1 0 48 40 1 "$work/e3.png"
labelled "on, cab on, released, 50%/25%" "$work/e1.png" "$work/a1.png"
labelled "off, cab off, pressed, 0%/100%" "$work/e2.png" "$work/a2.png"
labelled "about panel open" "$work/e3.png" "$work/a3.png"
convert "$work/e1.png" -filter point -resize 200% "$work/e4.png"
labelled "2:1" "$work/e4.png" "$work/a4.png"
convert "$work/a1.png" "$work/a2.png" "$work/a3.png" -background "$bgcol" +append "$work/row1.png"

# Small strips frame by frame at 1:1 and at 3:1, on the background's face colour.
smalls=()
for s in vornkettle_led:18 vornkettle_switch_01:40 vornkettle_switch_02:40; do
  name=${s%%:*}
  h=${s##*:}
  for i in 0 1; do
    frame "$img/$name.png" "$h" "$i" "$work/s.png"
    convert -size "$((h + 8))x$((h + 8))" xc:'#b9602c' "$work/s.png" -gravity center -composite "$work/s1.png"
    convert "$work/s1.png" -filter point -resize 300% "$work/s3.png"
    convert "$work/s1.png" "$work/s3.png" -background "$bgcol" -gravity center +append "$work/s4.png"
    labelled "$name frame $((i + 1))" "$work/s4.png" "$work/small_${name}_$i.png"
    smalls+=("$work/small_${name}_$i.png")
  done
done
convert "${smalls[@]}" -background "$bgcol" -gravity center -append "$work/smalls.png"

# Knob strip as a 13 x 5 grid, frame numbers from 1.
convert "$img/vornkettle_knob_01.png" -crop 65x65 +repage "$work/k_%02d.png"
montage "$work"/k_*.png -tile 13x -geometry +2+2 -background '#b9602c' "$work/knobs.png"
labelled "knob frames 1-65 (row by row)" "$work/knobs.png" "$work/knobsl.png"
labelled "about panel" "$img/vornkettle_about.png" "$work/about.png"

convert "$work/a4.png" "$work/smalls.png" "$work/about.png" -background "$bgcol" -gravity north +append "$work/row2.png"
convert "$work/row1.png" "$work/row2.png" "$work/knobsl.png" -background "$bgcol" -gravity northwest -append +repage -depth 8 "$sheet"
echo "contact-sheet: $sheet"
