#pragma once

#include <cstdint>

// The integer weight of an operation: trunc(weight x 256), so 1.0 is 256.
// NaN gives 0 (nothing is drawn). Weights are limited to -4..4 (ia -1024..1024)
// so that no combiner's intermediate products can overflow 32 bits.
inline int32_t RasterWeightToInt(float weight)
{
    constexpr float kLimit = 1024.0f;
    const float scaled = weight * 256.0f;
    if (!(scaled == scaled))
    {
        return 0;
    }
    if (scaled >= kLimit)
    {
        return 1024;
    }
    if (scaled <= -kLimit)
    {
        return -1024;
    }
    return static_cast<int32_t>(scaled);
}
