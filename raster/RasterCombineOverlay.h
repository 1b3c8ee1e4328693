#pragma once

#include "RasterPixel.h"

// Overlay: a mid-grey source leaves the destination as it is, lighter sources
// brighten and darker ones darken it, the more so toward the midtones.
struct RasterCombineOverlay
{
    static constexpr bool kSkipsTransparent = false;
    // Each result channel depends only on the same channel of the destination.
    static constexpr bool kPerChannel = true;

    static int Channel(int d, int s, int w, int m)
    {
        const int t = s * w + m;
        return RasterClampChannel((((32768 - t) * d) / 256 + t) * d / 32768);
    }

    static RasterPixel Apply(RasterPixel d, int sR, int sG, int sB, int sA, int w)
    {
        const int m = (256 - w) * 128;
        return RasterRGBA(Channel(RasterRed(d), sR, w, m), Channel(RasterGreen(d), sG, w, m),
                          Channel(RasterBlue(d), sB, w, m), Channel(RasterAlpha(d), sA, w, m));
    }
};
