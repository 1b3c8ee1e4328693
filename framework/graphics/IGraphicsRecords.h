#pragma once

#include <cstdint>

class RasterBitmap;

// A loaded bitmap as the editor uses it. Several frames lie one below the
// other in a vertical strip, each width x (height / frameCount) pixels. The
// bitmap cache owns the pixels; the record is copied by value.
struct IBitmapFrames
{
    RasterBitmap* handle = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameCount = 1;
};

// How a bitmap or shape is combined with the back buffer: method 0 normal
// (through the source alpha), 1 opaque copy, 2 additive, 3 colour dodge; any
// other method draws like 0. weight is the opacity 0..1 of the source.
struct IBlend
{
    enum Method : int32_t
    {
        kNormal = 0,
        kOpaque = 1,
        kAdd = 2,
        kDodge = 3,
    };
    int32_t method = kNormal;
    float weight = 1.0f;
};

// A colour, each channel 0..255; packed for the raster library as
// (a << 24) | (r << 16) | (g << 8) | b.
struct IColour
{
    int32_t a = 255;
    int32_t r = 0;
    int32_t g = 0;
    int32_t b = 0;

    constexpr uint32_t Packed() const
    {
        return (static_cast<uint32_t>(a & 0xFF) << 24) | (static_cast<uint32_t>(r & 0xFF) << 16) |
               (static_cast<uint32_t>(g & 0xFF) << 8) | static_cast<uint32_t>(b & 0xFF);
    }
    static constexpr IColour FromPacked(uint32_t v)
    {
        return {static_cast<int32_t>(v >> 24), static_cast<int32_t>((v >> 16) & 0xFF),
                static_cast<int32_t>((v >> 8) & 0xFF), static_cast<int32_t>(v & 0xFF)};
    }
    constexpr bool operator==(const IColour& o) const
    {
        return a == o.a && r == o.r && g == o.g && b == o.b;
    }
    constexpr bool operator!=(const IColour& o) const { return !(*this == o); }
};

// Text description for RenderText: face name, character height in pixels,
// colour, style (0 normal, 1 bold, 2 italic), alignment (0 left, 1 centre,
// 2 right) and orientation in degrees.
struct ITextStyle
{
    char face[32] = "Arial";
    int32_t size = 12;
    IColour colour{255, 0, 0, 0};
    int32_t style = 0;
    int32_t alignment = 0;
    int32_t orientation = 0;
};
