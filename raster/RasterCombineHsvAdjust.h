#pragma once

#include "RasterPixel.h"

#include <array>

// t[k] = 65536 / k - 1, t[0] = 0: division-free scaling by 1 / k.
constexpr std::array<int, 256> RasterMakeReciprocals()
{
    std::array<int, 256> t{};
    for (int k = 1; k < 256; ++k)
    {
        t[k] = 65536 / k - 1;
    }
    return t;
}
inline constexpr std::array<int, 256> kRasterReciprocal = RasterMakeReciprocals();

// Treats the source as an adjustment of the destination in HSV space: red
// shifts the hue, green the saturation and blue the value, each centred so
// that (128, 128, 128) changes nothing but the rounding; alpha becomes the
// source alpha. Hue runs 0..383 in six sectors of 64.
struct RasterCombineHsvAdjust
{
    static constexpr bool kSkipsTransparent = false;
    // Hue, saturation and value mix the colour channels.
    static constexpr bool kPerChannel = false;

    static constexpr const std::array<int, 256>& kReciprocal = kRasterReciprocal;

    static RasterPixel Apply(RasterPixel d, int sR, int sG, int sB, int sA, int w)
    {
        const int dR = RasterRed(d);
        const int dG = RasterGreen(d);
        const int dB = RasterBlue(d);
        int v, low, base, numerator;
        if (dR >= dG && dR > dB)
        {
            v = dR;
            low = dG < dB ? dG : dB;
            base = dG >= dB ? 0 : 383;
            numerator = dG - dB;
        }
        else if (dG > dR && dG > dB)
        {
            v = dG;
            low = dR < dB ? dR : dB;
            base = 128;
            numerator = dB - dR;
        }
        else
        {
            v = dB;
            low = dR < dG ? dR : dG;
            base = 256;
            numerator = dR - dG;
        }
        const int delta = v - low;
        int h = base + numerator * (kReciprocal[delta] + 1) / 1024 + w * (sR + sR / 2 - 192) / 256;
        // One wrap suffices for ordinary weights; the modulo also covers
        // large ones.
        h %= 384;
        if (h < 0)
        {
            h += 384;
        }
        const int sat = RasterClampChannel(delta * kReciprocal[v] / 256 + w * (sG - 128) / 256);
        const int val = RasterClampChannel(v + w * (sB - 128) / 256);

        const int p = val * (256 - sat) / 256;
        const int f = h % 64;
        const int rising = (val * (16384 - sat * (64 - f)) / 16384) & 0xFF;
        const int falling = (val * (16384 - sat * f) / 16384) & 0xFF;
        const int a = RasterClampChannel(sA);
        switch (h / 64)
        {
        case 0:
            return RasterRGBA(val, rising, p, a);
        case 1:
            return RasterRGBA(falling, val, p, a);
        case 2:
            return RasterRGBA(p, val, rising, a);
        case 3:
            return RasterRGBA(p, falling, val, a);
        case 4:
            return RasterRGBA(rising, p, val, a);
        default:
            return RasterRGBA(val, p, falling, a);
        }
    }
};
