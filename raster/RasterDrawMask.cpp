#include "RasterFill.h"

#include "RasterClip.h"
#include "RasterModeDispatch.h"
#include "RasterWeight.h"

namespace
{
template <class Combiner>
void StampMask(const RasterView& v, const RasterClip& c, RasterPixel colour, const uint8_t* mask,
               int32_t maskStride, int ia)
{
    const int r = RasterRed(colour), g = RasterGreen(colour), b = RasterBlue(colour);
    const int a = RasterAlpha(colour);
    for (int32_t y = c.y1; y < c.y2; ++y, mask += maskStride)
    {
        RasterPixel* p = v.Row(y);
        const uint8_t* m = mask;
        for (int32_t x = c.x1; x < c.x2; ++x, ++m)
        {
            const int w = *m * ia / 256;
            // Uncovered pixels stay as they are in every mode, even those
            // (HSV adjust) that would otherwise round-trip the colour.
            if (w == 0)
            {
                continue;
            }
            p[x] = Combiner::Apply(p[x], r, g, b, a, w);
        }
    }
}
} // namespace

void RasterDrawMask(RasterBitmap* dest, int32_t x, int32_t y, RasterPixel colour,
                    const uint8_t* mask, int32_t maskW, int32_t maskH, float weight, int32_t mode)
{
    if (!mask || maskW <= 0 || maskH <= 0)
    {
        return;
    }
    const RasterView v(dest);
    if (!v.Valid())
    {
        return;
    }
    const RasterClip clip(v, x, y, maskW, maskH);
    if (clip.Empty())
    {
        return;
    }
    const int ia = RasterWeightToInt(weight);
    if (ia == 0 || ((mode & BlendModeMask) == BlendCopy && ia < 0))
    {
        return;
    }
    // Skip the mask rows and columns cut away at the top and left.
    const uint8_t* first =
        mask + (static_cast<int64_t>(clip.y1) - y) * maskW + (clip.x1 - static_cast<int64_t>(x));
    RasterWithCombiner(mode & BlendModeMask, [&](auto combiner)
                       { StampMask<decltype(combiner)>(v, clip, colour, first, maskW, ia); });
}
