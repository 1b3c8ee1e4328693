#include "RasterPixelAccess.h"

#include "RasterModeDispatch.h"
#include "RasterPacked.h"
#include "RasterView.h"
#include "RasterWeight.h"

RasterPixel RasterGetPixel(const RasterBitmap* bitmap, int32_t x, int32_t y)
{
    const RasterView v(bitmap);
    if (!v.Valid() || x < 0 || y < 0 || x >= v.width || y >= v.height)
    {
        return 0;
    }
    return *v.At(x, y);
}

void RasterPutPixel(RasterBitmap* dest, int32_t x, int32_t y, RasterPixel colour, float weight,
                    int32_t mode)
{
    const RasterView v(dest);
    if (!v.Valid() || x < 0 || y < 0 || x >= v.width || y >= v.height)
    {
        return;
    }
    RasterPixel* p = v.At(x, y);
    const int ia = RasterWeightToInt(weight);
    if (ia == 0)
    {
        return;
    }
    const int blend = mode & BlendModeMask;
    if (blend == BlendCopy)
    {
        switch (ia)
        {
        case 256:
            *p = colour;
            return;
        case 128:
            *p = RasterPackedHalf(*p, colour);
            return;
        case 64:
            *p = RasterPackedQuarter(*p, colour);
            return;
        case 192:
            *p = RasterPackedThreeQuarters(*p, colour);
            return;
        default:
            if (ia < 0)
            {
                return;
            }
        }
    }
    RasterWithCombiner(blend,
                       [&](auto combiner)
                       {
                           *p = decltype(combiner)::Apply(*p, RasterRed(colour),
                                                          RasterGreen(colour), RasterBlue(colour),
                                                          RasterAlpha(colour), ia);
                       });
}
