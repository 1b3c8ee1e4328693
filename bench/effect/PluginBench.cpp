// Cost of one block through the plug-in as a host sees it: the host's float
// buffers through processReplacing (converted to and from double by the
// binding) and double buffers through processDoubleReplacing, at a few block
// sizes, with and without the cabinet, on silence and a guitar-like signal.
#include "DspTestSignals.h"
#include "FrameCounters.h"
#include "PlugExample.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{

using benchaudio::kRate;

VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

const std::vector<double>& Guitar()
{
    static const std::vector<double> sig = dsptest::GuitarLike(4 * 44100, kRate, 0.6);
    return sig;
}

// An opened, running instance, as a host leaves it before streaming.
struct Instance
{
    explicit Instance(int block, bool cabinet)
        : fx(std::make_unique<PlugExample>(&SilentHost)), e(fx->GetAEffect())
    {
        e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
        e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        e->dispatcher(e, effSetBlockSize, 0, block, nullptr, 0.0f);
        e->setParameter(e, PlugExample::kCabinet, cabinet ? 1.0f : 0.0f);
        e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
    ~Instance()
    {
        e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
        // The binding destroys the instance on effClose.
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
        fx.release();
    }
    std::unique_ptr<PlugExample> fx;
    AEffect* e;
};

// Args: block size, cabinet on, guitar-like signal (else silence).
template <typename Sample> void BM_Plugin(benchmark::State& state)
{
    const int block = static_cast<int>(state.range(0));
    Instance inst(block, state.range(1) != 0);
    const bool guitar = state.range(2) != 0;
    std::vector<Sample> in(Guitar().size(), Sample(0));
    if (guitar)
    {
        for (size_t i = 0; i < in.size(); ++i)
        {
            in[i] = static_cast<Sample>(Guitar()[i]);
        }
    }
    std::vector<Sample> out0(static_cast<size_t>(block)), out1(static_cast<size_t>(block));
    size_t pos = 0;
    int64_t frames = 0;
    for (auto _ : state)
    {
        if (pos + static_cast<size_t>(block) > in.size())
        {
            pos = 0;
        }
        Sample* ins[2] = {in.data() + pos, in.data() + pos};
        Sample* outs[2] = {out0.data(), out1.data()};
        if constexpr (sizeof(Sample) == sizeof(float))
        {
            inst.e->processReplacing(inst.e, ins, outs, block);
        }
        else
        {
            inst.e->processDoubleReplacing(inst.e, ins, outs, block);
        }
        benchmark::DoNotOptimize(out0.data());
        pos += static_cast<size_t>(block);
        frames += block;
    }
    benchaudio::SetFrameCounters(state, frames);
}

void Args(benchmark::internal::Benchmark* b)
{
    b->ArgNames({"block", "cabinet", "guitar"});
    for (int block : {32, 512, 4096})
    {
        for (int cabinet : {0, 1})
        {
            for (int guitar : {0, 1})
            {
                b->Args({block, cabinet, guitar});
            }
        }
    }
}

BENCHMARK_TEMPLATE(BM_Plugin, float)->Name("processReplacing")->Apply(Args);
BENCHMARK_TEMPLATE(BM_Plugin, double)->Name("processDoubleReplacing")->Apply(Args);

} // namespace

BENCHMARK_MAIN();
