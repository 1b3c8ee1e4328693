#!/usr/bin/env bash
# vsthost validate on our plug-in: the Linux module natively, the x64 DLL
# under Wine, and the x86 DLL under Wine where 32-bit programs run; then on
# third-party Linux plug-ins of this machine (Debian's dpf-plugins-vst and
# lsp-plugins-vst).
#
# Our modules must pass every check. A third-party plug-in counts as passed
# when the validator completed its report (exit status 0 or 1): what it finds
# there is the plug-in's own, and its report is shown in full.
#
# Level 3 (exhaustive) for everything keeps the stage near 75 seconds here;
# VALIDATE_LEVEL chooses another. The seed is printed with each report, so a
# failure can be repeated with --seed. Paths can be overridden for a build of one's own
# (LINUX_HOST, LINUX_SO, WIN64_RUN, WIN64_HOST, WIN64_DLL, WIN32_*).
set -uo pipefail
cd "$(dirname "$0")/.."
level=${VALIDATE_LEVEL:-3}
seed=${VALIDATE_SEED:-$(( $(date +%s) % 1000000 ))}
linux_host=${LINUX_HOST:-dist/linux-x86_64/vsthost}
linux_so=${LINUX_SO:-"dist/linux-x86_64/Vorn-Kettle[Ge].so"}
win64_run=${WIN64_RUN:-build/win64/wine-run}
win64_host=${WIN64_HOST:-dist/win64/vsthost.exe}
win64_dll=${WIN64_DLL:-"dist/win64/Vorn-Kettle[Ge]_x64.dll"}
win32_run=${WIN32_RUN:-build/win32/wine-run}
win32_host=${WIN32_HOST:-dist/win32/vsthost.exe}
win32_dll=${WIN32_DLL:-"dist/win32/Vorn-Kettle[Ge]_x86.dll"}
third_party=(
  /usr/lib/vst/3BandEQ-vst.so
  /usr/lib/vst/MaBitcrush-vst.so
  /usr/lib/vst/MVerb-vst.so
  /usr/lib/vst/Kars-vst.so
  /usr/lib/vst/lsp-plugins/para-equalizer-x16-stereo.so
  /usr/lib/vst/lsp-plugins/compressor-stereo.so
)
pass=0; fail=0

# ours NAME RUNNER... : every check must pass
ours() {
  local name=$1; shift
  local start=$SECONDS
  "$@" validate "${module}" --level "$level" --seed "$seed" "${wine_skip[@]}"
  local rc=$?
  if [ $rc -eq 0 ]; then
    echo "ok   $name: every check passed ($(( SECONDS - start )) s)"; pass=$((pass + 1))
  else
    echo "FAIL $name: vsthost validate exit status $rc"; fail=$((fail + 1))
  fi
}

for f in "$linux_host" "$linux_so" "$win64_host" "$win64_dll"; do
  [ -e "$f" ] || { echo "validate-modules: $f is missing (build the linux and win64 presets first)" >&2; exit 1; }
done

wine_skip=()
module=$linux_so ours "Linux module" "$linux_host"

# The editor checks open windows: under Wine they need an X display.
wine_skip=()
if [ -z "${DISPLAY:-}" ]; then
  wine_skip=(--skip editor)
  echo "skipped: the editor checks of the DLLs (no X display)"
fi

"$win64_run" --start-server || exit 1
module=$win64_dll ours "x64 DLL under Wine" "$win64_run" "$win64_host"
"$win64_run" --stop-server

if bash scripts/runs-32bit.sh && [ -e "$win32_host" ] && [ -e "$win32_dll" ]; then
  "$win32_run" --start-server || exit 1
  module=$win32_dll ours "x86 DLL under Wine" "$win32_run" "$win32_host"
  "$win32_run" --stop-server
else
  echo "skipped: vsthost validate of the x86 DLL (this machine runs no 32-bit programs)"
fi

for p in "${third_party[@]}"; do
  if [ ! -e "$p" ]; then
    echo "skipped: vsthost validate of $p (not installed)"
    continue
  fi
  start=$SECONDS
  out=$("$linux_host" validate "$p" --level "$level" --seed "$seed")
  rc=$?
  printf '%s\n' "$out"
  summary=$(tail -n 1 <<<"$out")
  if { [ $rc -eq 0 ] || [ $rc -eq 1 ]; } && [[ $summary == *" checks: "* ]]; then
    echo "ok   $p: report complete, $summary ($(( SECONDS - start )) s)"; pass=$((pass + 1))
  else
    echo "FAIL $p: no complete report (exit status $rc)"; fail=$((fail + 1))
  fi
done

echo "$pass passed, $fail failed"
[ $fail -eq 0 ]
