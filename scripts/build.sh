#!/usr/bin/env bash
# Configures and builds the given presets (default: linux win64 win32) and
# gathers the deliverables in dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(linux win64 win32)
jobs="${VK_JOBS:-$(nproc)}"
for p in "${presets[@]}"; do
  start=$(date +%s)
  if [ ! -f "build/$p/CMakeCache.txt" ]; then
    cmake --preset "$p" >"build-$p.configure.log" 2>&1 || { cat "build-$p.configure.log" >&2; rm -f "build-$p.configure.log"; exit 1; }
    rm -f "build-$p.configure.log"
  fi
  cmake --build "build/$p" -j "$jobs"
  printf '[build] %s built in %ss\n' "$p" "$(( $(date +%s) - start ))" >&2
done
