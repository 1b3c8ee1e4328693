#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// What an operation needs of a bitmap, read once per call: a row address for
// y = 0 (the top row) and the signed step between rows, so bottom-up storage
// costs nothing per pixel. A view of a missing, empty or inconsistent bitmap
// is not valid and every operation then draws nothing.
class RasterView
{
public:
    explicit RasterView(const RasterBitmap* bitmap)
    {
        if (!bitmap)
        {
            return;
        }
        RasterPixel* pixels = bitmap->Pixels();
        const int32_t w = bitmap->PixelWidth();
        const int32_t h = bitmap->PixelHeight();
        const int32_t span = bitmap->RowSpan();
        if (!pixels || w <= 0 || h <= 0 || span < w)
        {
            return;
        }
        width = w;
        height = h;
        if (bitmap->IsBottomUp())
        {
            top = pixels + static_cast<intptr_t>(h - 1) * span;
            step = -static_cast<intptr_t>(span);
        }
        else
        {
            top = pixels;
            step = span;
        }
    }

    bool Valid() const { return top != nullptr; }
    RasterPixel* Row(int32_t y) const { return top + y * step; }
    RasterPixel* At(int32_t x, int32_t y) const { return Row(y) + x; }

    int32_t width = 0;
    int32_t height = 0;

private:
    RasterPixel* top = nullptr;
    intptr_t step = 0;
};
