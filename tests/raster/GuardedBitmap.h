#pragma once

#include "RasterBitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A bitmap that views the middle of a larger buffer: a frame of guard pixels
// with a known value surrounds it on every side (the row span includes the
// frame), so a write outside the bitmap shows up as a changed guard pixel.
// Optionally stored bottom-up.
class GuardedBitmap : public RasterBitmap
{
public:
    static constexpr RasterPixel kGuard = 0xA5C3E10Fu;
    static constexpr int32_t kFrame = 8;

    GuardedBitmap(int32_t w, int32_t h, bool bottomUp = false)
        : width(w), height(h), bottomUp(bottomUp),
          store(static_cast<size_t>(w + 2 * kFrame) * (h + 2 * kFrame), kGuard)
    {
        for (int32_t y = 0; y < h; ++y)
        {
            for (int32_t x = 0; x < w; ++x)
            {
                Stored(x, y) = 0;
            }
        }
    }

    RasterPixel* Pixels() const override
    {
        return const_cast<RasterPixel*>(store.data()) + kFrame * RowSpan() + kFrame;
    }
    int32_t PixelWidth() const override { return width; }
    int32_t PixelHeight() const override { return height; }
    int32_t RowSpan() const override { return width + 2 * kFrame; }
    bool IsBottomUp() const override { return bottomUp; }
    bool SetSize(int32_t, int32_t) override { return false; }

    // Pixel (x, y) with y = 0 the top row of the image.
    RasterPixel& At(int32_t x, int32_t y) { return Stored(x, bottomUp ? height - 1 - y : y); }

    // True when no guard pixel changed.
    bool GuardsIntact() const
    {
        const int32_t span = RowSpan();
        for (int32_t row = 0; row < height + 2 * kFrame; ++row)
        {
            for (int32_t col = 0; col < span; ++col)
            {
                const bool inside =
                    row >= kFrame && row < kFrame + height && col >= kFrame && col < kFrame + width;
                if (!inside && store[static_cast<size_t>(row) * span + col] != kGuard)
                {
                    return false;
                }
            }
        }
        return true;
    }

private:
    RasterPixel& Stored(int32_t x, int32_t y)
    {
        return store[static_cast<size_t>(y + kFrame) * RowSpan() + x + kFrame];
    }

    int32_t width, height;
    bool bottomUp;
    std::vector<RasterPixel> store;
};
