#pragma once

#include "RasterPixel.h"

// Blends of two packed pixels at fixed weights, without unpacking channels:
// each channel is shifted down inside its own byte before the halves or
// quarters are summed, so no carry crosses into the next channel.

// Half of c over d.
constexpr RasterPixel RasterPackedHalf(RasterPixel d, RasterPixel c)
{
    return ((d >> 1) & 0x7F7F7F7Fu) + ((c >> 1) & 0x7F7F7F7Fu);
}

// A quarter of c over d.
constexpr RasterPixel RasterPackedQuarter(RasterPixel d, RasterPixel c)
{
    return ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + ((c >> 2) & 0x3F3F3F3Fu);
}

// Three quarters of c over d.
constexpr RasterPixel RasterPackedThreeQuarters(RasterPixel d, RasterPixel c)
{
    return ((d >> 2) & 0x3F3F3F3Fu) + ((c >> 1) & 0x7F7F7F7Fu) + ((c >> 2) & 0x3F3F3F3Fu);
}
