#!/usr/bin/env bash
# The fuzz DSP benchmark built natively with xmm8..xmm15 reserved, so that the
# compiler has the eight vector registers of a 32-bit x86 build. Where the
# kernel runs no 32-bit programs, this is the nearest measure of the 32-bit
# build's two-lane wavefront against its straightforward loop: the same SSE2
# arithmetic under the same register pressure (the 32-bit build's fewer
# general registers and x87 return values are not modelled).
# Usage: bash scripts/bench-eight-registers.sh [benchmark args...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/linux-8xmm
flags=""
for r in 8 9 10 11 12 13 14 15; do flags="$flags -ffixed-xmm$r"; done
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVK_BUILD_BENCH=ON \
    -DVK_BUILD_TESTS=OFF -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" --target vk_fuzz_dsp_bench >/dev/null
if [ $# -eq 0 ]; then
    set -- --benchmark_filter='AgainstPlainLoop/block:(32|64|512|4096)/cabinet:[01]/path:[12]' \
        --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
fi
exec "$build/bench/dsp/vk_fuzz_dsp_bench" "$@"
