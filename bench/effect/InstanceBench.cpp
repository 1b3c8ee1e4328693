// Cost of creating the pedal as a scanning host does, hundreds of instances in
// a row: the first in a process decodes the editor's six images, later ones
// find them in the bitmap cache. Each instance is made through the entry
// point, opened and closed again.
#include "PlugExample.h"
#include "RasterBitmap.h"
#include "graphics/IBitmapCache.h"

#include <benchmark/benchmark.h>

#include <memory>

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback);

namespace
{

VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Bytes of pixels the cache holds: every image the face uses, once.
double CacheBytes(IBitmapCache& cache)
{
    double bytes = 0.0;
    for (int id = 100; id <= 105; ++id)
    {
        if (const RasterBitmap* b = cache.Find(id))
        {
            bytes += 4.0 * b->RowSpan() * b->PixelHeight();
        }
    }
    return bytes;
}

// The first instance of a process: a cache of its own, empty each time.
void BM_FirstInstance(benchmark::State& state)
{
    double bytes = 0.0;
    for (auto _ : state)
    {
        auto cache = std::make_unique<IBitmapCache>();
        auto* fx = new PlugExample(&SilentHost, cache.get());
        AEffect* e = fx->GetAEffect();
        e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
        state.PauseTiming();
        bytes = CacheBytes(*cache);
        cache.reset();
        state.ResumeTiming();
    }
    state.counters["cache_bytes"] = bytes;
}
BENCHMARK(BM_FirstInstance)->Unit(benchmark::kMillisecond);

// Every later one: through the entry point and the module's shared cache,
// which the first iteration fills.
void BM_LaterInstance(benchmark::State& state)
{
    AEffect* warm = VSTPluginMain(&SilentHost);
    warm->dispatcher(warm, effClose, 0, 0, nullptr, 0.0f);
    for (auto _ : state)
    {
        AEffect* e = VSTPluginMain(&SilentHost);
        e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    }
    state.counters["cache_bytes"] = CacheBytes(IBitmapCache::Shared());
}
BENCHMARK(BM_LaterInstance)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
