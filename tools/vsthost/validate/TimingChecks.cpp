// Timing: what a host waits for when it creates an instance, opens it, and
// the slowest block of a second of audio.
#include "Check.h"
#include "CheckContext.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace
{
double Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The fastest of a few tries: a loaded machine only ever adds time.
template <typename F> double Fastest(int tries, F&& f)
{
    double best = 1e30;
    for (int i = 0; i < tries; ++i)
    {
        best = std::min(best, f());
    }
    return best;
}

std::string Ms(const char* what, double seconds)
{
    char text[120];
    std::snprintf(text, sizeof(text), "%s %.2f ms", what, seconds * 1e3);
    return text;
}

Outcome Creation(CheckContext& context)
{
    context.Step("entry point");
    const double seconds = Fastest(context.Scale(3, 5, 10),
                                   [&]()
                                   {
                                       const auto start = std::chrono::steady_clock::now();
                                       std::unique_ptr<Harness> h = context.Load();
                                       return Since(start);
                                   });
    const std::string text = Ms("module load and entry point (fastest of several):", seconds);
    // Scanning hosts give up on plug-ins that keep them waiting.
    return seconds > 2.0 ? Warn(text) : Pass(text);
}

Outcome Open(CheckContext& context)
{
    context.Step("effOpen");
    const double seconds = Fastest(context.Scale(3, 5, 10),
                                   [&]()
                                   {
                                       std::unique_ptr<Harness> h = context.Load();
                                       const auto start = std::chrono::steady_clock::now();
                                       h->Plugin().Open();
                                       return Since(start);
                                   });
    const std::string text = Ms("effOpen (fastest of several):", seconds);
    return seconds > 2.0 ? Warn(text) : Pass(text);
}

Outcome SlowestBlock(CheckContext& context)
{
    const Audio input = context.Music(44100);
    double first = 0.0;
    const double slowest = Fastest(context.Scale(3, 5, 7),
                                   [&]()
                                   {
                                       context.Step("a second of audio in blocks of 512");
                                       std::vector<double> times;
                                       RunOptions o;
                                       o.blockSeconds = &times;
                                       context.RenderFresh(input, o);
                                       first = std::max(first, times.front());
                                       return *std::max_element(times.begin() + 1, times.end());
                                   });
    const double budget = 512.0 / 44100.0;
    char text[200];
    std::snprintf(text, sizeof(text),
                  "slowest block of 512 at 44.1 kHz %.3f ms (%.1f%% of its real time), first "
                  "block %.3f ms",
                  slowest * 1e3, 100.0 * slowest / budget, first * 1e3);
    // In every run a block took longer than it plays: a host drops out.
    return slowest > budget ? Warn(text) : Pass(text);
}
} // namespace

std::vector<Check> TimingChecks()
{
    return {
        {"timing.create", Creation},
        {"timing.open", Open},
        {"timing.slowest-block", SlowestBlock},
    };
}
