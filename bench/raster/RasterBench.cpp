// Megapixels per second of the raster operations on an editor-sized
// destination (213 x 333), each next to a straightforward per-pixel loop that
// unpacks channels, picks the blend mode per pixel and addresses pixels
// through the bitmap interface: the difference is what the packed and
// specialised loops gain.

#include "Raster.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
constexpr int32_t kW = 213, kH = 333;

void Randomise(HeapBitmap& b, uint32_t seed)
{
    std::mt19937 rng(seed);
    for (int32_t i = 0; i < b.PixelWidth() * b.PixelHeight(); ++i)
    {
        b.Pixels()[i] = static_cast<RasterPixel>(rng());
    }
}

void Report(benchmark::State& state, int64_t pixels)
{
    state.SetItemsProcessed(state.iterations() * pixels);
    state.counters["Mpx/s"] = benchmark::Counter(static_cast<double>(pixels) / 1e6,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

// The plain evaluation: one pixel at a time, the mode tested per pixel.
RasterPixel PlainCombine(int32_t mode, RasterPixel d, RasterPixel s, int w)
{
    if (mode & UseSourceAlpha)
    {
        const int a = static_cast<int>(s >> 24);
        if (a == 0 && (mode & 0xFF) == BlendCopy)
        {
            return d;
        }
        w = w * (a + 1) / 256;
    }
    int out[4];
    for (int i = 0; i < 4; ++i)
    {
        const int dc = static_cast<int>((d >> (8 * i)) & 0xFF);
        const int sc = static_cast<int>((s >> (8 * i)) & 0xFF);
        int v;
        switch (mode & 0xFF)
        {
        case BlendCopy:
            v = sc + (dc - sc) * (256 - w) / 256;
            break;
        case BlendAdd:
            v = dc + sc * w / 256;
            break;
        default:
            v = dc;
            break;
        }
        out[i] = v < 0 ? 0 : (v > 255 ? 255 : v);
    }
    return RasterRGBA(out[2], out[1], out[0], out[3]);
}

RasterPixel& PixelAt(RasterBitmap& b, int32_t x, int32_t y)
{
    return b.Pixels()[y * b.RowSpan() + x];
}

void PlainBlit(RasterBitmap& dest, RasterBitmap& src, float weight, int32_t mode)
{
    const int w = static_cast<int>(weight * 256.0f);
    for (int32_t y = 0; y < src.PixelHeight() && y < dest.PixelHeight(); ++y)
    {
        for (int32_t x = 0; x < src.PixelWidth() && x < dest.PixelWidth(); ++x)
        {
            PixelAt(dest, x, y) = PlainCombine(mode, PixelAt(dest, x, y), PixelAt(src, x, y), w);
        }
    }
}

RasterPixel PlainBilinear(RasterBitmap& src, double x, double y)
{
    const int32_t sx = static_cast<int32_t>(x), sy = static_cast<int32_t>(y);
    const double fx = x - sx, fy = y - sy;
    const int32_t sx1 = std::min(sx + 1, src.PixelWidth() - 1);
    const int32_t sy1 = std::min(sy + 1, src.PixelHeight() - 1);
    const RasterPixel p[4] = {PixelAt(src, sx, sy), PixelAt(src, sx1, sy), PixelAt(src, sx, sy1),
                              PixelAt(src, sx1, sy1)};
    const double k[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    RasterPixel out = 0;
    for (int c = 0; c < 4; ++c)
    {
        double v = 0;
        for (int i = 0; i < 4; ++i)
        {
            v += k[i] * ((p[i] >> (8 * c)) & 0xFF);
        }
        out |= static_cast<RasterPixel>(v) << (8 * c);
    }
    return out;
}

struct Images
{
    HeapBitmap dest{kW, kH};
    HeapBitmap src{kW, kH};
    HeapBitmap small{65, 65};
    HeapBitmap knob{90, 90};
    Images()
    {
        Randomise(dest, 1);
        Randomise(src, 2);
        Randomise(small, 3);
        Randomise(knob, 4);
    }
};

Images& Shared()
{
    static Images images;
    return images;
}

void BM_CopyBlit(benchmark::State& state)
{
    Images& im = Shared();
    for (auto _ : state)
    {
        RasterBlit(&im.dest, &im.src, 0, 0, nullptr, 1.0f, BlendCopy);
        benchmark::ClobberMemory();
    }
    Report(state, int64_t{kW} * kH);
}

void BM_CopyBlitPlain(benchmark::State& state)
{
    Images& im = Shared();
    for (auto _ : state)
    {
        PlainBlit(im.dest, im.src, 1.0f, BlendCopy);
        benchmark::ClobberMemory();
    }
    Report(state, int64_t{kW} * kH);
}

void BM_AlphaBlit(benchmark::State& state)
{
    Images& im = Shared();
    for (auto _ : state)
    {
        RasterBlit(&im.dest, &im.src, 0, 0, nullptr, 1.0f, BlendCopy | UseSourceAlpha);
        benchmark::ClobberMemory();
    }
    Report(state, int64_t{kW} * kH);
}

void BM_AlphaBlitPlain(benchmark::State& state)
{
    Images& im = Shared();
    for (auto _ : state)
    {
        PlainBlit(im.dest, im.src, 1.0f, BlendCopy | UseSourceAlpha);
        benchmark::ClobberMemory();
    }
    Report(state, int64_t{kW} * kH);
}

void BM_WeightedBlit(benchmark::State& state)
{
    Images& im = Shared();
    const float weight = static_cast<float>(state.range(0)) / 100.0f;
    for (auto _ : state)
    {
        RasterBlit(&im.dest, &im.src, 0, 0, nullptr, weight, BlendCopy);
        benchmark::ClobberMemory();
    }
    Report(state, int64_t{kW} * kH);
}

void BM_WeightedBlitPlain(benchmark::State& state)
{
    Images& im = Shared();
    const float weight = static_cast<float>(state.range(0)) / 100.0f;
    for (auto _ : state)
    {
        PlainBlit(im.dest, im.src, weight, BlendCopy);
        benchmark::ClobberMemory();
    }
    Report(state, int64_t{kW} * kH);
}

void BM_BilinearScale(benchmark::State& state)
{
    Images& im = Shared();
    for (auto _ : state)
    {
        RasterScaledBlit(&im.dest, &im.small, 10, 20, 130, 130, 0, 0, 65, 65, 1.0f,
                         BlendCopy | FilterBilinear);
        benchmark::ClobberMemory();
    }
    Report(state, 130 * 130);
}

void BM_BilinearScalePlain(benchmark::State& state)
{
    Images& im = Shared();
    for (auto _ : state)
    {
        for (int32_t j = 0; j < 130; ++j)
        {
            for (int32_t i = 0; i < 130; ++i)
            {
                PixelAt(im.dest, 10 + i, 20 + j) = PlainBilinear(im.small, i * 0.5, j * 0.5);
            }
        }
        benchmark::ClobberMemory();
    }
    Report(state, 130 * 130);
}

void BM_RotatedBlit(benchmark::State& state)
{
    Images& im = Shared();
    for (auto _ : state)
    {
        RasterRotatedBlit(&im.dest, &im.knob, 60, 100, 90, 90, 0, 0, 90, 90, 0.7f, true, 1.0f,
                          BlendCopy | FilterBilinear | UseSourceAlpha, 0, 0);
        benchmark::ClobberMemory();
    }
    Report(state, 90 * 90);
}

void BM_RotatedBlitPlain(benchmark::State& state)
{
    Images& im = Shared();
    const double c = std::cos(0.7), s = std::sin(0.7);
    for (auto _ : state)
    {
        for (int32_t j = 0; j < 90; ++j)
        {
            for (int32_t i = 0; i < 90; ++i)
            {
                const double x = 45 + (i - 45) * c + (j - 45) * s;
                const double y = 45 - (i - 45) * s + (j - 45) * c;
                if (x < 0 || y < 0 || x >= 90 || y >= 90)
                {
                    continue;
                }
                RasterPixel& d = PixelAt(im.dest, 60 + i, 100 + j);
                d = PlainCombine(BlendCopy | UseSourceAlpha, d, PlainBilinear(im.knob, x, y), 256);
            }
        }
        benchmark::ClobberMemory();
    }
    Report(state, 90 * 90);
}

void BM_Fill(benchmark::State& state)
{
    Images& im = Shared();
    const float weight = static_cast<float>(state.range(0)) / 100.0f;
    for (auto _ : state)
    {
        RasterFillRect(&im.dest, 0, 0, kW, kH, 0xFF336699u, weight, BlendCopy);
        benchmark::ClobberMemory();
    }
    Report(state, int64_t{kW} * kH);
}

void BM_FillPlain(benchmark::State& state)
{
    Images& im = Shared();
    const float weight = static_cast<float>(state.range(0)) / 100.0f;
    const int w = static_cast<int>(weight * 256.0f);
    for (auto _ : state)
    {
        for (int32_t y = 0; y < kH; ++y)
        {
            for (int32_t x = 0; x < kW; ++x)
            {
                PixelAt(im.dest, x, y) =
                    PlainCombine(BlendCopy, PixelAt(im.dest, x, y), 0xFF336699u, w);
            }
        }
        benchmark::ClobberMemory();
    }
    Report(state, int64_t{kW} * kH);
}
} // namespace

BENCHMARK(BM_CopyBlit);
BENCHMARK(BM_CopyBlitPlain);
BENCHMARK(BM_AlphaBlit);
BENCHMARK(BM_AlphaBlitPlain);
BENCHMARK(BM_WeightedBlit)->Arg(50)->Arg(30);
BENCHMARK(BM_WeightedBlitPlain)->Arg(50)->Arg(30);
BENCHMARK(BM_BilinearScale);
BENCHMARK(BM_BilinearScalePlain);
BENCHMARK(BM_RotatedBlit);
BENCHMARK(BM_RotatedBlitPlain);
BENCHMARK(BM_Fill)->Arg(100)->Arg(50)->Arg(30);
BENCHMARK(BM_FillPlain)->Arg(100)->Arg(50)->Arg(30);
