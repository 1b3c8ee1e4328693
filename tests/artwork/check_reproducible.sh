#!/usr/bin/env bash
# Renders the artwork sources into SCRATCHDIR and compares every image with
# the committed one in IMGDIR, byte for byte.
set -euo pipefail
img=$1
scratch=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$scratch"
"$root/scripts/artwork/make-artwork.sh" "$scratch" >/dev/null
status=0
for f in "$scratch"/*.png; do
  name=$(basename "$f")
  if ! cmp -s "$f" "$img/$name"; then
    echo "$name: committed image differs from what the sources render (run scripts/artwork/make-artwork.sh)"
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "artwork: committed images match their sources"
exit "$status"
