#pragma once

#include "RasterPixel.h"

// Moves every channel (alpha included) of the destination toward the source
// by w / 256. Results are clamped so that weights above 1 cannot spill into
// the neighbouring channel.
struct RasterCombineCopy
{
    // Source alpha 0 leaves the pixel alone when alpha scales the weight.
    static constexpr bool kSkipsTransparent = true;
    // Each result channel depends only on the same channel of the destination.
    static constexpr bool kPerChannel = true;

    static RasterPixel Apply(RasterPixel d, int sR, int sG, int sB, int sA, int w)
    {
        if (w == 256)
            return RasterRGBAClamped(sR, sG, sB, sA);
        const int k = 256 - w;
        return RasterRGBAClamped(
            sR + (RasterRed(d) - sR) * k / 256, sG + (RasterGreen(d) - sG) * k / 256,
            sB + (RasterBlue(d) - sB) * k / 256, sA + (RasterAlpha(d) - sA) * k / 256);
    }
};
