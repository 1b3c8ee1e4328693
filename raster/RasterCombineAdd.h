#pragma once

#include "RasterPixel.h"

// Adds w / 256 of the source to every channel, saturating at 255 (and at 0 for
// negative weights).
struct RasterCombineAdd
{
    static constexpr bool kSkipsTransparent = true;
    // Each result channel depends only on the same channel of the destination.
    static constexpr bool kPerChannel = true;

    static RasterPixel Apply(RasterPixel d, int sR, int sG, int sB, int sA, int w)
    {
        return RasterRGBAClamped(RasterRed(d) + sR * w / 256, RasterGreen(d) + sG * w / 256,
                                 RasterBlue(d) + sB * w / 256, RasterAlpha(d) + sA * w / 256);
    }
};
