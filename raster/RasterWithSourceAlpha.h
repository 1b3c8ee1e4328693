#pragma once

#include "RasterPixel.h"

// A combiner whose weight is scaled pixel by pixel by the source alpha:
// w' = w x (sA + 1) / 256, so alpha 255 at full weight is exactly 256.
template <class Combiner> struct RasterWithSourceAlpha
{
    static constexpr bool kSkipsTransparent = Combiner::kSkipsTransparent;
    static constexpr bool kPerChannel = Combiner::kPerChannel;

    static RasterPixel Apply(RasterPixel d, int sR, int sG, int sB, int sA, int w)
    {
        return Combiner::Apply(d, sR, sG, sB, sA, w * (sA + 1) / 256);
    }

    // True when the pixel is to be left untouched: transparent source pixels
    // are skipped by the modes that would not change the pixel anyway.
    static bool Skips(int sA) { return kSkipsTransparent && sA == 0; }
};
