#pragma once

#include <cstdint>

// One 32-bit pixel, not premultiplied: (A << 24) | (R << 16) | (G << 8) | B.
// Stored little-endian, so its bytes in memory are B, G, R, A.
using RasterPixel = uint32_t;

constexpr int RasterBlue(RasterPixel p)
{
    return static_cast<int>(p & 0xFFu);
}
constexpr int RasterGreen(RasterPixel p)
{
    return static_cast<int>((p >> 8) & 0xFFu);
}
constexpr int RasterRed(RasterPixel p)
{
    return static_cast<int>((p >> 16) & 0xFFu);
}
constexpr int RasterAlpha(RasterPixel p)
{
    return static_cast<int>(p >> 24);
}

// Packs four channels; each must already lie in 0..255.
constexpr RasterPixel RasterRGBA(int r, int g, int b, int a)
{
    return (static_cast<RasterPixel>(a) << 24) | (static_cast<RasterPixel>(r) << 16) |
           (static_cast<RasterPixel>(g) << 8) | static_cast<RasterPixel>(b);
}

// Limits a channel result to 0..255.
constexpr int RasterClampChannel(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Packs four channels, clamping each to 0..255 first.
constexpr RasterPixel RasterRGBAClamped(int r, int g, int b, int a)
{
    return RasterRGBA(RasterClampChannel(r), RasterClampChannel(g), RasterClampChannel(b),
                      RasterClampChannel(a));
}
