// Cost of creating the pedal as a scanning host does, hundreds of instances in
// a row: the first in a process decodes the editor's six images, later ones
// find them in the bitmap cache. Each instance is made through the entry
// point, opened and closed again.
#include "PlugExample.h"
#include "RasterBitmap.h"
#include "graphics/IBitmapCache.h"

#include <benchmark/benchmark.h>

#include <memory>

#if defined(VK_VSTHOST_PATH)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

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

#if defined(VK_VSTHOST_PATH)
// What a scan costs a host as a whole: `vsthost info` of a module, a process
// that loads it, creates and opens an instance, asks everything and unloads
// it. Our module beside a third-party plug-in of this machine, in one run.
void VsthostInfo(benchmark::State& state, const char* module)
{
    if (access(module, R_OK) != 0)
    {
        state.SkipWithError("module not found");
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(VK_VSTHOST_PATH), const_cast<char*>("info"),
                    const_cast<char*>(module), nullptr};
    for (auto _ : state)
    {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        {
            state.SkipWithError("vsthost info failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK_CAPTURE(VsthostInfo, ours, VK_MODULE_PATH)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(VsthostInfo, third_party_3BandEQ, "/usr/lib/vst/3BandEQ-vst.so")
    ->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
