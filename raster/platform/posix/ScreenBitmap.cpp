#include "ScreenBitmap.h"

#include <cstdlib>

// Without a windowing device context the store is a plain heap block; the
// growth rules match the Windows section so row spans behave the same.

ScreenBitmap::ScreenBitmap(int32_t w, int32_t h)
{
    SetSize(w, h);
}

ScreenBitmap::~ScreenBitmap()
{
    ReleaseStore();
}

void ScreenBitmap::ReleaseStore()
{
    std::free(section);
    section = nullptr;
    pixels = nullptr;
}

bool ScreenBitmap::SetSize(int32_t w, int32_t h)
{
    if (w == width && h == height)
        return false;
    width = w;
    height = h;
    if (w > 0 && h > 0 && allocatedWidth >= w && allocatedHeight >= h && section)
        return true;
    allocatedWidth = w;
    allocatedHeight = h;
    ReleaseStore();
    if (w <= 0 || h <= 0)
    {
        width = height = allocatedWidth = allocatedHeight = 0;
        return false;
    }
    const int64_t bytes = static_cast<int64_t>(w) * h * 4;
    if (bytes <= INT32_MAX)
        section = std::malloc(static_cast<size_t>(bytes));
    if (!section)
    {
        width = height = allocatedWidth = allocatedHeight = 0;
        return true;
    }
    pixels = static_cast<RasterPixel*>(section);
    return true;
}
