#include "RasterScaledBlit.h"

#include "RasterBlit.h"
#include "RasterModeDispatch.h"
#include "RasterPacked.h"
#include "RasterSampling.h"
#include "RasterWeight.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace
{
// Source coordinates beyond this many pixels are not drawn: it keeps every
// 16.16 position of the walk far inside 64 bits.
constexpr double kCoordinateLimit = 16777216.0;

// The walk after clipping: destination rectangle, 16.16 start and steps, and
// the usable source area [0, clipRight) x [0, clipBottom).
struct Walk
{
    int32_t dstX, dstY, dstW, dstH;
    int64_t x0, dx, y0, dy;
    int32_t clipRight, clipBottom;
    int box; // kernel size of the box filter
};

// Stores the sample as it is.
struct StoreSample
{
    static RasterPixel Apply(RasterPixel, int r, int g, int b, int a, int)
    {
        return RasterRGBA(r, g, b, a);
    }
    static bool Skips(int) { return false; }
};

// Half of the sample over the destination.
struct HalfSample
{
    static RasterPixel Apply(RasterPixel d, int r, int g, int b, int a, int)
    {
        return RasterPackedHalf(d, RasterRGBA(r, g, b, a));
    }
    static bool Skips(int) { return false; }
};

struct NearestSampler
{
    static RasterPixel Get(const RasterView& s, const Walk&, int32_t sx, int32_t sy, uint32_t,
                           uint32_t)
    {
        return s.At(sx, sy)[0];
    }
};

struct BilinearSampler
{
    static RasterPixel Get(const RasterView& s, const Walk& w, int32_t sx, int32_t sy, uint32_t fx,
                           uint32_t fy)
    {
        return RasterSampleBilinear(s, sx, sy, fx, fy, sx + 1 < w.clipRight, sy + 1 < w.clipBottom);
    }
};

// Mean of the n x n source pixels around (sx, sy) that lie inside the source.
struct BoxSampler
{
    static RasterPixel Get(const RasterView& s, const Walk& w, int32_t sx, int32_t sy, uint32_t,
                           uint32_t)
    {
        const int half = w.box / 2;
        const int32_t x1 = std::max(sx - half, 0);
        const int32_t x2 = std::min(sx + half, w.clipRight - 1);
        const int32_t y1 = std::max(sy - half, 0);
        const int32_t y2 = std::min(sy + half, w.clipBottom - 1);
        uint32_t sum[4] = {0, 0, 0, 0};
        for (int32_t y = y1; y <= y2; ++y)
        {
            const RasterPixel* row = s.Row(y);
            for (int32_t x = x1; x <= x2; ++x)
            {
                const RasterPixel p = row[x];
                sum[0] += p & 0xFFu;
                sum[1] += (p >> 8) & 0xFFu;
                sum[2] += (p >> 16) & 0xFFu;
                sum[3] += p >> 24;
            }
        }
        // The centre tap always lies inside, so the count is at least 1.
        const uint32_t count = static_cast<uint32_t>((x2 - x1 + 1) * (y2 - y1 + 1));
        return (sum[3] / count) << 24 | (sum[2] / count) << 16 | (sum[1] / count) << 8 |
               sum[0] / count;
    }
};

template <class Sampler, class Op>
void ScaledLoop(const RasterView& d, const RasterView& s, const Walk& w, int ia)
{
    int64_t y = w.y0;
    for (int32_t j = 0; j < w.dstH; ++j, y += w.dy)
    {
        const int64_t sy = y >> 16;
        if (sy < 0 || sy >= w.clipBottom)
        {
            continue;
        }
        const uint32_t fy = static_cast<uint32_t>(y & 0xFFFF);
        RasterPixel* dp = d.At(w.dstX, w.dstY + j);
        int64_t x = w.x0;
        for (int32_t i = 0; i < w.dstW; ++i, x += w.dx)
        {
            const int64_t sx = x >> 16;
            if (sx < 0 || sx >= w.clipRight)
            {
                continue;
            }
            const RasterPixel c =
                Sampler::Get(s, w, static_cast<int32_t>(sx), static_cast<int32_t>(sy),
                             static_cast<uint32_t>(x & 0xFFFF), fy);
            const int a = RasterAlpha(c);
            if (Op::Skips(a))
            {
                continue;
            }
            dp[i] = Op::Apply(dp[i], RasterRed(c), RasterGreen(c), RasterBlue(c), a, ia);
        }
    }
}

template <class Sampler>
void Dispatch(const RasterView& d, const RasterView& s, const Walk& w, int ia, int32_t mode)
{
    if ((mode & (BlendModeMask | UseSourceAlpha)) == BlendCopy)
    {
        if (ia == 256)
        {
            ScaledLoop<Sampler, StoreSample>(d, s, w, ia);
            return;
        }
        // Packed halves only for nearest sampling: the filtered samples take
        // the weighted copy, whose rounding differs.
        if (ia == 128 && std::is_same_v<Sampler, NearestSampler>)
        {
            ScaledLoop<Sampler, HalfSample>(d, s, w, ia);
            return;
        }
    }
    RasterWithCombiner(mode, [&](auto combiner)
                       { ScaledLoop<Sampler, decltype(combiner)>(d, s, w, ia); });
}

// Clips one axis of the walk against the destination and the source. Returns
// false when nothing of it remains.
bool ClipAxis(int64_t& pos, int64_t& size, double& srcPos, double step, int32_t destSize,
              int32_t srcSize, int64_t& fixedStart, int64_t& fixedStep)
{
    if (pos < 0)
    {
        size += pos;
        srcPos -= static_cast<double>(pos) * step;
        pos = 0;
    }
    size = std::min<int64_t>(size, destSize - pos);
    if (size < 1)
    {
        return false;
    }
    fixedStart = static_cast<int64_t>(srcPos * 65536.0);
    fixedStep = static_cast<int64_t>(step * 65536.0);
    if (fixedStep >= 1)
    {
        if (fixedStart < 0)
        {
            // Skip the leading samples that fall left of (above) the source.
            const int64_t k = (fixedStep - fixedStart - 1) / fixedStep;
            fixedStart += k * fixedStep;
            pos += k;
            size -= k;
        }
        if (((size - 1) * fixedStep + fixedStart) >> 16 >= srcSize)
        {
            // Samples up to the last source pixel are kept, that one included.
            const int64_t fit =
                (static_cast<int64_t>(srcSize) * 65536 - fixedStart - 65536) / fixedStep + 1;
            size = std::min(size, fit);
        }
    }
    return size >= 1;
}
} // namespace

