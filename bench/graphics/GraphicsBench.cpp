// Repaint cost of an editor face of the pedal kind: a 213 x 326 background
// (a 213 x 333 picture) and eight knobs drawn from 65-frame strips, through
// the drawing layer into its back buffer. Three cases: the full repaint a
// newly opened window needs, one knob dragged by a pixel and repainted (what
// each timer tick of a drag costs), and the timer's check when nothing is
// dirty.

#include "IEffectBase.h"
#include "controls/IBitmapControl.h"
#include "controls/IKnobMultiControl.h"
#include "graphics/IBitmapCache.h"
#include "graphics/IGraphicsRaster.h"

#include "HeapBitmap.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

namespace
{
constexpr int32_t kWidth = 213, kHeight = 326;
constexpr int32_t kKnobs = 8;
constexpr int32_t kKnobSize = 65, kFrames = 65;
constexpr int32_t kBackgroundId = 102, kKnobId = 101;

// An opaque background with some texture.
RasterBitmap* MakeBackground()
{
    auto* b = new HeapBitmap(kWidth, 333);
    for (int32_t y = 0; y < 333; ++y)
    {
        for (int32_t x = 0; x < kWidth; ++x)
        {
            const uint32_t v = static_cast<uint32_t>((x * 7 + y * 3) & 0xFF);
            b->Pixels()[y * kWidth + x] = 0xFF000000u | (v << 16) | ((255 - v) << 8) | (v / 2);
        }
    }
    return b;
}

// A knob strip: in each frame a round cap (soft edge, transparent corners)
// with a pointer line at the frame's angle.
RasterBitmap* MakeKnobStrip()
{
    auto* b = new HeapBitmap(kKnobSize, kKnobSize * kFrames);
    const double c = (kKnobSize - 1) / 2.0;
    for (int32_t f = 0; f < kFrames; ++f)
    {
        const double angle = -2.4 + 4.8 * f / (kFrames - 1);
        for (int32_t y = 0; y < kKnobSize; ++y)
        {
            for (int32_t x = 0; x < kKnobSize; ++x)
            {
                const double dx = x - c, dy = y - c;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double edge = 31.0 - r;
                const uint32_t a =
                    edge >= 1.0 ? 255u : (edge <= 0.0 ? 0u : static_cast<uint32_t>(edge * 255));
                const double along = dx * std::sin(angle) - dy * std::cos(angle);
                const double across = std::fabs(dx * std::cos(angle) + dy * std::sin(angle));
                const bool pointer = along > 8.0 && across < 2.0;
                const uint32_t grey = pointer ? 240u : 60u + static_cast<uint32_t>(r * 2);
                b->Pixels()[(f * kKnobSize + y) * kKnobSize + x] =
                    (a << 24) | (grey << 16) | (grey << 8) | grey;
            }
        }
    }
    return b;
}

// The window class's part, for a bench: nothing is presented, and the
// "resources" are the pictures above.
class BenchGraphics : public IGraphicsRaster
{
public:
    BenchGraphics(IEffectBase* plugIn, IBitmapCache* cache)
        : IGraphicsRaster(plugIn, kWidth, kHeight, 0, cache)
    {
    }
    bool PresentRegion(const IRegion&) override { return true; }
    RasterBitmap* DecodeResourceImage(int32_t resourceId, const char*) override
    {
        return resourceId == kBackgroundId ? MakeBackground() : MakeKnobStrip();
    }
};

// Eight continuous parameters, one per knob.
class BenchEffect : public IEffectBase
{
public:
    BenchEffect()
        : IEffectBase(kKnobs, "1-1 2-2", 1, "Bench", "Bench", "Quillmark", 0x10000, 0x42656E63,
                      0x51756C6D, 0, false, false, false)
    {
        for (int32_t i = 0; i < kKnobs; ++i)
        {
            GetParam(i)->InitContinuous("Knob", 0.5, 0.0, 1.0, 0.001);
        }
    }
};

// The face: background, then two columns of four knobs.
struct Face
{
    IBitmapCache cache;
    BenchEffect effect;
    BenchGraphics* graphics = nullptr;

    Face()
    {
        auto g = std::make_unique<BenchGraphics>(&effect, &cache);
        g->AddBackground(kBackgroundId, "img/background.png");
        const IBitmapFrames knob = g->LoadResourceBitmap(kKnobId, "img/knob.png", kFrames);
        for (int32_t i = 0; i < kKnobs; ++i)
        {
            const int32_t x = 18 + (i % 2) * 97;
            const int32_t y = 10 + (i / 2) * 78;
            g->AddControl(new IKnobMultiControl(&effect, x, y, i, knob, 0, 4.0));
        }
        graphics = g.get();
        effect.AttachEditor(g.release());
        // The first paint, as when the window opens.
        IRegion dirty;
        graphics->CollectDirtyRegion(dirty);
        graphics->RedrawRegion({0, 0, kWidth, kHeight});
        graphics->CollectDirtyRegion(dirty);
        graphics->RedrawRegion(dirty);
    }
};

void BM_FullRepaint(benchmark::State& state)
{
    Face face;
    const IRegion whole{0, 0, kWidth, kHeight};
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(face.graphics->RedrawRegion(whole));
    }
    state.counters["px"] = kWidth * kHeight;
}
BENCHMARK(BM_FullRepaint);

// A press on the first knob, then per iteration one pixel of drag (up and
// down in turn) and the timer tick that finds and repaints it.
void BM_KnobDragRepaint(benchmark::State& state)
{
    Face face;
    IGraphicsCore* g = face.graphics;
    const IMouseKeys keys{true, false, false, false, false};
    g->MousePressed(50, 40, keys);
    int32_t y = 40;
    int64_t repaints = 0;
    int64_t pixels = 0;
    for (auto _ : state)
    {
        y = y == 40 ? 39 : 40;
        g->MouseDragged(50, y, keys);
        IRegion dirty;
        if (g->CollectDirtyRegion(dirty))
        {
            g->RedrawRegion(dirty);
            ++repaints;
            pixels += static_cast<int64_t>(dirty.Width()) * dirty.Height();
        }
    }
    g->MouseReleased(50, y, keys);
    // Every drag step must have found the knob, and only the knob, dirty.
    if (repaints != static_cast<int64_t>(state.iterations()) ||
        pixels != repaints * kKnobSize * kKnobSize)
    {
        state.SkipWithError("a drag step did not repaint exactly the knob");
    }
}
BENCHMARK(BM_KnobDragRepaint);

void BM_IdleCheck(benchmark::State& state)
{
    Face face;
    bool anyDirty = false;
    for (auto _ : state)
    {
        IRegion dirty;
        anyDirty |= face.graphics->CollectDirtyRegion(dirty);
        benchmark::DoNotOptimize(dirty);
    }
    if (anyDirty)
    {
        state.SkipWithError("the idle face had a dirty control");
    }
}
BENCHMARK(BM_IdleCheck);
} // namespace

BENCHMARK_MAIN();
