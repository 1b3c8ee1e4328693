#pragma once

// A plain, one-channel-at-a-time evaluation of the blend table, written
// independently of the library's combiners so that the optimised loops can
// be checked against it.

#include "RasterPixel.h"

#include <algorithm>
#include <cstdint>

namespace reference
{
inline int Clamp(int v)
{
    return std::min(255, std::max(0, v));
}

// Channel i of a pixel in memory order: 0 B, 1 G, 2 R, 3 A.
inline int Channel(RasterPixel p, int i)
{
    return static_cast<int>((p >> (8 * i)) & 0xFF);
}

inline RasterPixel Pack(const int c[4])
{
    RasterPixel p = 0;
    for (int i = 0; i < 4; ++i)
    {
        p |= static_cast<RasterPixel>(Clamp(c[i])) << (8 * i);
    }
    return p;
}

inline RasterPixel Hsv(RasterPixel dest, const int s[4], int w)
{
    const int r = Channel(dest, 2), g = Channel(dest, 1), b = Channel(dest, 0);
    auto recip = [](int k) { return k == 0 ? 0 : 65536 / k - 1; };
    const int hi = std::max({r, g, b});
    const int lo = std::min({r, g, b});
    int base, num;
    if (r >= g && r > b)
    {
        num = g - b;
        base = g >= b ? 0 : 383;
    }
    else if (g > r && g > b)
    {
        num = b - r;
        base = 128;
    }
    else
    {
        num = r - g;
        base = 256;
    }
    const int delta = hi - lo;
    int h = base + num * (recip(delta) + 1) / 1024 + w * (s[2] + s[2] / 2 - 192) / 256;
    while (h < 0)
    {
        h += 384;
    }
    while (h >= 384)
    {
        h -= 384;
    }
    const int sat = Clamp(delta * recip(hi) / 256 + w * (s[1] - 128) / 256);
    const int val = Clamp(hi + w * (s[0] - 128) / 256);
    const int p = val * (256 - sat) / 256;
    const int f = h % 64;
    const int up = (val * (16384 - sat * (64 - f)) / 16384) & 0xFF;
    const int down = (val * (16384 - sat * f) / 16384) & 0xFF;
    int rr, gg, bb;
    switch (h / 64)
    {
    case 0:
        rr = val, gg = up, bb = p;
        break;
    case 1:
        rr = down, gg = val, bb = p;
        break;
    case 2:
        rr = p, gg = val, bb = up;
        break;
    case 3:
        rr = p, gg = down, bb = val;
        break;
    case 4:
        rr = up, gg = p, bb = val;
        break;
    default:
        rr = val, gg = p, bb = down;
        break;
    }
    const int out[4] = {bb, gg, rr, s[3]};
    return Pack(out);
}

// Source s in memory order (B, G, R, A), integer weight w.
inline RasterPixel Combine(int blend, RasterPixel dest, const int s[4], int w)
{
    if (blend == 5)
    {
        return Hsv(dest, s, w);
    }
    int out[4];
    for (int i = 0; i < 4; ++i)
    {
        const int d = Channel(dest, i);
        switch (blend)
        {
        case 0:
            out[i] = w == 256 ? s[i] : s[i] + (d - s[i]) * (256 - w) / 256;
            break;
        case 1:
            out[i] = d + s[i] * w / 256;
            break;
        case 2:
        {
            const int t = s[i] * w / 256;
            out[i] = t > 254 ? d * 256 : d * 256 / (256 - t);
            break;
        }
        case 3:
            out[i] = (s[i] * w + (256 - w) * 256) * d / 65536;
            break;
        default:
        {
            const int t = s[i] * w + (256 - w) * 128;
            out[i] = (((32768 - t) * d) / 256 + t) * d / 32768;
            break;
        }
        }
    }
    return Pack(out);
}

inline RasterPixel CombineWithAlpha(int blend, RasterPixel dest, const int s[4], int w)
{
    const bool skips = blend == 0 || blend == 1 || blend == 3;
    if (skips && s[3] == 0)
    {
        return dest;
    }
    return Combine(blend, dest, s, w * (s[3] + 1) / 256);
}

inline void Split(RasterPixel p, int s[4])
{
    for (int i = 0; i < 4; ++i)
    {
        s[i] = Channel(p, i);
    }
}

// Fixed fractions of c over d, channel by channel with truncating shifts.
inline RasterPixel Fraction(RasterPixel d, RasterPixel c, int quarters)
{
    int out[4];
    for (int i = 0; i < 4; ++i)
    {
        const int dc = Channel(d, i), cc = Channel(c, i);
        switch (quarters)
        {
        case 1:
            out[i] = dc / 2 + dc / 4 + cc / 4;
            break;
        case 2:
            out[i] = dc / 2 + cc / 2;
            break;
        default:
            out[i] = dc / 4 + cc / 2 + cc / 4;
            break;
        }
    }
    return Pack(out);
}

// trunc(weight x 256), limited as the library limits it.
inline int Weight(float weight)
{
    const double v = static_cast<double>(weight) * 256.0;
    if (v >= 1024.0)
    {
        return 1024;
    }
    if (v <= -1024.0)
    {
        return -1024;
    }
    return static_cast<int>(v);
}
} // namespace reference
