#pragma once

#include "RasterPixel.h"

// The same combiner at a weight that does not depend on the source alpha.
template <class Combiner> struct RasterPlainWeight
{
    static constexpr bool kPerChannel = Combiner::kPerChannel;

    static RasterPixel Apply(RasterPixel d, int sR, int sG, int sB, int sA, int w)
    {
        return Combiner::Apply(d, sR, sG, sB, sA, w);
    }
    static bool Skips(int) { return false; }
};
