#pragma once

#include "RasterView.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>

// Bilinear sample around source pixel (sx, sy) with 16-bit fractions fx, fy.
// Where the right or lower neighbour lies outside the usable source area the
// two-neighbour form (or the pixel itself) is used instead.
inline RasterPixel RasterSampleBilinear(const RasterView& s, int32_t sx, int32_t sy, uint32_t fx,
                                        uint32_t fy, bool hasRight, bool hasBelow)
{
    const RasterPixel* row = s.At(sx, sy);
    if (hasRight && hasBelow)
    {
        const RasterPixel* below = s.At(sx, sy + 1);
        const uint32_t xy = (fx * fy) >> 16;
        const uint32_t wTL = 65536u - fx - fy + xy;
        const uint32_t wTR = fx - xy;
        const uint32_t wBL = fy - xy;
        const uint32_t wBR = xy;
        const RasterPixel tl = row[0], tr = row[1], bl = below[0], br = below[1];
        RasterPixel out = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            const uint32_t v = (((tl >> shift) & 0xFFu) * wTL + ((tr >> shift) & 0xFFu) * wTR +
                                ((bl >> shift) & 0xFFu) * wBL + ((br >> shift) & 0xFFu) * wBR) >>
                               16;
            out |= v << shift;
        }
        return out;
    }
    if (hasRight || hasBelow)
    {
        const RasterPixel a = row[0];
        const RasterPixel b = hasRight ? row[1] : s.At(sx, sy + 1)[0];
        const uint32_t f = hasRight ? fx : fy;
        RasterPixel out = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            const uint32_t v =
                (((a >> shift) & 0xFFu) * (65536u - f) + ((b >> shift) & 0xFFu) * f) >> 16;
            out |= v << shift;
        }
        return out;
    }
    return row[0];
}

// True when every value is a finite number no larger in magnitude than limit:
// the geometry of scaled and rotated blits is only computed for such inputs.
inline bool RasterAllWithin(std::initializer_list<double> values, double limit)
{
    for (double v : values)
    {
        if (!(std::fabs(v) <= limit))
        {
            return false;
        }
    }
    return true;
}

// A destination rectangle and the source rectangle drawn into it. Blits take
// negative sizes as mirroring; unmirroring moves the sign to the source side
// so that the destination sizes are positive and the source runs backwards.
struct RasterMapping
{
    int64_t x, y, w, h;
    double sx, sy, sw, sh;
};

inline RasterMapping RasterUnmirror(RasterMapping m)
{
    if (m.w < 0)
    {
        m.x += m.w;
        m.w = -m.w;
        m.sx += m.sw;
        m.sw = -m.sw;
    }
    if (m.h < 0)
    {
        m.y += m.h;
        m.h = -m.h;
        m.sy += m.sh;
        m.sh = -m.sh;
    }
    return m;
}
