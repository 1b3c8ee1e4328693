#pragma once

#include "RasterView.h"

#include <algorithm>
#include <cstdint>

// A rectangle clipped to a bitmap: pixels [x1, x2) x [y1, y2).
struct RasterClip
{
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;

    // Clips (x, y, w, h) to the view; 64-bit sums so huge sizes cannot wrap.
    RasterClip(const RasterView& v, int32_t x, int32_t y, int32_t w, int32_t h)
    {
        const int64_t left = std::max<int64_t>(x, 0);
        const int64_t top = std::max<int64_t>(y, 0);
        const int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + w, v.width);
        const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + h, v.height);
        if (left < right && top < bottom)
        {
            x1 = static_cast<int32_t>(left);
            y1 = static_cast<int32_t>(top);
            x2 = static_cast<int32_t>(right);
            y2 = static_cast<int32_t>(bottom);
        }
    }

    bool Empty() const { return x1 >= x2 || y1 >= y2; }
};
