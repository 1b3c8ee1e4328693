#pragma once

#include "RasterPixel.h"

// Colour dodge: brightens the destination by dividing it by the inverted,
// weighted source.
struct RasterCombineDodge
{
    static constexpr bool kSkipsTransparent = false;
    // Each result channel depends only on the same channel of the destination.
    static constexpr bool kPerChannel = true;

    static int Channel(int d, int s, int w)
    {
        const int t = s * w / 256;
        if (t > 254)
        {
            return RasterClampChannel(d * 256);
        }
        return RasterClampChannel(d * 256 / (256 - t));
    }

    static RasterPixel Apply(RasterPixel d, int sR, int sG, int sB, int sA, int w)
    {
        return RasterRGBA(Channel(RasterRed(d), sR, w), Channel(RasterGreen(d), sG, w),
                          Channel(RasterBlue(d), sB, w), Channel(RasterAlpha(d), sA, w));
    }
};