void RasterScaledBlit(RasterBitmap* dest, const RasterBitmap* src, int32_t dstX, int32_t dstY,
                      int32_t dstW, int32_t dstH, float srcX, float srcY, float srcW, float srcH,
                      float weight, int32_t mode)
{
    if (dstW == 0 || dstH == 0 || weight == 0.0f || weight != weight)
    {
        return;
    }
    if (!RasterAllWithin({srcX, srcY, srcW, srcH}, kCoordinateLimit))
    {
        return;
    }
    const RasterView d(dest);
    const RasterView s(src);
    if (!d.Valid() || !s.Valid())
    {
        return;
    }

    // The same size is a plain blit (mirroring sizes excepted: those need the walk).
    if (dstW > 0 && dstH > 0 && std::fabs(static_cast<double>(srcW) - dstW) < 0.001 &&
        std::fabs(static_cast<double>(srcH) - dstH) < 0.001)
    {
        const bool aligned = std::fabs(srcX - std::nearbyint(srcX)) < 0.03f &&
                             std::fabs(srcY - std::nearbyint(srcY)) < 0.03f;
        if (!(mode & FilterBilinear) || aligned)
        {
            const int64_t left = static_cast<int64_t>(srcX + 0.5f);
            const int64_t top = static_cast<int64_t>(srcY + 0.5f);
            const RasterRect region{static_cast<int32_t>(left), static_cast<int32_t>(top),
                                    static_cast<int32_t>(std::min<int64_t>(left + dstW, INT32_MAX)),
                                    static_cast<int32_t>(std::min<int64_t>(top + dstH, INT32_MAX))};
            RasterBlit(dest, src, dstX, dstY, &region, weight, mode & ~FilterBilinear);
            return;
        }
    }

    const RasterMapping m = RasterUnmirror({dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH});
    int64_t x = m.x, y = m.y, w = m.w, h = m.h;
    const double sx = m.sx, sy = m.sy, sw = m.sw, sh = m.sh;
    const double xStep = sw / static_cast<double>(w);
    const double yStep = sh / static_cast<double>(h);
    // Samples sit at the leading corner of each destination pixel. Walking the
    // source backwards, that corner is the far edge of the pixel's source
    // interval, one step beyond it: start one step in so that a mirrored blit
    // is the exact reverse of the plain one.
    double firstX = sx, firstY = sy;
    if (xStep < 0.0)
    {
        firstX += xStep;
    }
    if (yStep < 0.0)
    {
        firstY += yStep;
    }

    // The usable source area ends at the source rectangle's far edge.
    const int64_t clipRight =
        std::min<int64_t>(s.width, static_cast<int64_t>(std::ceil(sx + std::max(sw, 0.0))));
    const int64_t clipBottom =
        std::min<int64_t>(s.height, static_cast<int64_t>(std::ceil(sy + std::max(sh, 0.0))));
    if (clipRight < 1 || clipBottom < 1)
    {
        return;
    }

    Walk walk{};
    if (!ClipAxis(x, w, firstX, xStep, d.width, s.width, walk.x0, walk.dx) ||
        !ClipAxis(y, h, firstY, yStep, d.height, s.height, walk.y0, walk.dy))
    {
        return;
    }
    walk.dstX = static_cast<int32_t>(x);
    walk.dstY = static_cast<int32_t>(y);
    walk.dstW = static_cast<int32_t>(w);
    walk.dstH = static_cast<int32_t>(h);
    walk.clipRight = static_cast<int32_t>(clipRight);
    walk.clipBottom = static_cast<int32_t>(clipBottom);
    walk.box = std::max(walk.dx, walk.dy) <= 0x30000 ? 3 : 5;

    const int ia = RasterWeightToInt(weight);
    if (ia == 0)
    {
        return;
    }
    if ((mode & (BlendModeMask | UseSourceAlpha)) == BlendCopy && ia < 0)
    {
        return;
    }

    if (!(mode & FilterBilinear))
    {
        Dispatch<NearestSampler>(d, s, walk, ia, mode);
    }
    else if (xStep >= 1.7 && yStep >= 1.7)
    {
        Dispatch<BoxSampler>(d, s, walk, ia, mode);
    }
    else
    {
        Dispatch<BilinearSampler>(d, s, walk, ia, mode);
    }
}
