#include "RasterFill.h"

#include "RasterClip.h"
#include "RasterModeDispatch.h"
#include "RasterPacked.h"
#include "RasterWeight.h"

namespace
{
template <class PixelFn> void ForEachPixel(const RasterView& v, const RasterClip& c, PixelFn&& fn)
{
    for (int32_t y = c.y1; y < c.y2; ++y)
    {
        RasterPixel* p = v.Row(y);
        for (int32_t x = c.x1; x < c.x2; ++x)
        {
            p[x] = fn(p[x]);
        }
    }
}

// Below this many pixels a fill combines directly; above it, a combiner whose
// channels are independent is tabulated once for all 256 values of each
// destination channel, which turns every pixel into four lookups.
constexpr int64_t kTableThreshold = 1024;

template <class Combiner>
void CombineFill(const RasterView& v, const RasterClip& c, int r, int g, int b, int a, int ia)
{
    const int64_t area = static_cast<int64_t>(c.x2 - c.x1) * (c.y2 - c.y1);
    if constexpr (Combiner::kPerChannel)
    {
        if (area >= kTableThreshold)
        {
            uint8_t table[4][256];
            for (int k = 0; k < 256; ++k)
            {
                const RasterPixel out =
                    Combiner::Apply(0x01010101u * static_cast<RasterPixel>(k), r, g, b, a, ia);
                for (int ch = 0; ch < 4; ++ch)
                {
                    table[ch][k] = static_cast<uint8_t>(out >> (8 * ch));
                }
            }
            ForEachPixel(v, c,
                         [&table](RasterPixel d)
                         {
                             return static_cast<RasterPixel>(table[0][d & 0xFF]) |
                                    static_cast<RasterPixel>(table[1][(d >> 8) & 0xFF]) << 8 |
                                    static_cast<RasterPixel>(table[2][(d >> 16) & 0xFF]) << 16 |
                                    static_cast<RasterPixel>(table[3][d >> 24]) << 24;
                         });
            return;
        }
    }
    ForEachPixel(v, c, [=](RasterPixel d) { return Combiner::Apply(d, r, g, b, a, ia); });
}
} // namespace

void RasterFillRect(RasterBitmap* dest, int32_t x, int32_t y, int32_t w, int32_t h,
                    RasterPixel colour, float weight, int32_t mode)
{
    if (mode & UseSourceAlpha)
    {
        weight *= static_cast<float>(RasterAlpha(colour)) * 0.003921569f;
    }
    if (weight == 0.0f || weight != weight)
    {
        return;
    }
    const RasterView v(dest);
    if (!v.Valid())
    {
        return;
    }
    const RasterClip clip(v, x, y, w, h);
    if (clip.Empty())
    {
        return;
    }
    const int ia = RasterWeightToInt(weight);
    const int blend = mode & BlendModeMask;
    if (blend == BlendCopy)
    {
        switch (ia)
        {
        case 256:
            ForEachPixel(v, clip, [colour](RasterPixel) { return colour; });
            return;
        case 128:
            ForEachPixel(v, clip, [colour](RasterPixel d) { return RasterPackedHalf(d, colour); });
            return;
        case 64:
            ForEachPixel(v, clip,
                         [colour](RasterPixel d) { return RasterPackedQuarter(d, colour); });
            return;
        case 192:
            ForEachPixel(v, clip,
                         [colour](RasterPixel d) { return RasterPackedThreeQuarters(d, colour); });
            return;
        default:
            if (ia <= 0)
            {
                return;
            }
        }
    }
    if (ia == 0)
    {
        return;
    }
    const int r = RasterRed(colour), g = RasterGreen(colour), b = RasterBlue(colour);
    RasterWithCombiner(blend, [&](auto combiner)
                       { CombineFill<decltype(combiner)>(v, clip, r, g, b, ia, ia); });
}

void RasterMaskRect(RasterBitmap* dest, int32_t x, int32_t y, int32_t w, int32_t h,
                    uint32_t andMask, uint32_t orMask)
{
    const RasterView v(dest);
    if (!v.Valid())
    {
        return;
    }
    const RasterClip clip(v, x, y, w, h);
    if (clip.Empty())
    {
        return;
    }
    ForEachPixel(v, clip, [=](RasterPixel d) { return (d & andMask) | orMask; });
}
