#pragma once

#include "RasterBitmap.h"

#include <cstddef>

namespace fuzzimages
{
// Keeps the pixel reads from being optimised away.
inline volatile RasterPixel sink;

// Reads every pixel, so a short or misplaced row shows up under the
// sanitizers, and releases a bitmap the decoder created.
inline void Consume(RasterBitmap* bitmap, bool owned)
{
    if (!bitmap)
    {
        return;
    }
    RasterPixel sum = 0;
    for (int y = 0; y < bitmap->PixelHeight(); ++y)
    {
        const RasterPixel* row = bitmap->Pixels() + static_cast<size_t>(y) * bitmap->RowSpan();
        for (int x = 0; x < bitmap->PixelWidth(); ++x)
        {
            sum += row[x];
        }
    }
    sink = sum;
    if (owned)
    {
        delete bitmap;
    }
}
} // namespace fuzzimages
