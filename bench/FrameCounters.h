#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

namespace benchaudio
{

// The sample rate the audio benchmarks express real time against.
constexpr double kRate = 44100.0;

// Reports frames per second, seconds per frame (printed with an SI prefix, so
// "25n" is 25 ns) and seconds of 44.1 kHz audio processed per second of wall
// time.
inline void SetFrameCounters(benchmark::State& state, int64_t frames)
{
    state.SetItemsProcessed(frames);
    state.counters["per_frame"] = benchmark::Counter(
        static_cast<double>(frames), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] =
        benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}

} // namespace benchaudio
