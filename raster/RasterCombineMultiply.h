#pragma once

#include "RasterPixel.h"

// Multiplies the destination by the source, faded toward white (no change)
// as the weight drops.
struct RasterCombineMultiply
{
    static constexpr bool kSkipsTransparent = true;
    // Each result channel depends only on the same channel of the destination.
    static constexpr bool kPerChannel = true;

    static int Channel(int d, int s, int w)
    {
        return RasterClampChannel((s * w + (256 - w) * 256) * d / 65536);
    }

    static RasterPixel Apply(RasterPixel d, int sR, int sG, int sB, int sA, int w)
    {
        return RasterRGBA(Channel(RasterRed(d), sR, w), Channel(RasterGreen(d), sG, w),
                          Channel(RasterBlue(d), sB, w), Channel(RasterAlpha(d), sA, w));
    }
};
