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
        // Colour channels always arrive in 0..255; only a fill's stand-in
        // alpha (its integer weight) can lie outside.
        if (w == 256)
        {
            return RasterRGBA(sR, sG, sB, RasterClampChannel(sA));
        }
        const int k = 256 - w;
        if (w > 0 && w < 256 && sA < 256)
        {
            // Between the two colours: no channel can leave 0..255.
            return RasterRGBA(
                sR + (RasterRed(d) - sR) * k / 256, sG + (RasterGreen(d) - sG) * k / 256,
                sB + (RasterBlue(d) - sB) * k / 256, sA + (RasterAlpha(d) - sA) * k / 256);
        }
        return RasterRGBAClamped(
            sR + (RasterRed(d) - sR) * k / 256, sG + (RasterGreen(d) - sG) * k / 256,
            sB + (RasterBlue(d) - sB) * k / 256, sA + (RasterAlpha(d) - sA) * k / 256);
    }
};
