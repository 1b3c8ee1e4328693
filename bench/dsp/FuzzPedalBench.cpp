#include "DenormalGuard.h"
#include "DspTestSignals.h"
#include "FrameCounters.h"
#include "FuzzPedal.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace
{

using benchaudio::kRate;

const std::vector<double>& Guitar()
{
    static const std::vector<double> sig = dsptest::GuitarLike(4 * 44100, kRate, 0.6);
    return sig;
}

std::unique_ptr<FuzzPedal> MakePedal(bool cabinet)
{
    auto p = std::make_unique<FuzzPedal>();
    p->Reset(kRate);
    p->SetLevel(0.5);
    p->SetAttack(0.5);
    p->SetEffectOn(true);
    p->SetCabinetOn(cabinet);
    return p;
}

using benchaudio::SetFrameCounters;

// Args: block size, cabinet on, guitar-like signal (else silence).
void BM_ProcessBlock(benchmark::State& state)
{
    const int block = static_cast<int>(state.range(0));
    auto pedal = MakePedal(state.range(1) != 0);
    const bool guitar = state.range(2) != 0;
    const std::vector<double> silence(Guitar().size(), 0.0);
    const std::vector<double>& in = guitar ? Guitar() : silence;
    std::vector<double> out0(static_cast<size_t>(block)), out1(static_cast<size_t>(block));
    size_t pos = 0;
    int64_t frames = 0;
    for (auto _ : state)
    {
        if (pos + static_cast<size_t>(block) > in.size())
        {
            pos = 0;
        }
        pedal->ProcessBlock(in.data() + pos, in.data() + pos, out0.data(), out1.data(), block);
        benchmark::DoNotOptimize(out0.data());
        pos += static_cast<size_t>(block);
        frames += block;
    }
    SetFrameCounters(state, frames);
}
BENCHMARK(BM_ProcessBlock)
    ->ArgNames({"block", "cabinet", "guitar"})
    ->ArgsProduct({{32, 512, 4096}, {0, 1}, {0, 1}});

// The plain per-sample chain, one frame at a time: the baseline the block loop
// is measured against.
void BM_PerSampleChain(benchmark::State& state)
{
    auto pedal = MakePedal(true);
    const std::vector<double>& in = Guitar();
    size_t pos = 0;
    int64_t frames = 0;
    for (auto _ : state)
    {
        double acc = 0.0;
        for (int i = 0; i < 512; ++i, ++pos)
        {
            if (pos == in.size())
            {
                pos = 0;
            }
            acc += pedal->RunCabinetChain(pedal->RunFuzzChain(in[pos] + in[pos]));
        }
        benchmark::DoNotOptimize(acc);
        frames += 512;
    }
    SetFrameCounters(state, frames);
}
BENCHMARK(BM_PerSampleChain);

// The block path against the straightforward loop of the same chain (each
// frame through every section, one after the other), measured in the same
// run: rounds alternate which of the two goes first, each times the same
// stretch of guitar, and the medians over all rounds are compared. Absolute
// times on a shared machine drift by tens of percent; the ratio holds.
// Args: block size, cabinet on, block path (0: as dispatched, 1: the
// per-section loop the wavefront replaced at these sizes, 2: the SSE2
// wavefront at every size, as on a processor without AVX2).
void BM_AgainstPlainLoop(benchmark::State& state)
{
    const int block = static_cast<int>(state.range(0));
    const bool cabinet = state.range(1) != 0;
    auto fast = MakePedal(cabinet);
    const FuzzPedal::Path forced[] = {FuzzPedal::Path::Auto, FuzzPedal::Path::PerSection,
                                      FuzzPedal::Path::WaveSse2};
    fast->ForcePath(forced[state.range(2)]);
    auto plain = MakePedal(cabinet);
    const std::vector<double>& in = Guitar();
    constexpr int kSpan = 8192;
    std::vector<double> out0(kSpan), out1(kSpan);
    std::vector<double> fastNs, plainNs;
    size_t pos = 0;
    auto runPlain = [&](const double* x)
    {
        DenormalGuard guard;
        for (int i = 0; i < kSpan; ++i)
        {
            double y = plain->RunFuzzChain(x[i] + x[i]);
            if (cabinet)
            {
                y = plain->RunCabinetChain(y);
            }
            out1[static_cast<size_t>(i)] = y;
            out0[static_cast<size_t>(i)] = y;
        }
    };
    auto runFast = [&](const double* x)
    {
        for (int start = 0; start < kSpan; start += block)
        {
            fast->ProcessBlock(x + start, x + start, out0.data() + start, out1.data() + start,
                               std::min(block, kSpan - start));
        }
    };
    auto nsPerFrame =
        [](std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b)
    { return std::chrono::duration<double, std::nano>(b - a).count() / kSpan; };
    int64_t frames = 0;
    for (auto _ : state)
    {
        for (int round = 0; round < 16; ++round)
        {
            if (pos + kSpan > in.size())
            {
                pos = 0;
            }
            const double* x = in.data() + pos;
            const auto t0 = std::chrono::steady_clock::now();
            if (round % 2 == 0)
            {
                runPlain(x);
            }
            else
            {
                runFast(x);
            }
            const auto t1 = std::chrono::steady_clock::now();
            if (round % 2 == 0)
            {
                runFast(x);
            }
            else
            {
                runPlain(x);
            }
            const auto t2 = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(out0.data());
            plainNs.push_back(round % 2 == 0 ? nsPerFrame(t0, t1) : nsPerFrame(t1, t2));
            fastNs.push_back(round % 2 == 0 ? nsPerFrame(t1, t2) : nsPerFrame(t0, t1));
            pos += kSpan;
            frames += 2 * kSpan;
        }
    }
    auto median = [](std::vector<double> v)
    {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double f = median(fastNs);
    const double p = median(plainNs);
    state.counters["ns_per_frame"] = f;
    state.counters["plain_ns_per_frame"] = p;
    state.counters["ratio"] = p / f;
    state.SetItemsProcessed(frames);
}
BENCHMARK(BM_AgainstPlainLoop)
    ->ArgNames({"block", "cabinet", "path"})
    ->ArgsProduct({{32, 64, 128, 512, 4096}, {1, 0}, {0, 1, 2}})
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond);

// n frames through the chosen path: 0 ProcessBlock (guarded inside), 1 the
// per-sample chain without a guard, 2 the per-sample chain inside a
// DenormalGuard.
void RunSlice(FuzzPedal& pedal, const double* in, int n, int path)
{
    if (path == 0)
    {
        double out0[512], out1[512];
        pedal.ProcessBlock(in, in, out0, out1, n);
        benchmark::DoNotOptimize(out0);
        return;
    }
    std::unique_ptr<DenormalGuard> guard(path == 2 ? new DenormalGuard : nullptr);
    double acc = 0.0;
    for (int i = 0; i < n; ++i)
    {
        acc += pedal.RunCabinetChain(pedal.RunFuzzChain(in[i] + in[i]));
    }
    benchmark::DoNotOptimize(acc);
}

// Two seconds of guitar followed by forty of silence, timed second by second.
// On a busy machine a whole second is rarely free of preemption, so each
// 512-frame slice is run five times from a copy of the pedal's state and its
// fastest run counts; a second's time is the sum over its slices. Reports the
// mean signal second, the median and the worst silent second, and the worst
// over the signal. Arg: the path as for RunSlice.
void BM_SilenceAfterSignal(benchmark::State& state)
{
    const int path = static_cast<int>(state.range(0));
    const std::vector<double>& sig = Guitar();
    const std::vector<double> silence(44100, 0.0);
    double signalSecond = 0.0, worstSilent = 0.0, medianSilent = 0.0;
    for (auto _ : state)
    {
        auto pedal = MakePedal(true);
        auto trial = std::make_unique<FuzzPedal>();
        double signalTotal = 0.0;
        std::vector<double> silent;
        for (int second = 0; second < 42; ++second)
        {
            const double* in = second < 2 ? sig.data() + second * 44100 : silence.data();
            double total = 0.0;
            for (int pos = 0; pos < 44100; pos += 512)
            {
                const int n = std::min(512, 44100 - pos);
                double best = 1e9;
                for (int run = 0; run < 5; ++run)
                {
                    *trial = *pedal;
                    const auto start = std::chrono::steady_clock::now();
                    RunSlice(*trial, in + pos, n, path);
                    best = std::min(best, std::chrono::duration<double>(
                                              std::chrono::steady_clock::now() - start)
                                              .count());
                }
                *pedal = *trial;
                total += best;
            }
            if (second < 2)
            {
                signalTotal += total;
            }
            else
            {
                silent.push_back(total);
            }
        }
        std::sort(silent.begin(), silent.end());
        signalSecond = signalTotal / 2.0;
        medianSilent = silent[silent.size() / 2];
        worstSilent = silent.back();
    }
    state.counters["signal_s_ms"] = signalSecond * 1e3;
    state.counters["median_silent_s_ms"] = medianSilent * 1e3;
    state.counters["worst_silent_s_ms"] = worstSilent * 1e3;
    state.counters["worst_over_signal"] = worstSilent / signalSecond;
}
BENCHMARK(BM_SilenceAfterSignal)
    ->ArgName("path")
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
