#!/bin/sh
# Renders the same input through the module with each audio entry of the
# host (accumulating, replacing, double). The two single-precision entries
# must give identical files; the double one must stay close to them (checked
# with WAVDIFF of the same build).
#   check_host_render.sh WORKDIR VSTHOST MODULE WAVDIFF [RUNNER]
set -u
work=$1
host=$2
module=$3
wavdiff=$4
runner=${5:-}
mkdir -p "$work" || exit 1
for p in float accumulate double; do
    rm -f "$work/render_$p.wav"
    $runner "$host" render "$module" --generate demo "$work/render_$p.wav" --precision $p \
        --block 300 >/dev/null || { echo "render with --precision $p failed"; exit 1; }
    [ -s "$work/render_$p.wav" ] || { echo "no output for --precision $p"; exit 1; }
done
cmp "$work/render_float.wav" "$work/render_accumulate.wav" ||
    { echo "accumulating and replacing renders differ"; exit 1; }
$runner "$wavdiff" "$work/render_float.wav" "$work/render_double.wav" --max-abs 1e-4 ||
    { echo "double and float renders differ by more than 1e-4"; exit 1; }
echo "renders agree"
