#!/usr/bin/env bash
# The whole test suite: sets up the machine, builds every preset and runs the
# tests natively, for Windows x64 and x86 under Wine, and natively under
# AddressSanitizer+UndefinedBehaviorSanitizer and under ThreadSanitizer, then a
# short smoke run of each fuzzer. Prints the time each stage takes and a
# closing "N passed, N failed" line over all stages, preceded by the tests
# that were skipped (optional tools missing), by name.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
logdir="$root/build/test-logs"
total_pass=0; total_fail=0; failed_stages=(); skipped_tests=()
t0=$(date +%s)

stage() { # stage NAME COMMAND...: run, time and record one stage
  local name=$1; shift
  local start=$(date +%s)
  printf '\n=== %s ===\n' "$name"
  if "$@"; then
    printf '=== %s: ok in %ss ===\n' "$name" "$(( $(date +%s) - start ))"
  else
    printf '=== %s: FAILED in %ss ===\n' "$name" "$(( $(date +%s) - start ))"
    failed_stages+=("$name")
  fi
}

run_ctest() { # run_ctest PRESET [ctest args]: run and count the results
  local p=$1; shift
  local log="$logdir/ctest-$p.log"
  mkdir -p "$logdir"
  ctest --test-dir "build/$p" --output-on-failure --no-tests=error "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    local failed total
    failed=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    # CTest counts a skipped test as passed; it is listed instead.
    local skipped
    skipped=$(sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) \(Skipped\)$/\1/p' "$log")
    local name
    for name in $skipped; do
      skipped_tests+=("$name ($p)")
    done
    total_pass=$(( total_pass + total - failed - $(wc -w <<<"$skipped") ))
    total_fail=$(( total_fail + failed ))
  elif [ "$rc" -ne 0 ]; then
    total_fail=$(( total_fail + 1 ))
  fi
  return "$rc"
}

run_counted() { # run_counted COMMAND...: a check that ends with "N passed, N failed"
  local log="$logdir/counted.log"
  mkdir -p "$logdir"
  "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local what
  while IFS= read -r what; do
    skipped_tests+=("$what")
  done < <(sed -n 's/^skipped: //p' "$log")
  local line
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    total_pass=$(( total_pass + $(cut -d' ' -f1 <<<"$line") ))
    total_fail=$(( total_fail + $(cut -d' ' -f3 <<<"$line") ))
  elif [ "$rc" -ne 0 ]; then
    total_fail=$(( total_fail + 1 ))
  fi
  return "$rc"
}

# --- X display for the Windows GUI tests (the editor window under Wine) ---
# An Xvfb of its own, set as DISPLAY before any Windows test starts Wine: the
# shared wineserver's desktop keeps the display of its first program.
xvfb_pid=""
start_display() {
  unset DISPLAY
  if ! command -v Xvfb >/dev/null; then
    echo "test.sh: Xvfb not found; the editor window tests report themselves skipped"
    return 0
  fi
  local n
  for n in $(seq 90 109); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    xvfb_pid=$!
    sleep 1
    if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; return 0; fi
  done
  echo "test.sh: could not start Xvfb; the editor window tests report themselves skipped"
  xvfb_pid=""
}
stop_display() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  xvfb_pid=""; unset DISPLAY
}
trap stop_display EXIT
# --- end of the X display part ---

stage "set-up" bash scripts/setup.sh
stage "format" bash scripts/check-format.sh
start_display
for p in linux win64 win32; do
  stage "build $p" bash scripts/build.sh "$p"
  if [ "$p" = win32 ] && ! bash scripts/runs-32bit.sh; then
    # The build still proves the 32-bit target compiles and links warning-free.
    printf '\n=== test win32: skipped, this machine runs no 32-bit programs ===\n'
    skipped_tests+=("every win32 test (this machine's kernel runs no 32-bit programs)")
    continue
  fi
  stage "test $p" run_ctest "$p"
done
# Under the display: the x64 DLL's editor checks need one.
stage "validate" run_counted bash scripts/validate-modules.sh
stop_display
stage "same sound on every target" run_counted bash scripts/check-targets.sh
for p in linux-asan linux-tsan; do
  stage "build $p" bash scripts/build.sh "$p"
  stage "test $p" run_ctest "$p" -L unit
done
stage "fuzz smoke" bash scripts/fuzz-smoke.sh

printf '\nTotal time: %ss\n' "$(( $(date +%s) - t0 ))"
if [ ${#failed_stages[@]} -gt 0 ]; then
  printf 'Failed stages: %s\n' "${failed_stages[*]}"
  [ $total_fail -gt 0 ] || total_fail=${#failed_stages[@]}
fi
if [ ${#skipped_tests[@]} -gt 0 ]; then
  joined=$(printf ', %s' "${skipped_tests[@]}")
  printf 'Skipped %d: %s\n' "${#skipped_tests[@]}" "${joined:2}"
fi
printf '%d passed, %d failed\n' "$total_pass" "$total_fail"
[ ${#failed_stages[@]} -eq 0 ]
