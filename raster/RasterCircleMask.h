#pragma once

#include <cstdint>

// A fixed ring for one of the small radii that circles stamp instead of
// computing: size x size coverage bytes, row-major.
struct RasterCircleMask
{
    const uint8_t* bytes;
    int32_t size;

    // The ring for radius 2, 2.5, 3, 3.5 or 4 (exactly), graded when
    // antialiased; null for every other radius.
    static const RasterCircleMask* Find(float radius, bool antialias);
};
